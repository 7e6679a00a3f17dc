// Splitting the command line in a double-byte code page: the trail byte of a
// character is never read as a separator or a quote.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/clean_machine_fixture.h"
#include "driver/command_line.h"

namespace {

using Args = std::vector<std::string>;
using SplitCommandLineCodePageTest = CleanMachineTest;

// Under code page 936 0x81 is a lead byte; the trail bytes below are not valid
// GBK, but the platform steps over any non-zero byte after a lead byte.
TEST_F(SplitCommandLineCodePageTest, TrailByteBlankDoesNotSeparate)
{
    EXPECT_EQ(SplitCommandLine("p \x81\x20x y"), (Args{"\x81\x20x", "y"}));
    EXPECT_EQ(SplitCommandLine("p \x81\x09"), Args{"\x81\x09"});
}

TEST_F(SplitCommandLineCodePageTest, TrailByteQuoteDoesNotQuote)
{
    EXPECT_EQ(SplitCommandLine("p a\x81\x22" "b c"), (Args{"a\x81\x22" "b", "c"}));
    // Inside a quoted stretch it does not close the stretch either.
    EXPECT_EQ(SplitCommandLine("p \"\x81\x22 y\" z"), (Args{"\x81\x22 y", "z"}));
    EXPECT_EQ(SplitCommandLine("\"C:\\\x81\x22\\imesetup.exe\" /inst"), Args{"/inst"});
}

TEST_F(SplitCommandLineCodePageTest, ChineseArgumentsComeWhole)
{
    // "安装" and "卸载" in GBK.
    EXPECT_EQ(SplitCommandLine("p \xB0\xB2\xD7\xB0 \"\xD0\xB6\xD4\xD8\""), (Args{"\xB0\xB2\xD7\xB0", "\xD0\xB6\xD4\xD8"}));
}

TEST_F(SplitCommandLineCodePageTest, LeadByteAtTheEndStandsAlone)
{
    EXPECT_EQ(SplitCommandLine("p \x81"), Args{"\x81"});
    EXPECT_EQ(SplitCommandLine("p \"\x81"), Args{"\x81"});
}

TEST_F(SplitCommandLineCodePageTest, SingleByteCodePageHasNoPairs)
{
    sim::SetCodePage(1252);
    EXPECT_EQ(SplitCommandLine("p \x81\x20x"), (Args{"\x81", "x"}));
    EXPECT_EQ(SplitCommandLine("p a\x81\x22" "b c\""), (Args{"a\x81" "b c"}));
    // Bytes from 0x80 up are never separators.
    EXPECT_EQ(SplitCommandLine("p \xA0\xFF \xE9"), (Args{"\xA0\xFF", "\xE9"}));
}

}  // namespace
