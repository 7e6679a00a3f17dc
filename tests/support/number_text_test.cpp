// Number texts and ASCII upper-casing: pure text, the same on every machine.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "support/helpers.h"

TEST(IntToHex8Test, BlankFilledUpperCaseEightCharacters)
{
    EXPECT_EQ(IntToHex8(0), "       0");
    EXPECT_EQ(IntToHex8(0x804), "     804");
    EXPECT_EQ(IntToHex8(0xABCDEF), "  ABCDEF");
    EXPECT_EQ(IntToHex8(0x12345678), "12345678");
}

TEST(IntToHex8Test, NegativeValuesGiveTheirUnsignedDigits)
{
    EXPECT_EQ(IntToHex8(-1), "FFFFFFFF");
    EXPECT_EQ(IntToHex8(std::numeric_limits<std::int32_t>::min()), "80000000");
    EXPECT_EQ(IntToHex8(static_cast<std::int32_t>(0xE0020804u)), "E0020804");
}

TEST(IntToDecimalTest, PlainUnsignedDigits)
{
    EXPECT_EQ(IntToDecimal(0), "0");
    EXPECT_EQ(IntToDecimal(7), "7");
    EXPECT_EQ(IntToDecimal(100), "100");
    EXPECT_EQ(IntToDecimal(std::numeric_limits<std::int32_t>::max()), "2147483647");
}

TEST(IntToDecimalTest, NegativeValuesAreReadUnsigned)
{
    EXPECT_EQ(IntToDecimal(-1), "4294967295");
    EXPECT_EQ(IntToDecimal(std::numeric_limits<std::int32_t>::min()), "2147483648");
}

TEST(UpperCaseAsciiTest, EmptyTextStaysEmpty)
{
    EXPECT_EQ(UpperCaseAscii(""), "");
}

TEST(UpperCaseAsciiTest, OnlyLowerCaseAsciiLettersChange)
{
    EXPECT_EQ(UpperCaseAscii("e0020804"), "E0020804");
    EXPECT_EQ(UpperCaseAscii("az AZ 09 `{@[ -_"), "AZ AZ 09 `{@[ -_");
}

TEST(UpperCaseAsciiTest, EveryByteFollowsTheSameRule)
{
    std::string all;
    std::string expected;
    for (int b = 0; b < 256; ++b) {
        all.push_back(static_cast<char>(b));
        expected.push_back(static_cast<char>(b >= 0x61 && b <= 0x7A ? b - 0x20 : b));
    }
    const std::string upper = UpperCaseAscii(all);
    ASSERT_EQ(upper.size(), 256u);  // an embedded zero byte does not end the text
    EXPECT_EQ(upper, expected);
}

TEST(UpperCaseAsciiTest, TrailBytesOfDoubleByteCharactersAreFoldedToo)
{
    // GBK: B0 B2 D7 B0 is a two-character word; 81 61 and FE 7A are characters
    // whose trail bytes fall on 'a' and 'z'.
    EXPECT_EQ(UpperCaseAscii("\xB0\xB2\xD7\xB0"), "\xB0\xB2\xD7\xB0");
    EXPECT_EQ(UpperCaseAscii("\x81\x61x\xFE\x7A"), "\x81\x41X\xFE\x5A");
}
