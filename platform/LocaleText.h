#pragma once
// Number, flag and date texts as the program writes and reads them. The
// decimal separator and the money decimals are read afresh at every call:
// from the system locale, unless a test has set them.

#include <QChar>
#include <QDate>
#include <QString>
#include <optional>

namespace platform {

QChar DecimalSeparator();
// The locale's money decimals as its own currency format writes them
// (bg_BG and the C locale 2, ja_JP 0).
int CurrencyDecimals();
// The currency symbol, process-wide: the system locale's until set.
QString CurrencyString();
void SetCurrencyString(const QString& symbol);

// Tests (and nothing else) fix the separator and the money decimals;
// std::nullopt returns to the system locale.
void SetDecimalSeparatorOverride(std::optional<QChar> separator);
void SetCurrencyDecimalsOverride(std::optional<int> decimals);
void SetShortDateFormatOverride(std::optional<QString> format);

// Shortest general form: at most 15 significant digits, no group separator,
// no trailing zeros of the fraction, the separator only when a fraction
// remains; exponent form ("1E-5", "1,5E20") below 0.0001 (other than 0) or
// beyond 15 integer digits.
QString FloatToStr(double value);

// Blanks at either end, a sign, digits with one decimal separator, an
// exponent; nothing else. Throws EConvertError.
double StrToFloat(const QString& text);

// Whole number (blanks at either end, sign, decimal digits). Throws EConvertError.
int StrToInt(const QString& text);

// "True"/"False" in any case, or a number (0 is false). Throws EConvertError.
bool StrToBool(const QString& text);
QString BoolToStr(bool value);  // "True" / "False"

// Document dates: "dd.MM.yyyy 'г.'" (05.03.2013 г.).
QString DocumentDateText(const QDate& date);
// Reads the part before the first blank as dd.MM.yyyy. Throws EConvertError.
QDate DocumentDateFromText(const QString& text);

// The locale's short date format (as QDate::toString pattern; a two-digit
// year is widened to four) and texts in it. StrToDate also takes the three
// numbers alone in the format's order (5.3.2013), a year of two digits
// falling within fifty years of today.
QString ShortDateFormat();
QString DateToStr(const QDate& date);
QDate StrToDate(const QString& text);  // throws EConvertError

}  // namespace platform
