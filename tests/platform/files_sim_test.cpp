// The simulated file system: names, share modes, the read-only attribute,
// copying, deleting, searching, directories and file times.
#include <gtest/gtest.h>

#include <string>

#include "common/clean_machine_fixture.h"
#include "platform/win32.h"

namespace {

class SimFilesTest : public CleanMachineTest {
protected:
    static HANDLE Open(const char* path, DWORD access, DWORD share, DWORD disposition = OPEN_EXISTING)
    {
        return CreateFileA(path, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    }

    // The status of opening the file for reading and writing, the handle closed again.
    static DWORD OpenStatus(const char* path, DWORD share)
    {
        SetLastError(0xDEADBEEF);
        HANDLE h = Open(path, GENERIC_READ | GENERIC_WRITE, share);
        if (h == INVALID_HANDLE_VALUE) return GetLastError();
        CloseHandle(h);
        return ERROR_SUCCESS;
    }

    static std::string FirstMatch(const char* pattern, DWORD* error = nullptr)
    {
        WIN32_FIND_DATAA data;
        SetLastError(0);
        HANDLE h = FindFirstFileA(pattern, &data);
        if (error) *error = GetLastError();
        if (h == INVALID_HANDLE_VALUE) return "<none>";
        FindClose(h);
        return data.cFileName;
    }

    static DWORD CopyStatus(const char* from, const char* to, BOOL failIfExists = FALSE)
    {
        SetLastError(0);
        return CopyFileA(from, to, failIfExists) ? ERROR_SUCCESS : GetLastError();
    }

    static DWORD DeleteStatus(const char* path)
    {
        SetLastError(0);
        return DeleteFileA(path) ? ERROR_SUCCESS : GetLastError();
    }
};

TEST_F(SimFilesTest, NamesAreCaseInsensitiveAndResolveAgainstTheCurrentDirectory)
{
    sim::SetCurrentDirectory("D:\\Work\\Sub");
    sim::PutFile("D:\\Work\\Sub\\Setup.Log", "x");
    EXPECT_TRUE(sim::FileExists("d:\\WORK\\sub\\setup.LOG"));
    EXPECT_EQ(FirstMatch("SETUP.LOG"), "Setup.Log");  // stored case comes back
    EXPECT_EQ(FirstMatch("..\\Sub\\.\\setup.log"), "Setup.Log");
    EXPECT_EQ(FirstMatch("d:setup.log"), "Setup.Log");
    EXPECT_EQ(FirstMatch("D:/Work/Sub/setup.log"), "Setup.Log");
    sim::PutFile("D:\\root.txt", "x");
    EXPECT_EQ(FirstMatch("\\root.txt"), "root.txt");  // root of the current drive
    EXPECT_TRUE(sim::DirectoryExists("d:\\work"));
    EXPECT_FALSE(sim::FileExists("D:\\Work"));
}

TEST_F(SimFilesTest, ShareModesAndReadOnly)
{
    sim::PutFile("C:\\f.ime", "x");
    EXPECT_EQ(OpenStatus("C:\\f.ime", 0), ERROR_SUCCESS);

    // Held by another program: no sharing asked means no access.
    int hold = sim::HoldFile("C:\\f.ime", FILE_SHARE_READ | FILE_SHARE_WRITE);
    EXPECT_EQ(OpenStatus("C:\\f.ime", 0), ERROR_SHARING_VIOLATION);
    EXPECT_EQ(OpenStatus("C:\\f.ime", FILE_SHARE_READ | FILE_SHARE_WRITE), ERROR_SUCCESS);
    sim::ReleaseFile(hold);
    hold = sim::HoldFile("C:\\f.ime", 0);
    EXPECT_EQ(OpenStatus("C:\\f.ime", FILE_SHARE_READ | FILE_SHARE_WRITE), ERROR_SHARING_VIOLATION);
    sim::ReleaseFile(hold);

    // The tool's own handle counts like anyone's.
    HANDLE mine = Open("C:\\f.ime", GENERIC_READ, FILE_SHARE_READ);
    ASSERT_NE(mine, INVALID_HANDLE_VALUE);
    EXPECT_EQ(sim::OpenFileCount(), 1);
    EXPECT_EQ(OpenStatus("C:\\f.ime", FILE_SHARE_READ), ERROR_SHARING_VIOLATION);  // it shares no writing
    HANDLE reader = Open("C:\\f.ime", GENERIC_READ, FILE_SHARE_READ);
    EXPECT_NE(reader, INVALID_HANDLE_VALUE);
    CloseHandle(reader);
    EXPECT_TRUE(CloseHandle(mine));
    SetLastError(0);
    EXPECT_FALSE(CloseHandle(mine));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));

    sim::SetReadOnly("C:\\f.ime", true);
    EXPECT_EQ(OpenStatus("C:\\f.ime", 0), ERROR_ACCESS_DENIED);
    HANDLE ro = Open("C:\\f.ime", GENERIC_READ, FILE_SHARE_READ);
    EXPECT_NE(ro, INVALID_HANDLE_VALUE);
    CloseHandle(ro);
}

TEST_F(SimFilesTest, CreateFileStatusCodes)
{
    EXPECT_EQ(OpenStatus("C:\\missing.ime", 0), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(OpenStatus("C:\\NoDir\\a.ime", 0), ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(OpenStatus("", 0), ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(OpenStatus("C:\\WINDOWS", 0), ERROR_ACCESS_DENIED);  // a directory
    EXPECT_EQ(OpenStatus("C:\\a*.ime", 0), ERROR_INVALID_NAME);
    EXPECT_EQ(OpenStatus(("C:\\" + std::string(MAX_PATH, 'a')).c_str(), 0), ERROR_FILENAME_EXCED_RANGE);

    HANDLE h = Open("C:\\new.txt", GENERIC_WRITE, 0, CREATE_NEW);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
    EXPECT_TRUE(sim::FileExists("C:\\new.txt"));
    SetLastError(0);
    EXPECT_EQ(Open("C:\\new.txt", GENERIC_WRITE, 0, CREATE_NEW), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));
}

TEST_F(SimFilesTest, CopyFile)
{
    sim::PutFile("C:\\src.ime", "module");
    const FILETIME written = sim::MakeFileTime(2001, 2, 3, 4, 5, 6);
    sim::SetLastWriteTime("C:\\src.ime", written);

    EXPECT_EQ(CopyStatus("C:\\nothing.ime", "C:\\WINDOWS\\a.ime"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(CopyStatus("C:\\src.ime", "C:\\NoDir\\a.ime"), ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(CopyStatus("C:\\src.ime", "C:\\WINDOWS"), ERROR_ACCESS_DENIED);

    sim::PutFile("C:\\WINDOWS\\A.IME", "old");
    EXPECT_EQ(CopyStatus("C:\\src.ime", "C:\\windows\\a.ime", TRUE), ERROR_FILE_EXISTS);
    EXPECT_EQ(CopyStatus("C:\\src.ime", "C:\\windows\\a.ime"), ERROR_SUCCESS);
    EXPECT_EQ(sim::FileContents("C:\\WINDOWS\\A.IME"), "module");
    EXPECT_EQ(FirstMatch("C:\\WINDOWS\\a.ime"), "A.IME");  // the overwritten file keeps its name
    EXPECT_EQ(sim::LastWriteTime("C:\\WINDOWS\\A.IME").dwLowDateTime, written.dwLowDateTime);
    EXPECT_FALSE(sim::IsReadOnly("C:\\WINDOWS\\A.IME"));

    // The target is written shared for reading and writing: a reader that
    // shares writing does not stop the copy, one that does not share it does.
    int hold = sim::HoldFile("C:\\WINDOWS\\A.IME", FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    EXPECT_EQ(CopyStatus("C:\\src.ime", "C:\\WINDOWS\\A.IME"), ERROR_SUCCESS);
    sim::ReleaseFile(hold);
    hold = sim::HoldFile("C:\\WINDOWS\\A.IME", FILE_SHARE_READ | FILE_SHARE_DELETE);
    EXPECT_EQ(CopyStatus("C:\\src.ime", "C:\\WINDOWS\\A.IME"), ERROR_SHARING_VIOLATION);
    sim::ReleaseFile(hold);
    hold = sim::HoldFile("C:\\src.ime", 0);
    EXPECT_EQ(CopyStatus("C:\\src.ime", "C:\\WINDOWS\\A.IME"), ERROR_SHARING_VIOLATION);
    sim::ReleaseFile(hold);
    sim::SetReadOnly("C:\\WINDOWS\\A.IME", true);
    EXPECT_EQ(CopyStatus("C:\\src.ime", "C:\\WINDOWS\\A.IME"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(CopyStatus("C:\\src.ime", "C:\\SRC.IME"), ERROR_SHARING_VIOLATION);  // onto itself
}

TEST_F(SimFilesTest, DeleteFile)
{
    sim::PutFile("C:\\d.ime", "x");
    EXPECT_EQ(DeleteStatus("C:\\gone.ime"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(DeleteStatus("C:\\NoDir\\gone.ime"), ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(DeleteStatus("C:\\WINDOWS"), ERROR_ACCESS_DENIED);

    int hold = sim::HoldFile("C:\\d.ime", FILE_SHARE_READ | FILE_SHARE_WRITE);
    EXPECT_EQ(DeleteStatus("C:\\d.ime"), ERROR_SHARING_VIOLATION);
    sim::ReleaseFile(hold);
    HANDLE mine = CreateFileA("C:\\d.ime", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(DeleteStatus("C:\\d.ime"), ERROR_SHARING_VIOLATION);
    CloseHandle(mine);
    sim::SetReadOnly("C:\\d.ime", true);
    EXPECT_EQ(DeleteStatus("C:\\d.ime"), ERROR_ACCESS_DENIED);
    sim::SetReadOnly("C:\\d.ime", false);
    EXPECT_EQ(DeleteStatus("C:\\D.IME"), ERROR_SUCCESS);
    EXPECT_FALSE(sim::FileExists("C:\\d.ime"));
}

// Windows Resource Protection refuses an administrator: each call that would
// change a protected file fails with access denied, where the same call on
// the same file unprotected succeeds.
TEST_F(SimFilesTest, ProtectedFilesRefuseEveryChange)
{
    sim::PutFile("C:\\src.mb", "code table");
    for (const char* path : {"C:\\WINDOWS\\SYSTEM32\\notepad.exe", "C:\\WINDOWS\\SYSTEM32\\other.mb"}) {
        for (const bool protect : {false, true}) {
            sim::PutFile(path, "Windows' own");
            if (protect && std::string(path).find("other") != std::string::npos) sim::ProtectFile(path);
            const bool listed = std::string(path).find("notepad") != std::string::npos;
            const DWORD refused = protect || listed ? ERROR_ACCESS_DENIED : ERROR_SUCCESS;
            EXPECT_EQ(OpenStatus(path, FILE_SHARE_READ), refused) << path;
            EXPECT_EQ(CopyStatus("C:\\src.mb", path), refused) << path;
            EXPECT_EQ(SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL) ? ERROR_SUCCESS : GetLastError(), refused);
            EXPECT_EQ(DeleteStatus(path), refused) << path;
            if (refused != ERROR_SUCCESS) EXPECT_EQ(sim::FileContents(path), "Windows' own") << path;
            HANDLE reading = Open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_ALWAYS);
            EXPECT_NE(reading, INVALID_HANDLE_VALUE) << path;  // reading stays open to everyone
            CloseHandle(reading);
        }
    }
}

// SfcIsFileProtected is reached as on Windows, through sfc.dll of the system
// directory; it answers from the machine's list, file there or not, and as
// Wine's stub does when its answers are off.
TEST_F(SimFilesTest, SfcTellsProtectedFiles)
{
    EXPECT_EQ(LoadLibraryExA("C:\\IMEPKG\\sfc.dll", nullptr, 0), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    const HMODULE sfc = LoadLibraryExA("C:\\WINDOWS\\SYSTEM32\\SFC.DLL", nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    ASSERT_NE(sfc, nullptr);
    EXPECT_EQ(GetProcAddress(sfc, "SfcIsKeyProtected"), nullptr);
    const auto ask = reinterpret_cast<BOOL(WINAPI*)(HANDLE, LPCWSTR)>(
        reinterpret_cast<void (*)()>(GetProcAddress(sfc, "SfcIsFileProtected")));
    ASSERT_NE(ask, nullptr);
    const auto wide = [](const std::string& text) {
        std::basic_string<WCHAR> units(text.begin(), text.end());
        return units;
    };
    sim::PutFile("C:\\WINDOWS\\SYSTEM32\\mine.mb", "x");
    EXPECT_TRUE(ask(nullptr, wide("C:\\WINDOWS\\SYSTEM32\\kernel32.dll").c_str()));
    EXPECT_FALSE(ask(nullptr, wide("C:\\WINDOWS\\SYSTEM32\\mine.mb").c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    sim::ProtectFile("C:\\WINDOWS\\SYSTEM32\\mine.mb");
    EXPECT_TRUE(ask(nullptr, wide("C:\\windows\\system32\\MINE.MB").c_str()));
    sim::SetFileProtectionAnswers(false);
    EXPECT_FALSE(ask(nullptr, wide("C:\\WINDOWS\\SYSTEM32\\kernel32.dll").c_str()));
    EXPECT_EQ(sim::LoadedModuleCount(), 1);
    EXPECT_TRUE(FreeLibrary(sfc));
    EXPECT_EQ(sim::LoadedModuleCount(), 0);
}

TEST_F(SimFilesTest, FindFirstFileOrderPatternsAndErrors)
{
    sim::SetCurrentDirectory("C:\\SETUP");
    sim::PutFile("C:\\SETUP\\b.ime", "x");
    sim::PutFile("C:\\SETUP\\_z.ime", "x");
    sim::MakeDirectory("C:\\SETUP\\A.ime");
    sim::PutFile("C:\\SETUP\\readme", "x");

    // Sorted by upper-cased name: "A.IME" < "B.IME" < "_Z.IME" ('_' is above the letters).
    WIN32_FIND_DATAA data;
    HANDLE h = FindFirstFileA("*.ime", &data);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(std::string(data.cFileName), "A.ime");
    EXPECT_EQ(data.dwFileAttributes, static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(sim::OpenFindCount(), 1);
    EXPECT_TRUE(FindClose(h));

    EXPECT_EQ(FirstMatch("?.IME"), "A.ime");
    EXPECT_EQ(FirstMatch("b*"), "b.ime");
    EXPECT_EQ(FirstMatch("_?.*"), "_z.ime");
    EXPECT_EQ(FirstMatch("readme.*"), "readme");  // ".*" also takes a name without extension
    EXPECT_EQ(FirstMatch("*"), ".");              // a directory below a root lists "." first
    EXPECT_EQ(FirstMatch("C:\\*"), "SETUP");      // a root has no "."

    DWORD error = 0;
    EXPECT_EQ(FirstMatch("", &error), "<none>");
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(FirstMatch("*.dll", &error), "<none>");
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(FirstMatch("C:\\NoDir\\*.ime", &error), "<none>");
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(FirstMatch("C:\\SETUP\\", &error), "<none>");
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(SimFilesTest, StarsMatchAnyRunWithoutBacktrackingBlowUp)
{
    sim::SetCurrentDirectory("C:\\SETUP");
    sim::PutFile("C:\\SETUP\\aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa.ime", "x");

    EXPECT_EQ(FirstMatch("a*a*a.ime"), "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa.ime");
    EXPECT_EQ(FirstMatch("*a*.i*e"), "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa.ime");
    EXPECT_EQ(FirstMatch("*b*"), "<none>");
    // Forty stars before a character that never comes: a search that tried
    // every split per star would not finish.
    EXPECT_EQ(FirstMatch((std::string(40, '*') + "b").c_str()), "<none>");
    EXPECT_EQ(FirstMatch("a*?.ime"), "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa.ime");
    // "?" may take no character before a dot, so forty-two of them still fit;
    // a letter that never comes after them does not.
    EXPECT_EQ(FirstMatch("a*??????????????????????????????????????????.ime"),
              "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa.ime");
    EXPECT_EQ(FirstMatch("a*??????????????????????????????????????????b.ime"), "<none>");
    EXPECT_EQ(FirstMatch((std::string(40, '*') + "." + std::string(40, '*') + "b").c_str()), "<none>");
}

TEST_F(SimFilesTest, DirectoryBufferRules)
{
    const std::string longDir = "C:\\" + std::string(70, 'd');
    sim::SetSystemDirectory(longDir);
    char buffer[100] = "untouched";
    EXPECT_EQ(GetSystemDirectoryA(buffer, 73), 74u);  // too small: size with the zero
    EXPECT_STREQ(buffer, "untouched");
    EXPECT_EQ(GetSystemDirectoryA(buffer, 74), 73u);  // fits: length without it
    EXPECT_EQ(std::string(buffer), longDir);

    EXPECT_EQ(GetCurrentDirectoryA(sizeof buffer, buffer), 3u);
    EXPECT_STREQ(buffer, "C:\\");
    sim::SetCurrentDirectory("C:\\Setup\\");
    EXPECT_EQ(GetCurrentDirectoryA(8, buffer), 9u);
    EXPECT_STREQ(buffer, "C:\\");
    EXPECT_EQ(GetCurrentDirectoryA(9, buffer), 8u);
    EXPECT_STREQ(buffer, "C:\\Setup");
}

TEST_F(SimFilesTest, FileTimes)
{
    FILETIME utc = sim::MakeFileTime(2024, 5, 17, 13, 45, 30), local;
    WORD date = 0, time = 0;
    sim::SetTimeZoneBiasMinutes(-480);
    ASSERT_TRUE(FileTimeToLocalFileTime(&utc, &local));
    ASSERT_TRUE(FileTimeToDosDateTime(&local, &date, &time));
    EXPECT_EQ(date, ((2024 - 1980) << 9) | (5 << 5) | 17);
    EXPECT_EQ(time, (21 << 11) | (45 << 5) | 15);

    // The FAT form covers 1980 to 2107 only.
    for (FILETIME t : {sim::MakeFileTime(1979, 12, 31, 23, 59, 59), sim::MakeFileTime(2108, 1, 1)}) {
        SetLastError(0);
        EXPECT_FALSE(FileTimeToDosDateTime(&t, &date, &time));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    }
    FILETIME first = sim::MakeFileTime(1980, 1, 1), last = sim::MakeFileTime(2107, 12, 31, 23, 59, 58);
    EXPECT_TRUE(FileTimeToDosDateTime(&first, &date, &time));
    EXPECT_EQ(date, (1 << 5) | 1);
    EXPECT_TRUE(FileTimeToDosDateTime(&last, &date, &time));

    // A file written just after 1980 began in UTC is from 1979 an hour west of it.
    sim::SetTimeZoneBiasMinutes(60);
    utc = sim::MakeFileTime(1980, 1, 1, 0, 30);
    ASSERT_TRUE(FileTimeToLocalFileTime(&utc, &local));
    EXPECT_FALSE(FileTimeToDosDateTime(&local, &date, &time));
}

}  // namespace
