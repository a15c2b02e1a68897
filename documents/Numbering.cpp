#include "documents/Numbering.h"

#include "documents/TitleTexts.h"
#include "platform/Exception.h"

#include <QStringList>
#include <limits>

namespace {

QString Quoted(const QString& text) { return QStringLiteral("„") + text + QStringLiteral("“"); }

// The counter's value (empty: 0); a text that is no whole number is told
// naming the counter, with what becomes of the action.
qint64 CounterValue(const QString& counter, const QString& counterName, const QString& outcome) {
    if (counter.isEmpty()) return 0;
    try {
        return DocumentNumberValue(counter);
    } catch (const platform::EConvertError&) {
        throw platform::EConvertError(QStringLiteral("Броячът %1 на фирмата съдържа %2, което не е цяло число. ")
                                          .arg(Quoted(counterName), Quoted(counter)) +
                                      outcome);
    }
}

// The counter + 1 as ten digits; a counter that is no whole number, or whose
// next number would not fit ten digits, is told with what becomes of the action.
QString NextNumber(const QString& counter, const QString& counterName, const QString& outcome) {
    const qint64 value = CounterValue(counter, counterName, outcome);
    if (value >= kLargestDocumentNumber)
        throw platform::EConvertError(QStringLiteral("Броячът %1 на фирмата (%2) не може да бъде увеличен. ")
                                          .arg(Quoted(counterName), counter) +
                                      outcome);
    return PadWithZeros(QString::number(value + 1));
}

}  // namespace

CounterGroup CounterGroupOfTitle(const QString& title) {
    static const QStringList invoices = {
        kInvoiceTitle,   kInvoiceTitleEnglish,    kInvoiceTitleBilingual, kDebitNoteTitleEnglish,
        kDebitNoteTitle, kCreditNoteTitleEnglish, kCreditNoteTitle};
    if (invoices.contains(title)) return CounterGroup::Invoice;
    if (title == QStringLiteral("ПРОТОКОЛ чл.117")) return CounterGroup::Protocol117;
    return CounterGroup::Proforma;
}

QString CounterColumnOfTitle(const QString& title) {
    switch (CounterGroupOfTitle(title)) {
    case CounterGroup::Invoice: return QStringLiteral("InvoiceNo");
    case CounterGroup::Protocol117: return QStringLiteral("VOP");
    case CounterGroup::Proforma: break;
    }
    return QStringLiteral("ProformaNo");
}

qint64 DocumentNumberValue(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        throw platform::EConvertError(Quoted(text) + QStringLiteral(" не е правилно цяло число."));
    qint64 value = 0;
    for (const QChar c : trimmed) {
        if (c < u'0' || c > u'9')
            throw platform::EConvertError(Quoted(text) + QStringLiteral(" не е правилно цяло число."));
        const int digit = c.unicode() - u'0';
        if (value > (std::numeric_limits<qint64>::max() - digit) / 10)
            throw platform::EConvertError(Quoted(text) + QStringLiteral(" е извън обхвата на целите числа."));
        value = value * 10 + digit;
    }
    return value;
}

QString PadWithZeros(const QString& text, int width) {
    return text.size() >= width ? text : QString(width - text.size(), u'0') + text;
}

QString NextDocumentNumberText(const QString& counter, const QString& counterName) {
    return NextNumber(counter, counterName, QStringLiteral("Номерът на документа не е променен."));
}

QString NetworkDocumentNumber(const QString& counter, const QString& counterName) {
    return NextNumber(counter, counterName, QStringLiteral("Документът не е записан."));
}

QString RaisedCounter(const QString& counter, const QString& number) {
    const qint64 stored = counter.isEmpty() ? 0 : DocumentNumberValue(counter);
    return DocumentNumberValue(number) > stored ? number : counter;
}

QString TenDigitNumberRefusal(const QString& text, const QString& fieldName, bool mayBeEmpty) {
    if (text.isEmpty() && mayBeEmpty) return {};
    bool digits = text.size() == 10;
    for (const QChar c : text) digits = digits && c >= u'0' && c <= u'9';
    if (digits) return {};
    QString message = fieldName + QStringLiteral(" трябва да има десет цифри");
    bool onlyDigits = !text.isEmpty() && text.size() < 10;
    for (const QChar c : text) onlyDigits = onlyDigits && c >= u'0' && c <= u'9';
    if (onlyDigits) message += QStringLiteral(": %1, а не %2").arg(PadWithZeros(text), text);
    return message + QStringLiteral(". Документът не е записан.");
}
