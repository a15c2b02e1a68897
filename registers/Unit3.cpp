#include "registers/Unit3.h"

TStocks* Stocks = nullptr;

TStocks::TStocks(QWidget* parent) : platform::Form(parent) { setupUi(this); }
