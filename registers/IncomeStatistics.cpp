#include "registers/IncomeStatistics.h"

#include "documents/Calculator.h"
#include "platform/LocaleText.h"
#include "registers/IncomeRule.h"
#include "registers/ListRules.h"

namespace registers {

void SumMonthIncome(const IncomeDocument& d, const QString& yearText, const QString& firm, QSet<QString>& counted,
                    YearIncome& income) {
    const QString monthText = MonthText(d.fromDate);
    if (monthText.isEmpty() || counted.contains(d.num)) return;
    const std::optional<int> month = WholeNumber(monthText);
    if (!month || *month < 1 || *month > 12) return;  // a date without a month
    if (firm != d.supplier || YearDigits(d.fromDate) != YearBoxDigits(yearText)) return;
    counted.insert(d.num);
    const IncomeShare share = ShareOfIncome(d.document, d.annulled, d.noteKind, d.total);
    if (!share.error.isEmpty()) return income.unreadable.Add(d.num, share.error);
    if (share.sign == 0) return;
    const std::optional<double> rate = AmountValue(VatTextBeforePercent(d.percent));
    if (!rate) return income.unreadable.Add(d.num, QStringLiteral("ставката на ДДС „%1“ не е число").arg(d.percent));
    const bool paid = FlagValue(d.paid).value_or(false);
    (paid ? income.paid : income.unpaid)[*month - 1] += share.amount / (*rate * 0.01 + 1);
}

void AddMonthListLine(const IncomeDocument& d, int month, const QString& yearText, const QString& firm,
                      QSet<QString>& listed, MonthList& list) {
    const QString monthText = MonthText(d.fromDate);
    if (monthText.isEmpty() || listed.contains(d.num) || WholeNumber(monthText) != month || firm != d.supplier ||
        YearDigits(d.fromDate) != YearBoxDigits(yearText))
        return;
    listed.insert(d.num);
    const IncomeShare share = ShareOfIncome(d.document, d.annulled, d.noteKind, d.total);
    if (!share.error.isEmpty()) return list.unreadable.Add(d.num, share.error);
    if (share.sign == 0) return;
    const bool paid = FlagValue(d.paid).value_or(false);
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
