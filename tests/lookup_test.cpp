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

}  // namespace
