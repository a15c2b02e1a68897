#pragma once

#include "platform/Form.h"
#include "ui_PrintOptions.h"

class TPrtD : public platform::Form, public Ui::TPrtD {
    Q_OBJECT
public:
    explicit TPrtD(QWidget* parent = nullptr);
};

extern TPrtD* PrtD;
