// Splitting the command line: separators, quotes and the program's own name.
// Only ASCII text here, so the results do not depend on the code page.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/command_line.h"

namespace {

using Args = std::vector<std::string>;

TEST(SplitCommandLineTest, ProgramNameIsNotAnArgument)
{
    EXPECT_EQ(SplitCommandLine(""), Args{});
    EXPECT_EQ(SplitCommandLine("imesetup.exe"), Args{});
    EXPECT_EQ(SplitCommandLine("  imesetup.exe  "), Args{});
    EXPECT_EQ(SplitCommandLine("\"C:\\Program Files\\imesetup.exe\" /inst"), Args{"/inst"});
    EXPECT_EQ(SplitCommandLine("\"C:\\Program Files\\imesetup.exe\""), Args{});
}

TEST(SplitCommandLineTest, RunsOfBlanksAndControlBytesSeparate)
{
    EXPECT_EQ(SplitCommandLine("p a b"), (Args{"a", "b"}));
    EXPECT_EQ(SplitCommandLine("p \t a\r\n\x01\x1F b \x7F !"), (Args{"a", "b", "\x7F", "!"}));
    EXPECT_EQ(SplitCommandLine("p\ta"), Args{"a"});
}

TEST(SplitCommandLineTest, QuotedStretchBelongsToOneArgumentAndLosesItsQuotes)
{
    EXPECT_EQ(SplitCommandLine("p \"/inst\""), Args{"/inst"});
    EXPECT_EQ(SplitCommandLine("p \"a b\" c"), (Args{"a b", "c"}));
    EXPECT_EQ(SplitCommandLine("p a\"b c\"d e"), (Args{"ab cd", "e"}));
    EXPECT_EQ(SplitCommandLine("p /in\"\"st"), Args{"/inst"});
    EXPECT_EQ(SplitCommandLine("p \"a b"), Args{"a b"});  // an unclosed quote runs to the end
}

TEST(SplitCommandLineTest, EmptyQuotesWhereAnArgumentWouldBeginAreSkipped)
{
    EXPECT_EQ(SplitCommandLine("p \"\""), Args{});
    EXPECT_EQ(SplitCommandLine("p \"\" /inst"), Args{"/inst"});
    EXPECT_EQ(SplitCommandLine("p /inst \"\""), Args{"/inst"});
    EXPECT_EQ(SplitCommandLine("p \"\"\"\" \"\"/uninst"), Args{"/uninst"});
    EXPECT_EQ(SplitCommandLine("p \"\"\""), Args{});  // a pair skipped, then an unclosed empty quote
    EXPECT_EQ(SplitCommandLine("\"\" /inst"), Args{});  // "" is skipped; /inst is then the program's name
}

TEST(SplitCommandLineTest, BackslashIsAnOrdinaryCharacter)
{
    EXPECT_EQ(SplitCommandLine("p a\\\"b c\" d\\"), (Args{"a\\b c", "d\\"}));
    EXPECT_EQ(SplitCommandLine("p \"C:\\dir\\\" x"), (Args{"C:\\dir\\", "x"}));
}

}  // namespace
