#pragma once

#include "platform/Form.h"
#include "ui_Customers.h"

class TCustForm : public platform::Form, public Ui::TCustForm {
    Q_OBJECT
public:
    explicit TCustForm(QWidget* parent = nullptr);
};

extern TCustForm* CustForm;
