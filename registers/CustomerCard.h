#pragma once
// The customer card: one CUSTOMER record edited through data-aware fields.

#include "platform/Form.h"
#include "ui_CustomerCard.h"

// The window's controls (forms/CustomerCard.ui); the edits are bound to the
// customers (CUSTOMER), each below its caption Label1 to Label16:
//   DBEdit1       company name, Bulgarian (COMPANY1, "Фирма")
//   DBEdit2       company name, English (COMPANY2, "Company")
//   DBEdit3       customer number the user gives (CUSTNO, "Клиент №")
//   DBEdit4       group (GRP, "Група")
//   DBEdit5       address, Bulgarian (ADDRESS1, "Адрес")
//   DBEdit6       address, English (ADDRESS2, "Address")
//   DBEdit7       responsible person, Bulgarian (RESPPERSON1, "МОЛ")
//   DBEdit8       responsible person, English (RESPPERSON2, "Resp. Person")
//   DBEdit9       contact person, Bulgarian (CONTACTPERSON1, "Лице за контакт")
//   DBEdit10      contact person, English (CONTACTPERSON2, "Contact person")
//   DBEdit11      identification number (ID, "Идент №")
//   DBEdit12      VAT number (VAT, "ИН по ЗДДС")
//   DBEdit13      phone (PHONE, "Телефон")
//   DBEdit14      fax (FAX, "Факс")
//   DBEdit15      e-mail (EMAIL, "E-mail")
//   DBEdit16      notes (NOTES, "Бележки:")
//   TotalLabel    the customer's documents total with VAT, after Label17 "Фактури тотал"
//                 and before Label18 "вкл. ДДС"
//   LastLabel     hidden, "няма" while the customer has no documents (after the
//                 hidden Label19 "Последна фактура")
//   Label20       hidden "Discount / Отстъпка", without a field
//   DBNavigator   first, prior, next, last over the customers
//   DBNavigator1  delete only
//   OKButton      "OK": saves and closes
//   CancelButton  "Cancel": drops the changes and closes
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
