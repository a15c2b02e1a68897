// Opening a stored document: one STORE record read back into the editor,
// with the own firm's details as the firm has them now.

#include "data/DataModule.h"
#include "documents/Calculator.h"
#include "documents/DocumentEditor.h"
#include "documents/DocumentRecord.h"
#include "documents/NumberText.h"
#include "documents/PrintedPage.h"
#include "platform/LocaleText.h"

#include <QPalette>
#include <QPixmap>

namespace {

// The language button is switched on, and the switch runs for it.
void SwitchLanguage(TOrderForm* e, QAbstractButton* button) {
    button->setChecked(true);
    e->RadioButton1Click(button);
}

void SetComboText(QComboBox* combo, const QString& text) { combo->setEditText(text); }

}  // namespace

void TOrderForm::SetPrinted(bool printed) {
    CheckBox3->setChecked(printed);
    Panel2->setText(printed ? QStringLiteral("Отпечатан") : QStringLiteral("Неотпечатан"));
    QPalette p = Panel2->palette();
    p.setColor(QPalette::WindowText, printed ? QColor(0, 0, 255) : QColor(255, 0, 0));
    Panel2->setPalette(p);
}

void TOrderForm::LoadDocument(int n) {
    if (n <= 0) return;
    SetCaption(QStringLiteral("Зареден Документ"));
    CheckBox9->setChecked(false);
    StringGrid1->SetCurrentCell(5, 1);
    StringGrid1->SetEditorMode(true);
    RenderPageToImage();
    StringGrid1Button->move(566, 336);
    SetPrinted(false);

    data::DataSet& store = DataModule1->store;
    data::DataSet& cust = DataModule1->cust;
    data::DataSet& firm = DataModule1->firm;
    const int storeRecNo = store.RecNo();
    const int custRecNo = cust.RecNo();
    store.Refresh();
    cust.Refresh();
    store.SetRecNo(n);
    // Every value is taken before the editor's handlers move STORE.
    QHash<QString, QString> record;
    for (const data::ColumnInfo& column : store.Columns())
        record.insert(column.name, store.FieldByName(column.name).AsString());
    const auto text = [&record](const char* column) { return record.value(QString::fromLatin1(column).toUpper()); };
    const auto date = [&text](const char* column) { return platform::DocumentDateFromText(text(column)); };
    const auto flag = [&text](const char* column) { return platform::StrToBool(text(column)); };
    // Numbers may have been stored where the locale writes the other separator.
    const auto number = [&text](const char* column) { return StoredNumberText(text(column)); };

    const QString title = text("Document");
    const RecordLanguageChoice language = LanguageOfRecord(text("radio"), title);
    if (const std::optional<PageLanguage> l = language.language)
        SwitchLanguage(this, *l == PageLanguage::English ? RadioButton2
                             : *l == PageLanguage::Both  ? RadioButton3
                                                         : RadioButton1);
    if (language.readCurrency && Doc) {
        Doc->CurrencyPrefix = text("CurrencyPrefix");
        Doc->CurrencyRate = platform::StrToFloat(number("CurrencyRate"));
    }
    SetComboText(ComboBox2, title);
    SetPrinted(flag("Status"));
    MaskEdit1->setText(text("Num"));
    EDate->setDate(date("Fromdate"));
    CheckBox1->setChecked(flag("DatetaxeventL"));
    EDate2->setDate(date("Datetaxevent"));
    CheckBox2->setChecked(flag("DatepaymentL"));
    EDate3->setDate(date("Datepayment"));
    SetComboText(ComboBox3, text("Payment"));
    Edit8->setText(text("Recipient1"));
    Edit10->setText(text("Issuer1"));
    SetComboText(ComboBox5, text("reasonfor"));
    SetComboText(ComboBox4, text("reason"));
    SetComboText(ComboBox1, text("cdnote"));
    if (!ComboBox1->currentText().isEmpty()) {
        StringGrid2->setVisible(true);
        CheckBox4->setChecked(true);
    }
    EDate4->setDate(date("notedate"));
    MaskEdit2->setText(text("noteInvNo"));
    Edit1->setText(text("Customer1"));
    Edit6->setText(text("VATcust"));
    Edit7->setText(text("IDcust"));
    Edit3->setText(text("Address1cust"));
    Edit2->setText(text("RespPerson1cust"));

    firm.Refresh();
    firm.SetRecNo(platform::StrToInt(number("Firmdbindex")));
    const auto firmText = [&firm](const char* field) { return firm.FieldByName(QLatin1String(field)).AsString(); };
    DBText3->setText(firmText("InvoiceNo"));
    DBText4->setText(firmText("ProformaNo"));
    Edit11->setText(firmText("VOP"));
    DBText5->setText(firmText("ID"));
    DBText6->setText(firmText("VAT"));
    const std::optional<PageLanguage> chosen = ChosenLanguage();
    const bool english = chosen == PageLanguage::English;
    if (chosen) {
        DBImage1->Assign(english ? *DBImage3 : *DBImage2);
        DBText1->setText(firmText(english ? "Supplier2" : "Supplier1"));
        DBText2->setText(firmText(english ? "RespPerson2" : "RespPerson1"));
        DBText8->setText(firmText(english ? "Address2" : "Address1"));
    }
    if (chosen == PageLanguage::Both) {
        Edit15->setText(text("Recipient2"));
        Edit16->setText(text("Issuer2"));
        Edit12->setText(text("Customer2"));
        Edit13->setText(text("Address2cust"));
        Edit14->setText(text("RespPerson2cust"));
        Edit17->setText(text("Supplier2"));
        Edit19->setText(text("RespPerson2sup"));
        Edit18->setText(text("Address2sup"));
        Edit20->setText(text("Placeofpublishment2"));
    }
    DBText7->setText(text("Placeofpublishment1"));
    Bank->setText(text("Bank"));
    IBAN->setText(text("IBAN"));
    SWIFT->setText(text("SWIFT"));
    const QString vat = text("percent");
    const QString vatNumber = VatTextBeforePercent(vat);
    Edit9->setText(StoredNumberText(vatNumber) + vat.mid(vatNumber.size()));
    Label11->setText(number("Total"));
    CheckBox6->setChecked(flag("PaidL"));

    const QStringList items = DocumentGridLines(text("STOCKS"));
    CheckBox7->setChecked(HasDiscountLine(items));
    CheckBox7Click();
    const int columns = StringGrid1->ColCount();
    StringGrid1->SetRowCount(DocumentGridRows(static_cast<int>(items.size()), columns));
    for (int r = 0; r < StringGrid1->RowCount(); ++r) {
        for (int c = 0; c < columns; ++c) {
            const QString cell = items.value(r * columns + c);
            // Quantity, price, discount and value are numbers.
            StringGrid1->SetCell(c, r, r > 0 && c >= 3 ? StoredNumberText(cell) : cell);
        }
    }
    const QStringList noteTable = DocumentGridLines(text("STR2"));
    for (int k = 0; k < 12; ++k) {
        const bool amount = k >= 3 && k % 3 == 2;  // the "Сума" column below its header
        StringGrid2->SetCell(k % 3, k / 3, amount ? StoredNumberText(noteTable.value(k)) : noteTable.value(k));
    }

    const QString rate = Edit9->text();
    Edit9->setText(QString());
    Edit9->setText(rate);
    Show();
    ListBox1->hide();
    store.SetRecNo(storeRecNo);
    cust.SetRecNo(custRecNo);
    RebuildDocumentView(false);
    RenderPageToImage();
}
