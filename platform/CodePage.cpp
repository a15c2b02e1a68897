#include "platform/CodePage.h"

#include "platform/Exception.h"

#include <array>
#include <unordered_map>

namespace platform {
namespace {

// Bytes 0x80..0xBF; 0xC0..0xFF are U+0410..U+044F in order.
constexpr std::array<char16_t, 64> kHigh = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
};

char16_t ByteToChar(unsigned char b) {
    if (b < 0x80) return b;
    if (b >= 0xC0) return char16_t(0x0410 + (b - 0xC0));
    return kHigh[b - 0x80];
}

const std::unordered_map<char16_t, char>& CharToByte() {
    static const std::unordered_map<char16_t, char> map = [] {
        std::unordered_map<char16_t, char> m;
        for (int b = 0x80; b <= 0xFF; ++b) {
            char16_t c = ByteToChar(static_cast<unsigned char>(b));
            m.emplace(c, static_cast<char>(b));
        }
        return m;
    }();
    return map;
}

bool ToByte(char16_t c, char& out) {
    if (c < 0x80) {
        out = static_cast<char>(c);
        return true;
    }
    const auto& map = CharToByte();
    auto it = map.find(c);
    if (it == map.end()) return false;
    out = it->second;
    return true;
}

}  // namespace

QString DecodeCp1251(const QByteArray& bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (char b : bytes) *out++ = QChar(ByteToChar(static_cast<unsigned char>(b)));
    return text;
}

QByteArray EncodeCp1251(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        char b;
        if (!ToByte(text.at(i).unicode(), b)) {
            // A character beyond U+FFFF is a surrogate pair: named whole.
            const bool pair = text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
            const QString shown = text.mid(i, pair ? 2 : 1);
            const char32_t ucs = pair ? QChar::surrogateToUcs4(text.at(i), text.at(i + 1)) : text.at(i).unicode();
            const QString code = QString::number(ucs, 16).toUpper().rightJustified(4, QLatin1Char('0'));
            throw EEncodingError(QStringLiteral("Знакът „%1“ (U+%2) не може да бъде записан в кодовата таблица Windows-1251.")
                                     .arg(shown, code));
        }
        bytes.append(b);
    }
    return bytes;
}

bool FitsCp1251(const QString& text) {
    char b;
    for (QChar c : text)
        if (!ToByte(c.unicode(), b)) return false;
    return true;
}

}  // namespace platform
