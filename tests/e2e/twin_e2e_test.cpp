// Both builds of one IME on 64-bit Windows, as the guide tells authors to
// ship them: the x64 package (the x64 imesetup.exe and the 64-bit IME file)
// installs into System32, the x86 package (the x86 one and the 32-bit IME
// file, same name) into SysWOW64, x64 first; removal with both packages, in
// either order, leaves nothing behind. Needs the other build's imesetup.exe
// (--other-tool=PATH): each preset's suite is given the other preset's.
#include "common/wine_deviation.h"
#include "expected_texts.h"
#include "gbk_text.h"
#include "tool_case.h"

#include <set>

namespace e2e {
namespace {

class TwinPackages : public ToolCase {
protected:
    void SetUp() override
    {
        if (OtherToolPath().empty())
            GTEST_SKIP() << "not run: this kernel runs no 32-bit programs (no x86 imesetup.exe given)";
        if (!IsFile(OtherToolPath()))
            GTEST_SKIP() << "no other build's imesetup.exe (build the other mingw preset): " << OtherToolPath();
        ToolCase::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_FALSE(otherDir_.empty()) << "64-bit Windows has a system directory for each build";
        // This build's package is the suite's; the other build's beside it.
        otherPackage_ = packageDir_ + "-" + OtherBuildName();
        RemovePath(otherPackage_);
        ASSERT_TRUE(CreateDirectoryA(otherPackage_.c_str(), nullptr));
        ASSERT_TRUE(WriteBytes(otherPackage_ + "\\setup.log", SetupLog(kImeFile, kMbFile, Gbk(texts::kDisplayName))));
        otherIme_ = ReadBytes(SuiteFolder() + "\\" + TestImeImage(OtherBuildName())).value_or("");
        ASSERT_FALSE(otherIme_.empty());
        ASSERT_TRUE(WriteBytes(otherPackage_ + "\\" + kImeFile, otherIme_));
        ASSERT_TRUE(WriteBytes(otherPackage_ + "\\" + kMbFile, kPackageMb));
        before_ = LayoutNames();
    }

    void TearDown() override
    {
        RemovePath(otherPackage_);
        ToolCase::TearDown();
    }

    // Runs one build's package without an argument; its one box says `text`.
    void RunPackage(const char* build, const char* utf8Text)
    {
        SCOPED_TRACE(std::string(build) + " package");
        if (std::string(build) == BuildName()) {
            Run("", {Outcome(Gbk(utf8Text))});
            return;
        }
        const std::string line = "\"" + OtherToolPath() + "\"";
        const ProgramRun run = RunProgram({OtherToolPath(), line, otherPackage_},
                                          [](const MessageBoxView&, size_t) { return IDOK; }, 60000);
        ASSERT_TRUE(run.ended);
        EXPECT_EQ(run.exitCode, 0u);
        ASSERT_EQ(run.boxes.size(), 1u);
        EXPECT_EQ(run.boxes[0].text, Gbk(utf8Text)) << Describe(run.boxes[0].text);
    }

    std::set<std::string> LayoutNames() const
    {
        std::set<std::string> names;
        for (const Layout& layout : Layouts()) names.insert(layout.keyName);
        return names;
    }

    // The 64-bit IME file in System32 and the 32-bit one in SysWOW64, as this process reaches them.
    std::string System32Ime() const { return (sizeof(void*) == 8 ? filesDir_ : otherDir_) + "\\" + kImeFile; }
    std::string SysWow64Ime() const { return (sizeof(void*) == 8 ? otherDir_ : filesDir_) + "\\" + kImeFile; }
    std::string Ime(const char* build) const { return std::string(build) == BuildName() ? kPackageIme : otherIme_; }

    void InstallBoth()
    {
        RunPackage("x64", texts::kInstallSucceeded);
        RunPackage("x86", texts::kInstallSucceeded);
        EXPECT_EQ(ReadBytes(System32Ime()), Ime("x64"));
        EXPECT_EQ(ReadBytes(SysWow64Ime()), Ime("x86"));
        for (const std::string& dir : {filesDir_, otherDir_}) EXPECT_EQ(ReadBytes(dir + "\\" + kMbFile), kPackageMb);
    }

    void ExpectNothingLeft()
    {
        for (const std::string& dir : {filesDir_, otherDir_}) {
            EXPECT_FALSE(IsFile(dir + "\\" + kImeFile)) << dir;
            EXPECT_FALSE(IsFile(dir + "\\" + kMbFile)) << dir;
        }
        std::set<std::string> added;
        for (const std::string& name : LayoutNames())
            if (!before_.count(name)) added.insert(name);
        if (RunningOnWine()) {
            // Wine registers the file again under a new layout on each call,
            // so each removal erases a new one and the two installations' stay.
            ReportWineDeviation("ImmInstallIMEA: a registered IME file gets a new layout on every call");
            EXPECT_EQ(added.size(), 2u);
        } else {
            EXPECT_TRUE(added.empty());
        }
        for (const auto& [name, layout] : PreloadValues()) EXPECT_EQ(added.count(layout), 0u) << name;
    }

    std::string otherPackage_;
    std::string otherIme_;
    std::set<std::string> before_;
};

TEST_F(TwinPackages, X64ThenX86InstallsBothAndRemovingX64FirstLeavesNothing)
{
    InstallBoth();
    RunPackage("x64", texts::kUninstallSucceeded);
    EXPECT_EQ(ReadBytes(SysWow64Ime()), Ime("x86")) << "the other build's files stay until its own removal";
    RunPackage("x86", texts::kUninstallSucceeded);
    ExpectNothingLeft();
}

TEST_F(TwinPackages, RemovingX86FirstLeavesNothingEither)
{
    InstallBoth();
    RunPackage("x86", texts::kUninstallSucceeded);
    EXPECT_EQ(ReadBytes(System32Ime()), Ime("x64"));
    RunPackage("x64", texts::kUninstallSucceeded);
    ExpectNothingLeft();
}

}  // namespace
}  // namespace e2e
