// The page's texts that the view rebuild and the language switch write, apart
// from any window.

#include "documents/ViewRules.h"

#include <gtest/gtest.h>

namespace {

TEST(ViewRules, TheValueColumnIsRightAligned) {
    EXPECT_EQ(PadValueTexts({"5,00", "120,00", "", "12,00"}), QStringList({"    5,00", "120,00", "", "  12,00"}));
}

}  // namespace
