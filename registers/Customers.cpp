#include "registers/Customers.h"

TCustForm* CustForm = nullptr;

TCustForm::TCustForm(QWidget* parent) : platform::Form(parent) { setupUi(this); }
