#pragma once

#include "platform/Form.h"
#include "ui_DocumentRegister.h"

class TSort : public platform::Form, public Ui::TSort {
    Q_OBJECT
public:
    explicit TSort(QWidget* parent = nullptr);
};

extern TSort* Sort;
