// The current directory, read whatever its length; the empty text when the
// platform cannot report it.
#include <gtest/gtest.h>

#include <string>

#include "common/clean_machine_fixture.h"
#include "support/helpers.h"

namespace {

using CurrentDirectoryTest = CleanMachineTest;

TEST_F(CurrentDirectoryTest, ReportsTheProcessDirectory)
{
    EXPECT_EQ(CurrentDirectory(), "C:\\");
    sim::SetCurrentDirectory("C:\\IME SETUP\\\xB0\xB2\xD7\xB0");
    EXPECT_EQ(CurrentDirectory(), "C:\\IME SETUP\\\xB0\xB2\xD7\xB0");
}

TEST_F(CurrentDirectoryTest, LongestDirectoryComesWhole)
{
    std::string directory = "C:";
    while (directory.size() + 27 <= 258) {
        directory += "\\abcdefghijklmnopqrstuvwxyz";
    }
    directory += "\\" + std::string(258 - 1 - directory.size(), 'x');
    ASSERT_EQ(directory.size(), 258u);
    sim::SetCurrentDirectory(directory);
    EXPECT_EQ(CurrentDirectory(), directory);
}

TEST_F(CurrentDirectoryTest, FailureGivesTheEmptyText)
{
    sim::FailCall("GetCurrentDirectoryA", ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_EQ(CurrentDirectory(), "");
}

}  // namespace
