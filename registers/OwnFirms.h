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
