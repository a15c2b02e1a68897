#include "data/UnitPass.h"

TForm9* Form9 = nullptr;

TForm9::TForm9(QWidget* parent) : platform::Form(parent) { setupUi(this); }
