// The boxes on a Windows whose ANSI code page is not 936 (an English one,
// 1252): every box reads as the tool's Chinese words, read back from the box
// in UTF-16. The suite runs these cases in its own run, with this process and
// the program under test in that page (under Wine: LC_ALL=en_US.UTF-8).
// What goes through the ANSI calls still follows the page: the layout's name
// and a file name from setup.log.
#include "common/wine_deviation.h"
#include "expected_texts.h"
#include "gbk_text.h"
#include "tool_case.h"

#include <functional>

namespace e2e {
namespace {

std::wstring Reading(const std::string& bytes, UINT codePage)
{
    const int n = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), &wide[0], n);
    return wide;
}

std::wstring WideText(HKEY root, const std::wstring& path, const wchar_t* name)
{
    wchar_t buffer[512] = L"";
    DWORD size = sizeof buffer - sizeof(wchar_t);
    if (RegGetValueW(root, path.c_str(), name, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS) return L"";
    return buffer;
}

std::string Utf8(const std::wstring& wide)
{
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                      nullptr);
    std::string utf8(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &utf8[0], n, nullptr, nullptr);
    return utf8;
}

class OtherCodePage : public ToolCase {
protected:
    void SetUp() override
    {
        if (ExpectedCodePage() == 936) GTEST_SKIP() << "for a run in another ANSI code page (e2e_tests_cp1252)";
        ToolCase::SetUp();
    }
};

TEST_F(OtherCodePage, EveryBoxReadsAsTheChineseText)
{
    const auto place = [this] { PlaceInstallation(); };
    const std::vector<std::pair<const char*, std::function<void()>>> rows = {
        {"installed", [&] { Run("", {Outcome(Gbk(texts::kInstallSucceeded))}); }},
        {"removed",
         [&] {
             Run("", {Outcome(Gbk(texts::kInstallSucceeded))});
             Run("", {Outcome(Gbk(texts::kUninstallSucceeded))});
         }},
        {"not installed", [&] { Run("/uninst", {Outcome(Gbk(texts::kNotInstalled))}); }},
        {"question, cancelled",
         [&] {
             place();
             Run("/inst", {Question(Gbk(texts::kAlreadyInstalled), IDNO), Outcome(Gbk(texts::kInstallCancelled))});
         }},
        {"IME file locked",
         [&] {
             place();
             HeldFile holder(InstalledIme());
             ASSERT_TRUE(holder.held());
             Run("/inst", {Outcome(Gbk(texts::kImeFileLocked))});
         }},
        {"no rights",
         [&] {
             const DeniedKey denied(HKEY_LOCAL_MACHINE, kLayoutsPath);
             ASSERT_TRUE(denied.denied());
             Run("", {Outcome(Gbk(texts::kNoRights))});
         }},
        {"preload list closed",
         [&] {
             place();
             const DeniedKey denied(HKEY_CURRENT_USER, kPreloadPath);
             ASSERT_TRUE(denied.denied());
             Run("", {Outcome(Gbk(texts::kPreloadOpenFailed))});
         }},
        {"files locked",
         [&] {
             place();
             HeldFile holder(InstalledMb());
             ASSERT_TRUE(holder.held());
             Run("/uninst", {Outcome(Gbk(texts::kFilesLocked))});
         }},
    };
    for (const auto& [name, run] : rows) {
        SCOPED_TRACE(name);
        TearDown();
        ToolCase::SetUp();
        run();
    }
}

TEST_F(OtherCodePage, TheLayoutIsNamedByTheDisplayNamesBytesReadInTheAnsiPage)
{
    Run("", {Outcome(Gbk(texts::kInstallSucceeded))});

    const std::vector<Layout> layouts = LayoutsOfImeFile(RegisteredIme());
    ASSERT_EQ(layouts.size(), 1u);
    const std::wstring shown = WideText(HKEY_LOCAL_MACHINE, Reading(LayoutPath(layouts[0].keyName), CP_ACP),
                                        L"Layout Text");
    const std::string bytes = Gbk(texts::kDisplayName);
    // The input method manager reads the name in the ANSI page, as every ANSI call does.
    EXPECT_TRUE(shown == Reading(bytes, CP_ACP)) << GbkFromWide(shown);
    EXPECT_FALSE(shown == Reading(bytes, 936));
}

TEST_F(OtherCodePage, ACopyFailureNamesTheFileAsTheAnsiPageReadsIt)
{
    // "\xE9\xE8.mb": "éè.mb" in code page 1252, the name the copy looked for.
    const std::string mb = "\xE9\xE8.mb";
    ASSERT_TRUE(WriteBytes(PackagePath(mb), kPackageMb));
    WriteSetupLog(SetupLog(kImeFile, mb, Gbk(texts::kDisplayName)));
    // A folder where the copy would go: the copy fails.
    const std::string target = filesDir_ + "\\" + mb;
    ASSERT_TRUE(CreateDirectoryA(target.c_str(), nullptr));

    const std::wstring expected = std::wstring(L"\u00E9\u00E8.mb") + Reading(texts::kCopyErrorSuffix, CP_ACP);
    const ProgramRun run = Run("", {Outcome(GbkFromWide(expected))});
    RemoveDirectoryA(target.c_str());
    ASSERT_EQ(run.boxes.size(), 1u);
    EXPECT_TRUE(run.boxes[0].wideText == expected) << Describe(run.boxes[0].text);
}

// A Chinese file name in setup.log (GBK bytes) names another file in code page
// 1252: the program finds none and ends without a word; the checker, run on
// the same machine, says which name the program looks for.
TEST_F(OtherCodePage, AChineseFileNameIsAnotherNameHere)
{
    const std::wstring chinese = L"\u6D4B\u8BD5.ime";  // "测试.ime", as the author named the file
    const std::string gbk = Gbk(u8"\u6D4B\u8BD5.ime");
    const std::wstring path = Reading(packageDir_ + "\\", CP_ACP) + chinese;
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                    nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, kPackageIme.data(), static_cast<DWORD>(kPackageIme.size()), &written, nullptr);
    CloseHandle(file);
    WriteSetupLog(SetupLog(gbk, kMbFile, Gbk(texts::kDisplayName)));

    Run("", {});

    const ConsoleRun check = RunConsoleProgram({CheckerPath(), "\"" + CheckerPath() + "\"", packageDir_}, 60000);
    ASSERT_TRUE(check.ended);
    EXPECT_EQ(check.exitCode, 2u) << check.output;
    const std::string named = "reads as \"" + Utf8(Reading(gbk, CP_ACP)) + "\" on this machine (code page " +
                              std::to_string(GetACP()) + "): imesetup.exe looks for a file of that name, finds none "
                              "and ends without a message. Name the files in ASCII.";
    EXPECT_NE(check.output.find(named), std::string::npos) << named << "\n" << check.output;
    DeleteFileW(path.c_str());
}

}  // namespace
}  // namespace e2e
