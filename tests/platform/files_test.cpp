// The file calls of installation and removal against files that another
// program holds, read-only files and missing ones: CreateFileA with the lock
// test's arguments, CopyFileA overwriting, DeleteFileA, and their error codes.
#include <string>

#include "common/held_file.h"
#include "common/wine_deviation.h"
#include "platform/platform_test.h"

namespace {

// The lock test: read and write, no sharing, an existing file only.
DWORD LockTestStatus(const std::string& path)
{
    SetLastError(0xDEADBEEF);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return GetLastError();
    CloseHandle(file);
    return ERROR_SUCCESS;
}

DWORD CopyStatus(const std::string& from, const std::string& to)
{
    SetLastError(0xDEADBEEF);
    return CopyFileA(from.c_str(), to.c_str(), FALSE) ? ERROR_SUCCESS : GetLastError();
}

DWORD DeleteStatus(const std::string& path)
{
    SetLastError(0xDEADBEEF);
    return DeleteFileA(path.c_str()) ? ERROR_SUCCESS : GetLastError();
}

const DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

class FilesTest : public PlatformTest {
protected:
    void SetUp() override
    {
        PlatformTest::SetUp();
        ASSERT_TRUE(WriteBytes(Path("source.ime"), "new module"));
    }
};

// What another program's handle leaves possible, by its access and share
// mode. The lock test shares nothing, so any holder that reads, writes or
// deletes makes it fail with 32; a copy writes the target shared for reading
// and writing (not for deletion); a deletion needs the holder to share
// deletion. A handle without data access (attributes only) stops nothing.
TEST_F(FilesTest, FilesHeldByAnotherProgram)
{
    struct Case {
        DWORD access;
        DWORD share;
        DWORD lockTest, copyOnto, erase;
    } cases[] = {
        {GENERIC_READ, 0, ERROR_SHARING_VIOLATION, ERROR_SHARING_VIOLATION, ERROR_SHARING_VIOLATION},
        {GENERIC_READ, FILE_SHARE_READ, ERROR_SHARING_VIOLATION, ERROR_SHARING_VIOLATION, ERROR_SHARING_VIOLATION},
        {GENERIC_READ, FILE_SHARE_WRITE, ERROR_SHARING_VIOLATION, ERROR_SUCCESS, ERROR_SHARING_VIOLATION},
        {GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, ERROR_SHARING_VIOLATION, ERROR_SUCCESS,
         ERROR_SHARING_VIOLATION},
        {GENERIC_READ, FILE_SHARE_DELETE, ERROR_SHARING_VIOLATION, ERROR_SHARING_VIOLATION, ERROR_SUCCESS},
        {GENERIC_READ, kShareAll, ERROR_SHARING_VIOLATION, ERROR_SUCCESS, ERROR_SUCCESS},
        {GENERIC_WRITE, FILE_SHARE_READ, ERROR_SHARING_VIOLATION, ERROR_SHARING_VIOLATION, ERROR_SHARING_VIOLATION},
        {GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE, ERROR_SHARING_VIOLATION, ERROR_SUCCESS,
         ERROR_SHARING_VIOLATION},
        {DELETE, kShareAll, ERROR_SHARING_VIOLATION, ERROR_SHARING_VIOLATION, ERROR_SUCCESS},
        {0, 0, ERROR_SUCCESS, ERROR_SUCCESS, ERROR_SUCCESS},
    };
    int n = 0;
    for (const Case& c : cases) {
        const std::string target = Path("held" + std::to_string(++n) + ".ime");
        const std::string label = "holder access " + std::to_string(c.access) + " share " + std::to_string(c.share);
        ASSERT_TRUE(WriteBytes(target, "old module"));
        {
            HeldFile holder(target, c.access, c.share);
            ASSERT_TRUE(holder.held()) << label << ": error " << holder.openError();
            EXPECT_EQ(LockTestStatus(target), c.lockTest) << label;
            EXPECT_EQ(CopyStatus(Path("source.ime"), target), c.copyOnto) << label;
            EXPECT_EQ(DeleteStatus(target), c.erase) << label;
        }
        // What happened shows once the holder has let go.
        if (c.erase == ERROR_SUCCESS) {
            EXPECT_FALSE(PathExists(target)) << label;
        } else {
            EXPECT_EQ(ReadBytes(target), c.copyOnto == ERROR_SUCCESS ? "new module" : "old module") << label;
        }
    }
}

TEST_F(FilesTest, MissingFilesFoldersAndOtherTargets)
{
    const std::string source = Path("source.ime");
    const std::string missing = Path("missing.ime");
    const std::string inMissingFolder = Path("NoFolder\\missing.ime");
    ASSERT_TRUE(CreateDirectoryA(Path("folder.ime").c_str(), nullptr));

    EXPECT_EQ(LockTestStatus(missing), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(LockTestStatus(inMissingFolder), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(LockTestStatus(Path("folder.ime")), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(LockTestStatus(Path("a*.ime")), static_cast<DWORD>(ERROR_INVALID_NAME));

    EXPECT_EQ(CopyStatus(missing, Path("copy.ime")), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(CopyStatus(inMissingFolder, Path("copy.ime")), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(CopyStatus(source, inMissingFolder), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(CopyStatus(source, Path("folder.ime")), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(CopyStatus(source, source), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_FALSE(PathExists(Path("copy.ime")));

    // A missing target is made, with the source's bytes and last-write time.
    const FILETIME written = FileTimeOf(2001, 2, 3, 4, 5, 6);
    ASSERT_TRUE(SetLastWriteTime(source, written));
    EXPECT_EQ(CopyStatus(source, missing), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(ReadBytes(missing), "new module");
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA(missing.c_str(), &entry);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    FindClose(search);
    EXPECT_EQ(TicksOf(entry.ftLastWriteTime), TicksOf(written));

    EXPECT_EQ(DeleteStatus(Path("gone.ime")), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(DeleteStatus(inMissingFolder), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(DeleteStatus(Path("folder.ime")), static_cast<DWORD>(ERROR_ACCESS_DENIED));

    // A read-only file is not deleted, for root under Wine as well.
    ASSERT_TRUE(SetReadOnly(missing, true));
    EXPECT_EQ(DeleteStatus(missing), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(PathExists(missing));
    ASSERT_TRUE(SetReadOnly(missing, false));
    EXPECT_EQ(DeleteStatus(missing), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_FALSE(PathExists(missing));
}

// A read-only file cannot be opened for writing ("Applications can read the
// file, but cannot write to it", FILE_ATTRIBUTE_READONLY), so the lock test
// fails with ERROR_ACCESS_DENIED. Wine run by root opens it.
TEST_F(FilesTest, ReadOnlyFileRefusesTheLockTest)
{
    const std::string file = Path("readonly.ime");
    ASSERT_TRUE(WriteBytes(file, "old module"));
    ASSERT_TRUE(SetReadOnly(file, true));
    if (RunningOnWine()) {
        EXPECT_EQ(LockTestStatus(file), static_cast<DWORD>(ERROR_SUCCESS));
        ReportWineDeviation("CreateFileA: root opens a read-only file for writing");
    } else {
        EXPECT_EQ(LockTestStatus(file), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    }
}

// "If the destination file already exists and has the FILE_ATTRIBUTE_HIDDEN
// or FILE_ATTRIBUTE_READONLY attribute set, this function fails with
// ERROR_ACCESS_DENIED" (CopyFile). Wine overwrites a hidden target, and run by
// root a read-only one.
TEST_F(FilesTest, ReadOnlyOrHiddenTargetRefusesTheCopy)
{
    const struct {
        const char* name;
        DWORD attribute;
        const char* deviation;
    } rows[] = {
        {"readonly.ime", FILE_ATTRIBUTE_READONLY, "CopyFileA: root overwrites a read-only target"},
        {"hidden.ime", FILE_ATTRIBUTE_HIDDEN, "CopyFileA: a hidden target is overwritten"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string target = Path(row.name);
        ASSERT_TRUE(WriteBytes(target, "old module"));
        ASSERT_TRUE(SetFileAttributesA(target.c_str(), row.attribute));
        const DWORD status = CopyStatus(Path("source.ime"), target);
        if (RunningOnWine()) {
            EXPECT_EQ(status, static_cast<DWORD>(ERROR_SUCCESS));
            EXPECT_EQ(ReadBytes(target), "new module");
            ReportWineDeviation(row.deviation);
        } else {
            EXPECT_EQ(status, static_cast<DWORD>(ERROR_ACCESS_DENIED));
            EXPECT_EQ(ReadBytes(target), "old module");
        }
    }
}

}  // namespace

// The copy takes the source's attributes with it ("File attributes for the
// existing file are copied to the new file", CopyFile), so a read-only file
// copied in cannot be deleted afterwards.
TEST_F(FilesTest, CopyOfAReadOnlyFileIsReadOnlyAndCannotBeDeleted)
{
    const std::string source = Path("source.ime");
    const std::string target = Path("installed.ime");
    ASSERT_TRUE(SetReadOnly(source, true));
    EXPECT_EQ(CopyStatus(source, target), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_NE(GetFileAttributesA(target.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_EQ(DeleteStatus(target), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(PathExists(target));
}
