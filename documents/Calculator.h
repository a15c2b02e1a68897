#pragma once
// Money arithmetic of a document, on texts in the locale's number format:
// rounding a text to the money decimals, adding one line item to the running
// totals, reading a VAT rate. The calculator window and the statistics call
// these; nothing here touches a widget.

#include <QString>

// Rounds a number text to the locale's money decimals (d) on its written
// digits, half away from zero: "12" gives "12,00", "12,345" "12,35",
// "-12,345" "-12,35", "9,9999" "10,00", "-0,004" "-0,00", "" ",00".
// A text in exponent form ("1,5E-7") is first written out in full decimals.
// With 0 money decimals the result is a whole number without a separator
// ("12,5" gives "13"). Throws EConvertError when the digit after the kept
// places is no digit or, on rounding up, the text does not convert.
QString RoundMoneyText(const QString& text);

// Writes a number text in exponent form ("1,5E3", "-1E-5") in plain decimals
// ("1500", "-0,00001"); any other text comes back unchanged.
QString PlainDecimalText(const QString& text);

// The calculator's texts: three inputs, then the outputs of one line and the
// running totals. Before the first line of a document the caller sets
// taxBase, vatCopy and total to "0".
struct CalculatorTexts {
    QString price;                             // unit price
    QString quantity;                          // quantity
    QString discount;                          // percent; empty means none
    QString lineValue = QStringLiteral("0");   // value of the line, rounded
    QString result = QStringLiteral("result"); // copy of the line value
    QString taxBase = QStringLiteral("0");     // running sum of the line values
    QString vat = QStringLiteral("0");         // VAT on the running sum
    QString vatCopy = QStringLiteral("0");     // copy of the VAT
    QString total = QStringLiteral("0");       // tax base plus VAT
};

// Adds one line: value := price × quantity, less the discount percent; the
// rounded value is added to the tax base, the VAT is computed on the whole tax
// base, the total is tax base plus VAT; every output rounded. A text that does
// not convert throws EConvertError at that point: the outputs written before
// it keep their new texts, the rest their old ones.
void AddLine(CalculatorTexts& texts, double vatRate);

// "20%" gives "20": the text before its first "%" (the whole text without one).
QString VatTextBeforePercent(const QString& text);
// "20" gives 0.2. Throws EConvertError when the text is no number.
double VatRateFromText(const QString& vatText);

// Height of a string grid that shows all its rows: (row height + 1) × rows + 3.
int FitGridHeightValue(int defaultRowHeight, int rowCount);
