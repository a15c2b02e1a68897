#pragma once
// The customer card: one CUSTOMER record edited through data-aware fields.

#include "platform/Form.h"
#include "ui_CustomerCard.h"

class TEditCustForm : public platform::Form, public Ui::TEditCustForm {
    Q_OBJECT
public:
    explicit TEditCustForm(QWidget* parent = nullptr);

    void OKButtonClick();
    void CancelButtonClick();
    void DBNavigatorClick();

protected:
    void FormClose() override;
};

extern TEditCustForm* EditCustForm;
