// The package checker, imecheck.exe, as an IME author runs it: on the
// packages and machines the suite already builds its prediction must be what
// imesetup.exe then does, without the checker changing anything; on the
// packages that go wrong quietly it must name the cause, with its exit status.
#include "common/utf16_file.h"
#include "common/wine_deviation.h"
#include "expected_texts.h"
#include "gbk_text.h"
#include "package_states.h"
#include "tool_case.h"

#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <string>

namespace e2e {
namespace {

constexpr DWORD kCheckerTimeoutMs = 60000;
constexpr DWORD kProgramTimeoutMs = 60000;

std::string LastLine(std::string output)
{
    while (!output.empty() && (output.back() == '\n' || output.back() == '\r')) output.pop_back();
    const size_t start = output.find_last_of('\n');
    return start == std::string::npos ? output : output.substr(start + 1);
}

// Every file of a folder with its bytes, the folders below it included.
void FolderContents(const std::string& folder, const std::string& prefix, std::map<std::string, std::string>& files)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        const std::string path = folder + "\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            FolderContents(path, prefix + name + "\\", files);
        } else {
            files[prefix + name] = ReadBytes(path).value_or("<unreadable>");
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

// What the checker must leave as it found it: the package, the installed
// files, the layouts and the preload list.
struct MachineState {
    std::map<std::string, std::string> package;
    std::optional<std::string> installedIme;
    std::optional<std::string> installedMb;
    std::map<std::string, std::string> layouts;  // key name -> "Ime File" | "Layout Text"
    std::map<std::string, std::string> preload;

    bool operator==(const MachineState& other) const
    {
        return package == other.package && installedIme == other.installedIme && installedMb == other.installedMb &&
               layouts == other.layouts && preload == other.preload;
    }
};

class PackageChecker : public ToolCase {
protected:
    void SetUp() override
    {
        ToolCase::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_TRUE(IsFile(CheckerPath())) << "checker not found: \"" << CheckerPath() << "\" (give --checker=PATH)";
        // A real input method module of this build's machine in place of the sample's text.
        UseImage(TestImeImage());
    }

    void UseImage(const std::string& image)
    {
        const std::string from = SuiteFolder() + "\\" + image;
        ASSERT_TRUE(CopyFileA(from.c_str(), PackagePath(kImeFile).c_str(), FALSE)) << from;
    }

    MachineState State() const
    {
        MachineState state;
        FolderContents(packageDir_, "", state.package);
        state.installedIme = ReadBytes(InstalledIme());
        state.installedMb = ReadBytes(InstalledMb());
        for (const Layout& layout : Layouts()) state.layouts[layout.keyName] = layout.imeFile + "|" + layout.layoutText;
        state.preload = PreloadValues();
        return state;
    }

    // The checker started in the folder with these arguments after its path.
    ConsoleRun Check(const std::string& arguments, const std::string& folder)
    {
        const ConsoleRun run =
            RunConsoleProgram({CheckerPath(), "\"" + CheckerPath() + "\" " + arguments, folder}, kCheckerTimeoutMs);
        EXPECT_TRUE(run.started) << run.failedCall << " failed with " << run.startError;
        EXPECT_TRUE(!run.started || run.ended) << "the checker did not end in time";
        return run;
    }

    // The checker on the package folder, started elsewhere.
    ConsoleRun CheckPackage() { return Check("\"" + packageDir_ + "\"", TempFolder()); }

    static std::string TempFolder()
    {
        char temp[MAX_PATH + 1] = "";
        GetTempPathA(MAX_PATH, temp);
        return temp;
    }
};

// ---- The prediction agrees with the program ----

enum class Did { Nothing, Install, Remove, Unknown };

std::ostream& operator<<(std::ostream& out, Did did)
{
    const char* names[] = {"ended without a message", "installed", "removed", "something else"};
    return out << names[static_cast<int>(did)];
}

bool StartsWith(const std::string& text, const std::string& start) { return text.rfind(start, 0) == 0; }

// The operation of the last line, whether or not it goes on to say how it
// would fail (the input method manager, a copy, the lock test).
Did Predicted(const std::string& lastLine)
{
    if (lastLine == "imesetup.exe would install" || StartsWith(lastLine, "imesetup.exe would install, and "))
        return Did::Install;
    // "... would remove", or followed by ", and end at once with ..." or ", and
    // finding the layout would fail: ..."
    if (lastLine == "imesetup.exe would remove" || StartsWith(lastLine, "imesetup.exe would remove, and "))
        return Did::Remove;
    if (StartsWith(lastLine, "imesetup.exe would end without a message: ")) return Did::Nothing;
    return Did::Unknown;
}

// Which operation the program ran, told by the text of its last box.
Did WhatTheProgramDid(const ProgramRun& run)
{
    if (run.boxes.empty()) return Did::Nothing;
    const std::string text = run.boxes.back().text;
    const std::string copyError = texts::kCopyErrorSuffix;
    if (text.size() > copyError.size() &&
        text.compare(text.size() - copyError.size(), copyError.size(), copyError) == 0)
        return Did::Install;
    for (const char* installing :
         {texts::kInstallSucceeded, texts::kAlreadyInstalled, texts::kImeFileLocked, texts::kActivationFailed})
        if (text == Gbk(installing)) return Did::Install;
    for (const char* removing : {texts::kUninstallSucceeded, texts::kNotInstalled, texts::kUnregisterFailed,
                                 texts::kFilesLocked, texts::kPreloadOpenFailed, texts::kHklNotFound})
        if (text == Gbk(removing)) return Did::Remove;
    return Did::Unknown;
}

struct AgreementCase {
    const char* name;
    void (*prepare)(ToolCase& fixture);
};

void PrintTo(const AgreementCase& row, std::ostream* out) { *out << row.name; }

class CheckerAgreement : public PackageChecker, public ::testing::WithParamInterface<AgreementCase> {};

TEST_P(CheckerAgreement, PredictsWhatTheProgramDoesWithoutChangingAnything)
{
    GetParam().prepare(*this);
    if (HasFatalFailure()) return;
    const MachineState before = State();

    const ConsoleRun check = CheckPackage();

    EXPECT_TRUE(State() == before) << "the checker changed the package or the machine";
    const Did predicted = Predicted(LastLine(check.output));
    ASSERT_NE(predicted, Did::Unknown) << check.output;
    EXPECT_EQ(check.exitCode == 2, predicted == Did::Nothing) << "exit status " << check.exitCode;
    EXPECT_LE(check.exitCode, 2u);

    const ProgramRun program = RunProgram({ToolPath(), "\"" + ToolPath() + "\"", packageDir_},
                                          [](const MessageBoxView& box, size_t) { return DismissButton(box); },
                                          kProgramTimeoutMs);
    ASSERT_TRUE(program.started && program.ended);
    EXPECT_EQ(WhatTheProgramDid(program), predicted)
        << "box: " << (program.boxes.empty() ? std::string("none") : Describe(program.boxes.back().text))
        << "\nchecker:\n" << check.output;
}

const AgreementCase kAgreementCases[] = {
    {"NoSetupLog", states::NoSetupLog},
    {"NoImePramSection", states::NoImePramSection},
    {"ImeNameZero", states::ImeNameZero},
    {"ImeNameEmpty", states::ImeNameEmpty},
    {"ImeFileNamesAFolder", states::ImeFileNamesAFolder},
    {"MbFileMissing", states::MbFileMissing},
    {"ImeFileWrittenBefore1980", states::ImeFileWrittenBefore1980},
    {"ImeFileADevice", states::ImeFileADevice},
    {"KeyInASecondSection", states::KeyInASecondSection},
    {"ImeFileReachingThePackageItself", states::ImeFileReachingThePackageItself},
    {"NothingInstalled", states::NothingInstalled},
    {"ImeFileWithFolderParts", states::ImeFileWithFolderParts},
    {"Installed", states::Installed},
    {"ImeFilePresentButMbFileMissing", states::ImeFilePresentButMbFileMissing},
    {"InstalledByTheOtherBuildOnly", states::InstalledByTheOtherBuildOnly},
};

INSTANTIATE_TEST_SUITE_P(Packages, CheckerAgreement, ::testing::ValuesIn(kAgreementCases),
                         [](const ::testing::TestParamInfo<AgreementCase>& info) { return info.param.name; });

// ---- The causes of quiet failures, named ----

class CheckerFindings : public PackageChecker {
protected:
    // The checker's exit status and a text its report must hold.
    static void ExpectReport(const ConsoleRun& run, int status, const std::string& named)
    {
        EXPECT_EQ(run.exitCode, static_cast<DWORD>(status)) << run.output;
        EXPECT_NE(run.output.find(named), std::string::npos) << "not named: " << named << "\n" << run.output;
    }

    // setup.log as a text editor saves it in UTF-8, behind a byte order mark or none.
    void WriteUtf8SetupLog(const std::string& mark) { WriteSetupLog(mark + Utf8SetupLog()); }

    // ... or in UTF-16 with its mark (Notepad's "Unicode").
    void WriteUtf16SetupLog()
    {
        const std::string utf8 = Utf8SetupLog();
        const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
        std::wstring wide(static_cast<size_t>(n), L'\0');
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0], n);
        WriteSetupLog(Utf16WithMark(std::u16string(wide.begin(), wide.end())));
    }

    std::string Utf8SetupLog() const { return SetupLog(kImeFile, kMbFile, texts::kDisplayName); }
};

// A sound package: its IME file built with a resource script and signed; on
// 64-bit Windows the other build's IME file of its name installed beside it.
TEST_F(CheckerFindings, SoundPackageFindsNothing)
{
    UseImage(TestImeImage(BuildName(), "_signed"));
    if (!OtherBuildIme().empty()) {
        ASSERT_TRUE(CopyFileA((SuiteFolder() + "\\" + TestImeImage(OtherBuildName())).c_str(), OtherBuildIme().c_str(),
                              FALSE));
    }
    const ConsoleRun run = CheckPackage();
    ExpectReport(run, 0, "No further problems found.");
    ExpectReport(run, 0, "The layout's language once registered: 0804 (Chinese (Simplified, PRC))");
    ExpectReport(run, 0, u8"\u6CE8\u518C\u540E\u5E03\u5C40\u7684\u8BED\u8A00\uFF1A0804 "
                         u8"\u4E2D\u6587(\u7B80\u4F53\uFF0C\u4E2D\u56FD)");  // 注册后布局的语言：0804 中文(简体，中国)
    ExpectReport(run, 0, "The IME file carries an Authenticode signature (whether it is valid is not checked here).");
    ExpectReport(Check("", packageDir_), 0, "imesetup.exe would install");  // from the package folder itself
    // The x86 checker under WoW64 says where the 32-bit program's files land.
    const std::string lands = "what the 32-bit imesetup.exe puts in the system directory lands in ";
    if (SystemFilesDirectory() != SystemDirectory()) {
        ExpectReport(run, 0, lands + SystemFilesDirectory() + ",");
    } else {
        EXPECT_EQ(run.output.find(lands), std::string::npos) << run.output;
    }
}

// 64-bit Windows: programs load the IME file of their own bitness, 64-bit ones
// from System32, 32-bit ones from SysWOW64. Both directions, whichever build
// the checker is: a 32-bit IME file without a 64-bit one of its name is a
// problem, a 64-bit one without a 32-bit one a note.
TEST_F(CheckerFindings, TheOtherBitnessTwinOn64BitWindows)
{
    if (RunningOnWine()) {
        ASSERT_FALSE(OtherBuildIme().empty());
    }
    if (OtherBuildIme().empty()) GTEST_SKIP() << "32-bit Windows: one system directory";
    const bool x64 = sizeof(void*) == 8;
    const std::string system32 = (x64 ? filesDir_ : otherDir_) + "\\" + kImeFile;
    const std::string sysWow64 = (x64 ? otherDir_ : filesDir_) + "\\" + kImeFile;
    const std::string image64 = SuiteFolder() + "\\" + TestImeImage("x64");
    const std::string image32 = SuiteFolder() + "\\" + TestImeImage("x86");
    const std::string problem = "64-bit programs, most of them, load IME files from " + SystemDirectory() +
                                ", which holds no 64-bit " + kImeFile;
    const std::string note = "32-bit programs load IME files from ";

    // Signed, so that the twin is the only problem.
    UseImage(TestImeImage("x86", "_signed"));
    ExpectReport(CheckPackage(), 1, problem + ", so the input method will not work in them.");
    ASSERT_TRUE(CopyFileA(image32.c_str(), system32.c_str(), FALSE));
    ExpectReport(CheckPackage(), 1, problem + " (x86), so");
    ASSERT_TRUE(CopyFileA(image64.c_str(), system32.c_str(), FALSE));
    EXPECT_EQ(CheckPackage().output.find(problem), std::string::npos);
    RemovePath(system32);

    UseImage(TestImeImage("x64", "_signed"));
    ExpectReport(CheckPackage(), 0, note);
    ASSERT_TRUE(CopyFileA(image32.c_str(), sysWow64.c_str(), FALSE));
    const ConsoleRun withTwin = CheckPackage();
    EXPECT_EQ(withTwin.output.find(note), std::string::npos) << withTwin.output;
    EXPECT_EQ(withTwin.output.find(problem), std::string::npos);
    RemovePath(sysWow64);
}

TEST_F(CheckerFindings, UnsignedImeFile)
{
    ExpectReport(CheckPackage(), 1, "The IME file has no Authenticode signature.");
}

// Windows' input method manager refuses these IME files; Wine's registers
// them (see the platform tests and the case below).
const std::string kRegistrationFails = "imesetup.exe would install, and registration would fail: ";

TEST_F(CheckerFindings, RefusedImeFilesNameTheCauseAndTheBox)
{
    const struct {
        const char* image;
        const char* cause;
    } rows[] = {
        {"no_version.ime", "the IME file has no resources, so no version resource (error 1812)"},
        {"dll_type.ime", "the IME file's version resource says FILETYPE 2 and FILESUBTYPE 0, not VFT_DRV (3) and "
                         "VFT2_DRV_INPUTMETHOD (11) of an input method driver"},
        {"no_translation.ime", "the IME file's version resource has no \\VarFileInfo\\Translation, which gives "
                               "the layout its language"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.image);
        UseImage(row.image);
        const ConsoleRun run = CheckPackage();
        ExpectReport(run, 1, "imesetup.exe would copy both files and then show this box:");
        ExpectReport(run, 1, std::string("       | ") + u8"\u5B89\u88C5\u5931\u8D25\uFF1A");  // 安装失败：
        EXPECT_EQ(LastLine(run.output), kRegistrationFails + row.cause);
    }
}

// What the program then does with such a file: on Windows it copies both
// files and shows the activation failure; Wine 8's input method manager
// registers each file all the same, Wine 10's the one of the wrong file type.
TEST_F(CheckerFindings, RefusedRegistrationIsWhatTheProgramMeets)
{
    for (const char* image : {"no_version.ime", "dll_type.ime", "no_translation.ime"}) {
        SCOPED_TRACE(image);
        UseImage(image);
        const ConsoleRun check = CheckPackage();
        ASSERT_TRUE(StartsWith(LastLine(check.output), kRegistrationFails)) << check.output;
        const ProgramRun program = RunProgram({ToolPath(), "\"" + ToolPath() + "\"", packageDir_},
                                              [](const MessageBoxView& box, size_t) { return DismissButton(box); },
                                              kProgramTimeoutMs);
        ASSERT_TRUE(program.started && program.ended && !program.boxes.empty());
        const std::string shown = program.boxes.back().text;
        EXPECT_EQ(ReadBytes(InstalledIme()), ReadBytes(PackagePath(kImeFile)));  // copied either way
        if (RunningOnWine() && shown == Gbk(texts::kInstallSucceeded)) {
            ReportWineDeviation("ImmInstallIMEA: registers an IME file Windows refuses");
        } else {
            EXPECT_EQ(shown, Gbk(texts::kActivationFailed)) << Describe(shown);
        }
        RemovePath(InstalledIme());
        RemovePath(InstalledMb());
    }
}

TEST_F(CheckerFindings, ImeFileNameTooLong)
{
    const std::string name = std::string(76, 'n') + ".ime";  // 80 characters
    const std::string signedImage = SuiteFolder() + "\\" + TestImeImage(BuildName(), "_signed");
    ASSERT_TRUE(CopyFileA(signedImage.c_str(), PackagePath(name).c_str(), FALSE));
    WriteSetupLog(SetupLog(name, kMbFile, Gbk(texts::kDisplayName)));
    const ConsoleRun run = CheckPackage();
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_EQ(LastLine(run.output), kRegistrationFails + "the IME file's name has 80 characters; the input method "
                                                         "manager keeps 79 of them (80 with the terminating zero) and "
                                                         "finds no file by the shortened name");
}

TEST_F(CheckerFindings, ImeFileRegisteredUnderAnotherLanguage)
{
    UseImage(TestImeImage(BuildName(), "_signed"));
    ASSERT_TRUE(SetText(HKEY_LOCAL_MACHINE, LayoutPath("E0FE0409"), "Ime File", kImeFile));  // as Windows writes it
    const ConsoleRun run = CheckPackage();
    ExpectReport(run, 1, "/inst: imesetup.exe would install, and registration would fail: the IME file is already "
                         "registered as layout E0FE0409");
    EXPECT_EQ(LastLine(run.output), kRegistrationFails + "the IME file is already registered as layout E0FE0409, "
                                                         "whose language 0409 (English (United States)) is not the "
                                                         "IME file's 0804");
}

TEST_F(CheckerFindings, NeutralLanguage)
{
    UseImage("neutral_language.ime");
    ExpectReport(CheckPackage(), 1, "The IME file's first translation is the neutral language (0000)");
}

TEST_F(CheckerFindings, InstalledImeFileGetsNoLayout)
{
    UseImage(TestImeImage(BuildName(), "_signed"));
    ASSERT_TRUE(CopyFileA((SuiteFolder() + "\\no_version.ime").c_str(), InstalledIme().c_str(), FALSE));
    ASSERT_TRUE(WriteBytes(InstalledMb(), kOldMb));
    const ConsoleRun run = CheckPackage();
    ExpectReport(run, 1, std::string("Removing, imesetup.exe would show this box and change nothing:\r\n       | ") +
                             texts::kHklNotFound);
    EXPECT_EQ(LastLine(run.output), "imesetup.exe would remove, and finding the layout would fail: the IME file has no "
                                    "resources, so no version resource (error 1812)");
}

TEST_F(CheckerFindings, Utf8WithAMarkLosesTheSectionOnWindows)
{
    WriteUtf8SetupLog("\xEF\xBB\xBF");
    const std::string lost = "these keys are lost: ImeFile, MbFile, ImeName";
    const ConsoleRun run = CheckPackage();
    if (RunningOnWine()) {
        // Wine's profile reader skips the mark: the package works here.
        ReportWineDeviation("GetPrivateProfileStringA: a UTF-8 byte order mark is skipped");
        ExpectReport(run, 1, lost);
    } else {
        ExpectReport(run, 2, lost);
    }
    // A key that Windows loses passes no name, garbled or not.
    EXPECT_EQ(run.output.find("was meant"), std::string::npos) << run.output;
}

TEST_F(CheckerFindings, Utf8WithoutAMarkShowsTheNameAsPassedAndAsMeant)
{
    WriteUtf8SetupLog("");
    ExpectReport(CheckPackage(), 1, std::string("where \"") + texts::kDisplayName + "\" was meant");
}

TEST_F(CheckerFindings, Utf16WithAMarkIsConvertedThroughTheSystemCodePage)
{
    WriteUtf16SetupLog();
    ExpectReport(CheckPackage(), 1,
                 "setup.log is saved as UTF-16 with a byte order mark. Windows reads it as Unicode and converts");
}

TEST_F(CheckerFindings, FileWrittenBefore1980CountsAsMissing)
{
    states::ImeFileWrittenBefore1980(*this);
    ExpectReport(CheckPackage(), 2,
                 "imesetup.exe would end without a message: ImeFile \"e2etest.ime\": its last-write time is "
                 "before 1980");
}

TEST_F(CheckerFindings, ImeFileWithFolderPartsShowsTheInstalledPath)
{
    states::ImeFileWithFolderParts(*this);
    ExpectReport(CheckPackage(), 1, "installs to " + systemDir_ + "\\sub\\e2etest.ime");
}

TEST_F(CheckerFindings, ImeOfTheOtherBuildBesideTheProgramIsAMismatch)
{
    UseImage(TestImeImage(OtherBuildName()));
    ASSERT_TRUE(CopyFileA(ToolPath().c_str(), PackagePath("setup.exe").c_str(), FALSE));
    // The checker is no setup program, whatever its name.
    ASSERT_TRUE(CopyFileA(CheckerPath().c_str(), PackagePath("imesetup.exe").c_str(), FALSE));
    ExpectReport(CheckPackage(), 1,
                 std::string("The setup program \"setup.exe\" in the folder is the ") + BuildName() +
                     " build, but the IME file is an " + OtherBuildName() + " image");
    const ConsoleRun run = CheckPackage();
    EXPECT_EQ(run.output.find("\"imesetup.exe\" in the folder"), std::string::npos) << run.output;
}

TEST_F(CheckerFindings, DllWithoutImeInquireIsNoInputMethod)
{
    UseImage("not_an_ime.ime");
    ExpectReport(CheckPackage(), 1, "The IME file does not export ImeInquire");
}

TEST_F(CheckerFindings, DllInThePackageFolderIsNamed)
{
    ASSERT_TRUE(WriteBytes(PackagePath("helper.dll"), "not needed"));
    ExpectReport(CheckPackage(), 1, "The folder holds DLL files: helper.dll.");
}

TEST_F(CheckerFindings, EmptyMbFile)
{
    ASSERT_TRUE(WriteBytes(PackagePath(kMbFile), ""));
    ExpectReport(CheckPackage(), 1, "The MB file is empty");
}

TEST_F(CheckerFindings, BadCommandLines)
{
    ExpectReport(Check("a b", TempFolder()), 3, "Give one folder at most.");
    ExpectReport(Check("/x", TempFolder()), 3, "Unknown option: /x");
    ExpectReport(Check("\"" + PackagePath("absent") + "\"", TempFolder()), 3, "Cannot open the folder");
}

// The copy carries the read-only attribute into the system directory, where
// DeleteFileA then refuses the file: installed once, the IME can never be
// removed. The checker says so before the program shows it.
TEST_F(CheckerFindings, ReadOnlyImeFileInstallsAndCannotBeRemoved)
{
    ASSERT_TRUE(SetFileAttributesA(PackagePath(kImeFile).c_str(), FILE_ATTRIBUTE_READONLY));
    ExpectReport(CheckPackage(), 1, "ImeFile \"e2etest.ime\" is read-only (FILE_ATTRIBUTE_READONLY)");
    Run("/inst", {Outcome(Gbk(texts::kInstallSucceeded))});
    // Installed read-only: a second /inst ends at its lock test, which opens
    // the file for writing, and the removal cannot delete it.
    const ConsoleRun installed = CheckPackage();
    ExpectReport(installed, 1,
                 "/inst: imesetup.exe would run the installation, whose lock test ends it at once: the installed IME "
                 "file is read-only");
    EXPECT_EQ(LastLine(installed.output),
              std::string("imesetup.exe would remove, and deleting the files would fail with \"") + texts::kFilesLocked +
                  "\": the installed IME file is read-only");
    if (RunningOnWine()) {
        // Run by root, Wine opens a read-only file for writing: the lock test
        // passes and the question comes (the checker says what Windows does).
        ReportWineDeviation("CreateFileA: root opens a read-only file for writing");
        Run("/inst", {Question(Gbk(texts::kAlreadyInstalled), IDNO), Outcome(Gbk(texts::kInstallCancelled))});
    } else {
        Run("/inst", {Outcome(Gbk(texts::kImeFileLocked))});
    }
    Run("/uninst", {Outcome(Gbk(texts::kFilesLocked))});
}

// Another input method's code table under the MB file's name: the checker
// names it before the installation overwrites it, as it then does.
TEST_F(CheckerFindings, AnotherInputMethodsMbFileIsNamedBeforeItIsOverwritten)
{
    const std::string other = "another input method's code table";
    ASSERT_TRUE(WriteBytes(InstalledMb(), other));
    ExpectReport(CheckPackage(), 1,
                 "and the IME file is not installed, so no installation of this package left it there: it may be "
                 "another input method's. Installing overwrites it, and its content is lost");
    Run("", {Outcome(Gbk(texts::kInstallSucceeded))});
    EXPECT_NE(ReadBytes(InstalledMb()).value_or(""), other);  // lost, as the checker said
}

// The system's own notepad.exe, put back when the case ends, whatever happened.
class SystemFileRestored {
public:
    explicit SystemFileRestored(std::string path) : path_(std::move(path)), original_(ReadBytes(path_)) {}
    ~SystemFileRestored()
    {
        if (original_ && ReadBytes(path_) != original_) {
            SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
            EXPECT_TRUE(WriteBytes(path_, *original_)) << "could not restore " << path_;
        }
    }
    bool Saved() const { return original_.has_value(); }

private:
    std::string path_;
    std::optional<std::string> original_;
};

// The MB file under the name of a file Windows protects: on Windows the copy
// onto it fails with access denied, for an administrator too. Wine protects
// nothing and replaces the system's file, which the case puts back.
TEST_F(CheckerFindings, ProtectedSystemFileIsNamedAsACopyWindowsRefuses)
{
    const SystemFileRestored notepad(SystemFilesDirectory() + "\\notepad.exe");
    ASSERT_TRUE(notepad.Saved());
    ASSERT_TRUE(CopyFileA(PackagePath(kMbFile).c_str(), PackagePath("notepad.exe").c_str(), FALSE));
    WriteSetupLog(SetupLog(kImeFile, "notepad.exe", texts::kDisplayName));
    ExpectReport(CheckPackage(), 1,
                 "The MB file's installed path " + SystemDirectory() +
                     "\\notepad.exe is a system file Windows protects (Windows Resource Protection)");
    if (RunningOnWine()) {
        ReportWineDeviation("CopyFileA: replaces a file Windows Resource Protection keeps");
        Run("", {Outcome(Gbk(texts::kInstallSucceeded))});
    } else {
        Run("", {Outcome(std::string("notepad.exe") + texts::kCopyErrorSuffix)});
    }
}

// The JSON document leaves as UTF-8 bytes, its line feed not made CR LF as
// the text report's is; an ignored finding counts for nothing.
TEST_F(CheckerFindings, JsonReportIsUtf8Bytes)
{
    // Unsigned, and from the x86 build on 64-bit Windows without its 64-bit twin: both ignored.
    const ConsoleRun run = Check("--format json --ignore IC306,IC320 \"" + packageDir_ + "\"", TempFolder());
    ExpectReport(run, 0, "\"code\": \"IC306\", \"severity\": \"problem\"");
    ExpectReport(run, 0, u8"\"zh\": \"\u5B89\u88C5\"");  // 安装: install
    EXPECT_EQ(run.output.find('\r'), std::string::npos) << run.output;
    EXPECT_EQ(run.output.substr(run.output.size() - 17), "\"exitStatus\": 0}\n") << run.output;
}

// Two names of one file: where both installed paths reach one file, the
// removal deletes it by the first and finds nothing by the second.
TEST_F(CheckerFindings, OneInstalledFileByTwoNamesCannotBeRemoved)
{
    WriteSetupLog(SetupLog(kImeFile, "E2ETEST.IME.", Gbk(texts::kDisplayName)));
    Run("/inst", {Outcome(Gbk(texts::kInstallSucceeded))});
    const ConsoleRun installed = CheckPackage();
    ExpectReport(installed, 1, "and the removal's second deletion finds nothing, so it reports the files as locked");
    EXPECT_EQ(LastLine(installed.output),
              std::string("imesetup.exe would remove, and deleting the files would fail with \"") + texts::kFilesLocked +
                  "\": both installed paths reach one file, which the second deletion no longer finds");
    Run("/uninst", {Outcome(Gbk(texts::kFilesLocked))});
}

// Folder parts give one file of the package two installed paths, two
// copies: the removal deletes both and succeeds.
TEST_F(CheckerFindings, OneFileInstalledAsTwoCopiesIsRemoved)
{
    const std::string folder = "imesetup-e2e-package";  // the package folder's own name
    const std::string other = systemDir_ + "\\..\\" + folder;
    RemovePath(other);  // an interrupted run's
    ASSERT_TRUE(CreateDirectoryA(other.c_str(), nullptr));
    const std::string mbFile = "..\\" + folder + "\\" + kImeFile;
    WriteSetupLog(SetupLog(kImeFile, mbFile, Gbk(texts::kDisplayName)));
    ExpectReport(CheckPackage(), 1,
                 "; the installation copies it to two files, " + systemDir_ + "\\" + kImeFile + " and " + systemDir_ +
                     "\\" + mbFile + ".");
    Run("", {Outcome(Gbk(texts::kInstallSucceeded))});
    EXPECT_TRUE(IsFile(other + "\\" + kImeFile));
    Run("/uninst", {Outcome(Gbk(texts::kUninstallSucceeded))});
    EXPECT_FALSE(IsFile(other + "\\" + kImeFile));
    RemovePath(other);
}

// FileTimeToDosDateTime covers 1980 to 2107 ("this conversion fails if the
// input file time is outside this range"); Wine 8 wraps a later date round
// and finds the file, so under Wine the package works, and the checker says
// what Windows does instead of calling it clean.
TEST_F(CheckerFindings, FileWrittenAfter2107IsMissingOnWindows)
{
    states::ImeFileWrittenAfter2107(*this);
    const ConsoleRun run = CheckPackage();
    if (RunningOnWine()) {
        ReportWineDeviation("FileTimeToDosDateTime: a date after 2107 wraps round instead of failing");
        ExpectReport(run, 1, "was last written after 2107 in local time: on Windows that time has no MS-DOS form");
        // The finding's code, which the simulated machine (as Windows) never shows.
        ExpectReport(Check("--format json \"" + packageDir_ + "\"", TempFolder()), 1, "\"code\": \"IC208\"");
    } else {
        ExpectReport(run, 2, "its last-write time is after 2107 in local time and has no MS-DOS form");
    }
}

// The installed path climbs back into the package: the program takes the
// package's own IME file for an installed one and runs the removal, which
// ends at once as the MB file is not installed.
TEST_F(CheckerFindings, FolderPartsReachingThePackageItself)
{
    states::ImeFileReachingThePackageItself(*this);
    ExpectReport(CheckPackage(), 1, "is this package's own file: imesetup.exe takes the IME for installed");
    Run("", {Outcome(Gbk(texts::kNotInstalled))});
}

TEST_F(CheckerFindings, DeviceNameIsNoFile)
{
    states::ImeFileADevice(*this);
    ExpectReport(CheckPackage(), 2, "ImeFile \"CON\": is a device name (such as CON or NUL), not a file");
}

// ImeFile and MbFile spell one file in Greek capitals and small letters.
TEST_F(CheckerFindings, TwoSpellingsOfOneFile)
{
    const std::string capitals = "\xA6\xA1\xA6\xA2.ime";  // ΑΒ
    const std::string small = "\xA6\xC1\xA6\xC2.ime";     // αβ
    ASSERT_TRUE(CopyFileA(PackagePath(kImeFile).c_str(), PackagePath(capitals).c_str(), FALSE));
    WriteSetupLog(SetupLog(capitals, small, Gbk(texts::kDisplayName)));
    ExpectReport(CheckPackage(), 1, "ImeFile and MbFile name the same file");
}

// A copy of the package in a folder named with a Thai letter, which the ANSI
// code page lacks, made and removed with the wide calls.
class PackageOutsideTheCodePage {
public:
    explicit PackageOutsideTheCodePage(const ToolCase& c) : folder_(WideFromAnsi(c.PackagePath("pkg")) + L"\x0E01")
    {
        made_ = CreateDirectoryW(folder_.c_str(), nullptr) != 0;
        for (const char* name : {"setup.log", ToolCase::kImeFile, ToolCase::kMbFile}) {
            made_ = made_ && CopyFileW(WideFromAnsi(c.PackagePath(name)).c_str(), Path(name).c_str(), FALSE);
        }
    }
    ~PackageOutsideTheCodePage()
    {
        for (const char* name : {"setup.log", ToolCase::kImeFile, ToolCase::kMbFile}) DeleteFileW(Path(name).c_str());
        RemoveDirectoryW(folder_.c_str());
    }
    PackageOutsideTheCodePage(const PackageOutsideTheCodePage&) = delete;
    PackageOutsideTheCodePage& operator=(const PackageOutsideTheCodePage&) = delete;

    bool made() const { return made_; }
    std::string Utf8() const { return Utf8FromWide(folder_); }

    static std::wstring WideFromAnsi(const std::string& ansi)
    {
        const int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
        std::wstring wide(static_cast<size_t>(n), L'\0');
        MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), &wide[0], n);
        return wide;
    }
    static std::string Utf8FromWide(const std::wstring& wide)
    {
        const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                          nullptr);
        std::string utf8(static_cast<size_t>(n), '\0');
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &utf8[0], n, nullptr, nullptr);
        return utf8;
    }

private:
    std::wstring Path(const char* name) const { return folder_ + L"\\" + WideFromAnsi(name); }

    std::wstring folder_;
    bool made_ = false;
};

// The checker reaches the folder with the wide calls and says why the
// program, whose ANSI calls see '?' there, ends without a message; the
// program started there indeed shows nothing.
TEST_F(CheckerFindings, FolderOutsideTheCodePage)
{
    const PackageOutsideTheCodePage package(*this);
    ASSERT_TRUE(package.made());
    const std::string checker = Utf8FromGbk(CheckerPath());
    const ConsoleRun run = RunConsoleProgram(
        {checker, "\"" + checker + "\" \"" + package.Utf8() + "\"", Utf8FromGbk(TempFolder()), true}, kCheckerTimeoutMs);
    ASSERT_TRUE(run.started && run.ended) << run.startError;
    ExpectReport(run, 2, "the folder's path holds characters that this machine's ANSI code page (");

    const std::string program = Utf8FromGbk(ToolPath());
    const ProgramRun ran = RunProgram({program, "\"" + program + "\"", package.Utf8(), true},
                                      [](const MessageBoxView& box, size_t) { return DismissButton(box); },
                                      kProgramTimeoutMs);
    ASSERT_TRUE(ran.started && ran.ended) << ran.startError;
    EXPECT_TRUE(ran.boxes.empty()) << Describe(ran.boxes.front().text);
    EXPECT_EQ(ran.exitCode, 0u);
}

}  // namespace
}  // namespace e2e
