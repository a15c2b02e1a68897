#pragma once

#include "platform/Form.h"
#include "ui_UnitPass.h"

class TForm9 : public platform::Form, public Ui::TForm9 {
    Q_OBJECT
public:
    explicit TForm9(QWidget* parent = nullptr);
};

extern TForm9* Form9;
