// What the build's bitness changes. On 64-bit Windows the x86 build runs under
// WoW64: GetSystemDirectoryA still answers System32, but its file calls there
// land in SysWOW64, where 32-bit programs load 32-bit IMEs from; the x64
// build's land in System32 itself. The presence test and the removal look
// where the same build's copies land, never in the other build's directory.
// The keyboard layout list and the preload list are not redirected: both
// builds share them, while HKEY_LOCAL_MACHINE\Software has a view for each.
#include "common/wine_deviation.h"
#include "expected_texts.h"
#include "gbk_text.h"
#include "tool_case.h"

#include <map>

namespace e2e {
namespace {

bool LastPartIs(const std::string& path, const char* name)
{
    return lstrcmpiA(path.substr(path.find_last_of('\\') + 1).c_str(), name) == 0;
}

// Each layout as key name -> "Ime File" | "Layout Text", in one registry view.
std::map<std::string, std::string> LayoutTable(REGSAM view)
{
    std::map<std::string, std::string> table;
    for (const Layout& layout : Layouts(view)) table[layout.keyName] = layout.imeFile + "|" + layout.layoutText;
    return table;
}

class Bitness : public ToolCase {
protected:
    void SetUp() override
    {
        ToolCase::SetUp();
        if (HasFatalFailure()) return;
        // Wine's prefixes here are 64-bit with a 32-bit side; only 32-bit
        // Windows has a single system directory and registry view.
        if (RunningOnWine()) {
            ASSERT_FALSE(OtherBuildIme().empty()) << "no other build's system directory";
        }
        if (OtherBuildIme().empty()) {
            GTEST_SKIP() << "32-bit Windows: one system directory";
        }
    }
};

TEST_F(Bitness, CopiesLandWhereThisBuildLooksNotWhereTheSystemDirectoryIsNamed)
{
    Run("/inst", {Outcome(Gbk(texts::kInstallSucceeded))});

    EXPECT_EQ(ReadBytes(InstalledIme()), kPackageIme);
    EXPECT_EQ(ReadBytes(InstalledMb()), kPackageMb);
    EXPECT_FALSE(IsFile(OtherBuildIme())) << OtherBuildIme();
    EXPECT_FALSE(IsFile(OtherBuildMb())) << OtherBuildMb();
    EXPECT_TRUE(LastPartIs(systemDir_, "system32")) << systemDir_;
    EXPECT_TRUE(LastPartIs(filesDir_, sizeof(void*) == 8 ? "system32" : "syswow64")) << filesDir_;
}

TEST_F(Bitness, TheOtherBuildsFilesAreNeitherFoundNorTouched)
{
    ASSERT_TRUE(WriteBytes(OtherBuildIme(), kOldIme)) << OtherBuildIme();
    ASSERT_TRUE(WriteBytes(OtherBuildMb(), kOldMb)) << OtherBuildMb();
    const size_t layouts = Layouts().size();

    Run("/uninst", {Outcome(Gbk(texts::kNotInstalled))});
    EXPECT_EQ(Layouts().size(), layouts);

    // Without an argument: installed beside them, then removed, theirs kept.
    Run("", {Outcome(Gbk(texts::kInstallSucceeded))});
    EXPECT_EQ(ReadBytes(InstalledIme()), kPackageIme);
    EXPECT_EQ(ReadBytes(InstalledMb()), kPackageMb);
    Run("", {Outcome(Gbk(texts::kUninstallSucceeded))});
    EXPECT_FALSE(IsFile(InstalledIme()));
    EXPECT_FALSE(IsFile(InstalledMb()));

    EXPECT_EQ(ReadBytes(OtherBuildIme()), kOldIme);
    EXPECT_EQ(ReadBytes(OtherBuildMb()), kOldMb);
}

TEST_F(Bitness, TheLayoutListAndThePreloadListAreSharedWithTheOtherBuild)
{
    // Where Windows keeps the builds apart, the other view is another key: a
    // value this process writes under HKEY_LOCAL_MACHINE\Software is not there.
    {
        const std::string apart = "Software\\imesetup-e2e-view";
        const KeyGuard removed(HKEY_LOCAL_MACHINE, apart);
        ASSERT_TRUE(SetText(HKEY_LOCAL_MACHINE, apart, "build", BuildName()));
        EXPECT_EQ(GetText(HKEY_LOCAL_MACHINE, apart, "build"), BuildName());
        EXPECT_EQ(GetText(HKEY_LOCAL_MACHINE, apart, "build", OtherBuildView()), std::nullopt);
    }

    Run("/inst", {Outcome(Gbk(texts::kInstallSucceeded))});
    const std::vector<Layout> installed = LayoutsOfImeFile(RegisteredIme());
    ASSERT_EQ(installed.size(), 1u);
    EXPECT_EQ(LayoutTable(OtherBuildView()), LayoutTable(0));
    EXPECT_EQ(LayoutTable(OtherBuildView()).count(installed[0].keyName), 1u);

    // The removal's edit of the preload list, seen by the other build.
    const std::string found = LayoutTheRemovalFinds(installed[0].keyName);
    const std::string first = PreloadValues()["1"];  // Wine rewrites it in every process
    ASSERT_TRUE(SetText(HKEY_CURRENT_USER, kPreloadPath, "2", found));
    ASSERT_TRUE(SetText(HKEY_CURRENT_USER, kPreloadPath, "3", "00000409"));
    if (RunningOnWine()) {
        ReportWineDeviation("UnloadKeyboardLayout: always fails");
        Run("", {Outcome(Gbk(texts::kUnregisterFailed))});
    } else {
        Run("", {Outcome(Gbk(texts::kUninstallSucceeded))});
    }
    const std::map<std::string, std::string> expected{{"1", first}, {"2", "00000409"}};
    EXPECT_EQ(PreloadValues(OtherBuildView()), expected);
    EXPECT_EQ(PreloadValues(), expected);
}

}  // namespace
}  // namespace e2e
