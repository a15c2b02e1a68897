#include "registers/ListRules.h"

#include "documents/NumberText.h"
#include "platform/Exception.h"
#include "platform/LocaleText.h"

#include <algorithm>
#include <limits>

namespace registers {

namespace {
bool IsBlank(QChar c) { return c.unicode() <= ' '; }

// Reads a whole number within [-limit - 1, limit].
std::optional<std::int64_t> ReadWholeNumber(const QString& text, std::uint64_t limit) {
    qsizetype begin = 0, end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    bool negative = false;
    if (begin < end && (text[begin] == u'+' || text[begin] == u'-')) negative = text[begin++] == u'-';
    if (begin == end) return std::nullopt;
    const std::uint64_t most = negative ? limit + 1 : limit;
    std::uint64_t value = 0;
    for (qsizetype i = begin; i < end; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9') return std::nullopt;
        const unsigned digit = c - u'0';
        if (value > (most - digit) / 10) return std::nullopt;
        value = value * 10 + digit;
    }
    // Two's complement: the negation of the magnitude, also for the lowest value.
    return static_cast<std::int64_t>(negative ? 0 - value : value);
}

}  // namespace

std::optional<int> WholeNumber(const QString& text) {
    const std::optional<std::int64_t> value = ReadWholeNumber(text, std::numeric_limits<int>::max());
    if (!value) return std::nullopt;
    return static_cast<int>(*value);
}

std::optional<std::int64_t> LongWholeNumber(const QString& text) {
    return ReadWholeNumber(text, std::numeric_limits<std::int64_t>::max());
}

std::optional<bool> FlagValue(const QString& text) {
    if (text == QLatin1String("True")) return true;
    if (text == QLatin1String("False")) return false;
    try {
        return platform::StrToBool(text);
    } catch (const platform::Exception&) {
        return std::nullopt;
    }
}

std::optional<double> AmountValue(const QString& text) {
    const QString normal = NormalizeDecimalText(text);
    if (normal.isEmpty()) return std::nullopt;
    try {
        return platform::StrToFloat(normal);
    } catch (const platform::Exception&) {
        return std::nullopt;
    }
}

QString MonthText(const QString& date) { return date.mid(3, 2); }
QString YearDigits(const QString& date) { return date.mid(8, 2); }
QString YearBoxDigits(const QString& yearText) { return yearText.right(2); }

const QStringList& MonthNames() {
    static const QStringList names = {
        QStringLiteral("Януари"), QStringLiteral("Февруари"), QStringLiteral("Март"),     QStringLiteral("Април"),
        QStringLiteral("Май"),    QStringLiteral("Юни"),      QStringLiteral("Юли"),      QStringLiteral("Август"),
        QStringLiteral("Септември"), QStringLiteral("Октомври"), QStringLiteral("Ноември"), QStringLiteral("Декември")};
    return names;
}

int SearchListHeight(int hits) { return std::min(hits * 14 + 20, 515); }

}  // namespace registers
