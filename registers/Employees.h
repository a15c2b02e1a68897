#pragma once

#include "platform/Form.h"
#include "ui_Employees.h"

class TEmp : public platform::Form, public Ui::TEmp {
    Q_OBJECT
public:
    explicit TEmp(QWidget* parent = nullptr);
};

extern TEmp* Emp;
