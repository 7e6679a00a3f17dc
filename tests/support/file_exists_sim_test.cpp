// File stamps and file existence: a name exists when the platform's file
// search finds it, its first match is not a directory, and its last-write time
// has an MS-DOS form.
#include <gtest/gtest.h>

#include <cstdint>

#include "common/clean_machine_fixture.h"
#include "support/helpers.h"

namespace {

std::int32_t DosStamp(int year, int month, int day, int hour, int minute, int second)
{
    const std::uint32_t date = ((year - 1980) << 9) | (month << 5) | day;
    const std::uint32_t time = (hour << 11) | (minute << 5) | (second / 2);
    return static_cast<std::int32_t>((date << 16) | time);
}

class FileExistsTest : public CleanMachineTest {
protected:
    void SetUp() override
    {
        CleanMachineTest::SetUp();
        sim::SetCurrentDirectory("C:\\SETUP");
    }
};

TEST_F(FileExistsTest, FileFoundByAbsoluteAndRelativeName)
{
    sim::PutFile("C:\\SETUP\\ime.ime", "module");
    EXPECT_TRUE(FileExistsAt("C:\\SETUP\\ime.ime"));
    EXPECT_TRUE(FileExistsAt("ime.ime"));  // against the current directory
    EXPECT_TRUE(FileExistsAt("IME.IME"));  // file names match without case
    EXPECT_FALSE(FileExistsAt("ime.mb"));
    EXPECT_FALSE(FileExistsAt("C:\\NOWHERE\\ime.ime"));
}

TEST_F(FileExistsTest, EmptyNameDoesNotExist)
{
    EXPECT_EQ(FileStamp(""), -1);
    EXPECT_FALSE(FileExistsAt(""));
}

TEST_F(FileExistsTest, DirectoryDoesNotCountAsAFile)
{
    sim::MakeDirectory("C:\\SETUP\\folder.ime");
    EXPECT_EQ(FileStamp("C:\\SETUP\\folder.ime"), -1);
    EXPECT_FALSE(FileExistsAt("folder.ime"));
    EXPECT_FALSE(FileExistsAt("C:\\SETUP"));
}

TEST_F(FileExistsTest, WildcardNameIsASearchPatternJudgedByItsFirstMatch)
{
    sim::PutFile("C:\\SETUP\\b.ime", "module");
    EXPECT_TRUE(FileExistsAt("C:\\SETUP\\*.ime"));
    EXPECT_TRUE(FileExistsAt("?.ime"));

    // Matches come sorted by name: the directory a.ime is met before b.ime.
    sim::MakeDirectory("C:\\SETUP\\a.ime");
    EXPECT_FALSE(FileExistsAt("C:\\SETUP\\*.ime"));
    EXPECT_FALSE(FileExistsAt("?.ime"));
    EXPECT_TRUE(FileExistsAt("b*"));
}

TEST_F(FileExistsTest, StampIsLocalDosDateAndTime)
{
    sim::PutFile("C:\\SETUP\\ime.ime", "module");
    sim::SetLastWriteTime("C:\\SETUP\\ime.ime", sim::MakeFileTime(2024, 5, 17, 13, 45, 30));
    EXPECT_EQ(FileStamp("ime.ime"), DosStamp(2024, 5, 17, 13, 45, 30));

    sim::SetTimeZoneBiasMinutes(-480);  // eight hours east of UTC
    EXPECT_EQ(FileStamp("ime.ime"), DosStamp(2024, 5, 17, 21, 45, 30));
}

TEST_F(FileExistsTest, StampFromTheYear2044OnIsNegativeButUsable)
{
    sim::PutFile("C:\\SETUP\\ime.ime", "module");
    sim::SetLastWriteTime("C:\\SETUP\\ime.ime", sim::MakeFileTime(2050, 1, 2, 3, 4, 6));
    EXPECT_EQ(FileStamp("ime.ime"), DosStamp(2050, 1, 2, 3, 4, 6));
    EXPECT_LT(FileStamp("ime.ime"), 0);
    EXPECT_TRUE(FileExistsAt("ime.ime"));
}

TEST_F(FileExistsTest, FileWrittenBefore1980InLocalTimeDoesNotExist)
{
    sim::PutFile("C:\\SETUP\\old.ime", "module");
    sim::SetLastWriteTime("C:\\SETUP\\old.ime", sim::MakeFileTime(1979, 12, 31, 23, 59, 58));
    EXPECT_EQ(FileStamp("old.ime"), -1);
    EXPECT_FALSE(FileExistsAt("old.ime"));

    sim::SetLastWriteTime("C:\\SETUP\\old.ime", sim::MakeFileTime(1980, 1, 1, 0, 0, 0));
    EXPECT_EQ(FileStamp("old.ime"), DosStamp(1980, 1, 1, 0, 0, 0));

    // Half an hour into 1980 in UTC is still 1979 an hour west of it.
    sim::SetLastWriteTime("C:\\SETUP\\old.ime", sim::MakeFileTime(1980, 1, 1, 0, 30, 0));
    sim::SetTimeZoneBiasMinutes(60);
    EXPECT_FALSE(FileExistsAt("old.ime"));
}

TEST_F(FileExistsTest, LookUpSaysWhyANameIsNoFile)
{
    sim::PutFile("C:\\SETUP\\b.ime", "module");
    sim::MakeDirectory("C:\\SETUP\\a.ime");
    sim::PutFile("C:\\SETUP\\old.ime", "module");
    sim::SetLastWriteTime("C:\\SETUP\\old.ime", sim::MakeFileTime(1979, 12, 31, 23, 59, 58));
    const struct {
        const char* name;
        FileLookup expected;
    } rows[] = {
        {"b.ime", FileLookup::Found},
        {"b*", FileLookup::Found},
        {"missing.ime", FileLookup::Missing},
        {"", FileLookup::Missing},
        {"a.ime", FileLookup::Directory},
        {"C:\\SETUP", FileLookup::Directory},
        {"?.ime", FileLookup::WildcardDirectory},  // a.ime comes before b.ime
        // The search's own DOS wildcards: DOS_STAR, DOS_QM and DOS_DOT.
        {"<.ime", FileLookup::WildcardDirectory},
        {">.ime", FileLookup::WildcardDirectory},
        {"a\"ime", FileLookup::WildcardDirectory},
        {"old.ime", FileLookup::NoDosTime},
        {"CON", FileLookup::Device},
        {"C:\\SETUP\\nul", FileLookup::Device},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const FileStampLookup lookup = LookUpFileStamp(row.name);
        EXPECT_EQ(lookup.Result, row.expected);
        EXPECT_EQ(lookup.Stamp == -1, row.expected != FileLookup::Found);
    }
}

TEST_F(FileExistsTest, FailedSearchCountsAsAbsent)
{
    sim::PutFile("C:\\SETUP\\ime.ime", "module");
    sim::FailCall("FindFirstFileA", ERROR_ACCESS_DENIED);
    EXPECT_FALSE(FileExistsAt("ime.ime"));
    EXPECT_TRUE(FileExistsAt("ime.ime"));  // the fault was for one call only
}

TEST_F(FileExistsTest, SearchIsClosedBeforeTheTimeIsExamined)
{
    sim::PutFile("C:\\SETUP\\ime.ime", "module");
    const int before = sim::CallCount();
    EXPECT_TRUE(FileExistsAt("ime.ime"));
    const auto log = sim::CallLog();
    ASSERT_EQ(log.size(), static_cast<size_t>(before) + 4);
    EXPECT_EQ(log[before], "FindFirstFileA");
    EXPECT_EQ(log[before + 1], "FindClose");
    EXPECT_EQ(log[before + 2], "FileTimeToLocalFileTime");
    EXPECT_EQ(log[before + 3], "FileTimeToDosDateTime");
}

}  // namespace
