// Opening a stored document: one STORE record read back into the editor,
// with the own firm's details as the firm has them now.

#include "data/DataModule.h"
#include "documents/Calculator.h"
#include "documents/DocumentColumns.h"
#include "documents/DocumentEditor.h"
#include "documents/DocumentRecord.h"
#include "documents/NumberText.h"
#include "documents/PrintedPage.h"
#include "platform/LocaleText.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPixmap>

namespace {

// A STORE record's texts by upper-case column name.
using StoredRecord = QHash<QString, QString>;

// The language button is switched on, and the switch runs for it.
void SwitchLanguage(TOrderForm* e, QAbstractButton* button) {
    button->setChecked(true);
    e->RadioButton1Click(button);
}

void SetComboText(QComboBox* combo, const QString& text) { combo->setEditText(text); }

QString Text(const StoredRecord& record, const char* column) {
    return record.value(QString::fromLatin1(column).toUpper());
}

// Numbers may have been stored where the locale writes the other separator.
QString Number(const StoredRecord& record, const char* column) { return StoredNumberText(Text(record, column)); }

// The control of a column takes its stored text.
void SetControlText(const DocumentColumn& column, const TOrderForm& editor, const QString& text) {
    QWidget* control = column.control(editor);
    switch (column.kind) {
    case DocumentColumn::Kind::Combo:
        SetComboText(qobject_cast<QComboBox*>(control), text);
        return;
    case DocumentColumn::Kind::Date:
        qobject_cast<QDateEdit*>(control)->setDate(platform::DocumentDateFromText(text));
        return;
    case DocumentColumn::Kind::Flag:
        qobject_cast<QAbstractButton*>(control)->setChecked(platform::StrToBool(text));
        return;
    case DocumentColumn::Kind::Text:
    case DocumentColumn::Kind::Amount:
    case DocumentColumn::Kind::VatRate: {
        QString shown = text;
        if (column.kind == DocumentColumn::Kind::Amount) shown = StoredNumberText(text);
        if (column.kind == DocumentColumn::Kind::VatRate) {
            const QString vatNumber = VatTextBeforePercent(text);
            shown = StoredNumberText(vatNumber) + text.mid(vatNumber.size());
        }
        if (auto* edit = qobject_cast<QLineEdit*>(control))
            edit->setText(shown);
        else
            qobject_cast<QLabel*>(control)->setText(shown);
        return;
    }
    case DocumentColumn::Kind::Saved:
        return;
    }
}

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
    const int storeRecNo = store.RecNo();
    const int custRecNo = cust.RecNo();
    store.Refresh();
    cust.Refresh();
    store.SetRecNo(n);
    // Every value is taken before the editor's handlers move STORE.
    StoredRecord record;
    for (const data::ColumnInfo& column : store.Columns())
        record.insert(column.name, store.FieldByName(column.name).AsString());

    LoadLanguageAndCurrency(record);
    SetComboText(ComboBox2, Text(record, "Document"));
    SetPrinted(platform::StrToBool(Text(record, "Status")));
    LoadColumns(record, DocumentColumn::Load::Heading);
    if (!ComboBox1->currentText().isEmpty()) {
        StringGrid2->setVisible(true);
        CheckBox4->setChecked(true);
    }
    LoadColumns(record, DocumentColumn::Load::Customer);
    LoadOwnFirm(platform::StrToInt(Number(record, "Firmdbindex")));
    // The English fields are stored for every language: they are taken back
    // from the record whatever its language, so that nothing the editor held
    // before stays in them.
    LoadColumns(record, DocumentColumn::Load::English);
    LoadColumns(record, DocumentColumn::Load::Closing);
    LoadGrids(record);

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

// The stored language is switched on (the switch runs as a click would), and
// a page that may carry a currency takes the stored one.
void TOrderForm::LoadLanguageAndCurrency(const StoredRecord& record) {
    const RecordLanguageChoice language = LanguageOfRecord(Text(record, "radio"), Text(record, "Document"));
    if (const std::optional<PageLanguage> l = language.language)
        SwitchLanguage(this, *l == PageLanguage::English ? RadioButton2
                             : *l == PageLanguage::Both  ? RadioButton3
                                                         : RadioButton1);
    if (language.readCurrency && Doc) {
        Doc->CurrencyPrefix = Text(record, "CurrencyPrefix");
        Doc->CurrencyRate = platform::StrToFloat(Number(record, "CurrencyRate"));
    }
}

// The columns the load reads at that step, in the column table's order.
void TOrderForm::LoadColumns(const StoredRecord& record, DocumentColumn::Load step) {
    for (const DocumentColumn& column : DocumentColumns())
        if (column.load == step) SetControlText(column, *this, Text(record, column.name));
}

// The own firm's details as FIRM has them now, not the copies in the record.
void TOrderForm::LoadOwnFirm(int firmIndex) {
    data::DataSet& firm = DataModule1->firm;
    firm.Refresh();
    firm.SetRecNo(firmIndex);
    const auto firmText = [&firm](const char* field) { return firm.FieldByName(QLatin1String(field)).AsString(); };
    DBText3->setText(firmText("InvoiceNo"));
    DBText4->setText(firmText("ProformaNo"));
    Edit11->setText(firmText("VOP"));
    DBText5->setText(firmText("ID"));
    DBText6->setText(firmText("VAT"));
    const std::optional<PageLanguage> chosen = ChosenLanguage();
    const bool english = chosen == PageLanguage::English;
    if (chosen) {
        ShowFirmLogo();
        DBText1->setText(firmText(english ? "Supplier2" : "Supplier1"));
        DBText2->setText(firmText(english ? "RespPerson2" : "RespPerson1"));
        DBText8->setText(firmText(english ? "Address2" : "Address1"));
    }
}

// The line items (which decide the discount column) and the note's account table.
void TOrderForm::LoadGrids(const StoredRecord& record) {
    const QStringList items = DocumentGridLines(Text(record, "STOCKS"));
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
    const QStringList noteTable = DocumentGridLines(Text(record, "STR2"));
    for (int k = 0; k < 12; ++k) {
        const bool amount = k >= 3 && k % 3 == 2;  // the "Сума" column below its header
        StringGrid2->SetCell(k % 3, k / 3, amount ? StoredNumberText(noteTable.value(k)) : noteTable.value(k));
    }
}
