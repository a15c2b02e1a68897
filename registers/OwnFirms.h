#pragma once
// The own firms and the bank accounts shared by all of them. Every field is
// bound to the data module's FIRM and DETAILS data sets; the window's own
// handlers give the record a new key on every save, load the logos, switch
// the language tab, and save or cancel.

#include "platform/Form.h"
#include "ui_OwnFirms.h"

namespace data {
class DataSet;
}

// The window's controls (forms/OwnFirms.ui); the fields are bound to the own
// firms (FIRM) and the bank accounts (DETAILS):
//   Label12       "Собствени фирми", above the list of own firms
//   DBGrid1       the list of own firms (SUPPLIER1)
//   DBNavigator2  insert, delete and refresh of the own firms
//   DBEdit4       firm's identification number (ID), Label5 "ИН"
//   DBEdit5       firm's VAT number (VAT), Label6 "ИН по ЗДДС"
//   DBEdit7       last invoice number issued (INVOICENO), Label7 "Фактура №"
//   DBEdit8       last pro forma number issued (PROFORMANO), Label8 "Проформа №"
//   DBEdit9       last protocol number issued (VOP), Label9 "ВОП №"
//   TabControl1   the language tabs "Български език" and "Английски език"
//   Panel1        the frame of the language tab's fields
//   Label1-Label4 captions of the four rows below, in the tab's language
//   DBEdit1       firm name, Bulgarian (SUPPLIER1)
//   DBEdit2       address, Bulgarian (ADDRESS1)
//   DBEdit3       responsible person, Bulgarian (RESPPERSON1)
//   DBEdit6       place of issue, Bulgarian (PLACEOFPUBLISHMENT1)
//   LOGO          the Bulgarian logo (LOGO)
//   DBEdit12      firm name, English (SUPPLIER2), over DBEdit1 on the English tab
//   DBEdit13      address, English (ADDRESS2), over DBEdit2
//   DBEdit14      responsible person, English (RESPPERSON2), over DBEdit3
//   DBEdit15      place of issue, English (PLACEOFPUBLISHMENT2), over DBEdit6
//   LOGO2         the English logo (LOGO2), over LOGO
//   SpeedButton1  "Зареди ЛОГО": the shown tab's logo from a file
//   SpeedButton2  the glyph button: the built-in logo into the shown tab's logo
//   Image1        hidden: the built-in logo
//   Label13       "Банкови детайли", above the bank accounts
//   DBGrid3       the list of bank accounts (BANK)
//   DBNavigator1  insert, delete and refresh of the bank accounts
//   DBEdit10      bank (BANK), Label10 "Банка"
//   DBEdit11      IBAN (IBAN), Label11 "IBAN"
//   DBEdit16      SWIFT/BIC code (SWIFT), Label14 "SWIFT/ BIC"
//   OKButton      "OK": saves the account and the firm, closes
//   CancelButton  "Cancel": drops the changes of both, closes
class TFillFirm : public platform::Form, public Ui::TFillFirm {
    Q_OBJECT
public:
    explicit TFillFirm(QWidget* parent = nullptr);

    void FormCreate() override;

    void TabControl1Change();
    void SpeedButton1Click();
    void SpeedButton2Click();
    void DBGrid1CellClick(int column);
    void OKButtonClick();
    void CancelButtonClick();

    // The built-in logo (a PNG file's bytes), shown by the hidden Image1.
    static QByteArray BuiltInLogo();

protected:
    void FormShow() override;
    void FormClose() override;

private:
    // Edit, a new record key, Post.
    static void SaveWithKey(data::DataSet& ds);
    // Edit, a new record key, the picture into the shown tab's logo, Post.
    void StoreLogo(const QByteArray& picture);
    static void CancelIfHeld(data::DataSet& ds);
};

extern TFillFirm* FillFirm;
