#include "documents/Lookup.h"

#include "platform/CodePage.h"
#include "platform/LocaleText.h"

#include <algorithm>
#include <array>

LookupHint ParseLookupHint(const QString& hint) {
    LookupHint h;
    const qsizetype semicolon = hint.indexOf(u';');
    h.field = semicolon < 0 ? hint : hint.left(semicolon);
    h.dataSet = semicolon < 0 ? QString() : hint.mid(semicolon + 1);
    const qsizetype comma = h.field.indexOf(u',');
    h.firstField = comma < 0 ? h.field : h.field.left(comma);
    h.secondField = comma < 0 ? QString() : h.field.mid(comma + 1);
    return h;
}

namespace {

// Lower case of every character up to the end of the Cyrillic block, limited
// to pairs that the code page holds both of; beyond it nothing has a case there.
const std::array<char16_t, 0x500>& LowerTable() {
    static const std::array<char16_t, 0x500> table = [] {
        std::array<char16_t, 0x500> t{};
        for (int c = 0; c < 0x500; ++c) {
            const QChar ch(static_cast<char16_t>(c));
            const QChar lower = ch.toLower();
            t[c] = platform::FitsCp1251(QString(ch)) && platform::FitsCp1251(QString(lower)) ? lower.unicode()
                                                                                               : char16_t(c);
        }
        return t;
    }();
    return table;
}

inline char16_t Lower(char16_t c, const std::array<char16_t, 0x500>& table) { return c < 0x500 ? table[c] : c; }

}  // namespace

QString LookupLower(const QString& text) {
    const auto& table = LowerTable();
    QString out(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) out[i] = QChar(Lower(text[i].unicode(), table));
    return out;
}

namespace {

// Lower case of every byte of the code page.
const std::array<unsigned char, 256>& LowerBytes() {
    static const std::array<unsigned char, 256> table = [] {
        std::array<unsigned char, 256> t{};
        for (int b = 0; b < 256; ++b) {
            const QString lower = LookupLower(platform::DecodeCp1251(QByteArray(1, static_cast<char>(b))));
            t[b] = static_cast<unsigned char>(platform::EncodeCp1251(lower).at(0));
        }
        return t;
    }();
    return table;
}

}  // namespace

std::optional<QByteArray> LookupTypedBytes(const QString& typed) {
    if (!platform::FitsCp1251(typed)) return std::nullopt;
    return LookupLowerBytes(platform::EncodeCp1251(typed));
}

bool LookupStartsWithBytes(const QByteArray& value, const QByteArray& typedLower) {
    if (typedLower.isEmpty() || value.size() < typedLower.size()) return false;
    const auto& table = LowerBytes();
    for (qsizetype i = 0; i < typedLower.size(); ++i)
        if (table[static_cast<unsigned char>(value[i])] != static_cast<unsigned char>(typedLower[i])) return false;
    return true;
}

QByteArray LookupLowerBytes(QByteArray bytes) {
    const auto& table = LowerBytes();
    for (char& b : bytes) b = static_cast<char>(table[static_cast<unsigned char>(b)]);
    return bytes;
}

int LookupListHeight(int entries, int itemHeight, int cap) {
    const int height = (entries + 1) * itemHeight;
    return height <= cap ? height : cap;
}

std::vector<int> GoodsEntriesThatMayBeWidest(const std::vector<QByteArray>& entries,
                                             const std::array<double, 256>& advances) {
    std::vector<double> sums(entries.size());
    double largest = 0;
    for (size_t i = 0; i < entries.size(); ++i) {
        double sum = 0;
        for (const char b : entries[i]) {
            const double advance = advances[static_cast<unsigned char>(b)];
            if (advance < 0) {
                sum = -1;
                break;
            }
            sum += advance;
        }
        sums[i] = sum;
        largest = std::max(largest, sum);
    }
    const double least = largest * 0.9 - 8;
    std::vector<int> kept;
    for (size_t i = 0; i < sums.size(); ++i)
        if (sums[i] < 0 || sums[i] >= least) kept.push_back(static_cast<int>(i));
    return kept;
}

int GoodsEntryRecNo(const QString& entry) {
    const qsizetype tilde = entry.indexOf(u'~');
    return platform::StrToInt(tilde < 0 ? QString() : entry.mid(tilde + 1));
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
