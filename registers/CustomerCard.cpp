#include "registers/CustomerCard.h"

TEditCustForm* EditCustForm = nullptr;

TEditCustForm::TEditCustForm(QWidget* parent) : platform::Form(parent) { setupUi(this); }
