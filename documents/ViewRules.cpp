#include "documents/ViewRules.h"

#include "documents/AmountWords.h"
#include "platform/LocaleText.h"

namespace {

using Words = void (*)(const QString&, QString&);
constexpr Words kBgWords[] = {BgWords1, BgWords2, BgWords3, BgWords4, BgWords5, BgWords6};
constexpr Words kEnWords[] = {EnWords1, EnWords2, EnWords3, EnWords4, EnWords5, EnWords6};

bool AllDigits(const QString& text) {
    if (text.isEmpty()) return false;
    for (QChar c : text)
        if (c < u'0' || c > u'9') return false;
    return true;
}

// The total's integer part: the text before the decimal separator, or before
// the first blank of a total without one.
QString IntegerPart(const QString& total, qsizetype separatorAt) {
    return separatorAt >= 0 ? total.left(separatorAt) : total.section(u' ', 0, 0);
}

QString Unsigned(const QString& digits) { return digits.startsWith(u'-') ? digits.mid(1) : digits; }

}  // namespace

QString SplitLongWordsLine(const QString& words) {
    if (words.size() <= 50) return words;
    const qsizetype half = words.size() / 2;
    return words.left(half) + u'\n' + words.mid(half);
}

QString BulgarianAmountWords(const QString& total) {
    if (total.isEmpty() || total.startsWith(u'0')) return {};
    const qsizetype at = total.indexOf(platform::DecimalSeparator());
    const QString integer = IntegerPart(total, at);
    const QString digits = Unsigned(integer);
    QString words;
    if (AllDigits(digits) && digits.size() <= 6 && digits[0] != u'0') kBgWords[digits.size() - 1](digits, words);
    words += integer == QStringLiteral("1") ? QStringLiteral(" лев") : QStringLiteral(" лева");
    if (at >= 0) {
        QString fraction = total.mid(at + 1);
        if (fraction != QString(platform::CurrencyDecimals(), u'0')) {
            if (fraction.size() > 2) fraction = QString::number(platform::StrToInt(fraction.left(2)));
            words += QStringLiteral(" и ") + fraction + QStringLiteral(" ст.");
        }
    }
    return words;
}

QString EnglishAmountWords(const QString& total, const QString& prefix) {
    const qsizetype at = total.indexOf(platform::DecimalSeparator());
    const QString integer = IntegerPart(total, at);
    if (integer.isEmpty()) return {};
    QString digits = Unsigned(integer);
    QString words;
    if (AllDigits(digits)) {
        while (digits.size() > 1 && digits[0] == u'0') digits.remove(0, 1);
        if (digits == QStringLiteral("0")) words = QStringLiteral("zero");
        else if (digits.size() <= 6) kEnWords[digits.size() - 1](digits, words);
    }
    // The fraction digits alone: the words routine takes them whole.
    const QString fraction = at >= 0 ? total.mid(at + 1).section(u' ', 0, 0) : QString();
    if (!fraction.isEmpty()) EnWordsFraction(fraction, words);
    return words + u' ' + prefix;
}

QStringList PadValueTexts(const QStringList& values) {
    qsizetype longest = 1;
    for (const QString& v : values) longest = std::max(longest, v.size());
    QStringList out;
    for (const QString& v : values)
        out << (v.isEmpty() || v.size() >= longest ? v : QString(2 * (longest - v.size()), u' ') + v);
    return out;
}

QStringList DocumentTitles(int language) {
    switch (language) {
    case 1:
        return {"INVOICE", "PROFORMA INVOICE", "Order confirmation", "Packing list", "Delivery note", "Credit note",
                "Debit note"};
    case 2:
        return {"ФАКТУРА / INVOICE", "ПРОФОРМА ФАКТУРА / PROFORMA INVOICE", "Order confirmation",
                "Пакетажен лист / Packing list", "Delivery note"};
    default:
        return {"ФАКТУРА", "ПРОФОРМА ФАКТУРА", "ПРОТОКОЛ чл.116", "ПРОТОКОЛ чл.117", "СТОКОВА РАЗПИСКА",
                "ПРОТОКОЛ ЗА САМОЛЕТЕН БИЛЕТ", "ПРОТОКОЛ чл.90"};
    }
}

QString PartyHint(const QString& editName, bool english) {
    const QString n = english ? QStringLiteral("2") : QStringLiteral("1");
    if (editName == QStringLiteral("Edit1")) return "Company" + n + ";cust";
    if (editName == QStringLiteral("Edit3")) return "Address" + n + ";cust";
    if (editName == QStringLiteral("Edit2")) return "RespPerson" + n + ";cust";
    if (editName == QStringLiteral("Edit8")) return "ContactPerson" + n + ",RespPerson" + n + ";cust";
    if (editName == QStringLiteral("Edit10")) return "Name" + n + ";employee";
    return {};
}

const std::array<PageCaption, 25> kPageCaptions{{
    {"Label8", "Original", 0},          {"Label24", "Customer", 1},
    {"Label28", "Address", 2},          {"Label31", "Resp.Person", 3},
    {"Label25", "VAT", 6},              {"Label66", "ID", 5},
    {"Label45", "Supplier", 7},         {"Label48", "Address", 8},
    {"Label50", "Resp.Person", 9},      {"Label64", "VAT", 10},
    {"Label69", "ID", 11},              {"Label12", "Place of publishment", 12},
    {"Label36", "in words:", 13},       {"Label6", "Tax basis", 14},
    {"Label4", "Total amount", 15},     {"Label58", "Date of tax event", 16},
    {"Label27", "Date of payment", 17}, {"Label44", "Payment", 18},
    {"Label43", "Bank", 19},            {"Label42", "IBAN", 20},
    {"Label41", "SWIFT/BIC", 21},       {"Label32", "Recipient", 22},
    {"Label51", "Issuer", 23},          {"Label62", "/name and signature/", 24},
    {"Label13", "/name and signature/", 25},
}};

