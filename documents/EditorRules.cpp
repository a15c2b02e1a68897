#include "documents/EditorRules.h"

#include "platform/Exception.h"
#include "platform/LocaleText.h"

int DescriptionLineLimit(bool bilingual, bool discount) {
    if (bilingual) return discount ? 27 : 37;
    return discount ? 72 : 84;
}

QStringList WrapDescription(const QString& text, int limit) {
    QStringList out;
    QStringList lines = text.split(u'\n');
    // A final line break makes no line of its own, as in a memo.
    if (lines.size() > 1 && lines.last().isEmpty()) lines.removeLast();
    for (QString line : lines) {
        if (line.endsWith(u'\r')) line.chop(1);
        if (line.size() <= limit) {
            out << line;
            continue;
        }
        while (line.size() > limit) {
            const QString piece = line.left(limit);
            const qsizetype blank = piece.lastIndexOf(u' ');
            if (blank >= 0) {
                out << piece.left(blank);
                line = line.mid(blank + 1);
            } else {
                out << piece;
                line = line.mid(limit);
            }
        }
        if (!line.isEmpty()) out << line;
    }
    return out;
}

CounterGroup CounterGroupOfTitle(const QString& title) {
    static const QStringList invoices = {
        QStringLiteral("ФАКТУРА"),    QStringLiteral("INVOICE"),          QStringLiteral("ФАКТУРА / INVOICE"),
        QStringLiteral("Debit note"), QStringLiteral("Дебитно известие"), QStringLiteral("Credit note"),
        QStringLiteral("Кредитно известие")};
    if (invoices.contains(title)) return CounterGroup::Invoice;
    if (title == QStringLiteral("ПРОТОКОЛ чл.117")) return CounterGroup::Protocol117;
    return CounterGroup::Proforma;
}

QString PadWithZeros(const QString& text, int width) {
    return text.size() >= width ? text : QString(width - text.size(), u'0') + text;
}

QString NextDocumentNumberText(const QString& counter, const QString& counterName) {
    double value = 0;
    if (!counter.isEmpty()) {
        try {
            value = platform::StrToFloat(counter);
        } catch (const platform::EConvertError&) {
            throw platform::EConvertError(
                QStringLiteral("Броячът „%1“ на фирмата съдържа „%2“, което не е число. Номерът на документа не е "
                               "променен.")
                    .arg(counterName, counter));
        }
    }
    return PadWithZeros(platform::FloatToStr(value + 1));
}
