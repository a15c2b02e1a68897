#pragma once

#include "platform/Form.h"
#include "platform/SystemClock.h"
#include "ui_DocumentEditor.h"

class TOrderForm : public platform::Form, public Ui::TOrderForm {
    Q_OBJECT
public:
    explicit TOrderForm(QWidget* parent = nullptr);
    ~TOrderForm() override;

    // Scratch time into which every record-key writer reads the clock.
    platform::SystemTime* KeyTime;
};

extern TOrderForm* OrderForm;
