#include "registers/Empl.h"

TEmp* Emp = nullptr;

TEmp::TEmp(QWidget* parent) : platform::Form(parent) { setupUi(this); }
