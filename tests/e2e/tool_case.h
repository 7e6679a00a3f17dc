// One end-to-end case: a package folder as shipped, a machine prepared by its
// owner, the real program started as a user starts it, its boxes answered,
// and everything the case touched put back afterwards.
#pragma once

#include "program_run.h"
#include "test_machine.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace e2e {

// The program under test (imesetup.exe), given on the command line.
const std::string& ToolPath();
void SetToolPath(const std::string& path);

// The other build's imesetup.exe (--other-tool=PATH); empty when not given.
const std::string& OtherToolPath();
void SetOtherToolPath(const std::string& path);

// The package checker (imecheck.exe), given on the command line.
const std::string& CheckerPath();
void SetCheckerPath(const std::string& path);

// The ANSI code page this run and the programs it starts are in: 936 unless
// --code-page=N says otherwise (the run whose boxes must read alike elsewhere).
unsigned ExpectedCodePage();
void SetExpectedCodePage(unsigned codePage);

// The folder of the suite's own program, where the build puts the test IME
// images and the planted-DLL case's parts.
std::string SuiteFolder();
// The file name of a test IME image built for a machine ("x64", "x86"), the
// package's by default, or "_old" (an earlier installation's) or "_signed".
std::string TestImeImage(const std::string& build = BuildName(), const std::string& kind = "");

struct ExpectedBox {
    std::string text;  // code page 936 bytes
    bool question;     // Yes/No without icon; otherwise OK with the information icon
    int answer;
};
// The final information box, closed with OK.
ExpectedBox Outcome(const std::string& gbkText);
// The Yes/No question, answered with IDYES or IDNO.
ExpectedBox Question(const std::string& gbkText, int answer);

class ToolCase : public ::testing::Test {
public:
    static const char kImeFile[];
    static const char kMbFile[];
    // The files' contents as shipped, and as an earlier installation left
    // them. The IME files are the test IME images of this build's machine
    // (test_ime_x64.ime and test_ime_x64_old.ime, or the x86 ones), with the
    // version resource Windows asks for.
    static const std::string kPackageIme;
    static const char kPackageMb[];
    static const std::string kOldIme;
    static const char kOldMb[];

    // What a case's table of package and machine states works with.
    std::string PackagePath(const std::string& name) const { return packageDir_ + "\\" + name; }
    // The installed files where the program's copies land (SysWOW64 for the
    // x86 build on 64-bit Windows).
    std::string InstalledIme() const { return filesDir_ + "\\" + kImeFile; }
    std::string InstalledMb() const { return filesDir_ + "\\" + kMbFile; }
    // The IME's layout's "Ime File" as the input method manager writes it: on
    // Windows the file's name alone (it registers the file of that name in the
    // system directory); Wine 8 keeps the path the program passed (in the
    // system directory that GetSystemDirectoryA answers).
    std::string RegisteredIme() const;
    // The same files in the other build's system directory; empty on 32-bit Windows.
    std::string OtherBuildIme() const { return otherDir_.empty() ? "" : otherDir_ + "\\" + kImeFile; }
    std::string OtherBuildMb() const { return otherDir_.empty() ? "" : otherDir_ + "\\" + kMbFile; }
    static std::string SetupLog(const std::string& imeFile, const std::string& mbFile, const std::string& imeName);
    void WriteSetupLog(const std::string& bytes);
    // The machine as an earlier installation left it: both files in the
    // system directory and a layout for the IME file. Returns the layout's key name.
    std::string PlaceInstallation();

protected:
    void SetUp() override;
    void TearDown() override;

    // Runs the program with `arguments` after its quoted path (none when
    // empty), in the package folder; answers the boxes as `expected` says and
    // checks that exactly these boxes came and that the exit status is 0.
    ProgramRun Run(const std::string& arguments, const std::vector<ExpectedBox>& expected);
    // The same with another copy of the program (one placed in the package folder).
    ProgramRun RunCopy(const std::string& program, const std::string& arguments,
                       const std::vector<ExpectedBox>& expected);

    std::string LayoutPath(const std::string& name) const;
    // The layout that the removal will look up and erase: Windows's input
    // method manager answers with the installed layout; Wine's makes a new
    // one on every call (named here in advance).
    std::string LayoutTheRemovalFinds(const std::string& installed) const;

    std::string systemDir_;  // as GetSystemDirectoryA answers
    std::string filesDir_;   // where file calls on it land
    std::string otherDir_;   // the other build's, or empty
    std::string packageDir_;

private:
    // Both files, in this build's and the other build's system directory.
    void RemoveInstalledFiles();

    std::optional<KeyGuard> layoutsGuard_;
    std::optional<KeyGuard> preloadGuard_;
};

}  // namespace e2e
