#include "registers/IncomeRule.h"

#include "documents/TitleTexts.h"
#include "platform/Exception.h"
#include "registers/ListRules.h"

namespace registers {

bool IsIncomeTitle(const QString& document) {
    return document == kInvoiceTitle || document == kInvoiceTitleEnglish || document == kInvoiceTitleBilingual ||
           document == kDebitNoteTitleEnglish || document == kDebitNoteTitle;
}

bool IsCreditNote(const QString& document, const QString& noteKind) {
    return noteKind == kCreditNoteTitle || document == kCreditNoteTitle || document == kCreditNoteTitleEnglish;
}

IncomeShare ShareOfIncome(const QString& document, const QString& annulled, const QString& noteKind,
                          const QString& total) {
    int sign = 0;
    if (IsIncomeTitle(document)) {
        const std::optional<bool> isAnnulled = FlagValue(annulled);
        if (!isAnnulled)
            return {0, 0, QStringLiteral("полето „Анулирана“ съдържа „%1“ вместо True или False").arg(annulled)};
        if (!*isAnnulled && noteKind != kCreditNoteTitle) sign = 1;
    }
    if (IsCreditNote(document, noteKind)) sign = -1;
    if (sign == 0) return {};
    const std::optional<double> amount = AmountValue(total);
    if (!amount) return {0, 0, QStringLiteral("сумата „%1“ не е число").arg(total)};
    return {sign, sign * *amount, {}};
}

void UnreadableDocuments::Add(const QString& num, const QString& error) {
    named_ << QStringLiteral("Документ № %1: %2.").arg(num, error);
}

void UnreadableDocuments::Report(const QString& leftOutOf) const {
    if (!named_.isEmpty())
        throw platform::EConvertError(
            QStringLiteral("%1 %2 документ(а), които не могат да бъдат прочетени:\n%3")
                .arg(leftOutOf, QString::number(named_.size()), named_.join(u'\n')));
}

}  // namespace registers
