#pragma once
// Which stored documents are income, for the customer card's total, the year
// chart and the month lists alike: an invoice or a debit note that is not
// annulled and not marked as a credit note adds its total; a credit note, by
// its title or by its note kind, subtracts it, annulled or not. A document
// whose flag or amount cannot be read counts for nothing and is reported.

#include <QString>
#include <QStringList>

namespace registers {

bool IsIncomeTitle(const QString& document);
bool IsCreditNote(const QString& document, const QString& noteKind);

// What one document does to the income.
struct IncomeShare {
    int sign = 0;       // +1 adds the total, -1 subtracts it, 0 leaves it out
    double amount = 0;  // the total with that sign
    QString error;      // why the document cannot be counted (sign and amount are then 0)
};
// annulled: the stored flag; total: the stored amount. The flag is read for
// an income title only, the amount only when the document counts.
IncomeShare ShareOfIncome(const QString& document, const QString& annulled, const QString& noteKind,
                          const QString& total);

// Documents left out of a sum because a text could not be read: each one
// named, for one report once the window is filled.
class UnreadableDocuments {
public:
    void Add(const QString& num, const QString& error);
    int Count() const { return static_cast<int>(named_.size()); }
    // Throws EConvertError: leftOutOf ("Общата стойност ... не включва"), the
    // count, and each document's number and reason on a line of its own, in
    // the order they were met. Nothing when none.
    void Report(const QString& leftOutOf) const;

private:
    QStringList named_;
};

}  // namespace registers
