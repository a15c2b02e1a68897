#pragma once

#include "platform/Form.h"
#include "ui_PrintedPage.h"

class TDoc : public platform::Form, public Ui::TDoc {
    Q_OBJECT
public:
    explicit TDoc(QWidget* parent = nullptr);
};

extern TDoc* Doc;
