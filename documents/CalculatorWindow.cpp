#include "documents/CalculatorWindow.h"

#include "documents/AmountWords.h"
#include "documents/DocumentEditor.h"
#include "documents/RememberedChoices.h"
#include "platform/Controls.h"
#include "platform/Handlers.h"
#include "platform/LocaleText.h"
#include "platform/TextFile.h"

TForm1* Form1 = nullptr;

namespace {
// The working directory is taken before any window is made.
const bool startupDirTaken = (FormGridUnitInit(), true);
}  // namespace

TForm1::TForm1(QWidget* parent) : platform::Form(parent) {
    setupUi(this);
    connect(SpeedButton1, &QToolButton::clicked, this, platform::Handler(this, &TForm1::SpeedButton1Click));
}

void TForm1::FormCreate() {
    LoadLastChoices();
    LoadPaymentMethods();
    VatText = QStringLiteral("20%");
    VatRate = 0.2;
    platform::SetCurrencyString(QStringLiteral("лв"));
    SetVatRate(QStringLiteral("20%"));
}

void TForm1::LoadLastChoices() {
    MemList.clear();
    const QString path = MemFilePath();
    const SettingsFile file = ReadSettingsFile(path);
    NoteSettingsProblem(path, file.problem);
    MemList = file.lines ? *file.lines : DefaultLastChoices();
    if (!OrderForm) return;
    QComboBox* const fields[] = {OrderForm->ComboBox2, OrderForm->ComboBox1, OrderForm->ComboBox4,
                                 OrderForm->ComboBox5};
    try {
        // A short file leaves the later fields as they are. The list is read
        // from a copy: each field's change handler writes its line back.
        const QStringList lines = MemList;
        if (lines.isEmpty()) return;
        VatText = lines[0];
        for (int i = 1; i <= 4 && i < lines.size(); ++i) fields[i - 1]->setEditText(lines[i]);
    } catch (...) {
        // The remembered choices are a convenience; a field that refuses one keeps its text.
    }
}

void TForm1::LoadPaymentMethods() {
    PaymentList.clear();
    const QString path = PaymentFilePath();
    const SettingsFile file = ReadSettingsFile(path);
    NoteSettingsProblem(path, file.problem);
    if (!OrderForm) return;
    QComboBox* combo = OrderForm->ComboBox3;
    if (file.lines) {
        PaymentList = *file.lines;
    } else {
        for (int i = 0; i < combo->count(); ++i) PaymentList << combo->itemText(i);
    }
    platform::FillComboKeepingNoSelection(combo, PaymentList);
}

void TForm1::SavePaymentMethods() {
    if (!OrderForm) return;
    const QString path = PaymentFilePath();
    // A file that could not be read holds the user's own text; it is not written over.
    if (SettingsFileRefused(path)) return;
    try {
        PaymentList.clear();
        for (int i = 0; i < OrderForm->ComboBox3->count(); ++i) PaymentList << OrderForm->ComboBox3->itemText(i);
        platform::SaveLines(path, PaymentList);
    } catch (...) {
        // A file that cannot be written loses this run's methods, silently.
    }
}

void TForm1::SetVatRate(const QString& text) {
    VatText = text;
    // An empty list (no remembered choices yet) gets the entry instead of
    // failing on a missing line.
    if (MemList.isEmpty()) MemList.append(text);
    else MemList[0] = text;
    VatText = VatTextBeforePercent(VatText);
    VatRate = VatRateFromText(VatText);
}

void TForm1::SpeedButton1Click() {
    CalculatorTexts texts;
    texts.price = Edit1->text();
    texts.quantity = Edit3->text();
    texts.discount = Edit2->text();
    texts.lineValue = Label10->text();
    texts.result = result->text();
    texts.taxBase = Label7->text();
    texts.vat = Label1->text();
    texts.vatCopy = Label3->text();
    texts.total = Label5->text();
    try {
        AddLine(texts, VatRate);
    } catch (...) {
        // A text that is no number ends the step; what was written stays.
    }
    Label10->setText(texts.lineValue);
    Label7->setText(texts.taxBase);
    Label1->setText(texts.vat);
    Label3->setText(texts.vatCopy);
    Label5->setText(texts.total);
    result->setText(texts.result);
}

void TForm1::FitGridHeight(QWidget* grid, int defaultRowHeight, int rowCount) {
    grid->setFixedHeight(FitGridHeightValue(defaultRowHeight, rowCount));
}

namespace {

void AppendWords(void (*words)(const QString&, QString&), const QString& text, QLabel* label) {
    QString caption = label->text();
    words(text, caption);
    label->setText(caption);
}

}  // namespace

void TForm1::BgWords1(const QString& digits, QLabel* label) { AppendWords(&::BgWords1, digits, label); }
void TForm1::BgWords2(const QString& digits, QLabel* label) { AppendWords(&::BgWords2, digits, label); }
void TForm1::BgWords3(const QString& digits, QLabel* label) { AppendWords(&::BgWords3, digits, label); }
void TForm1::BgWords4(const QString& digits, QLabel* label) { AppendWords(&::BgWords4, digits, label); }
void TForm1::BgWords5(const QString& digits, QLabel* label) { AppendWords(&::BgWords5, digits, label); }
void TForm1::BgWords6(const QString& digits, QLabel* label) { AppendWords(&::BgWords6, digits, label); }
void TForm1::EnWords1(const QString& digits, QLabel* label) { AppendWords(&::EnWords1, digits, label); }
void TForm1::EnWords2(const QString& digits, QLabel* label) { AppendWords(&::EnWords2, digits, label); }
void TForm1::EnWords3(const QString& digits, QLabel* label) { AppendWords(&::EnWords3, digits, label); }
void TForm1::EnWords4(const QString& digits, QLabel* label) { AppendWords(&::EnWords4, digits, label); }
void TForm1::EnWords5(const QString& digits, QLabel* label) { AppendWords(&::EnWords5, digits, label); }
void TForm1::EnWords6(const QString& digits, QLabel* label) { AppendWords(&::EnWords6, digits, label); }
void TForm1::EnWordsFraction(const QString& amount, QLabel* label) {
    AppendWords(&::EnWordsFraction, amount, label);
}
