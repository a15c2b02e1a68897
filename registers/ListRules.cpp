#include "registers/ListRules.h"

#include "documents/NumberText.h"
#include "platform/Exception.h"
#include "platform/LocaleText.h"

#include <algorithm>
#include <limits>

namespace registers {

namespace {
bool IsBlank(QChar c) { return c.unicode() <= ' '; }
}  // namespace

std::optional<int> WholeNumber(const QString& text) {
    qsizetype begin = 0, end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    bool negative = false;
    if (begin < end && (text[begin] == u'+' || text[begin] == u'-')) negative = text[begin++] == u'-';
    if (begin == end) return std::nullopt;
    long long value = 0;
    for (qsizetype i = begin; i < end; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9') return std::nullopt;
        value = value * 10 + (c - u'0');
        if (value > 2147483648LL) return std::nullopt;
    }
    if (negative) value = -value;
    if (value > std::numeric_limits<int>::max()) return std::nullopt;
    return static_cast<int>(value);
}

std::vector<int> ExchangeSortOrderLiteral(const std::vector<std::optional<int>>& keys) {
    const int n = static_cast<int>(keys.size());
    std::vector<int> rows(n);
    for (int i = 0; i < n; ++i) rows[i] = i;
    int t = 0;
    for (int p = 0; p < n; ++p) {
        if (!keys[rows[p]]) continue;
        int v = *keys[rows[p]];
        for (int j = t; j < n; ++j) {
            const std::optional<int>& w = keys[rows[j]];
            if (w && v > *w) {
                std::swap(rows[t], rows[j]);
                v = *w;
            }
        }
        ++t;
    }
    return rows;
}

std::vector<int> ExchangeSortOrder(const std::vector<std::optional<int>>& keys) {
    // A cell without a number is never taken in by a scan; it stands for the
    // largest value here, and a true number never scans for "smaller than" it.
    constexpr std::int64_t kNone = std::numeric_limits<std::int64_t>::max();
    constexpr int kBlock = 64;
    const int n = static_cast<int>(keys.size());
    std::vector<int> rows(n);
    std::vector<std::int64_t> key(n);
    for (int i = 0; i < n; ++i) {
        rows[i] = i;
        key[i] = keys[i] ? *keys[i] : kNone;
    }
    // Below the target row values only ever grow (each exchange puts a larger
    // value where a smaller one was), so a block's minimum, once taken, stays
    // a lower bound: a block whose bound is not below v holds nothing to take.
    const int blocks = (n + kBlock - 1) / kBlock;
    std::vector<std::int64_t> blockMin(blocks, kNone);
    for (int i = 0; i < n; ++i) blockMin[i / kBlock] = std::min(blockMin[i / kBlock], key[i]);

    // The first row at or after from whose value is below v, or n.
    auto nextSmaller = [&](int from, std::int64_t v) {
        if (from >= n) return n;
        const int firstBlockEnd = std::min(n, (from / kBlock + 1) * kBlock);
        for (int j = from; j < firstBlockEnd; ++j)
            if (key[j] < v) return j;
        for (int b = from / kBlock + 1; b < blocks; ++b) {
            if (blockMin[b] >= v) continue;
            const int begin = b * kBlock, end = std::min(n, begin + kBlock);
            std::int64_t least = kNone;
            for (int j = begin; j < end; ++j) {
                if (key[j] < v) return j;
                least = std::min(least, key[j]);
            }
            blockMin[b] = least;
        }
        return n;
    };

    int t = 0;
    for (int p = 0; p < n; ++p) {
        if (key[p] == kNone) continue;
        std::int64_t v = key[p];
        for (int j = nextSmaller(t, v); j < n; j = nextSmaller(j + 1, v)) {
            std::swap(rows[t], rows[j]);
            std::swap(key[t], key[j]);
            v = key[t];
        }
        ++t;
    }
    return rows;
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

QString DeleteRefusal(const QString& owner, bool usersRegistered, const QString& firstUser, const QString& loggedUser) {
    if (!usersRegistered) return {};
    const QString allowed = owner.isEmpty() ? firstUser : owner;
    if (allowed == loggedUser) return {};
    return QStringLiteral("Само потребителят ") + allowed + QStringLiteral(" може да промени или изтрие този документ.");
}

int SearchListHeight(int hits) { return std::min(hits * 14 + 20, 515); }

}  // namespace registers
