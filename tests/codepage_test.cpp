#include "platform/CodePage.h"
#include "platform/Exception.h"

#include <gtest/gtest.h>
#include <iconv.h>

namespace {

QString IconvDecode(unsigned char byte) {
    iconv_t cd = iconv_open("UTF-16LE", "CP1251");
    char in[1] = {static_cast<char>(byte)};
    char16_t out[2] = {};
    char* pin = in;
    char* pout = reinterpret_cast<char*>(out);
    size_t inLeft = 1, outLeft = sizeof(out);
    size_t rc = iconv(cd, &pin, &inLeft, &pout, &outLeft);
    iconv_close(cd);
    if (rc == static_cast<size_t>(-1)) return QString(QChar(0xFFFD));
    return QString(QChar(out[0]));
}

TEST(CodePage, EveryByteDecodesAsTheSystemConverterDoesAndEncodesBack) {
    for (int b = 0; b < 256; ++b) {
        const QByteArray one(1, static_cast<char>(b));
        const QString decoded = platform::DecodeCp1251(one);
        if (b == 0x98)
            EXPECT_EQ(decoded, QString(QChar(0x98)));  // unassigned: kept as the C1 control of the same number
        else
            EXPECT_EQ(decoded, IconvDecode(static_cast<unsigned char>(b))) << "byte " << b;
        EXPECT_EQ(platform::EncodeCp1251(decoded), one) << "byte " << b;
    }
    const QString text = QStringLiteral("ФАКТУРА № 0000000001 — „Иван Петров“ ЕООД, гр. София");
    EXPECT_EQ(platform::DecodeCp1251(platform::EncodeCp1251(text)), text);
}

TEST(CodePage, ACharacterOutsideTheCodePageIsAnErrorNotAQuestionMark) {
    EXPECT_FALSE(platform::FitsCp1251(QStringLiteral("Straße 5 ü")));
    EXPECT_TRUE(platform::FitsCp1251(QStringLiteral("улица 5")));
    try {
        platform::EncodeCp1251(QStringLiteral("Цена 5 ¥"));
        FAIL() << "no error";
    } catch (const platform::EEncodingError& e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("¥")));
        EXPECT_TRUE(e.Message().contains(QStringLiteral("Windows-1251")));
    }
}

}  // namespace
