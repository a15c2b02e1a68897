#include "documents/PrintOptions.h"

TPrtD* PrtD = nullptr;

TPrtD::TPrtD(QWidget* parent) : platform::Form(parent) { setupUi(this); }
