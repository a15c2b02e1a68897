#include "registers/GoodsList.h"

TStocks* Stocks = nullptr;

TStocks::TStocks(QWidget* parent) : platform::Form(parent) { setupUi(this); }
