#pragma once

#include "platform/Form.h"
#include "ui_OwnFirms.h"

class TFillFirm : public platform::Form, public Ui::TFillFirm {
    Q_OBJECT
public:
    explicit TFillFirm(QWidget* parent = nullptr);
};

extern TFillFirm* FillFirm;
