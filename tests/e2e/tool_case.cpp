#include "tool_case.h"

#include "expected_texts.h"
#include "gbk_text.h"

#include <algorithm>

namespace e2e {
namespace {

std::string g_toolPath;
std::string g_checkerPath;
std::string g_otherToolPath;
unsigned g_codePage = 936;

// Generous: a box under Wine comes within a second; the limit only turns a
// hang into a failure.
constexpr DWORD kRunTimeoutMs = 60000;
constexpr DWORD kElevationRequired = 740;

}  // namespace

const std::string& ToolPath() { return g_toolPath; }
void SetToolPath(const std::string& path) { g_toolPath = path; }

const std::string& CheckerPath() { return g_checkerPath; }
void SetCheckerPath(const std::string& path) { g_checkerPath = path; }

const std::string& OtherToolPath() { return g_otherToolPath; }
void SetOtherToolPath(const std::string& path) { g_otherToolPath = path; }

unsigned ExpectedCodePage() { return g_codePage; }
void SetExpectedCodePage(unsigned codePage) { g_codePage = codePage; }

std::string SuiteFolder()
{
    char self[MAX_PATH + 1] = "";
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const std::string path = self;
    return path.substr(0, path.find_last_of('\\'));
}

std::string TestImeImage(const std::string& build, const std::string& kind)
{
    return "test_ime_" + build + kind + ".ime";
}

ExpectedBox Outcome(const std::string& gbkText) { return {gbkText, false, IDOK}; }
ExpectedBox Question(const std::string& gbkText, int answer) { return {gbkText, true, answer}; }

const char ToolCase::kImeFile[] = "e2etest.ime";
const char ToolCase::kMbFile[] = "e2etest.mb";
const std::string ToolCase::kPackageIme = ReadBytes(SuiteFolder() + "\\" + TestImeImage()).value_or("");
const char ToolCase::kPackageMb[] = "code table, version 2";
const std::string ToolCase::kOldIme =
    ReadBytes(SuiteFolder() + "\\" + TestImeImage(BuildName(), "_old")).value_or("");
const char ToolCase::kOldMb[] = "code table, version 1";

void ToolCase::SetUp()
{
    ASSERT_TRUE(IsFile(ToolPath())) << "program under test not found: \"" << ToolPath() << "\" (give --tool=PATH)";
    ASSERT_EQ(GetACP(), ExpectedCodePage()) << "the tests need the Simplified Chinese ANSI code page "
                                               "(LC_ALL=zh_CN.UTF-8), or the one --code-page=N gives";
    ASSERT_FALSE(kPackageIme.empty() || kOldIme.empty()) << "no test IME images beside the suite in " << SuiteFolder();
    systemDir_ = SystemDirectory();
    filesDir_ = SystemFilesDirectory();
    otherDir_ = OtherBuildSystemDirectory();
    ASSERT_FALSE(systemDir_.empty());
    ASSERT_FALSE(filesDir_.empty());

    // Windows always has the machine-wide layout list; a fresh Wine prefix does not.
    ASSERT_TRUE(CreateKey(HKEY_LOCAL_MACHINE, kLayoutsPath));
    // Leftovers of an interrupted run would shift the layout names.
    for (const Layout& layout : LayoutsOfImeFile(RegisteredIme()))
        DeleteKeyTree(HKEY_LOCAL_MACHINE, LayoutPath(layout.keyName));
    RemoveInstalledFiles();
    ASSERT_FALSE(IsFile(InstalledIme()) || IsFile(InstalledMb())) << "system directory files are in use";
    layoutsGuard_.emplace(HKEY_LOCAL_MACHINE, kLayoutsPath);
    preloadGuard_.emplace(HKEY_CURRENT_USER, kPreloadPath);

    char temp[MAX_PATH + 1] = "";
    GetTempPathA(MAX_PATH, temp);
    packageDir_ = std::string(temp) + "imesetup-e2e-package";
    RemovePath(packageDir_);
    ASSERT_TRUE(CreateDirectoryA(packageDir_.c_str(), nullptr));
    WriteSetupLog(SetupLog(kImeFile, kMbFile, Gbk(texts::kDisplayName)));
    ASSERT_TRUE(WriteBytes(PackagePath(kImeFile), kPackageIme));
    ASSERT_TRUE(WriteBytes(PackagePath(kMbFile), kPackageMb));
}

void ToolCase::RemoveInstalledFiles()
{
    for (const std::string& path : {InstalledIme(), InstalledMb(), OtherBuildIme(), OtherBuildMb()})
        if (!path.empty()) RemovePath(path);
}

void ToolCase::TearDown()
{
    RemoveInstalledFiles();
    RemovePath(packageDir_);
    layoutsGuard_.reset();
    preloadGuard_.reset();
}

std::string ToolCase::LayoutPath(const std::string& name) const
{
    return std::string(kLayoutsPath) + "\\" + name;
}

std::string ToolCase::SetupLog(const std::string& imeFile, const std::string& mbFile, const std::string& imeName)
{
    return "[ImePram]\r\nImeFile=" + imeFile + "\r\nMbFile=" + mbFile + "\r\nImeName=" + imeName + "\r\n";
}

void ToolCase::WriteSetupLog(const std::string& bytes)
{
    ASSERT_TRUE(WriteBytes(PackagePath("setup.log"), bytes));
}

std::string ToolCase::PlaceInstallation()
{
    EXPECT_TRUE(WriteBytes(InstalledIme(), kOldIme));
    EXPECT_TRUE(WriteBytes(InstalledMb(), kOldMb));
    const std::string name = NextWineLayoutName();
    EXPECT_TRUE(SetText(HKEY_LOCAL_MACHINE, LayoutPath(name), "Ime File", RegisteredIme()));
    EXPECT_TRUE(SetText(HKEY_LOCAL_MACHINE, LayoutPath(name), "Layout Text", Gbk(texts::kDisplayName)));
    return name;
}

std::string ToolCase::RegisteredIme() const
{
    if (WineImmAsWine8()) return systemDir_ + "\\" + kImeFile;
    std::string name = kImeFile;
    if (RunningOnWine()) CharUpperA(&name[0]);  // Wine 10
    return name;
}

std::string ToolCase::LayoutTheRemovalFinds(const std::string& installed) const
{
    return RunningOnWine() ? NextWineLayoutName() : installed;
}

ProgramRun ToolCase::Run(const std::string& arguments, const std::vector<ExpectedBox>& expected)
{
    return RunCopy(ToolPath(), arguments, expected);
}

ProgramRun ToolCase::RunCopy(const std::string& program, const std::string& arguments,
                             const std::vector<ExpectedBox>& expected)
{
    const std::string commandLine = "\"" + program + "\"" + (arguments.empty() ? "" : " " + arguments);
    SCOPED_TRACE("command line: " + commandLine);
    const BoxAnswerer answer = [&](const MessageBoxView& box, size_t index) {
        return index < expected.size() ? expected[index].answer : DismissButton(box);
    };
    ProgramRun run = RunProgram({program, commandLine, packageDir_}, answer, kRunTimeoutMs);

    EXPECT_TRUE(run.started) << "CreateProcessA failed with " << run.startError
                             << (run.startError == kElevationRequired ? " (run the tests as an administrator)" : "");
    EXPECT_FALSE(run.stuckBox) << "a box did not close when answered";
    EXPECT_TRUE(!run.started || run.ended) << "the program did not end in time";
    if (run.ended) {
        EXPECT_EQ(run.exitCode, 0u);
    }

    const size_t count = std::max(expected.size(), run.boxes.size());
    for (size_t i = 0; i < count; ++i) {
        if (i >= run.boxes.size()) {
            ADD_FAILURE() << "box " << i + 1 << " never came: " << Describe(expected[i].text);
            continue;
        }
        const MessageBoxView& box = run.boxes[i];
        if (i >= expected.size()) {
            ADD_FAILURE() << "unexpected box " << i + 1 << ": " << Describe(box.text);
            continue;
        }
        const ExpectedBox& want = expected[i];
        SCOPED_TRACE("box " + std::to_string(i + 1) + ": " + Describe(want.text));
        EXPECT_EQ(box.caption, texts::kCaption);
        EXPECT_EQ(box.text, want.text) << "shown: " << Describe(box.text);
        EXPECT_EQ(box.hasOk, !want.question);
        EXPECT_EQ(box.hasYes, want.question);
        EXPECT_EQ(box.hasNo, want.question);
        EXPECT_FALSE(box.hasCancel);
        EXPECT_EQ(box.hasIcon, !want.question);
    }
    return run;
}

}  // namespace e2e
