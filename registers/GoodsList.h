#pragma once

#include "platform/Form.h"
#include "ui_GoodsList.h"

class TStocks : public platform::Form, public Ui::TStocks {
    Q_OBJECT
public:
    explicit TStocks(QWidget* parent = nullptr);
};

extern TStocks* Stocks;
