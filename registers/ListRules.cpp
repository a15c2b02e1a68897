#include "registers/ListRules.h"

#include "documents/NumberText.h"
#include "platform/Exception.h"
#include "platform/LocaleText.h"

#include <algorithm>
#include <limits>
#include <random>
#include <utility>

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

namespace {

// The walk followed exchange by exchange, for lists with rows that hold no number.
std::vector<int> FollowedExchangeSortOrder(const std::vector<std::optional<std::int64_t>>& keys) {
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
        if (!keys[rows[p]]) continue;  // the greatest number itself is a number
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

// A list of rows, rotated and lengthened, as a tree keyed by position.
class RowRing {
public:
    explicit RowRing(size_t capacity) { nodes_.reserve(capacity); }
    void Append(int row) {
        nodes_.push_back(Node{row, static_cast<std::uint32_t>(random_()), 1, -1, -1});
        root_ = Merge(root_, static_cast<int>(nodes_.size()) - 1);
    }
    // The first `count` rows go to the end.
    void RotateLeft(int count) {
        if (count <= 0) return;
        auto [front, back] = Split(root_, count);
        root_ = Merge(back, front);
    }
    void AppendTo(std::vector<int>& out) const { Walk(root_, out); }

private:
    struct Node {
        int row;
        std::uint32_t priority;
        int size, left, right;
    };
    int Size(int t) const { return t < 0 ? 0 : nodes_[t].size; }
    void Update(int t) { nodes_[t].size = 1 + Size(nodes_[t].left) + Size(nodes_[t].right); }
    int Merge(int a, int b) {
        if (a < 0) return b;
        if (b < 0) return a;
        if (nodes_[a].priority > nodes_[b].priority) {
            nodes_[a].right = Merge(nodes_[a].right, b);
            Update(a);
            return a;
        }
        nodes_[b].left = Merge(a, nodes_[b].left);
        Update(b);
        return b;
    }
    std::pair<int, int> Split(int t, int count) {
        if (t < 0) return {-1, -1};
        if (Size(nodes_[t].left) >= count) {
            auto [a, b] = Split(nodes_[t].left, count);
            nodes_[t].left = b;
            Update(t);
            return {a, t};
        }
        auto [a, b] = Split(nodes_[t].right, count - Size(nodes_[t].left) - 1);
        nodes_[t].right = a;
        Update(t);
        return {t, b};
    }
    void Walk(int t, std::vector<int>& out) const {
        if (t < 0) return;
        Walk(nodes_[t].left, out);
        out.push_back(nodes_[t].row);
        Walk(nodes_[t].right, out);
    }
    std::vector<Node> nodes_;
    int root_ = -1;
    std::minstd_rand random_{2013};
};

}  // namespace

// When every row holds a number, the walk's order follows from these facts
// about it. Leaving out the rows with numbers above some w changes nothing in
// the order of the others; so the rows of one number w end in the order they
// have when the last smaller number has been taken. Rows of number w move
// among themselves only while the first row of number w or less holds w; then
// each step takes the leading rows of w (those before the first smaller
// number) and moves the first of them behind the others. And at the k-th step
// (counted from 0) exactly as many rows of w lead as there were rows of w
// before the k-th smaller row in the original list. So the rows of w start
// in their original order, and for each i the smaller rows that stood after
// the i-th and before the next row of w turn the first i rows of w round by
// one place each. The counts come from a tree of the rows already placed,
// numbers taken in increasing order: n log n in all.
std::vector<int> ExchangeSortOrder(const std::vector<std::optional<std::int64_t>>& keys) {
    const int n = static_cast<int>(keys.size());
    for (const std::optional<std::int64_t>& k : keys)
        if (!k) return FollowedExchangeSortOrder(keys);
    std::vector<int> byNumber(n);
    for (int i = 0; i < n; ++i) byNumber[i] = i;
    std::sort(byNumber.begin(), byNumber.end(), [&keys](int a, int b) {
        return *keys[a] != *keys[b] ? *keys[a] < *keys[b] : a < b;
    });
    std::vector<int> placed(n + 1, 0);  // counts of smaller rows by original index, as a Fenwick tree
    const auto place = [&placed, n](int index) {
        for (int i = index + 1; i <= n; i += i & -i) ++placed[i];
    };
    const auto placedBefore = [&placed](int index) {  // placed rows with an index below `index`
        int count = 0;
        for (int i = index; i > 0; i -= i & -i) count += placed[i];
        return count;
    };
    std::vector<int> order;
    order.reserve(n);
    for (int begin = 0; begin < n;) {
        int end = begin;
        while (end < n && *keys[byNumber[end]] == *keys[byNumber[begin]]) ++end;
        const int m = end - begin;
        RowRing ring(m);
        for (int i = 1; i <= m; ++i) {
            const int row = byNumber[begin + i - 1];
            ring.Append(row);
            const int next = i < m ? byNumber[begin + i] : n;
            const int between = placedBefore(next) - placedBefore(row + 1);
            ring.RotateLeft(between % i);
        }
        ring.AppendTo(order);
        for (int k = begin; k < end; ++k) place(byNumber[k]);
        begin = end;
    }
    return order;
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
