#pragma once

#include "platform/Form.h"
#include "ui_CustomerCard.h"

class TEditCustForm : public platform::Form, public Ui::TEditCustForm {
    Q_OBJECT
public:
    explicit TEditCustForm(QWidget* parent = nullptr);
};

extern TEditCustForm* EditCustForm;
