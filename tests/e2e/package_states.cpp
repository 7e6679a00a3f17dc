#include "package_states.h"

#include "expected_texts.h"
#include "gbk_text.h"

namespace e2e::states {

void NoSetupLog(ToolCase& c) { RemovePath(c.PackagePath("setup.log")); }

void NoImePramSection(ToolCase& c)
{
    c.WriteSetupLog("[Setup]\r\nImeFile=e2etest.ime\r\nMbFile=e2etest.mb\r\nImeName=x\r\n");
}

void ImeNameZero(ToolCase& c) { c.WriteSetupLog(ToolCase::SetupLog(ToolCase::kImeFile, ToolCase::kMbFile, "0")); }

void ImeNameEmpty(ToolCase& c) { c.WriteSetupLog(ToolCase::SetupLog(ToolCase::kImeFile, ToolCase::kMbFile, "")); }

void ImeFileNamesAFolder(ToolCase& c)
{
    ASSERT_TRUE(CreateDirectoryA(c.PackagePath("imefolder").c_str(), nullptr));
    c.WriteSetupLog(ToolCase::SetupLog("imefolder", ToolCase::kMbFile, Gbk(texts::kDisplayName)));
}

void MbFileMissing(ToolCase& c)
{
    c.WriteSetupLog(ToolCase::SetupLog(ToolCase::kImeFile, "absent.mb", Gbk(texts::kDisplayName)));
}

namespace {

void SetImeFileWriteTime(ToolCase& c, const SYSTEMTIME& time)
{
    HANDLE file = CreateFileA(c.PackagePath(ToolCase::kImeFile).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    FILETIME written{};
    const bool set = SystemTimeToFileTime(&time, &written) && SetFileTime(file, nullptr, nullptr, &written);
    CloseHandle(file);
    ASSERT_TRUE(set);
}

}  // namespace

void ImeFileWrittenBefore1980(ToolCase& c) { SetImeFileWriteTime(c, {1979, 6, 5, 1, 12, 0, 0, 0}); }

void ImeFileWrittenAfter2107(ToolCase& c) { SetImeFileWriteTime(c, {2108, 1, 3, 2, 12, 0, 0, 0}); }

void ImeFileADevice(ToolCase& c)
{
    c.WriteSetupLog(ToolCase::SetupLog("CON", ToolCase::kMbFile, Gbk(texts::kDisplayName)));
}

void KeyInASecondSection(ToolCase& c)
{
    c.WriteSetupLog("[ImePram]\r\nImeFile=e2etest.ime\r\nMbFile=e2etest.mb\r\n[ImePram]\r\nImeName=x\r\n");
}

void NothingInstalled(ToolCase&) {}

void Installed(ToolCase& c) { c.PlaceInstallation(); }

void ImeFilePresentButMbFileMissing(ToolCase& c) { ASSERT_TRUE(WriteBytes(c.InstalledIme(), ToolCase::kOldIme)); }

void InstalledByTheOtherBuildOnly(ToolCase& c)
{
    if (c.OtherBuildIme().empty()) return;
    ASSERT_TRUE(WriteBytes(c.OtherBuildIme(), ToolCase::kOldIme));
    ASSERT_TRUE(WriteBytes(c.OtherBuildMb(), ToolCase::kOldMb));
}

void ImeFileWithFolderParts(ToolCase& c)
{
    ASSERT_TRUE(CreateDirectoryA(c.PackagePath("sub").c_str(), nullptr));
    ASSERT_TRUE(CopyFileA(c.PackagePath(ToolCase::kImeFile).c_str(), c.PackagePath("sub\\e2etest.ime").c_str(), FALSE));
    c.WriteSetupLog(ToolCase::SetupLog("sub\\e2etest.ime", ToolCase::kMbFile, Gbk(texts::kDisplayName)));
}

void ImeFileReachingThePackageItself(ToolCase& c)
{
    // ".." at a drive's root stays there; the package's path below its drive follows.
    std::string climb;
    for (int i = 0; i < 12; ++i) climb += "..\\";
    const std::string package = c.PackagePath(ToolCase::kImeFile);
    c.WriteSetupLog(ToolCase::SetupLog(climb + package.substr(3), ToolCase::kMbFile, Gbk(texts::kDisplayName)));
}

}  // namespace e2e::states
