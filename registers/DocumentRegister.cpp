#include "registers/DocumentRegister.h"

TSort* Sort = nullptr;

TSort::TSort(QWidget* parent) : platform::Form(parent) { setupUi(this); }
