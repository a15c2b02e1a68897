#include "registers/IncomeStatistics.h"

#include "documents/Calculator.h"
#include "platform/LocaleText.h"
#include "registers/ListRules.h"

namespace registers {

void SumMonthIncome(const IncomeDocument& d, const QString& yearText, const QString& firm, QSet<QString>& counted,
                    YearIncome& income) {
    const QString monthText = MonthText(d.fromDate);
    if (monthText.isEmpty() || counted.contains(d.num)) return;
    const std::optional<int> month = WholeNumber(monthText);
    if (!month || *month < 1 || *month > 12) return;  // a date without a month
    const std::optional<double> rate = AmountValue(VatTextBeforePercent(d.percent));
    if (firm != d.supplier) return;
    const bool paid = FlagValue(d.paid).value_or(false);
    double& bar = paid ? income.paid[*month - 1] : income.unpaid[*month - 1];
    const std::optional<double> total = AmountValue(d.total);
    if (YearDigits(d.fromDate) != YearBoxDigits(yearText)) return;
    counted.insert(d.num);
    if (!rate || !total) return;
    const double net = *total / (*rate * 0.01 + 1);
    if (IsIncomeTitle(d.document) && !FlagValue(d.annulled).value_or(false) &&
        d.noteKind != QStringLiteral("Кредитно известие"))
        bar += net;
    if (IsCreditNote(d.document, d.noteKind)) bar -= net;
}

void AddMonthListLine(const IncomeDocument& d, int month, const QString& yearText, const QString& firm,
                      QSet<QString>& listed, MonthList& list) {
    const QString monthText = MonthText(d.fromDate);
    if (monthText.isEmpty() || listed.contains(d.num) || WholeNumber(monthText) != month || firm != d.supplier ||
        YearDigits(d.fromDate) != YearBoxDigits(yearText))
        return;
    const bool paid = FlagValue(d.paid).value_or(false);
    listed.insert(d.num);
    const double amount = AmountValue(d.total).value_or(0);
    auto add = [&](const QString& sign, double signedAmount) {
        int& count = paid ? list.paidCount : list.unpaidCount;
        ++count;
        (paid ? list.paidLines : list.unpaidLines)
            << QString::number(count) + QStringLiteral(".Клиент: ") + d.customer + QStringLiteral(", ф.N. ") + d.num +
                   QStringLiteral("/") + d.fromDate.left(5) + QStringLiteral(", ") + sign + d.total +
                   QStringLiteral(" лв.");
        (paid ? list.paidGross : list.unpaidGross) += signedAmount;
    };
    if (IsIncomeTitle(d.document) && !FlagValue(d.annulled).value_or(false) &&
        d.noteKind != QStringLiteral("Кредитно известие"))
        add(QString(), amount);
    if (IsCreditNote(d.document, d.noteKind)) add(QStringLiteral("-"), -amount);
}

QString MoneyTotalText(double value) { return RoundMoneyText(platform::FloatToStr(value)); }

}  // namespace registers
