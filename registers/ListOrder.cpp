// The order the lists' exchange sort gives its rows, worked out without
// making the exchanges one by one.

#include "registers/ListRules.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <limits>
#include <random>
#include <span>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace registers {

namespace {

// A list of rows, rotated, lengthened and shortened at its front, as a tree
// keyed by position.
class RowRing {
public:
    RowRing() = default;
    explicit RowRing(size_t capacity) { nodes_.reserve(capacity); }
    int Size() const { return Size(root_); }
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
    int PopFront() {
        auto [front, back] = Split(root_, 1);
        root_ = back;
        return nodes_[front].row;
    }
    void AppendTo(std::vector<int>& out) const { Walk(root_, out); }
    void Clear() {
        nodes_.clear();
        root_ = -1;
    }

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
        // Iterative, so that a long ring cannot exhaust the stack.
        std::vector<int> stack;
        while (t >= 0 || !stack.empty()) {
            while (t >= 0) {
                stack.push_back(t);
                t = nodes_[t].left;
            }
            t = stack.back();
            stack.pop_back();
            out.push_back(nodes_[t].row);
            t = nodes_[t].right;
        }
    }
    std::vector<Node> nodes_;
    int root_ = -1;
    std::minstd_rand random_{2013};
};

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
std::vector<int> NumberedOrder(const std::vector<std::optional<std::int64_t>>& keys) {
    const int n = static_cast<int>(keys.size());
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

// ---------------------------------------------------------------------------
// Lists with rows that hold no number.
//
// Numbers are replaced by their ranks; a row without a number gets the rank
// above all (it is never taken by a scan, and a probe passes over it).
//
// One probe with target row t and probe value h = the probe row's number, c
// being the value at t, does this: if c <= h, the scan starts below t with v
// = c and every row below whose value is under v takes v's place in a chain
// (the chain's first row gets c, each further one its predecessor's value,
// and t the last, smallest one). If c > h, rows between t and the first row
// f below t whose value is under h are not touched; the chain starts at f
// with v = c in the same way. With no such row nothing moves.
//
// Such a chain run over rows [s, end) with incoming value v acts on them
// like the first step of the plain walk over (v, rows...): it keeps v and
// hands on its smallest value (or v). After rows [s, end) have taken in the
// values in a multiset P this way, starting from values b, the values on
// [s..x] are the |x - s + 1| largest of P and b[s..x]: the row x holds
// max(b[x], the |P|-th smallest of P and b[s..x-1]). So the rows far below
// the target (the "tail", from row `front` on) are kept as the untouched
// original values plus P, and rows enter the explicit part above it (the
// "head", rows t..front-1) one at a time when a probe needs them. Taking the
// front row off the tail puts its original value into P and takes P's
// largest out.
//
// Which of several rows of one number is where follows from the numbers
// alone, afterwards. For a number w, call rows with smaller numbers "S" and
// those of w "E". In the tail, the E rows before its first S row ("the
// leading group") are the only ones that move: a value above w entering the
// tail takes the first S row and the leading group turns round by one (its
// first row goes behind the others), then the E rows up to the next S row
// join it; a value w entering the tail takes the first S row and goes behind
// the group; a value below w changes nothing for w; the front row taken off
// the tail is the group's first when it holds w, and when it holds less it is
// the first S row. Once no S row is left in the tail, a value above w
// entering it hands on the group's first row. So the tail's events (what
// entered it, what left its front) are logged during the walk, and each
// number's rows are then followed through them, counting with trees over the
// log instead of stepping through every event.

// Set bits of a word, without a library call where the processor has no instruction for it.
inline int Bits(std::uint64_t x) {
    x = x - ((x >> 1) & 0x5555555555555555ULL);
    x = (x & 0x3333333333333333ULL) + ((x >> 2) & 0x3333333333333333ULL);
    x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0FULL;
    return static_cast<int>((x * 0x0101010101010101ULL) >> 56);
}

class BitVector {
public:
    explicit BitVector(int size) : words_((size >> 6) + 1, 0), ranks_((size >> 6) + 2, 0) {}
    void Set(int i) { words_[i >> 6] |= std::uint64_t{1} << (i & 63); }
    void Index() {
        for (size_t w = 0; w < words_.size(); ++w) ranks_[w + 1] = ranks_[w] + Bits(words_[w]);
    }
    int Ones(int i) const {  // set bits in [0, i)
        const std::uint64_t below = (std::uint64_t{1} << (i & 63)) - 1;
        return ranks_[i >> 6] + Bits(words_[i >> 6] & below);
    }
    int Zeros(int i) const { return i - Ones(i); }

private:
    std::vector<std::uint64_t> words_;
    std::vector<int> ranks_;
};

// A multiset of ranks below 2^levels, as counts in a complete binary tree.
class RankCounts {
public:
    explicit RankCounts(int levels) : levels_(levels), counts_(std::size_t{2} << levels, 0) {}
    int Size() const { return counts_[1]; }
    void Add(int rank, int by) {
        for (int node = (1 << levels_) + rank; node > 0; node >>= 1) counts_[node] += by;
    }
    int Largest() const {
        int node = 1;
        for (int d = 0; d < levels_; ++d) node = counts_[2 * node + 1] > 0 ? 2 * node + 1 : 2 * node;
        return node - (1 << levels_);
    }
    int Below(int rank) const {  // members under `rank`
        if (rank >= (1 << levels_)) return Size();
        int count = 0, node = 1;
        for (int d = levels_ - 1; d >= 0; --d) {
            if ((rank >> d) & 1) {
                count += counts_[2 * node];
                node = 2 * node + 1;
            } else {
                node = 2 * node;
            }
        }
        return count;
    }
    int Left(int node) const { return counts_[2 * node]; }

private:
    int levels_;
    std::vector<int> counts_;
};

// The original ranks, for counting and order statistics over a range of rows.
class WaveletMatrix {
public:
    WaveletMatrix(const std::vector<int>& values, int levels) : levels_(levels) {
        const int n = static_cast<int>(values.size());
        std::vector<int> current = values, next(n);
        for (int d = 0; d < levels; ++d) {
            const int bit = levels - 1 - d;
            BitVector bits(n);
            int zeros = 0;
            for (int i = 0; i < n; ++i)
                if ((current[i] >> bit) & 1) bits.Set(i);
                else ++zeros;
            bits.Index();
            int z = 0, o = zeros;
            for (int i = 0; i < n; ++i) next[((current[i] >> bit) & 1) ? o++ : z++] = current[i];
            current.swap(next);
            bits_.push_back(std::move(bits));
            zeros_.push_back(zeros);
        }
    }
    // Values under `rank` in rows [lo, hi).
    int Below(int lo, int hi, int rank) const {
        if (rank >= (1 << levels_)) return hi - lo;
        int count = 0;
        for (int d = 0; d < levels_; ++d) {
            const int zl = bits_[d].Zeros(lo), zh = bits_[d].Zeros(hi);
            if ((rank >> (levels_ - 1 - d)) & 1) {
                count += zh - zl;
                lo = zeros_[d] + lo - zl;
                hi = zeros_[d] + hi - zh;
            } else {
                lo = zl;
                hi = zh;
            }
        }
        return count;
    }
    // The k-th smallest (from 1) of the values in rows [lo, hi) together with `extra`.
    int Smallest(int k, int lo, int hi, const RankCounts& extra) const {
        int node = 1, rank = 0;
        for (int d = 0; d < levels_; ++d) {
            const int zl = bits_[d].Zeros(lo), zh = bits_[d].Zeros(hi);
            const int left = zh - zl + extra.Left(node);
            if (k <= left) {
                lo = zl;
                hi = zh;
                node = 2 * node;
            } else {
                k -= left;
                lo = zeros_[d] + lo - zl;
                hi = zeros_[d] + hi - zh;
                node = 2 * node + 1;
                rank |= 1 << (levels_ - 1 - d);
            }
        }
        return rank;
    }

private:
    int levels_;
    std::vector<BitVector> bits_;
    std::vector<int> zeros_;
};

// Counts over the positions of the event log, with "the k-th counted position".
class PositionCounts {
public:
    explicit PositionCounts(int size) : tree_(size + 1, 0), top_(size ? std::bit_floor(unsigned(size)) : 0) {}
    void Add(int position, int by) {
        for (int i = position + 1; i < static_cast<int>(tree_.size()); i += i & -i) tree_[i] += by;
    }
    int Upto(int position) const {  // counted positions in [0, position]
        int count = 0;
        for (int i = position + 1; i > 0; i -= i & -i) count += tree_[i];
        return count;
    }
    int Kth(int k) const {  // the position of the k-th counted one (from 1); size() when there are fewer
        int position = 0;
        for (int step = static_cast<int>(top_); step > 0; step >>= 1)
            if (position + step < static_cast<int>(tree_.size()) && tree_[position + step] < k) {
                position += step;
                k -= tree_[position];
            }
        return position;  // the 1-based index of the answer, less one
    }

private:
    std::vector<int> tree_;
    unsigned top_;
};

// Bit i set where a[i] < v, for the first `count` (at most 64) values.
std::uint64_t UnderMask(const int* a, int count, int v) {
    std::uint64_t mask = 0;
    int i = 0;
#if defined(__SSE2__)
    const __m128i limit = _mm_set1_epi32(v);
    for (; i + 4 <= count; i += 4) {
        const __m128i under = _mm_cmplt_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i)), limit);
        mask |= static_cast<std::uint64_t>(_mm_movemask_ps(_mm_castsi128_ps(under))) << i;
    }
#endif
    for (; i < count; ++i) mask |= static_cast<std::uint64_t>(a[i] < v) << i;
    return mask;
}

// Items grouped by a key below `keys`, in the order they are put: count
// every item, place, then put them.
class Buckets {
public:
    explicit Buckets(int keys) : start_(static_cast<size_t>(keys) + 1, 0) {}
    void Count(int key) { ++start_[key + 1]; }
    void Place() {
        for (size_t k = 1; k < start_.size(); ++k) start_[k] += start_[k - 1];
        next_.assign(start_.begin(), start_.end() - 1);
        items_.resize(start_.back());
    }
    void Put(int key, int item) { items_[next_[key]++] = item; }
    std::span<const int> operator[](int key) const {
        return {items_.data() + start_[key], static_cast<size_t>(start_[key + 1] - start_[key])};
    }

private:
    std::vector<int> start_, next_, items_;
};

struct TailEvent {
    bool entered;  // a value entered the tail (else its front row was taken off)
    int rank;      // the value that entered, or the value of the row taken off
    int in;        // the token that entered
    int out;       // the token handed on, or of the row taken off
};

std::vector<int> WalkedOrder(const std::vector<std::optional<std::int64_t>>& keys) {
    const int n = static_cast<int>(keys.size());
    if (n == 0) return {};

    // Ranks; the rows without a number rank above all.
    std::vector<std::int64_t> numbers;
    for (const auto& k : keys)
        if (k) numbers.push_back(*k);
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    const int none = static_cast<int>(numbers.size());
    std::vector<int> b(n);
    for (int i = 0; i < n; ++i)
        b[i] = keys[i] ? static_cast<int>(std::lower_bound(numbers.begin(), numbers.end(), *keys[i]) - numbers.begin())
                       : none;
    const int levels = std::max(1, static_cast<int>(std::bit_width(unsigned(none))));
    const WaveletMatrix original(b, levels);

    // Tokens name rows whose identity is settled afterwards.
    std::vector<int> tokenRow;
    tokenRow.reserve(2 * static_cast<size_t>(n) + 1);
    const auto newToken = [&tokenRow] {
        tokenRow.push_back(-1);
        return static_cast<int>(tokenRow.size()) - 1;
    };

    // The head: explicit values and tokens of rows [t, front).
    constexpr int kBlock = 64;
    constexpr int kAbove = std::numeric_limits<int>::max();
    std::vector<int> value(n), token(n);
    // Lower bounds of the head's values by blocks of rows: a row's value only
    // grows while it is below the target, so a bound once taken stays one.
    std::vector<int> blockLeast((n + kBlock - 1) / kBlock, kAbove);
    int front = 0;
    RankCounts taken(levels);  // P: the values the tail has taken in
    std::vector<TailEvent> log;
    log.reserve(2 * static_cast<size_t>(n));

    const auto takeFront = [&] {
        const int row = front;
        int v = b[row];
        if (taken.Size() > 0) {
            v = std::max(v, taken.Largest());
            taken.Add(b[row], 1);
            taken.Add(taken.Largest(), -1);
        }
        const int tk = newToken();
        log.push_back(TailEvent{false, v, tk, tk});
        value[row] = v;
        token[row] = tk;
        blockLeast[row / kBlock] = std::min(blockLeast[row / kBlock], v);
        ++front;
    };
    const auto valueAt = [&](int row) {
        if (row < front) return value[row];
        if (taken.Size() == 0) return b[row];
        return std::max(b[row], original.Smallest(taken.Size(), front, row, taken));
    };
    // The first head row at or after `from` whose value is under v, or front.
    const auto nextBelow = [&](int from, int v) {
        for (int start = from; start < front;) {
            const int blockEnd = std::min(front, (start / kBlock + 1) * kBlock);
            if (start % kBlock != 0 || blockLeast[start / kBlock] < v) {
                const std::uint64_t under = UnderMask(value.data() + start, blockEnd - start, v);
                if (under) return start + std::countr_zero(under);
            }
            start = blockEnd;
        }
        return front;
    };
    // A chain over head rows [begin, end) with the incoming value v and its
    // token vt: each row under the running value takes it and hands its own
    // on. Only rows under the value the chain comes in with can be taken,
    // and the running value only falls, so each block's rows are first sifted
    // against it and the rest passed over. Returns a lower bound of the
    // rows' values afterwards: the value handed on (each row now holds a
    // value it was not under, or one the chain handed along before).
    const auto chainOver = [&value, &token](int begin, int end, int& v, int& vt) {
        int* values = value.data();
        int* tokens = token.data();
        int run = v, runToken = vt;
        for (int start = begin; start < end; start += 64) {
            const int stop = std::min(end, start + 64);
            std::uint64_t under = UnderMask(values + start, stop - start, run);
            while (under) {
                const int j = start + std::countr_zero(under);
                under &= under - 1;
                if (values[j] < run) {
                    std::swap(values[j], run);
                    std::swap(tokens[j], runToken);
                }
            }
        }
        v = run;
        vt = runToken;
        return run;
    };

    takeFront();
    tokenRow[token[0]] = 0;
    log.clear();
    int t = 0;
    for (int p = 0; p < n; ++p) {
        const int h = valueAt(p);
        if (h == none) continue;
        while (front <= t) takeFront();
        const int c = value[t];
        int f = t + 1;
        if (c > h) {
            f = nextBelow(t + 1, h);
            if (f == front) {
                // In the tail: the (g+1)-th original value under h from the front,
                // g being the count of taken-in values not under h.
                const int g = taken.Size() - taken.Below(h);
                if (original.Below(front, n, h) <= g) {
                    ++t;  // nothing under h below t: nothing moves
                    continue;
                }
                // It is mostly near the front: widen the range by doubling, then halve it.
                int lo = front, hi = front, step = 1;
                while (original.Below(front, hi + 1, h) < g + 1) {
                    lo = hi + 1;
                    hi = std::min(n - 1, hi + step);
                    step *= 2;
                }
                while (lo < hi) {
                    const int mid = lo + (hi - lo) / 2;
                    if (original.Below(front, mid + 1, h) >= g + 1) hi = mid;
                    else lo = mid + 1;
                }
                f = lo;
                while (front < f) takeFront();
            }
        }
        int v = c, vt = token[t];
        if (f < front) {
            const int firstEnd = std::min(front, (f / kBlock + 1) * kBlock);
            chainOver(f, firstEnd, v, vt);  // the first block keeps its bound: its values only grew
            for (int begin = firstEnd; begin < front; begin += kBlock)
                if (blockLeast[begin / kBlock] < v)
                    blockLeast[begin / kBlock] = chainOver(begin, std::min(front, begin + kBlock), v, vt);
        }
        if (front < n) {
            const int least = original.Smallest(taken.Size() + 1, front, n, taken);
            taken.Add(v, 1);
            if (v <= least) {
                log.push_back(TailEvent{true, v, vt, vt});
            } else {
                const int out = newToken();
                log.push_back(TailEvent{true, v, vt, out});
                v = least;
                vt = out;
            }
        }
        value[t] = v;
        token[t] = vt;
        ++t;
    }
    while (front < n) takeFront();

    // Each number's rows through the tail's events.
    const int events = static_cast<int>(log.size());
    Buckets enteredAt(none + 1), leftAt(none + 1), rowsOf(none + 1);
    for (int e = 0; e < events; ++e) (log[e].entered ? enteredAt : leftAt).Count(log[e].rank);
    for (int row = 1; row < n; ++row) rowsOf.Count(b[row]);
    enteredAt.Place();
    leftAt.Place();
    rowsOf.Place();
    for (int e = 0; e < events; ++e) (log[e].entered ? enteredAt : leftAt).Put(log[e].rank, e);
    for (int row = 1; row < n; ++row) rowsOf.Put(b[row], row);
    RowRing group(64);
    // takings: events that take an S row of the current number w (values of w
    // or above entering, rows under w taken off the front); turning: values above w entering.
    PositionCounts takings(events), turning(events), smaller(n);
    for (int e = 0; e < events; ++e)
        if (log[e].entered) {
            takings.Add(e, 1);
            turning.Add(e, 1);
        }
    int smallerRows = 0;  // tail rows (from row 1) with a number under w
    for (int w = 0; w <= none; ++w) {
        for (int e : enteredAt[w]) turning.Add(e, -1);
        const std::span<const int> rows = rowsOf[w], entered = enteredAt[w], left = leftAt[w];
        if (!rows.empty() || !entered.empty()) {
            const int sRows = smallerRows;
            const int exhausted = sRows == 0 ? -1 : takings.Kth(sRows);  // the event taking the last S row
            group.Clear();
            size_t nextRow = 0;
            const auto joinUpTo = [&](int takenS) {  // E rows with at most takenS S rows before them
                while (nextRow < rows.size() && smaller.Upto(rows[nextRow] - 1) <= takenS) group.Append(rows[nextRow++]);
            };
            joinUpTo(0);
            int done = -1;  // events up to here are accounted for
            const auto turnUpTo = [&](int e) {
                const int upto = std::min(e, exhausted);
                if (upto > done && group.Size() > 1) {
                    const int turns = turning.Upto(upto) - (done >= 0 ? turning.Upto(done) : 0);
                    group.RotateLeft(turns % group.Size());
                }
                done = std::max(done, e);
            };
            // While S rows are left: insertions, front rows taken off, and joins after each taking.
            size_t nextIn = 0, nextOut = 0;
            int takenS = 0;
            while (takenS < sRows) {
                // The next event that changes the group: the next taking after
                // which E rows join, a value w entering, or a row of w taken off.
                const int joinAt = nextRow < rows.size()
                                       ? takings.Kth(std::max(takenS + 1, smaller.Upto(rows[nextRow] - 1)))
                                       : events;
                const int inAt = nextIn < entered.size() ? entered[nextIn] : events;
                const int outAt = nextOut < left.size() ? left[nextOut] : events;
                const int at = std::min({joinAt, inAt, outAt, exhausted});
                if (at >= events) break;  // the log always holds a taking for every S row
                if (at == outAt && outAt < joinAt && outAt < inAt) {
                    turnUpTo(at);
                    tokenRow[log[at].out] = group.PopFront();
                    ++nextOut;
                    continue;
                }
                turnUpTo(at);
                takenS = takings.Upto(at);
                if (at == inAt) {
                    group.Append(tokenRow[log[at].in]);
                    ++nextIn;
                }
                joinUpTo(takenS);
            }
            joinUpTo(sRows);
            // No S row left: values of w entering pass through; values above w
            // entering hand on the group's first row, as does taking it off the front.
            while (nextIn < entered.size() && entered[nextIn] <= exhausted) ++nextIn;
            while (nextOut < left.size() && left[nextOut] <= exhausted) {
                tokenRow[log[left[nextOut]].out] = group.PopFront();
                ++nextOut;
            }
            int handed = exhausted >= 0 ? turning.Upto(exhausted) : 0;
            while (group.Size() > 0) {
                const int onAt = turning.Kth(handed + 1);
                const int outAt = nextOut < left.size() ? left[nextOut] : events;
                if (onAt >= events && outAt >= events) break;
                if (outAt < onAt) {
                    tokenRow[log[outAt].out] = group.PopFront();
                    ++nextOut;
                } else {
                    tokenRow[log[onAt].out] = group.PopFront();
                    ++handed;
                }
            }
        }
        for (int e : enteredAt[w]) takings.Add(e, -1);
        for (int e : leftAt[w]) takings.Add(e, 1);
        for (int row : rows) smaller.Add(row, 1);
        smallerRows += static_cast<int>(rows.size());
    }

    std::vector<int> order(n);
    for (int row = 0; row < n; ++row) order[row] = tokenRow[token[row]];
    return order;
}

}  // namespace

std::vector<int> ExchangeSortOrder(const std::vector<std::optional<std::int64_t>>& keys) {
    for (const std::optional<std::int64_t>& k : keys)
        if (!k) return WalkedOrder(keys);
    return NumberedOrder(keys);
}

}  // namespace registers
