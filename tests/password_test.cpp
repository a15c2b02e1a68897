// The stored form of a user's password: each byte raised by the key byte of
// the same position modulo 256, readable back for every byte value, also after
// a trip through the users' table.

#include "data/PasswordShift.h"
#include "data/DataModule.h"
#include "platform/CodePage.h"
#include "platform/Exception.h"
#include "support/testdatabase.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

namespace {

using data::PasswordKey;

int KeyByte(int position) { return static_cast<unsigned char>(PasswordKey()[position % 64]); }
int Byte(const QByteArray& bytes, int i) { return static_cast<unsigned char>(bytes[i]); }

TEST(PasswordShift, TheKeyIsSixtyFourLowerCaseLettersDigitsAndCommas) {
    ASSERT_EQ(PasswordKey().size(), 64);
    for (char c : PasswordKey())
        EXPECT_TRUE((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == ',') << c;
}

TEST(PasswordShift, EachByteIsRaisedByTheKeyByteOfItsPosition) {
    struct Case {
        const char* name;
        QString password;
    };
    const std::vector<Case> cases = {
        {"latin", QStringLiteral("aB7")},
        {"cyrillic, wrapping past 255", QStringLiteral("жяЯ")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray clear = platform::EncodeCp1251(c.password);
        const QByteArray stored = data::StoredPassword(c.password);
        ASSERT_EQ(stored.size(), 3);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(Byte(stored, i), (Byte(clear, i) + KeyByte(i)) % 256) << i;
        EXPECT_EQ(data::ClearPassword(stored), c.password);
    }
    // "я" is byte 255: it comes out one below the key byte.
    EXPECT_EQ(Byte(data::StoredPassword(QStringLiteral("я")), 0), KeyByte(0) - 1);
}

TEST(PasswordShift, TheKeyStartsAgainAfterSixtyFourCharacters) {
    const QByteArray clear(130, 'x');
    const QByteArray stored = data::ShiftPassword(clear);
    for (int i : {0, 63, 64, 65, 128, 129}) EXPECT_EQ(Byte(stored, i), ('x' + KeyByte(i)) % 256) << i;
    EXPECT_EQ(Byte(stored, 64), Byte(stored, 0));
}

TEST(PasswordShift, EveryByteValueRoundTripsAtEveryPosition) {
    for (int offset = 0; offset < 64; ++offset) {
        QByteArray clear;
        for (int i = 0; i < 256; ++i) clear.append(static_cast<char>((i + offset) % 256));
        const QByteArray stored = data::ShiftPassword(clear);
        EXPECT_NE(stored, clear);
        EXPECT_EQ(data::UnshiftPassword(stored), clear) << offset;
        EXPECT_EQ(data::ClearPassword(stored), platform::DecodeCp1251(clear)) << offset;
    }
}

TEST(PasswordShift, AnEmptyPasswordIsStoredAsAnEmptyText) {
    EXPECT_TRUE(data::StoredPassword(QString()).isEmpty());
    EXPECT_EQ(data::ClearPassword(QByteArray()), QString());
}

TEST(PasswordShift, ACharacterOutsideTheCodePageIsRefusedWithAMessage) {
    try {
        data::StoredPassword(QStringLiteral("па€ола漢"));
        FAIL() << "no error";
    } catch (const platform::EEncodingError& error) {
        EXPECT_TRUE(error.Message().contains(QStringLiteral("漢")));
    }
}

// Stored bytes of every value, written and read back through the users' table.
TEST(PasswordShift, EveryStoredByteSurvivesTheUsersTable) {
    testsupport::EnsureApplication();
    testsupport::TempFolder folder;
    testsupport::CreateSchemaDatabase(folder.Path());
    std::vector<QByteArray> stored;
    {
        TDataModule1 dm;
        dm.ConnectFirebird(folder.Path());
        for (int half = 0; half < 2; ++half) {
            QByteArray clear;
            // Chosen so that the stored bytes are 0..127, then 128..255.
            for (int i = 0; i < 128; ++i) clear.append(static_cast<char>((half * 128 + i - KeyByte(i) + 256) % 256));
            stored.push_back(data::ShiftPassword(clear));
            dm.user.Append();
            dm.user.FieldByName("us").SetAsString(QStringLiteral("потребител %1").arg(half));
            dm.user.FieldByName("pas").SetAsBytes(stored.back());
            dm.user.Post();
        }
    }
    TDataModule1 dm;
    dm.ConnectFirebird(folder.Path());
    ASSERT_EQ(dm.user.RecordCount(), 2);
    for (int half = 0; half < 2; ++half) {
        dm.user.SetRecNo(half + 1);
        const QByteArray read = dm.user.FieldByName("pas").AsBytes();
        ASSERT_EQ(read.size(), 128);
        for (int i = 0; i < 128; ++i) EXPECT_EQ(Byte(read, i), half * 128 + i);
        EXPECT_EQ(read, stored[half]);
    }
}

}  // namespace
