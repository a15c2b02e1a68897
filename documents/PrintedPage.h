#pragma once

#include "platform/Form.h"
#include "ui_PrintedPage.h"

class TDoc : public platform::Form, public Ui::TDoc {
    Q_OBJECT
public:
    explicit TDoc(QWidget* parent = nullptr);

    // Currency symbol and rate of a foreign-currency document, and the page
    // language: 0 Bulgarian, 1 English, 2 Bulgarian and English.
    QString CurrencyPrefix;
    double CurrencyRate = 1.0;
    int Language = 0;
};

extern TDoc* Doc;
