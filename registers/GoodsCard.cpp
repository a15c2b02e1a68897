#include "registers/GoodsCard.h"

TEditStockForm* EditStockForm = nullptr;

TEditStockForm::TEditStockForm(QWidget* parent) : platform::Form(parent) { setupUi(this); }
