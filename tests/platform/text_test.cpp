// Text in code page 936 as the command-line splitter steps through it
// (IsDBCSLeadByte, CharNextA), and the two formats of the number helpers
// (wsprintfA "%lu" and "%8X").
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/win32.h"

namespace {

// The tool's texts are code page 936; the machine must use it.
TEST(CodePageTest, LeadBytesOfCodePage936)
{
    ASSERT_EQ(GetACP(), 936u);
    EXPECT_EQ(GetSystemMetrics(SM_DBCSENABLED), 1);
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(IsDBCSLeadByte(static_cast<BYTE>(b)) != 0, b >= 0x81 && b <= 0xFE) << "byte " << b;
}

TEST(CodePageTest, CharNextStepsOverWholeCharacters)
{
    ASSERT_EQ(GetACP(), 936u);
    // a, 中 (D6 D0), a pair with trail byte 0x40, 0x80 and 0xFF alone, a lead
    // byte before the terminating zero.
    const char text[] = "a\xD6\xD0\x81\x40\x80\xFF\x81";
    const struct {
        int from, to;
    } steps[] = {{0, 1}, {1, 3}, {3, 5}, {5, 6}, {6, 7}, {7, 8}, {8, 8}};
    for (const auto& s : steps) EXPECT_EQ(CharNextA(text + s.from) - text, s.to) << "from " << s.from;
    // Within a pair the trail byte is not looked at: 0x5C and 0x30 follow a lead byte too.
    const char backslash[] = "\xD5\x5C\x41";
    EXPECT_EQ(CharNextA(backslash), backslash + 2);
    const char digit[] = "\x81\x30";
    EXPECT_EQ(CharNextA(digit), digit + 2);
    const char empty[] = "";
    EXPECT_EQ(CharNextA(empty), empty);
}

TEST(FormatterTest, UnsignedDecimalAndBlankFilledHex)
{
    struct Case {
        const char* format;
        DWORD value;
        const char* text;
    } cases[] = {
        {"%lu", 0, "0"},
        {"%lu", 100, "100"},
        {"%lu", 0x80000000u, "2147483648"},
        {"%lu", 0xFFFFFFFFu, "4294967295"},
        {"%8X", 0, "       0"},
        {"%8X", 0x804, "     804"},
        {"%8X", 0xABCDEF, "  ABCDEF"},
        {"%8X", 0xE0200804u, "E0200804"},
        {"%8X", 0xFFFFFFFFu, "FFFFFFFF"},
    };
    for (const Case& c : cases) {
        char buffer[33];
        std::fill(std::begin(buffer), std::end(buffer), '\x7F');
        const int length = wsprintfA(buffer, c.format, c.value);
        EXPECT_EQ(std::string(buffer), c.text) << c.format << " " << c.value;
        EXPECT_EQ(length, static_cast<int>(std::string(c.text).size())) << c.format << " " << c.value;
    }
}

}  // namespace
