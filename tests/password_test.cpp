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

TEST(PasswordShift, EachByteIsRaisedByTheKeyByteOfItsPositionAndReadsBack) {
    ASSERT_EQ(PasswordKey().size(), 64);
    struct Case {
        const char* name;
        QString password;
    };
    const std::vector<Case> cases = {
        {"latin", QStringLiteral("aB7")},
        {"cyrillic, wrapping past 255", QStringLiteral("жяЯ")},
        {"empty", QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray clear = platform::EncodeCp1251(c.password);
        const QByteArray stored = data::StoredPassword(c.password);
        ASSERT_EQ(stored.size(), clear.size());
        for (int i = 0; i < clear.size(); ++i) EXPECT_EQ(Byte(stored, i), (Byte(clear, i) + KeyByte(i)) % 256) << i;
        EXPECT_EQ(data::ClearPassword(stored), c.password);
    }
    // "я" is byte 255: it comes out one below the key byte.
    EXPECT_EQ(Byte(data::StoredPassword(QStringLiteral("я")), 0), KeyByte(0) - 1);

    // The key starts again after sixty-four characters.
    const QByteArray stored = data::ShiftPassword(QByteArray(130, 'x'));
    for (int i : {0, 63, 64, 65, 128, 129}) EXPECT_EQ(Byte(stored, i), ('x' + KeyByte(i)) % 256) << i;
    EXPECT_EQ(Byte(stored, 64), Byte(stored, 0));

    // Every byte value reads back at every position.
    for (int offset = 0; offset < 64; ++offset) {
        QByteArray clear;
        for (int i = 0; i < 256; ++i) clear.append(static_cast<char>((i + offset) % 256));
        EXPECT_NE(data::ShiftPassword(clear), clear);
        EXPECT_EQ(data::UnshiftPassword(data::ShiftPassword(clear)), clear) << offset;
        EXPECT_EQ(data::ClearPassword(data::ShiftPassword(clear)), platform::DecodeCp1251(clear)) << offset;
    }
}

// The stored form that other workstations and existing databases hold, as
// known answers worked out from the rule by hand: byte i of the Windows-1251
// text plus byte i mod 64 of the key "w816nhlb4nykt,9q1iew8s20k7pdtpzigabfez38qxuxyenbivj7cwnrru2jj57e",
// modulo 256. "a" 0x61 + "w" 0x77 = 0xD8; "П" 0xCF + "w" 0x77 = 0x146, kept 0x46.
struct KnownAnswer {
    const char* name;
    QString password;
    QByteArray stored;
};
const std::vector<KnownAnswer>& KnownAnswers() {
    static const std::vector<KnownAnswer> answers = {
        {"latin", QStringLiteral("aB7"), QByteArray("\xd8\x7a\x68", 3)},
        {"cyrillic, past 255", QStringLiteral("Парола"), QByteArray("\x46\x18\x21\x24\x59\x48", 6)},
        {"numero sign, blank, euro, yo", QStringLiteral("№ €ё"), QByteArray("\x30\x58\xb9\xee", 4)},
        {"name and year", QStringLiteral("Иван Петров 2013"),
         QByteArray("\x3f\x1a\x11\x23\x8e\x37\x51\x54\x24\x5c\x5b\x8b\xa6\x5c\x6a\xa4", 16)},
        // Every byte of the key, and the key again from its start.
        {"66 characters", QStringLiteral("012345678901234567890123456789012345678901234567890123456789абвгде"),
         QByteArray("\xa7\x69\x63\x69\xa2\x9d\xa2\x99\x6c\xa7\xa9\x9c\xa6\x5f\x6d\xa6"
                    "\x67\xa0\x9d\xb0\x68\xa4\x64\x63\x9f\x6c\xa6\x9b\xac\xa9\xaa\x9a"
                    "\x99\x94\x96\x9b\x9b\xb1\x6b\x71\xa1\xa9\xa7\xab\xad\x9a\xa4\x99"
                    "\xa1\xaf\x9a\x68\x95\xaa\xa2\xa7\xa8\xac\x6a\xa3\x4a\x16\x19\x48"
                    "\x5b\x1d",
                    66)},
        {"empty", QString(), QByteArray()},
    };
    return answers;
}

TEST(PasswordShift, PasswordsAreStoredInTheFormOtherWorkstationsRead) {
    for (const KnownAnswer& a : KnownAnswers()) {
        SCOPED_TRACE(a.name);
        EXPECT_EQ(data::StoredPassword(a.password).toHex(' '), a.stored.toHex(' '));
        EXPECT_EQ(data::ClearPassword(a.stored), a.password);
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
