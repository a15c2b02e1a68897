#include "platform/LocaleText.h"

#include "platform/Exception.h"

#include <QLocale>
#include <QRegularExpression>
#include <charconv>
#include <cmath>
#include <limits>
#include <mutex>
#include <string>

namespace platform {
namespace {

struct LocaleOverrides {
    std::mutex mutex;
    std::optional<QChar> separator;
    std::optional<int> currencyDecimals;
    std::optional<QString> currencyString;
    std::optional<QString> shortDateFormat;
};

LocaleOverrides& Overrides() {
    static LocaleOverrides overrides;
    return overrides;
}

QString Quoted(const QString& text) { return QStringLiteral("„") + text + QStringLiteral("“"); }

EConvertError NotANumber(const QString& text) {
    return EConvertError(Quoted(text) + QStringLiteral(" не е правилно число."));
}

bool IsBlank(QChar c) { return c.unicode() <= ' '; }

QString TrimBlanks(const QString& text) {
    qsizetype begin = 0, end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return text.mid(begin, end - begin);
}

bool IsAsciiDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// The money decimals of a locale, as its own currency format writes them
// (bg_BG "0,00 лв." gives 2, ja_JP "￥0" gives 0).
int LocaleCurrencyDecimals(const QLocale& locale) {
    const QString sample = locale.toCurrencyString(0.0, QStringLiteral("X"));
    const QString point = locale.decimalPoint();
    const qsizetype at = point.isEmpty() ? -1 : sample.indexOf(point);
    if (at < 0) return 0;
    int digits = 0;
    for (qsizetype i = at + point.size(); i < sample.size() && sample[i].isDigit(); ++i) ++digits;
    return digits <= 9 ? digits : 2;
}

// Day, month and year in the order a date format names them.
struct DateOrder {
    int day = 0, month = 1, year = 2;  // positions 0..2
};

DateOrder OrderOf(const QString& format) {
    const qsizetype d = format.indexOf(u'd');
    const qsizetype m = format.indexOf(u'M');
    const qsizetype y = format.indexOf(u'y');
    if (d < 0 || m < 0 || y < 0) return {};
    DateOrder order;
    order.day = int(d > m) + int(d > y);
    order.month = int(m > d) + int(m > y);
    order.year = int(y > d) + int(y > m);
    return order;
}

// Three numbers separated by single non-digit characters (the date separator);
// a year of one or two digits falls within fifty years of today.
std::optional<QDate> NumericDate(const QString& text, const DateOrder& order) {
    static const QRegularExpression pattern(QStringLiteral("^(\\d{1,4})[^\\d\\s](\\d{1,4})[^\\d\\s](\\d{1,4})$"));
    const auto match = pattern.match(text);
    if (!match.hasMatch()) return std::nullopt;
    int parts[3];
    for (int i = 0; i < 3; ++i) parts[i] = match.captured(i + 1).toInt();
    int year = parts[order.year];
    if (match.captured(order.year + 1).size() <= 2) {
        const int now = QDate::currentDate().year();
        year += (now - 50) / 100 * 100;
        if (year < now - 50) year += 100;
    }
    const QDate date(year, parts[order.month], parts[order.day]);
    if (!date.isValid()) return std::nullopt;
    return date;
}

EConvertError NotADate(const QString& text) {
    return EConvertError(Quoted(text) + QStringLiteral(" не е правилна дата."));
}

}  // namespace

QChar DecimalSeparator() {
    {
        std::lock_guard lock(Overrides().mutex);
        if (Overrides().separator) return *Overrides().separator;
    }
    const QString point = QLocale::system().decimalPoint();
    return point.isEmpty() ? QChar(u'.') : point[0];
}

int CurrencyDecimals() {
    {
        std::lock_guard lock(Overrides().mutex);
        if (Overrides().currencyDecimals) return *Overrides().currencyDecimals;
    }
    return LocaleCurrencyDecimals(QLocale::system());
}

QString CurrencyString() {
    {
        std::lock_guard lock(Overrides().mutex);
        if (Overrides().currencyString) return *Overrides().currencyString;
    }
    return QLocale::system().currencySymbol();
}

void SetCurrencyString(const QString& symbol) {
    std::lock_guard lock(Overrides().mutex);
    Overrides().currencyString = symbol;
}

void SetDecimalSeparatorOverride(std::optional<QChar> separator) {
    std::lock_guard lock(Overrides().mutex);
    Overrides().separator = separator;
}

void SetCurrencyDecimalsOverride(std::optional<int> decimals) {
    std::lock_guard lock(Overrides().mutex);
    Overrides().currencyDecimals = decimals;
}

void SetShortDateFormatOverride(std::optional<QString> format) {
    std::lock_guard lock(Overrides().mutex);
    Overrides().shortDateFormat = std::move(format);
}

QString FloatToStr(double value) {
    if (std::isnan(value)) return QStringLiteral("NAN");
    if (std::isinf(value)) return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (value == 0) return QStringLiteral("0");

    // 15 significant digits, d.dddddddddddddde±x, independent of the C locale.
    char buffer[64];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    const std::string text(buffer, written.ptr);
    const bool negative = text[0] == '-';
    const size_t ePos = text.find('e');
    std::string digits;
    for (size_t i = negative ? 1 : 0; i < ePos; ++i)
        if (text[i] != '.') digits += text[i];
    const int exponent = std::stoi(text.substr(ePos + 1));
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    const QChar separator = DecimalSeparator();
    QString out = negative ? QStringLiteral("-") : QString();
    if (exponent < -4 || exponent >= 15) {
        out += QChar(digits[0]);
        if (digits.size() > 1) out += separator + QString::fromLatin1(digits.substr(1));
        out += u'E';
        out += QString::number(exponent);
        return out;
    }
    if (exponent < 0) {
        out += u'0';
        out += separator;
        out += QString(-exponent - 1, u'0');
        out += QString::fromLatin1(digits);
        return out;
    }
    const size_t integerDigits = size_t(exponent) + 1;
    if (digits.size() <= integerDigits) {
        out += QString::fromLatin1(digits) + QString(qsizetype(integerDigits - digits.size()), u'0');
    } else {
        out += QString::fromLatin1(digits.substr(0, integerDigits)) + separator +
               QString::fromLatin1(digits.substr(integerDigits));
    }
    return out;
}

double StrToFloat(const QString& text) {
    const QString trimmed = TrimBlanks(text);
    const QChar separator = DecimalSeparator();

    // sign, digits with at most one separator, then E/e, a sign and digits
    std::string plain;
    qsizetype i = 0;
    const qsizetype n = trimmed.size();
    bool negative = false;
    if (i < n && (trimmed[i] == u'+' || trimmed[i] == u'-')) negative = trimmed[i++] == u'-';
    int mantissaDigits = 0;
    int leadingZeros = 0;  // zeros before the first significant digit, for telling underflow from overflow
    int integerDigits = 0;
    bool seenSeparator = false, seenSignificant = false;
    for (; i < n; ++i) {
        const QChar c = trimmed[i];
        if (IsAsciiDigit(c)) {
            ++mantissaDigits;
            if (c != u'0') seenSignificant = true;
            if (!seenSignificant && seenSeparator) ++leadingZeros;
            if (seenSignificant && !seenSeparator) ++integerDigits;
            plain += char(c.unicode());
        } else if (c == separator && !seenSeparator) {
            seenSeparator = true;
            plain += '.';
        } else {
            break;
        }
    }
    if (mantissaDigits == 0) throw NotANumber(text);
    long long exponent = 0;
    if (i < n && (trimmed[i] == u'e' || trimmed[i] == u'E')) {
        plain += 'e';
        ++i;
        bool negativeExponent = false;
        if (i < n && (trimmed[i] == u'+' || trimmed[i] == u'-')) {
            negativeExponent = trimmed[i] == u'-';
            plain += char(trimmed[i++].unicode());
        }
        const qsizetype expStart = i;
        for (; i < n && IsAsciiDigit(trimmed[i]); ++i) {
            plain += char(trimmed[i].unicode());
            if (exponent < 1000000) exponent = exponent * 10 + (trimmed[i].unicode() - u'0');
        }
        if (i == expStart) throw NotANumber(text);
        if (negativeExponent) exponent = -exponent;
    }
    if (i != n) throw NotANumber(text);

    double value = 0;
    const auto parsed = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (parsed.ec == std::errc::result_out_of_range) {
        if (!seenSignificant) return negative ? -0.0 : 0.0;
        const long long magnitude = (integerDigits > 0 ? integerDigits : -leadingZeros) + exponent;
        if (magnitude < 0) return negative ? -0.0 : 0.0;  // too small to hold: zero
        throw EConvertError(Quoted(text) + QStringLiteral(" е извън обхвата на числата."));
    }
    if (parsed.ec != std::errc() || parsed.ptr != plain.data() + plain.size()) throw NotANumber(text);
    return negative ? -value : value;
}

int StrToInt(const QString& text) {
    const QString trimmed = TrimBlanks(text);
    qsizetype i = 0;
    bool negative = false;
    if (i < trimmed.size() && (trimmed[i] == u'+' || trimmed[i] == u'-')) negative = trimmed[i++] == u'-';
    if (i == trimmed.size())
        throw EConvertError(Quoted(text) + QStringLiteral(" не е правилно цяло число."));
    long long value = 0;
    for (; i < trimmed.size(); ++i) {
        if (!IsAsciiDigit(trimmed[i]))
            throw EConvertError(Quoted(text) + QStringLiteral(" не е правилно цяло число."));
        value = value * 10 + (trimmed[i].unicode() - u'0');
        if (value > 2147483648LL)
            throw EConvertError(Quoted(text) + QStringLiteral(" е извън обхвата на целите числа."));
    }
    if (negative) value = -value;
    if (value > std::numeric_limits<int>::max())
        throw EConvertError(Quoted(text) + QStringLiteral(" е извън обхвата на целите числа."));
    return int(value);
}

bool StrToBool(const QString& text) {
    const QString trimmed = TrimBlanks(text);
    if (trimmed.compare(QStringLiteral("True"), Qt::CaseInsensitive) == 0) return true;
    if (trimmed.compare(QStringLiteral("False"), Qt::CaseInsensitive) == 0) return false;
    try {
        return StrToFloat(trimmed) != 0;
    } catch (const EConvertError&) {
        throw EConvertError(Quoted(text) + QStringLiteral(" не е правилна логическа стойност (True или False)."));
    }
}

QString BoolToStr(bool value) { return value ? QStringLiteral("True") : QStringLiteral("False"); }

QString DocumentDateText(const QDate& date) {
    if (!date.isValid()) return QString();
    return QStringLiteral("%1.%2.%3 г.")
        .arg(date.day(), 2, 10, QChar(u'0'))
        .arg(date.month(), 2, 10, QChar(u'0'))
        .arg(date.year(), 4, 10, QChar(u'0'));
}

QDate DocumentDateFromText(const QString& text) {
    QString part = text;
    qsizetype begin = 0;
    while (begin < part.size() && part[begin] == u' ') ++begin;
    part = part.mid(begin);
    const qsizetype blank = part.indexOf(u' ');
    if (blank >= 0) part.truncate(blank);
    static const QRegularExpression pattern(QStringLiteral("^(\\d{1,2})\\.(\\d{1,2})\\.(\\d{4})$"));
    const auto match = pattern.match(part);
    if (match.hasMatch()) {
        const QDate date(match.captured(3).toInt(), match.captured(2).toInt(), match.captured(1).toInt());
        if (date.isValid()) return date;
    }
    throw NotADate(text);
}

QString ShortDateFormat() {
    {
        std::lock_guard lock(Overrides().mutex);
        if (Overrides().shortDateFormat) return *Overrides().shortDateFormat;
    }
    // A computer with no locale chosen ("C") writes month names in English:
    // documents then take the day, month and year as digits.
    if (QLocale::system().language() == QLocale::C) return QStringLiteral("dd.MM.yyyy");
    // Two-digit years lose the century; documents keep four.
    QString format = QLocale::system().dateFormat(QLocale::ShortFormat);
    static const QRegularExpression shortYear(QStringLiteral("(?<!y)yy(?!y)"));
    format.replace(shortYear, QStringLiteral("yyyy"));
    return format;
}

QString DateToStr(const QDate& date) {
    if (!date.isValid()) return QString();
    return QLocale::system().toString(date, ShortDateFormat());
}

QDate StrToDate(const QString& text) {
    const QString trimmed = TrimBlanks(text);
    const QString format = ShortDateFormat();
    const QDate exact = QLocale::system().toDate(trimmed, format);
    if (exact.isValid()) return exact;
    // The numbers alone, in the format's order, with whatever literal text
    // the format puts after them cut off at the first blank.
    QString numbers = trimmed;
    const qsizetype blank = numbers.indexOf(u' ');
    if (blank >= 0) numbers.truncate(blank);
    if (const auto date = NumericDate(numbers, OrderOf(format))) return *date;
    throw NotADate(text);
}

}  // namespace platform
