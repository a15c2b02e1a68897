#pragma once

#include "platform/Form.h"
#include "ui_OwnFirm.h"

class TFillFirm : public platform::Form, public Ui::TFillFirm {
    Q_OBJECT
public:
    explicit TFillFirm(QWidget* parent = nullptr);
};

extern TFillFirm* FillFirm;
