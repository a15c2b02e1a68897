#include "documents/ViewRules.h"

#include <algorithm>

QStringList PadValueTexts(const QStringList& values) {
    qsizetype longest = 1;
    for (const QString& v : values) longest = std::max(longest, v.size());
    QStringList out;
    for (const QString& v : values)
        out << (v.isEmpty() || v.size() >= longest ? v : QString(2 * (longest - v.size()), u' ') + v);
    return out;
}

QStringList DocumentTitles(PageLanguage language) {
    switch (language) {
    case PageLanguage::English:
        return {"INVOICE", "PROFORMA INVOICE", "Order confirmation", "Packing list", "Delivery note", "Credit note",
                "Debit note"};
    case PageLanguage::Both:
        return {"ФАКТУРА / INVOICE", "ПРОФОРМА ФАКТУРА / PROFORMA INVOICE", "Order confirmation",
                "Пакетажен лист / Packing list", "Delivery note"};
    case PageLanguage::Bulgarian: break;
    }
    return {"ФАКТУРА", "ПРОФОРМА ФАКТУРА", "ПРОТОКОЛ чл.116", "ПРОТОКОЛ чл.117", "СТОКОВА РАЗПИСКА",
            "ПРОТОКОЛ ЗА САМОЛЕТЕН БИЛЕТ", "ПРОТОКОЛ чл.90"};
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

