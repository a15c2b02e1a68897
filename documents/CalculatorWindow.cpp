#include "documents/CalculatorWindow.h"

#include "documents/AmountWords.h"
#include "platform/LocaleText.h"

TForm1* Form1 = nullptr;

TForm1::TForm1(QWidget* parent) : platform::Form(parent) {
    setupUi(this);
    connect(SpeedButton1, &QToolButton::clicked, this, &TForm1::SpeedButton1Click);
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
    // Filled by the document editor's remembered choices (mem.txt).
}

void TForm1::LoadPaymentMethods() {
    // Filled by the document editor's payment methods (payment.txt).
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
