#include "sequence/NumberText.h"

#include <gtest/gtest.h>

using namespace kadenzo;

TEST(NumberText, LeadingNumber) {
    EXPECT_DOUBLE_EQ(leadingNumber("  12.5abc"), 12.5);
    EXPECT_DOUBLE_EQ(leadingNumber("abc"), 0.0);
    EXPECT_DOUBLE_EQ(leadingNumber(""), 0.0);
    EXPECT_DOUBLE_EQ(leadingNumber("-1"), -1.0);
    EXPECT_DOUBLE_EQ(leadingNumber("+.5"), 0.5);
    EXPECT_DOUBLE_EQ(leadingNumber("5."), 5.0);
    EXPECT_DOUBLE_EQ(leadingNumber("1e2x"), 100.0);
    EXPECT_DOUBLE_EQ(leadingNumber("1e"), 1.0);
    EXPECT_DOUBLE_EQ(leadingNumber("1,5"), 1.0);
    EXPECT_DOUBLE_EQ(leadingNumber("inf"), 0.0);
    EXPECT_DOUBLE_EQ(leadingNumber("0x10"), 0.0);
}
