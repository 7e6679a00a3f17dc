// Two names for one file. Windows drops the trailing dots and blanks of a
// name ("Naming Files, Paths, and Namespaces"), and compares names without
// case beyond ASCII as well: Greek, Cyrillic and full-width Latin letters
// have case, as the system's upper-case table gives it. The file search finds
// a file by any of its spellings, and GetFileInformationByHandle tells which
// file a name reaches. In code page 936; trail bytes are never letters.
#include <optional>
#include <string>

#include "platform/platform_test.h"
#include "support/unique_handle.h"

namespace {

struct FileId {
    DWORD volume = 0;
    DWORD high = 0;
    DWORD low = 0;
    bool operator==(const FileId& other) const
    {
        return volume == other.volume && high == other.high && low == other.low;
    }
};

std::optional<FileId> IdOf(const std::string& path)
{
    UniqueFileHandle file(CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file || !GetFileInformationByHandle(file.get(), &info)) return std::nullopt;
    return FileId{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
}

std::string FirstMatch(const std::string& name)
{
    WIN32_FIND_DATAA found{};
    UniqueFindHandle search(FindFirstFileA(name.c_str(), &found));
    return search ? found.cFileName : "<none>";
}

using FileNamesTest = PlatformTest;

TEST_F(FileNamesTest, SpellingsThatReachOneFile)
{
    const struct {
        const char* what;
        std::string stored;    // the file as made
        std::string spelling;  // another name for it
    } rows[] = {
        {"ASCII letters", "Mixed.ime", "mIXED.IME"},
        {"Greek", "\xA6\xA1\xA6\xA2.ime", "\xA6\xC1\xA6\xC2.ime"},        // ΑΒ, αβ
        {"Cyrillic", "\xA7\xA1\xA7\xA2.ime", "\xA7\xD1\xA7\xD2.ime"},     // АБ, аб
        {"full-width Latin", "\xA3\xC1\xA3\xC2.ime", "\xA3\xE1\xA3\xE2.ime"},  // ＡＢ, ａｂ
        {"trailing dot", "dot.ime", "dot.ime."},
        {"trailing dots and blanks", "dot.ime", "DOT.IME. . "},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        ASSERT_TRUE(WriteBytes(Path(row.stored), "x"));
        EXPECT_EQ(FirstMatch(Path(row.spelling)), row.stored);
        const std::optional<FileId> stored = IdOf(Path(row.stored));
        ASSERT_TRUE(stored.has_value());
        EXPECT_TRUE(IdOf(Path(row.spelling)) == stored);
    }
}

TEST_F(FileNamesTest, OtherCharactersAreOtherFiles)
{
    const struct {
        const char* what;
        std::string one;
        std::string other;
    } rows[] = {
        {"two Greek capitals", "\xA6\xA1.ime", "\xA6\xA2.ime"},  // Α, Β
        // The trail bytes 0x61 and 0x41 look like a and A and are no letters.
        {"trail bytes", "\xB2\x61.ime", "\xB2\x41.ime"},
        {"a dot inside", "a.b.ime", "ab.ime"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        ASSERT_TRUE(WriteBytes(Path(row.one), "one"));
        ASSERT_TRUE(WriteBytes(Path(row.other), "other"));
        EXPECT_EQ(ReadBytes(Path(row.one)), "one");
        const std::optional<FileId> one = IdOf(Path(row.one));
        const std::optional<FileId> other = IdOf(Path(row.other));
        ASSERT_TRUE(one.has_value() && other.has_value());
        EXPECT_FALSE(*one == *other);
    }
}

}  // namespace
