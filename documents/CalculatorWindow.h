#pragma once
// The calculator: a hidden window through which every line value, tax base,
// VAT and total of a document is computed. Callers fill Edit1 (price), Edit3
// (quantity) and Edit2 (discount percent, or empty), click SpeedButton1
// ("Добави") in code and read result (line value), Label7 (tax base), Label3
// (VAT) and Label5 (total). The arithmetic itself lives in Calculator.h, the
// amount in words in AmountWords.h.

#include "documents/Calculator.h"
#include "platform/Form.h"
#include "ui_CalculatorWindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QString>
#include <QStringList>

// The window's controls (forms/CalculatorWindow.ui); their texts are the
// calculator's state:
//   Edit1         unit price of the line (input)
//   Edit3         quantity of the line (input)
//   Edit2         discount of the line in percent, or empty (input)
//   SpeedButton1  "Добави": adds the line to the running totals
//   Label10       value of the line, rounded
//   result        copy of the line value, read by the callers
//   Label7        running tax base, the sum of the line values (beside Label6 "Всичко :")
//   Label1        VAT on the running tax base
//   Label3        copy of the VAT, read by the callers (beside Label2 "%")
//   Label5        total, tax base plus VAT (beside Label4 "Общо :")
//   Panel1        holds Label2 to Label7
class TForm1 : public platform::Form, public Ui::TForm1 {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);

    void FormCreate() override;

    // The VAT rate as a fraction (0.2 after creation) and the text it came
    // from, cut at its first "%".
    double VatRate = 0.0;
    QString VatText;
    // The remembered choices: VAT rate text, document title, note kind, VAT
    // article, reason of the VAT basis.
    QStringList MemList;

    // Sets the rate from a text such as "20%" or "20"; also remembers the
    // text as the first remembered choice. Throws EConvertError when the part
    // before "%" is no number (the rate keeps its value).
    void SetVatRate(const QString& text);

    // Rounds a control's number text in place to the money decimals.
    // Throws EConvertError as RoundMoneyText does.
    template <class Control>
    void RoundControlText(Control* control) {
        control->setText(::RoundMoneyText(control->text()));
    }

    // Sets a string grid's height so that all its rows show.
    void FitGridHeight(QWidget* grid, int defaultRowHeight, int rowCount);
    template <class Grid>
    void FitGridHeight(Grid* grid) {
        FitGridHeight(grid, grid->DefaultRowHeight(), grid->RowCount());
    }

    // The amount in words, appended to the given label's text (the printed
    // page's words label).
    void BgWords1(const QString& digits, QLabel* label);
    void BgWords2(const QString& digits, QLabel* label);
    void BgWords3(const QString& digits, QLabel* label);
    void BgWords4(const QString& digits, QLabel* label);
    void BgWords5(const QString& digits, QLabel* label);
    void BgWords6(const QString& digits, QLabel* label);
    void EnWords1(const QString& digits, QLabel* label);
    void EnWords2(const QString& digits, QLabel* label);
    void EnWords3(const QString& digits, QLabel* label);
    void EnWords4(const QString& digits, QLabel* label);
    void EnWords5(const QString& digits, QLabel* label);
    void EnWords6(const QString& digits, QLabel* label);
    void EnWordsFraction(const QString& amount, QLabel* label);

public slots:
    // "Добави": adds the line of the three edits to the running totals. A
    // text that is no number ends the step silently at that point.
    void SpeedButton1Click();

    // mem.txt into MemList and the editor's title, note kind, VAT article and
    // VAT reason; payment.txt into the editor's payment field, and back into
    // payment.txt. A file that cannot be used leaves the defaults and is
    // reported once.
    void LoadLastChoices();
    void LoadPaymentMethods();
    void SavePaymentMethods();

public:
    // The payment methods between the file and the editor's field.
    QStringList PaymentList;
};

extern TForm1* Form1;
