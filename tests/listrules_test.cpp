// The register's list order, flags, amounts and the income statistics, apart
// from any window.

#include "documents/DocumentRecord.h"
#include "platform/LocaleText.h"
#include "platform/Exception.h"
#include "registers/ColumnFit.h"
#include "registers/IncomeRule.h"
#include "registers/IncomeStatistics.h"
#include "registers/ListRules.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <random>

namespace {

using registers::IncomeDocument;

// Column widths: every column its need while they fit, the spare room to the
// first; when short, the widest of the yielding columns give way first.
TEST(ColumnWidths, EveryColumnGetsItsNeedWhileTheyFitElseTheWidestYieldingGiveWay) {
    using registers::FitColumnWidths;
    EXPECT_EQ(FitColumnWidths({70, 80, 60, 90, 60}, 400, {0, 2}, 0), (std::vector<int>{110, 80, 60, 90, 60}));
    EXPECT_EQ(FitColumnWidths({70, 80, 130, 90, 60}, 400, {0, 2}, 0), (std::vector<int>{70, 80, 100, 90, 60}));
    EXPECT_EQ(FitColumnWidths({120, 80, 130, 90, 60}, 331, {0, 2}, 0), (std::vector<int>{51, 80, 50, 90, 60}));
    EXPECT_EQ(FitColumnWidths({70, 80, 130, 90, 60}, 200, {0, 2}, 0), (std::vector<int>{0, 80, 0, 90, 60}));
}

using Keys = std::vector<std::optional<std::int64_t>>;

// The lists' exchange sort done literally, cell by cell, on row indexes: the
// reference the order of the lists is checked against.
std::vector<int> LiteralExchangeSortOrder(const Keys& keys) {
    const int n = static_cast<int>(keys.size());
    std::vector<int> rows(n);
    for (int i = 0; i < n; ++i) rows[i] = i;
    int t = 0;
    for (int p = 0; p < n; ++p) {
        if (!keys[rows[p]]) continue;
        std::int64_t v = *keys[rows[p]];
        for (int j = t; j < n; ++j) {
            const std::optional<std::int64_t>& w = keys[rows[j]];
            if (w && v > *w) {
                std::swap(rows[t], rows[j]);
                v = *w;
            }
        }
        ++t;
    }
    return rows;
}

// The order the lists must show: when every row holds a number, the literal
// walk's; otherwise the rows with a number as the literal walk leaves them
// when they are sorted alone, then the rows without one in the order they stand.
std::vector<int> ExpectedOrder(const Keys& keys) {
    Keys numbers;
    std::vector<int> numbered, without;
    for (int row = 0; row < static_cast<int>(keys.size()); ++row) {
        if (keys[row]) {
            numbers.push_back(keys[row]);
            numbered.push_back(row);
        } else {
            without.push_back(row);
        }
    }
    if (without.empty()) return LiteralExchangeSortOrder(keys);
    std::vector<int> order;
    for (int at : LiteralExchangeSortOrder(numbers)) order.push_back(numbered[at]);
    order.insert(order.end(), without.begin(), without.end());
    return order;
}

// The walk itself no longer sorts once a row without a number stands before
// the numbers: in "ABC", 9, 1, 5 it leaves 1, 9, "ABC", 5. The lists show
// their numbered rows ascending whatever the other rows hold.
TEST(ListOrder, NumberedRowsComeOutAscendingWhateverTheOtherRowsHold) {
    const Keys issueList = {std::nullopt, 9, 1, 5};
    EXPECT_EQ(LiteralExchangeSortOrder(issueList), (std::vector<int>{2, 1, 0, 3}));
    EXPECT_EQ(registers::ExchangeSortOrder(issueList), (std::vector<int>{2, 3, 1, 0}));
    EXPECT_EQ(registers::ExchangeSortOrder({std::nullopt, std::nullopt, 2, std::nullopt, 1}),
              (std::vector<int>{4, 2, 0, 1, 3}));

    std::mt19937 random(28);
    for (int round = 0; round < 20000; ++round) {
        const int n = round < 10000 ? 1 + static_cast<int>(random() % 12) : 1 + static_cast<int>(random() % 3000);
        const int withoutPercent = round % 2 ? 15 : static_cast<int>(random() % 100);
        Keys keys;
        for (int i = 0; i < n; ++i) {
            if (static_cast<int>(random() % 100) < withoutPercent) keys.push_back(std::nullopt);
            else keys.push_back(static_cast<std::int64_t>(random() % (round % 3 == 0 ? 4 : 1000)) - 2);
        }
        const std::vector<int> order = registers::ExchangeSortOrder(keys);
        ASSERT_EQ(order.size(), keys.size()) << "round " << round;
        std::vector<bool> seen(n, false);
        int lastWithout = -1;
        bool numbersOver = false;
        for (int at = 0; at < n; ++at) {
            const int row = order[at];
            ASSERT_TRUE(row >= 0 && row < n && !seen[row]) << "round " << round;
            seen[row] = true;
            if (keys[row]) {
                ASSERT_FALSE(numbersOver) << "a numbered row after a row without a number, round " << round;
                if (at > 0) {
                    ASSERT_LE(*keys[order[at - 1]], *keys[row]) << "round " << round << ", position " << at;
                }
            } else {
                numbersOver = true;
                ASSERT_LT(lastWithout, row) << "rows without a number out of record order, round " << round;
                lastWithout = row;
            }
        }
    }
}

TEST(ListOrder, MatchesTheLiteralExchangeSortOnShuffledRows) {
    std::mt19937 random(2013);
    for (int round = 0; round < 90; ++round) {
        // Every fifth list has rows without a number; the last ones are long, with many equal numbers.
        const bool large = round >= 80;
        const int n = large ? 5000 : 1 + static_cast<int>(random() % 400);
        Keys keys;
        for (int i = 0; i < n; ++i) {
            const unsigned kind = random() % 10;
            if (kind == 0 && round % 5 == 4) keys.push_back(std::nullopt);  // empty or "abc"
            else if (large && round % 2 == 0) keys.push_back(i / 6 + static_cast<int>(random() % 400));  // counters side by side
            else keys.push_back(static_cast<int>(random() % (round % 3 == 0 ? 5 : large ? 300 : n)) - (kind == 1 ? n : 0));
        }
        if (round % 4 == 1) std::sort(keys.begin(), keys.end(), [](auto a, auto b) { return a.value_or(1 << 30) > b.value_or(1 << 30); });
        ASSERT_EQ(registers::ExchangeSortOrder(keys), ExpectedOrder(keys)) << "round " << round;
    }
}

// Lists as the register holds them: ten-digit numbers counted up by three
// own firms (so each number up to three times), saved mostly in number order
// with some shuffled, with a share of rows whose number is no whole number.
TEST(ListOrder, MatchesTheLiteralExchangeSortWithRowsWithoutANumber) {
    struct Case {
        int rows;
        int withoutPerMille;  // rows without a number, per thousand
        std::int64_t first;   // the first number
        int spread;           // numbers drawn from [first, first + spread), or counted up when 0
        bool shuffled;
    };
    const Case cases[] = {
        {4000, 1, 3000000000LL, 0, false},  {4000, 1, 1, 2000, true},         {3000, 10, 3000000000LL, 0, true},
        {3000, 10, 2147483000LL, 1500, true}, {3000, 100, 3000000000LL, 0, false}, {3000, 100, -50, 100, true},
        {2000, 10, 4294967296LL, 3, true},   {2000, 100, 9000000000LL, 1, true},  {2500, 1, 3000000000LL, 20, true},
    };
    std::mt19937_64 random(2026);
    for (const Case& c : cases) {
        for (int round = 0; round < 3; ++round) {
            Keys keys;
            for (int i = 0; i < c.rows; ++i) {
                if (static_cast<int>(random() % 1000) < c.withoutPerMille)
                    keys.push_back(std::nullopt);
                else if (c.spread == 0)
                    keys.push_back(c.first + i / 3);  // three firms' counters side by side
                else
                    keys.push_back(c.first + static_cast<std::int64_t>(random() % c.spread));
            }
            if (c.shuffled)
                std::shuffle(keys.begin(), keys.end(), random);
            else  // a few rows out of place, as documents saved under an older number
                for (int k = 0; k < c.rows / 50; ++k) std::swap(keys[random() % c.rows], keys[random() % c.rows]);
            if (round == 2) std::reverse(keys.begin(), keys.end());
            ASSERT_EQ(registers::ExchangeSortOrder(keys), ExpectedOrder(keys))
                << c.rows << " rows, " << c.withoutPerMille << " per mille without a number, from " << c.first
                << ", round " << round;
        }
    }
}

// Register lists as years of saving leave them: three firms, each with its
// own counters for invoices, protocols and the other titles, saved
// interleaved in date order, so that each number stands up to three times;
// the documents of some numbers hold no whole number.
TEST(ListOrder, RegisterListsWithNumbersLeftOutFarBehindTheProbe) {
    std::mt19937 random(2026);
    for (const int every : {1000, 100, 10}) {
        Keys keys;
        std::int64_t counters[3][3] = {};
        for (int i = 0; i < 8000; ++i) {
            const unsigned firm = random() % 10, title = random() % 10;
            std::int64_t& counter = counters[firm < 7 ? 0 : firm < 9 ? 1 : 2][title < 6 ? 0 : title < 9 ? 1 : 2];
            ++counter;
            if (counter % every == 37 % every) keys.push_back(std::nullopt);
            else keys.push_back(3000000000LL + counter);
        }
        ASSERT_EQ(registers::ExchangeSortOrder(keys), ExpectedOrder(keys)) << "one number in " << every;
    }
}

TEST(ListOrder, LongRunsOfEqualNumbersAmongRowsWithoutOne) {
    std::mt19937 random(7);
    for (int round = 0; round < 6; ++round) {
        Keys keys;
        // Runs of up to 300 equal numbers, above and below the 32-bit range, the runs in no order.
        while (keys.size() < 3000) {
            const std::int64_t number = (round % 2 ? 5000000000LL : 0) + random() % 12;
            for (int k = 1 + static_cast<int>(random() % 300); k > 0; --k) keys.push_back(number);
            if (random() % 4 == 0) keys.push_back(std::nullopt);
        }
        if (round >= 4) std::shuffle(keys.begin(), keys.end(), random);
        ASSERT_EQ(registers::ExchangeSortOrder(keys), ExpectedOrder(keys)) << "round " << round;
    }
    // The extreme values are numbers like any other.
    const Keys extremes = {std::numeric_limits<std::int64_t>::max(), std::nullopt,
                           std::numeric_limits<std::int64_t>::min(), std::numeric_limits<std::int64_t>::max(), 0,
                           std::nullopt, std::numeric_limits<std::int64_t>::min()};
    EXPECT_EQ(registers::ExchangeSortOrder(extremes), ExpectedOrder(extremes));
}

// Every list of up to eight rows over three numbers and the row without one,
// and many longer lists over a few numbers: the walk's every turn among equal
// numbers shows up here.
TEST(ListOrder, MatchesTheLiteralExchangeSortOnEverySmallList) {
    for (int n = 0; n <= 8; ++n) {
        int lists = 1;
        for (int i = 0; i < n; ++i) lists *= 4;
        for (int code = 0; code < lists; ++code) {
            Keys keys;
            for (int i = 0, rest = code; i < n; ++i, rest /= 4)
                keys.push_back(rest % 4 == 0 ? std::nullopt : std::optional<std::int64_t>(rest % 4));
            ASSERT_EQ(registers::ExchangeSortOrder(keys), ExpectedOrder(keys)) << n << " rows, list " << code;
        }
    }
}

TEST(ListOrder, MatchesTheLiteralExchangeSortOverFewNumbers) {
    std::mt19937 random(22);
    for (int round = 0; round < 3000; ++round) {
        const int n = 9 + static_cast<int>(random() % 60);
        const int numbers = 1 + static_cast<int>(random() % 6);
        const int withoutPercent = static_cast<int>(random() % 40);
        Keys keys;
        for (int i = 0; i < n; ++i) {
            if (static_cast<int>(random() % 100) < withoutPercent)
                keys.push_back(std::nullopt);
            else
                keys.push_back(4000000000LL + static_cast<std::int64_t>(random() % numbers));
        }
        ASSERT_EQ(registers::ExchangeSortOrder(keys), ExpectedOrder(keys)) << "round " << round;
    }
}

TEST(ListOrder, ReadsNumbersLikeTheLists) {
    EXPECT_EQ(registers::WholeNumber(QStringLiteral("0000000007")), 7);
    EXPECT_EQ(registers::WholeNumber(QStringLiteral(" -12 ")), -12);
    EXPECT_EQ(registers::WholeNumber(QStringLiteral("-2147483648")), std::numeric_limits<int>::min());
    EXPECT_EQ(registers::WholeNumber(QStringLiteral("2147483647")), std::numeric_limits<int>::max());
    for (const char* bad : {"", "7a", "1.5", "2147483648", "-2147483649", "+"})
        EXPECT_EQ(registers::WholeNumber(QString::fromLatin1(bad)), std::nullopt) << bad;
    // Ten-digit document numbers and beyond.
    EXPECT_EQ(registers::LongWholeNumber(QStringLiteral("3000000001")), 3000000001LL);
    EXPECT_EQ(registers::LongWholeNumber(QStringLiteral(" 0000000007 ")), 7);
    EXPECT_EQ(registers::LongWholeNumber(QStringLiteral("9223372036854775807")), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(registers::LongWholeNumber(QStringLiteral("-9223372036854775808")), std::numeric_limits<std::int64_t>::min());
    for (const char* bad : {"", "3000000001a", "9223372036854775808", "-9223372036854775809", "99999999999999999999", "-"})
        EXPECT_EQ(registers::LongWholeNumber(QString::fromLatin1(bad)), std::nullopt) << bad;
    EXPECT_EQ(registers::FlagValue(QStringLiteral("true")), true);
    EXPECT_EQ(registers::FlagValue(QStringLiteral("0")), false);
    EXPECT_EQ(registers::FlagValue(QStringLiteral("да")), std::nullopt);
    EXPECT_EQ(registers::SearchListHeight(0), 20);
    EXPECT_EQ(registers::SearchListHeight(40), 515);
}

TEST(ListOrder, OnlyTheOwnerOrTheFirstUserMayDelete) {
    // The owner rule the register deletes by: the message when it refuses.
    const auto DeleteRefusal = [](const QString& owner, bool usersRegistered, const QString& firstUser,
                                  const QString& loggedUser) {
        const QString refusing = RefusingOwner(owner, usersRegistered, firstUser, loggedUser);
        return refusing.isEmpty() ? QString() : OwnerRuleMessage(refusing);
    };
    const QString ivan = QStringLiteral("Иван"), maria = QStringLiteral("Мария");
    EXPECT_TRUE(DeleteRefusal(ivan, false, {}, maria).isEmpty());
    EXPECT_TRUE(DeleteRefusal(ivan, true, maria, ivan).isEmpty());
    EXPECT_EQ(DeleteRefusal(ivan, true, maria, maria),
              QStringLiteral("Само потребителят Иван може да промени или изтрие този документ."));
    EXPECT_TRUE(DeleteRefusal({}, true, maria, maria).isEmpty());
    EXPECT_EQ(DeleteRefusal({}, true, maria, ivan),
              QStringLiteral("Само потребителят Мария може да промени или изтрие този документ."));
}

class IncomeStatistics : public ::testing::Test {
protected:
    testsupport::BulgarianLocale locale;
    static IncomeDocument Doc(const char* title, const char* num, const char* date, const char* total,
                              const char* paid = "True", const char* annulled = "False", const char* note = "") {
        return {QString::fromUtf8(title), QString::fromLatin1(num), QString::fromUtf8(date), QStringLiteral("Фирма А"),
                QStringLiteral("Клиент"), QString::fromUtf8(total), QStringLiteral("20%"), QString::fromLatin1(paid),
                QString::fromLatin1(annulled), QString::fromUtf8(note)};
    }
};

TEST_F(IncomeStatistics, CountsEachNumberOnceAndSkipsWhatIsNoIncome) {
    // In walk order: the last stored record first.
    const std::vector<IncomeDocument> docs = {
        Doc("ПРОФОРМА ФАКТУРА", "0000000004", "10.03.2013 г.", "600"),  // numbered apart from invoice 4
        Doc("ФАКТУРА", "0000000004", "10.03.2013 г.", "600"),
        Doc("Кредитно известие", "0000000003", "11.03.2013 г.", "120.00", "True", "True"),
        Doc("ФАКТУРА", "0000000002", "01.03.2013 г.", "240", "True", "True"),  // annulled
        Doc("ФАКТУРА", "0000000001", "02.03.2013 г.", "360", "false"),
        Doc("ФАКТУРА", "0000000005", "02.03.1913 г.", "1,2"),  // only the year's last two digits count
        Doc("ФАКТУРА", "0000000006", "2.3.2013", "12"),          // no month characters
        Doc("ФАКТУРА", "0000000007", "02.03.2013 г.", "много", "да"),
        Doc("ФАКТУРА", "0000000008", "02.04.2014 г.", "12"),
    };
    QSet<QString> counted;
    registers::YearIncome income;
    for (const IncomeDocument& d : docs) registers::SumMonthIncome(d, QStringLiteral("2013"), QStringLiteral("Фирма А"), counted, income);
    EXPECT_DOUBLE_EQ(income.paid[2], 500 - 100 + 1);
    EXPECT_DOUBLE_EQ(income.unpaid[2], 300);
    EXPECT_EQ(std::count(income.paid.begin(), income.paid.end(), 0.0) + std::count(income.unpaid.begin(), income.unpaid.end(), 0.0), 22);

    registers::MonthList list;
    QSet<QString> listed;
    for (const IncomeDocument& d : docs)
        registers::AddMonthListLine(d, 3, QStringLiteral("2013"), QStringLiteral("Фирма А"), listed, list);
    EXPECT_EQ(list.paidLines, QStringList({QStringLiteral("1.Клиент: Клиент, ф.N. 0000000004/10.03, 600 лв."),
                                           QStringLiteral("2.Клиент: Клиент, ф.N. 0000000003/11.03, -120.00 лв."),
                                           QStringLiteral("3.Клиент: Клиент, ф.N. 0000000005/02.03, 1,2 лв.")}));
    // The total of 7 is no number: left out of the bars and the lists, and told.
    EXPECT_EQ(list.unpaidLines, QStringList({QStringLiteral("1.Клиент: Клиент, ф.N. 0000000001/02.03, 360 лв.")}));
    EXPECT_EQ(income.unreadable.Count(), 1);
    EXPECT_EQ(list.unreadable.Count(), 1);
    EXPECT_DOUBLE_EQ(list.paidGross, 600 - 118.8);
    EXPECT_EQ(registers::MoneyTotalText(list.paidGross), QStringLiteral("481,20"));

    // No own firm chosen: nothing counts.
    registers::YearIncome none;
    QSet<QString> again;
    for (const IncomeDocument& d : docs) registers::SumMonthIncome(d, QStringLiteral("2013"), QString(), again, none);
    EXPECT_EQ(none.paid, registers::YearIncome().paid);
}

TEST_F(IncomeStatistics, ANumberCountsOncePerCounterInAnyMonthAndAPaidFlagMustBeReadable) {
    const std::vector<IncomeDocument> docs = {
        Doc("ПРОТОКОЛ чл.117", "0000000001", "01.03.2013 г.", "10"),
        Doc("ПРОФОРМА ФАКТУРА", "0000000001", "01.03.2013 г.", "10"),
        Doc("Кредитно известие", "0000000001", "02.03.2013 г.", "12"),  // the invoice counter's 1
        Doc("ФАКТУРА", "0000000001", "03.03.2013 г.", "1200"),          // the same number again: left out
        Doc("ФАКТУРА", "0000000002", "04.02.2013 г.", "24"),
        Doc("Debit note", "0000000002", "05.03.2013 г.", "48"),         // counted in February already
        Doc("ФАКТУРА", "0000000003", "06.03.2013 г.", "240", "maybe"),
    };
    QSet<QString> counted;
    registers::YearIncome income;
    for (const IncomeDocument& d : docs) registers::SumMonthIncome(d, QStringLiteral("2013"), QStringLiteral("Фирма А"), counted, income);
    EXPECT_DOUBLE_EQ(income.paid[2], -10);
    EXPECT_DOUBLE_EQ(income.paid[1], 20);
    EXPECT_DOUBLE_EQ(income.unpaid[2], 0);
    EXPECT_EQ(income.unreadable.Count(), 1);
    for (int month : {2, 3}) {
        registers::MonthList list;
        QSet<QString> listed;
        for (const IncomeDocument& d : docs)
            registers::AddMonthListLine(d, month, QStringLiteral("2013"), QStringLiteral("Фирма А"), listed, list);
        EXPECT_EQ(list.paidCount, 1) << month;  // as the chart: one line a month
        EXPECT_EQ(list.unpaidCount, 0) << month;
        EXPECT_EQ(list.unreadable.Count(), month == 3 ? 1 : 0);
    }
}

TEST(IncomeRule, AnInvoiceAddsACreditNoteSubtractsAndAnUnreadableTextIsTold) {
    using registers::ShareOfIncome;
    const auto share = [](const char* title, const char* annulled, const char* note, const char* total) {
        const registers::IncomeShare s = ShareOfIncome(QString::fromUtf8(title), QString::fromUtf8(annulled),
                                                       QString::fromUtf8(note), QString::fromUtf8(total));
        return s.error.isEmpty() ? QString::number(s.amount) : s.error;
    };
    EXPECT_EQ(share("Debit note", "False", "", "12,5"), "12.5");
    EXPECT_EQ(share("ФАКТУРА", "True", "", "12"), "0");                    // annulled
    EXPECT_EQ(share("ФАКТУРА", "True", "Кредитно известие", "12"), "-12");  // a credit note, annulled or not
    EXPECT_EQ(share("Credit note", "да", "", "12"), "-12");                // the flag is not read
    EXPECT_EQ(share("ПРОФОРМА ФАКТУРА", "да", "", "много"), "0");
    EXPECT_EQ(share("ФАКТУРА", "да", "", "12"), "полето „Анулирана“ съдържа „да“ вместо True или False");
    EXPECT_EQ(share("Кредитно известие", "False", "", "много"), "сумата „много“ не е число");

    registers::UnreadableDocuments unreadable;
    unreadable.Report(QStringLiteral("Сборът не включва"));  // nothing to tell
    unreadable.Add(QStringLiteral("0000000007"), QStringLiteral("сумата „%1“ не е число"));
    unreadable.Add(QStringLiteral("0000000008"), QStringLiteral("друго"));
    try {
        unreadable.Report(QStringLiteral("Сборът не включва"));
        ADD_FAILURE();
    } catch (const platform::EConvertError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Сборът не включва 2 документ(а), които не могат да бъдат прочетени:\n"
                                              "Документ № 0000000007: сумата „%1“ не е число.\n"
                                              "Документ № 0000000008: друго."));
    }
}

}  // namespace
