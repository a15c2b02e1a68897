#pragma once
// The goods and services list: every STOCK record with unit, quantity and
// price; opens the goods card, adds a record, and puts the chosen goods into
// the open document as a new line.

#include "platform/Form.h"
#include "ui_GoodsList.h"

class TStocks : public platform::Form, public Ui::TStocks {
    Q_OBJECT
public:
    explicit TStocks(QWidget* parent = nullptr);

    void FormCreate() override;

    void StringGrid1Click();
    void StringGrid1DblClick();
    void Button2Click();
    void Button1Click();
    void CloseBtnClick();
};

extern TStocks* Stocks;
