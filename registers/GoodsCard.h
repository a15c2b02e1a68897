#pragma once
// The goods card: one STOCK record edited through data-aware fields.

#include "platform/Form.h"
#include "ui_GoodsCard.h"

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
