// GetCurrentDirectoryA and GetSystemDirectoryA: the text when it fits, the
// size needed (with the zero) and an untouched buffer when it does not.
#include <string>

#include "platform/platform_test.h"

namespace {

// The current directory is the process's; the test puts it back.
class CurrentDirectoryKept {
public:
    CurrentDirectoryKept()
    {
        char buffer[MAX_PATH + 1] = {};
        if (GetCurrentDirectoryA(sizeof buffer, buffer) < sizeof buffer) saved_ = buffer;
    }
    ~CurrentDirectoryKept()
    {
        if (!saved_.empty()) SetCurrentDirectoryA(saved_.c_str());
    }
    CurrentDirectoryKept(const CurrentDirectoryKept&) = delete;
    CurrentDirectoryKept& operator=(const CurrentDirectoryKept&) = delete;

private:
    std::string saved_;
};

using DirectoryTest = PlatformTest;

template <typename Call>
void CheckBufferAnswers(const std::string& what, Call call)
{
    const DWORD needed = call(nullptr, 0);
    ASSERT_GT(needed, 1u) << what;
    std::string text(needed + 8, '\x7F');
    EXPECT_EQ(call(&text[0], needed), needed - 1) << what;  // fits: the length without the zero
    EXPECT_EQ(text[needed - 1], '\0') << what;
    const std::string full = text.substr(0, needed - 1);

    for (DWORD size : {needed - 1, DWORD(3), DWORD(1)}) {
        std::string untouched(needed + 8, '\x7F');
        EXPECT_EQ(call(&untouched[0], size), needed) << what << " in " << size;  // too small: the size needed
        EXPECT_EQ(untouched, std::string(needed + 8, '\x7F')) << what << " in " << size;
    }
    EXPECT_EQ(full.find('\0'), std::string::npos) << what;
}

TEST_F(DirectoryTest, BufferAnswers)
{
    CheckBufferAnswers("current directory",
                       [](char* buffer, DWORD size) { return GetCurrentDirectoryA(size, buffer); });
    CheckBufferAnswers("system directory",
                       [](char* buffer, DWORD size) { return static_cast<DWORD>(GetSystemDirectoryA(buffer, size)); });

    // The driver's call: a buffer of 65 bytes, a size of 64.
    char system[65] = {};
    const UINT length = GetSystemDirectoryA(system, 64);
    ASSERT_LT(length, 64u);
    EXPECT_EQ(std::string(system).size(), length);
    EXPECT_EQ(system[1], ':');
    EXPECT_EQ(system[2], '\\');
    EXPECT_NE(std::string(system).back(), '\\');
}

TEST_F(DirectoryTest, CurrentDirectoryAsSet)
{
    CurrentDirectoryKept kept;
    // Given with a final backslash, the directory comes back without one.
    ASSERT_TRUE(SetCurrentDirectoryA((scratch_.path() + "\\").c_str()));
    char buffer[MAX_PATH + 1] = {};
    const DWORD length = GetCurrentDirectoryA(sizeof buffer, buffer);
    EXPECT_EQ(std::string(buffer), scratch_.path());
    EXPECT_EQ(length, scratch_.path().size());
    // Relative names are taken against it.
    ASSERT_TRUE(WriteBytes(Path("relative.ime"), "x"));
    EXPECT_NE(GetFileAttributesA("relative.ime"), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesA(".\\relative.ime"), INVALID_FILE_ATTRIBUTES);
    // A drive's root keeps its backslash.
    const std::string root = scratch_.path().substr(0, 3);
    ASSERT_TRUE(SetCurrentDirectoryA(root.c_str()));
    EXPECT_EQ(GetCurrentDirectoryA(sizeof buffer, buffer), 3u);
    EXPECT_EQ(std::string(buffer), root);
}

// A folder whose name the ANSI code page cannot hold: the wide calls reach
// it, and the ANSI calls see each such character as '?' (GetCurrentDirectoryA
// converts with the default character). A path built from that answer names
// no folder (a wildcard in a folder's name is an invalid name), while names
// relative to the current directory still reach its files.
TEST_F(DirectoryTest, FolderOutsideTheCodePageIsAQuestionMarkToTheAnsiCalls)
{
    CurrentDirectoryKept kept;
    std::basic_string<WCHAR> folder(scratch_.path().begin(), scratch_.path().end());  // ASCII
    for (const WCHAR c : {WCHAR('\\'), WCHAR('p'), WCHAR('k'), WCHAR('g'), WCHAR(0x0E01)}) folder += c;  // Thai ko kai
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    ASSERT_TRUE(SetCurrentDirectoryW(folder.c_str()));

    char ansi[MAX_PATH + 1] = {};
    ASSERT_GT(GetCurrentDirectoryA(sizeof ansi, ansi), 0u);
    EXPECT_EQ(std::string(ansi), scratch_.path() + "\\pkg?");
    WCHAR wide[MAX_PATH + 1] = {};
    ASSERT_GT(GetCurrentDirectoryW(MAX_PATH + 1, wide), 0u);
    EXPECT_TRUE(folder == wide);

    ASSERT_TRUE(WriteBytes("setup.log", "x"));
    WIN32_FIND_DATAA found{};
    SetLastError(0xDEADBEEF);
    HANDLE search = FindFirstFileA((std::string(ansi) + "\\setup.log").c_str(), &found);
    EXPECT_EQ(search, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_NAME));
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
    search = FindFirstFileA("setup.log", &found);
    EXPECT_NE(search, INVALID_HANDLE_VALUE);
    if (search != INVALID_HANDLE_VALUE) FindClose(search);

    EXPECT_TRUE(DeleteFileA("setup.log"));
    ASSERT_TRUE(SetCurrentDirectoryA(scratch_.path().c_str()));
    EXPECT_TRUE(RemoveDirectoryW(folder.c_str()));
}

}  // namespace
