#pragma once
// The goods and services list: every STOCK record with unit, quantity and
// price; opens the goods card, adds a record, and puts the chosen goods into
// the open document as a new line.

#include "platform/Form.h"
#include "ui_GoodsList.h"

// The window's controls (forms/GoodsList.ui):
//   EditBtn       "Редактирай": the chosen goods in the card
//   Button1       "Добави към документа": the chosen goods as a new line of the open document
//   Button2       "Нов запис": new goods in the card
//   DBNavigator2  refresh of the goods only
//   StringGrid1   the goods grid: description, unit, quantity, price; row r is STOCK record r
//   CloseBtn      "Затвори"
//   DBMemo1       hidden: the current goods' description (DESCRIPTION1)
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
