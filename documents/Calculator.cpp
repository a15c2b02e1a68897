#include "documents/Calculator.h"

#include "platform/Exception.h"
#include "platform/LocaleText.h"

#include <QRegularExpression>

using platform::CurrencyDecimals;
using platform::DecimalSeparator;
using platform::FloatToStr;
using platform::StrToFloat;

namespace {

bool IsAsciiDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// Rounds a text without exponent to d decimals, as written.
QString RoundPlainText(const QString& text, int d, QChar s) {
    const qsizetype at = text.indexOf(s);
    if (at < 0) return text + s + QString(d, u'0');
    const qsizetype n = text.size() - at - 1;
    if (n < d) return text + QString(d - n, u'0');
    if (n == d) return text;

    const QString cut = text.left(at + 1 + d + 1);
    const QChar last = cut.back();
    if (!IsAsciiDigit(last))
        throw platform::EConvertError(QStringLiteral("„") + text + QStringLiteral("“ не е правилно число."));
    if (last < u'5') return cut.chopped(1);

    // Rounding up adds one unit of the last kept place to the
    // number and writes it again; doing that on the written digits keeps every
    // digit of amounts beyond the 15 that a number text holds.
    StrToFloat(cut);  // a text that is no number is refused here
    QString kept = cut.chopped(1);
    qsizetype i = kept.size() - 1;
    for (; i >= 0; --i) {
        const QChar c = kept.at(i);
        if (c == s) continue;
        if (!IsAsciiDigit(c)) break;  // the sign
        if (c != u'9') {
            kept[i] = QChar(c.unicode() + 1);
            return kept;
        }
        kept[i] = u'0';
    }
    kept.insert(i + 1, u'1');
    return kept;
}

}  // namespace

QString PlainDecimalText(const QString& text) {
    const QChar s = DecimalSeparator();
    static const QRegularExpression pattern(
        QStringLiteral("^\\s*([+-]?)([0-9]*)(?:(.)([0-9]*))?[eE]([+-]?[0-9]{1,4})\\s*$"));
    const auto match = pattern.match(text);
    if (!match.hasMatch()) return text;
    if (match.capturedLength(3) > 0 && match.captured(3) != QString(s)) return text;
    const QString integer = match.captured(2);
    const QString fraction = match.captured(4);
    if (integer.isEmpty() && fraction.isEmpty()) return text;

    QString digits = integer + fraction;
    qsizetype point = integer.size() + match.captured(5).toInt();  // digits before the separator
    if (point < 0) {
        digits = QString(-point, u'0') + digits;
        point = 0;
    }
    if (point > digits.size()) digits += QString(point - digits.size(), u'0');
    QString whole = digits.left(point);
    const QString rest = digits.mid(point);
    while (whole.size() > 1 && whole.front() == u'0') whole.remove(0, 1);
    if (whole.isEmpty()) whole = QStringLiteral("0");
    QString out = match.captured(1) + whole;
    if (!rest.isEmpty()) out += s + rest;
    return out;
}

QString RoundMoneyText(const QString& text) {
    const int d = CurrencyDecimals();
    const QChar s = DecimalSeparator();
    QString rounded = RoundPlainText(PlainDecimalText(text), d, s);
    // No decimals: a whole number, without a bare separator.
    if (d == 0 && rounded.endsWith(s)) rounded.chop(1);
    return rounded;
}

void AddLine(CalculatorTexts& t, double vatRate) {
    const double price = StrToFloat(t.price);
    const double quantity = StrToFloat(t.quantity);
    double value = price * quantity;
    if (!t.discount.isEmpty()) value = value - (StrToFloat(t.discount) * value) * 0.01;

    t.lineValue = FloatToStr(value);
    t.lineValue = RoundMoneyText(t.lineValue);

    const double lineValue = StrToFloat(t.lineValue);
    t.taxBase = FloatToStr(lineValue + StrToFloat(t.taxBase));

    t.vat = FloatToStr(StrToFloat(t.taxBase) * vatRate);
    t.vat = RoundMoneyText(t.vat);
    t.vatCopy = t.vat;

    const double vat = StrToFloat(t.vatCopy);
    t.total = FloatToStr(vat + StrToFloat(t.taxBase));
    t.result = t.lineValue;

    t.result = RoundMoneyText(t.result);
    t.vat = RoundMoneyText(t.vat);
    t.vatCopy = RoundMoneyText(t.vatCopy);
    t.total = RoundMoneyText(t.total);
    t.taxBase = RoundMoneyText(t.taxBase);
}

QString VatTextBeforePercent(const QString& text) {
    const qsizetype percent = text.indexOf(u'%');
    return percent < 0 ? text : text.left(percent);
}

double VatRateFromText(const QString& vatText) { return StrToFloat(vatText) * 0.01; }

int FitGridHeightValue(int defaultRowHeight, int rowCount) { return (defaultRowHeight + 1) * rowCount + 3; }
