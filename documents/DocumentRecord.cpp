#include "documents/DocumentRecord.h"


QString DocumentGridText(const QStringList& cells) {
    QString text;
    for (const QString& cell : cells) text += cell + QStringLiteral("\r\n");
    return text;
}

QString CutLineFeeds(const QString& cell) {
    QString text = cell;
    text.remove(u'\n');
    return text;
}

QStringList DocumentGridLines(const QString& text) {
    QStringList lines = text.split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

int DocumentGridRows(int lineCount, int columns) {
    if (columns <= 0) return 1;
    return std::max(1, lineCount / columns);
}

bool HasDiscountLine(const QStringList& lines) {
    const QString discount = QStringLiteral("Отстъпка %");
    for (const QString& line : lines)
        if (line.compare(discount, Qt::CaseInsensitive) == 0) return true;
    return false;
}

QString RefusingOwner(const QString& storedOwner, bool usersRegistered, const QString& firstUser,
                      const QString& loggedUser) {
    if (!usersRegistered) return {};
    const QString owner = storedOwner.isEmpty() ? firstUser : storedOwner;
    return owner == loggedUser ? QString() : owner;
}

QString OwnerRuleMessage(const QString& owner) {
    return QStringLiteral("Само потребителят ") + owner + QStringLiteral(" може да промени или изтрие този документ.");
}

RecordLanguageChoice LanguageOfRecord(const QString& radio, const QString& title) {
    if (radio.isEmpty()) {
        static const QStringList english = {QStringLiteral("INVOICE"),       QStringLiteral("PROFORMA INVOICE"),
                                            QStringLiteral("Order confirmation"), QStringLiteral("Packing list"),
                                            QStringLiteral("Delivery note"), QStringLiteral("Credit note"),
                                            QStringLiteral("Debit note")};
        return english.contains(title) ? RecordLanguageChoice{PageLanguage::English, true}
                                       : RecordLanguageChoice{PageLanguage::Bulgarian, false};
    }
    if (radio == StoredLanguageText(PageLanguage::Bulgarian)) return {PageLanguage::Bulgarian, false};
    if (radio == StoredLanguageText(PageLanguage::English)) return {PageLanguage::English, true};
    if (radio == StoredLanguageText(PageLanguage::Both)) return {PageLanguage::Both, true};
    return {std::nullopt, false};
}
