#include "documents/Unit6.h"

TPrtD* PrtD = nullptr;

TPrtD::TPrtD(QWidget* parent) : platform::Form(parent) { setupUi(this); }
