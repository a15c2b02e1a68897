#pragma once

#include "platform/Form.h"
#include "ui_GoodsCard.h"

class TEditStockForm : public platform::Form, public Ui::TEditStockForm {
    Q_OBJECT
public:
    explicit TEditStockForm(QWidget* parent = nullptr);
};

extern TEditStockForm* EditStockForm;
