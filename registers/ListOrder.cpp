// The order of the lists' rows: the numbered rows as the lists' exchange sort
// leaves them, worked out without making the exchanges one by one, then the
// rows without a number.

#include "registers/ListRules.h"

#include <algorithm>
#include <cstdint>
#include <random>
#include <utility>

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
constexpr int kShortRun = 32;  // rows of one number turned round in a plain list

std::vector<int> NumberedOrder(const std::vector<std::int64_t>& numbers) {
    const int n = static_cast<int>(numbers.size());
    std::vector<std::pair<std::int64_t, int>> sorted(n);  // number and row, by number, then row
    for (int i = 0; i < n; ++i) sorted[i] = {numbers[i], i};
    std::sort(sorted.begin(), sorted.end());
    std::vector<int> byNumber(n);
    for (int i = 0; i < n; ++i) byNumber[i] = sorted[i].second;
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
    std::vector<int> before;
    for (int begin = 0; begin < n;) {
        int end = begin;
        while (end < n && sorted[end].first == sorted[begin].first) ++end;
        const int m = end - begin;
        // Smaller rows above each row of the number (the row itself is not
        // placed yet), and above the end of the list: all placed so far.
        before.clear();
        if (m > 1)
            for (int k = begin; k < end; ++k) before.push_back(placedBefore(byNumber[k]));
        before.push_back(begin);
        const auto turns = [&](int i) {  // how far the first i rows of the number turn round
            return (before[i] - before[i - 1]) % i;
        };
        if (m == 1) {
            order.push_back(byNumber[begin]);
        } else if (m <= kShortRun) {
            // A few rows of one number turn round in place.
            for (int i = 1; i <= m; ++i) {
                order.push_back(byNumber[begin + i - 1]);
                const int by = turns(i);
                const auto from = order.end() - i;
                std::rotate(from, from + by, order.end());
            }
        } else {
            RowRing ring(m);
            for (int i = 1; i <= m; ++i) {
                ring.Append(byNumber[begin + i - 1]);
                ring.RotateLeft(turns(i));
            }
            ring.AppendTo(order);
        }
        for (int k = begin; k < end; ++k) place(byNumber[k]);
        begin = end;
    }
    return order;
}

}  // namespace

std::vector<int> ExchangeSortOrder(const std::vector<std::optional<std::int64_t>>& keys) {
    // The rows that hold a number, in the order the walk gives them alone.
    std::vector<int> numbered;
    std::vector<std::int64_t> numbers;
    numbered.reserve(keys.size());
    numbers.reserve(keys.size());
    for (int row = 0; row < static_cast<int>(keys.size()); ++row)
        if (keys[row]) {
            numbered.push_back(row);
            numbers.push_back(*keys[row]);
        }
    std::vector<int> order;
    order.reserve(keys.size());
    for (int at : NumberedOrder(numbers)) order.push_back(numbered[at]);
    // Then the rows without one, in the order they stand.
    for (int row = 0; row < static_cast<int>(keys.size()); ++row)
        if (!keys[row]) order.push_back(row);
    return order;
}

}  // namespace registers
