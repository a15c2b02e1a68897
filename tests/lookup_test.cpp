// The editor's look-up of parties and goods, apart from any window.

#include "documents/Lookup.h"
#include "platform/CodePage.h"
#include "platform/Exception.h"

#include <gtest/gtest.h>

namespace {

TEST(Lookup, TypedTextMatchesTheStoredBytesWithoutCase) {
    EXPECT_TRUE(LookupStartsWithBytes(platform::EncodeCp1251("ЁЛХА"), *LookupTypedBytes("ёлх")));
    EXPECT_FALSE(LookupTypedBytes("€‰ 😀"));
    EXPECT_EQ(GoodsEntryRecNo("Стол~12"), 12);
}

TEST(Lookup, APartyHintNamesTheFieldsOfItsPageLanguage) {
    const LookupHint contact = ParseLookupHint(PartyHint("Edit8", true));
    EXPECT_EQ(contact.firstField, "ContactPerson2");
    EXPECT_EQ(contact.secondField, "RespPerson2");
    EXPECT_EQ(contact.dataSet, "cust");
    EXPECT_EQ(ParseLookupHint(PartyHint("Edit10", false)).field, "Name1");
}

TEST(Lookup, TheGoodsThatMayBeWidestAreMeasuredAlone) {
    std::array<double, 256> advances{};
    advances.fill(6);
    advances['W'] = 12;
    advances['i'] = 2;
    advances['\t'] = -1;  // its width depends on where it stands
    const std::vector<QByteArray> entries = {
        "iiiiiiiiii~1",         // 10 narrow letters
        "WWWWWWWWWW~2",         // the widest, of as many letters
        "aaaaaaaaaaaaaaaaa~3",  // 17 letters: 120 points against 132
        "aaaaaaaaaaaaaaa~4",    // 108 points: less than a tenth and 8 points below
        "a\tb~5",               // a tab: always measured
        "~6",
    };
    EXPECT_EQ(GoodsEntriesThatMayBeWidest(entries, advances), std::vector<int>({1, 2, 4}));
    EXPECT_EQ(GoodsEntriesThatMayBeWidest({}, advances), std::vector<int>());
    // Entries of equal widths are all measured.
    EXPECT_EQ(GoodsEntriesThatMayBeWidest({"ab~1", "ba~2"}, advances), std::vector<int>({0, 1}));
}

}  // namespace
