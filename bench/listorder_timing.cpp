// The register's number order on register-like lists, timed beside a plain
// sort of the same numbers: three counters (invoices, proformas, protocols),
// each counted 1, 2, 3... in date order and saved interleaved, with a share of
// rows whose number is no whole number.

#include "registers/ListRules.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <random>
#include <vector>

namespace {

using Keys = std::vector<std::optional<std::int64_t>>;

Keys RegisterLikeKeys(int rows, int withoutPerMille, unsigned seed) {
    std::mt19937 random(seed);
    std::int64_t next[3] = {1, 1, 1};
    Keys keys;
    keys.reserve(rows);
    for (int i = 0; i < rows; ++i) {
        if (static_cast<int>(random() % 1000) < withoutPerMille) {
            keys.push_back(std::nullopt);
            continue;
        }
        // Invoices most, proformas fewer, protocols seldom: the counters part ways.
        const unsigned draw = random() % 100, counter = draw < 70 ? 0 : draw < 95 ? 1 : 2;
        keys.push_back(next[counter]++);
    }
    return keys;
}

template <typename F>
double Seconds(F&& f) {
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    const int rows = argc > 1 ? std::atoi(argv[1]) : 100000;
    for (const int perMille : {0, 1, 10, 100}) {
        const Keys keys = RegisterLikeKeys(rows, perMille, 2013);
        std::size_t check = 0;
        const double order = Seconds([&] { check += registers::ExchangeSortOrder(keys).size(); });
        const double plain = Seconds([&] {
            std::vector<std::int64_t> numbers;
            numbers.reserve(keys.size());
            for (const auto& k : keys) numbers.push_back(k.value_or(INT64_MAX));
            std::sort(numbers.begin(), numbers.end());
            check += numbers.size();
        });
        std::printf("%7d rows, %5.1f %% without a number: ExchangeSortOrder %9.4f s, std::sort %8.4f s (%zu)\n", rows,
                    perMille / 10.0, order, plain, check);
    }
    return 0;
}
