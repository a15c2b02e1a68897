// The check digit of a party's identification number.

#include "documents/IdentificationNumber.h"
#include "platform/Exception.h"

#include <gtest/gtest.h>

namespace {

TEST(IdentificationNumber, TheNinthDigitChecksTheFirstEight) {
    const std::pair<const char*, bool> ids[] = {{"831826092", true},  {"831826093", false}, {"1234567890", false},
                                                {"", false},           {"100000086", true},  {"100000087", false},
                                                {"100000550", true},   {"100000551", false}};
    for (const auto& [id, valid] : ids) EXPECT_EQ(IdentificationNumberValid(id), valid) << id;
    EXPECT_THROW(IdentificationNumberValid("12345678a"), platform::EConvertError);
}

}  // namespace
