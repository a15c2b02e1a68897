#include "documents/DocumentEditor.h"

TOrderForm* OrderForm = nullptr;

TOrderForm::TOrderForm(QWidget* parent) : platform::Form(parent), KeyTime(new platform::SystemTime) { setupUi(this); }

TOrderForm::~TOrderForm() { delete KeyTime; }
