#include <gtest/gtest.h>

#include "core/IntegerText.h"

using dorvel::core::ParseInteger;

TEST(IntegerText, DecimalWithSignAndLeadingSpaces) {
    EXPECT_EQ(ParseInteger("197"), 197);
    EXPECT_EQ(ParseInteger("  -8"), -8);
    EXPECT_EQ(ParseInteger("+5"), 5);
    EXPECT_EQ(ParseInteger("007"), 7);
    EXPECT_EQ(ParseInteger("2147483647"), 2147483647);
    EXPECT_EQ(ParseInteger("-2147483648"), INT32_MIN);
}

TEST(IntegerText, HexadecimalPrefixesTakeA32BitPattern) {
    EXPECT_EQ(ParseInteger("$FF"), 255);
    EXPECT_EQ(ParseInteger("x10"), 16);
    EXPECT_EQ(ParseInteger("X1f"), 31);
    EXPECT_EQ(ParseInteger("0x7fffffff"), INT32_MAX);
    EXPECT_EQ(ParseInteger("0XFFFFFFFF"), -1);
    EXPECT_EQ(ParseInteger("$80000000"), INT32_MIN);
    EXPECT_EQ(ParseInteger("-$10"), -16);
}

TEST(IntegerText, AnythingElseIsNoInteger) {
    for (const char* bad :
         {"", " ", "\t5", "5 ", "1e3", "12a", "-", "+", "$", "0x", "$123456789", "2147483648",
          "-2147483649", "99999999999999999999", "0x-1", "--1", "report", "5\r"}) {
        EXPECT_FALSE(ParseInteger(bad)) << '"' << bad << '"';
    }
}
