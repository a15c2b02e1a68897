#pragma once
// The goods card: one STOCK record edited through data-aware fields.

#include "platform/Form.h"
#include "ui_GoodsCard.h"

// The window's controls (forms/GoodsCard.ui), bound to the goods (STOCK):
//   DBMemo1       description (DESCRIPTION1), below Label1 "Описание на стоката/услугата: "
//   DBEdit4       unit, a combo box (UNIT1), Label3 "Мярка"
//   DBEdit2       quantity in stock, a combo box (QTY), Label2 "К-во"
//   DBEdit5       selling price (SELLPRICE), Label4 "Цена"
//   Navigator     first, prior, next, last over the goods
//   DBNavigator1  delete only
//   OKButton      "OK": saves and closes
//   CancelButton  "Cancel": drops the changes and closes
class TEditStockForm : public platform::Form, public Ui::TEditStockForm {
    Q_OBJECT
public:
    explicit TEditStockForm(QWidget* parent = nullptr);

    void OKButtonClick();
    void CancelButtonClick();

protected:
    void FormShow() override;
    void FormClose() override;
};

extern TEditStockForm* EditStockForm;
