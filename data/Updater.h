#pragma once

#include "platform/Form.h"
#include "ui_Updater.h"

class TUpdateI : public platform::Form, public Ui::TUpdateI {
    Q_OBJECT
public:
    explicit TUpdateI(QWidget* parent = nullptr);
};

extern TUpdateI* UpdateI;
