#include "documents/EditorRules.h"

#include "platform/CodePage.h"
#include "platform/Exception.h"
#include "platform/LocaleText.h"

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

int GoodsEntryRecNo(const QString& entry) {
    const qsizetype tilde = entry.indexOf(u'~');
    return platform::StrToInt(tilde < 0 ? QString() : entry.mid(tilde + 1));
}

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

bool IdentificationNumberValid(const QString& text) {
    if (text.size() != 9) return false;
    int d[9];
    for (int i = 0; i < 9; ++i) {
        const QChar c = text[i];
        if (c < u'0' || c > u'9')
            throw platform::EConvertError(QStringLiteral("„%1“ не е правилно число.").arg(text));
        d[i] = c.unicode() - u'0';
    }
    int r = 0;
    for (int i = 0; i < 8; ++i) r += (i + 1) * d[i];
    r %= 11;
    if (r == 10) {
        r = 0;
        for (int i = 0; i < 8; ++i) r += (i + 3) * d[i];
        r %= 11;
        if (r == 10) return d[8] == 0;
    }
    return r == d[8];
}
