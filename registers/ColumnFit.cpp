#include "registers/ColumnFit.h"

#include <algorithm>
#include <numeric>

namespace registers {

std::vector<int> FitColumnWidths(const std::vector<int>& needed, int room, const std::vector<int>& yielding,
                                 int spare) {
    std::vector<int> widths = needed;
    const int total = std::accumulate(needed.begin(), needed.end(), 0);
    const auto inside = [&](int c) { return c >= 0 && c < static_cast<int>(widths.size()); };
    if (total <= room) {
        if (inside(spare)) widths[spare] += room - total;
        return widths;
    }
    std::vector<int> giving;
    for (int c : yielding)
        if (inside(c) && std::find(giving.begin(), giving.end(), c) == giving.end()) giving.push_back(c);
    if (giving.empty()) return widths;
    int budget = room;
    for (int c = 0; c < static_cast<int>(widths.size()); ++c)
        if (std::find(giving.begin(), giving.end(), c) == giving.end()) budget -= needed[c];
    budget = std::max(budget, 0);
    // The narrowest keep their need while the rest can share what is left.
    std::sort(giving.begin(), giving.end(), [&](int a, int b) { return needed[a] < needed[b]; });
    int left = static_cast<int>(giving.size());
    for (size_t i = 0; i < giving.size(); ++i, --left) {
        const int c = giving[i];
        if (needed[c] * left <= budget) {
            widths[c] = needed[c];
            budget -= needed[c];
            continue;
        }
        // The rest share the budget; the odd pixels go to the first of them.
        const int share = budget / left;
        int odd = budget % left;
        for (size_t j = i; j < giving.size(); ++j) widths[giving[j]] = share + (odd-- > 0 ? 1 : 0);
        break;
    }
    return widths;
}

}  // namespace registers
