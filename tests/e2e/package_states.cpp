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

void ImeFileWrittenBefore1980(ToolCase& c)
{
    HANDLE file = CreateFileA(c.PackagePath(ToolCase::kImeFile).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    const SYSTEMTIME june1979{1979, 6, 5, 1, 12, 0, 0, 0};
    FILETIME written{};
    const bool set = SystemTimeToFileTime(&june1979, &written) && SetFileTime(file, nullptr, nullptr, &written);
    CloseHandle(file);
    ASSERT_TRUE(set);
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

}  // namespace e2e::states
