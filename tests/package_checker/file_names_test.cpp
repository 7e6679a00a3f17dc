// File names as the checker takes setup.log's values apart, character by
// character in code page 936: where the folder ends (a drive's colon, a
// backslash that is the trail byte of a double-byte character), what the
// path calls resolve, which letters fold, how MAX_PATH counts.
#include <gtest/gtest.h>

#include <string>

#include "package_checker/file_names.h"
#include "platform/win32.h"

namespace {

// Double-byte characters: 表 (B1 ED), 誠 whose trail byte is the backslash
// (D5 5C), and two whose trail bytes are the letters a and z (81 61, 81 7A).
const std::string kChinese = "\xB1\xED";
const std::string kBackslashTrail = "\xD5\x5C";
const std::string kLetterTrails = "\x81\x61\x81\x7A";

TEST(FileNames, FolderPartAndTitle)
{
    ASSERT_EQ(GetACP(), 936u);
    const struct {
        std::string path;
        bool directoryPart;
        std::string folder;
        std::string title;
    } rows[] = {
        {"my.ime", false, "", "my.ime"},
        {"sub\\my.ime", true, "sub", "my.ime"},
        {"sub/my.ime", true, "sub", "my.ime"},
        {"C:my.ime", true, "C:", "my.ime"},  // the current directory of drive C
        {"C:\\my.ime", true, "C:", "my.ime"},
        {kBackslashTrail + ".ime", false, "", kBackslashTrail + ".ime"},
        {"sub\\" + kBackslashTrail + "\\" + kBackslashTrail + ".ime", true, "sub\\" + kBackslashTrail,
         kBackslashTrail + ".ime"},
        {"sub\\..\\my.ime. . ", true, "sub\\..", "my.ime"},
        {"my.ime\\.", true, "my.ime", "my.ime"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.path);
        EXPECT_EQ(HasDirectoryPart(row.path), row.directoryPart);
        EXPECT_EQ(FolderPart(row.path), row.folder);
        EXPECT_EQ(FileTitle(row.path), row.title);
    }
}

TEST(FileNames, SameFolderAsThePathCallsResolveIt)
{
    ASSERT_EQ(GetACP(), 936u);
    const std::string system = "C:\\WINDOWS\\SYSTEM32";
    const struct {
        std::string path;
        bool same;
    } rows[] = {
        {"c:\\windows\\system32", true},
        {"C:\\WINDOWS\\SYSTEM32\\", true},
        {"C:\\WINDOWS\\SYSTEM32\\sub\\..", true},
        {"C:\\WINDOWS\\.\\SYSTEM32", true},
        {"C:\\..\\WINDOWS\\SYSTEM32", true},  // ".." at the root stays there
        {"C:\\WINDOWS. .\\SYSTEM32 ", true},
        {"C:\\WINDOWS\\SYSTEM", false},
        {"C:\\WINDOWS\\SYSTEM32\\sub", false},
        {"D:\\WINDOWS\\SYSTEM32", false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(SameFolder(row.path, system), row.same) << row.path;
        EXPECT_EQ(SameFolder(system, row.path), row.same) << row.path;
    }
    // Letters beyond ASCII are the file system's to fold: here they differ.
    EXPECT_FALSE(SameFolder("C:\\\xA6\xA1", "C:\\\xA6\xC1"));  // Α, α
}

TEST(FileNames, OnlyAsciiLettersFold)
{
    ASSERT_EQ(GetACP(), 936u);
    EXPECT_EQ(FoldedFileName("az.IME"), "AZ.IME");
    EXPECT_EQ(FoldedFileName("@[`{"), "@[`{");  // the neighbours of A, Z, a and z
    EXPECT_EQ(FoldedFileName(kLetterTrails + "a.ime"), kLetterTrails + "A.IME");
    EXPECT_TRUE(HasExtension("x.DLL", ".dll"));
    EXPECT_TRUE(HasExtension(kLetterTrails + ".dll", ".DLL"));
    EXPECT_FALSE(HasExtension("x.dllx", ".dll"));
}

TEST(FileNames, CharactersCountAsMaxPathCountsThem)
{
    ASSERT_EQ(GetACP(), 936u);
    EXPECT_EQ(CharacterCount(""), 0u);
    EXPECT_EQ(CharacterCount("my.ime"), 6u);
    EXPECT_EQ(CharacterCount(kChinese + kBackslashTrail + ".ime"), 6u);
}

}  // namespace
