#include "registers/OwnFirms.h"

TFillFirm* FillFirm = nullptr;

TFillFirm::TFillFirm(QWidget* parent) : platform::Form(parent) { setupUi(this); }
