#include "registers/Employees.h"

TEmp* Emp = nullptr;

TEmp::TEmp(QWidget* parent) : platform::Form(parent) { setupUi(this); }
