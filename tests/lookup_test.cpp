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

}  // namespace
