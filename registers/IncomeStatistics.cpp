#include "registers/IncomeStatistics.h"

#include "documents/Calculator.h"
#include "documents/Numbering.h"
#include "platform/LocaleText.h"
#include "registers/IncomeRule.h"
#include "registers/ListRules.h"

namespace registers {

QString CountedNumberKey(const QString& title, const QString& num) {
    return QString::number(static_cast<int>(CounterGroupOfTitle(title))) + u'|' + num;
}

namespace {

// The month of a document that belongs to the chosen firm and year and has
// not been met before in its counter group; the chart and the month lists
// count by this one step, so they agree on what is left out.
std::optional<int> MonthToCount(const IncomeDocument& d, const QString& yearText, const QString& firm,
                                QSet<QString>& counted) {
    const QString monthText = MonthText(d.fromDate);
    if (monthText.isEmpty()) return std::nullopt;
    const std::optional<int> month = WholeNumber(monthText);
    if (!month || *month < 1 || *month > 12) return std::nullopt;  // a date without a month
    if (firm != d.supplier || YearDigits(d.fromDate) != YearBoxDigits(yearText)) return std::nullopt;
    const QString key = CountedNumberKey(d.document, d.num);
    if (counted.contains(key)) return std::nullopt;
    counted.insert(key);
    return month;
}

// The paid flag of a document that counts; an unreadable flag is an error.
std::optional<bool> PaidValue(const IncomeDocument& d, UnreadableDocuments& unreadable) {
    const std::optional<bool> paid = FlagValue(d.paid);
    if (!paid)
        unreadable.Add(d.num, QStringLiteral("полето „Платена“ съдържа „%1“ вместо True или False").arg(d.paid));
    return paid;
}

}  // namespace

void SumMonthIncome(const IncomeDocument& d, const QString& yearText, const QString& firm, QSet<QString>& counted,
                    YearIncome& income) {
    const std::optional<int> month = MonthToCount(d, yearText, firm, counted);
    if (!month) return;
    const IncomeShare share = ShareOfIncome(d.document, d.annulled, d.noteKind, d.total);
    if (!share.error.isEmpty()) return income.unreadable.Add(d.num, share.error);
    if (share.sign == 0) return;
    const std::optional<double> rate = AmountValue(VatTextBeforePercent(d.percent));
    if (!rate) return income.unreadable.Add(d.num, QStringLiteral("ставката на ДДС „%1“ не е число").arg(d.percent));
    const std::optional<bool> paid = PaidValue(d, income.unreadable);
    if (!paid) return;
    (*paid ? income.paid : income.unpaid)[*month - 1] += share.amount / (*rate * 0.01 + 1);
}

void AddMonthListLine(const IncomeDocument& d, int month, const QString& yearText, const QString& firm,
                      QSet<QString>& listed, MonthList& list) {
    if (MonthToCount(d, yearText, firm, listed) != month) return;
    const IncomeShare share = ShareOfIncome(d.document, d.annulled, d.noteKind, d.total);
    if (!share.error.isEmpty()) return list.unreadable.Add(d.num, share.error);
    if (share.sign == 0) return;
    const std::optional<bool> isPaid = PaidValue(d, list.unreadable);
    if (!isPaid) return;
    const bool paid = *isPaid;
    int& count = paid ? list.paidCount : list.unpaidCount;
    ++count;
    (paid ? list.paidLines : list.unpaidLines)
        << QString::number(count) + QStringLiteral(".Клиент: ") + d.customer + QStringLiteral(", ф.N. ") + d.num +
               QStringLiteral("/") + d.fromDate.left(5) + QStringLiteral(", ") +
               (share.sign < 0 ? QStringLiteral("-") : QString()) + d.total + QStringLiteral(" лв.");
    (paid ? list.paidGross : list.unpaidGross) += share.amount;
}

QString MoneyTotalText(double value) { return RoundMoneyText(platform::FloatToStr(value)); }

}  // namespace registers
