// Removal as the user meets it. Wine differs from Windows in two ways that
// these cases meet and name where they do:
// - its ImmInstallIMEA never answers with the installed layout but makes a new
//   one on every call, so the removal erases that new layout and the one the
//   installation made stays behind;
// - its UnloadKeyboardLayout always fails, so a removal that found its layout
//   in the preload list ends with the unload-failure text.
#include "expected_texts.h"
#include "gbk_text.h"
#include "tool_case.h"

#include <map>

namespace e2e {
namespace {

class Uninstallation : public ToolCase {
protected:
    void SetPreload(const std::map<std::string, std::string>& entries)
    {
        for (const auto& entry : entries) ASSERT_TRUE(SetText(HKEY_CURRENT_USER, kPreloadPath, entry.first, entry.second));
    }
    void SetPreloadSubkeys(const std::vector<std::string>& texts)
    {
        for (size_t n = 1; n <= texts.size(); ++n)
            ASSERT_TRUE(SetText(HKEY_CURRENT_USER, std::string(kPreloadPath) + "\\" + std::to_string(n), "", texts[n - 1]));
    }
    bool LayoutExists(const std::string& name) const { return KeyExists(HKEY_LOCAL_MACHINE, LayoutPath(name)); }
};

// The driver's own choice and /uninst behave the same.
class UninstallationMode : public Uninstallation, public ::testing::WithParamInterface<const char*> {};

TEST_P(UninstallationMode, RemovesBothFilesAndTheLayoutNotInThePreloadList)
{
    const std::string installed = PlaceInstallation();
    const std::string found = LayoutTheRemovalFinds(installed);
    const auto preload = PreloadValues();

    Run(GetParam(), {Outcome(Gbk(texts::kUninstallSucceeded))});

    EXPECT_FALSE(IsFile(InstalledIme()));
    EXPECT_FALSE(IsFile(InstalledMb()));
    EXPECT_FALSE(LayoutExists(found));
    // Wine: the layout the installation made is not the one its lookup answered.
    if (RunningOnWine()) {
        ReportWineDeviation("ImmInstallIMEA: a registered IME file gets a new layout on every call");
        EXPECT_TRUE(LayoutExists(installed));
    }
    EXPECT_EQ(PreloadValues(), preload);
}

INSTANTIATE_TEST_SUITE_P(NoArgumentAndUninst, UninstallationMode, ::testing::Values("", "/uninst"));

TEST_F(Uninstallation, RunTwiceWithoutArgumentInstallsThenRemoves)
{
    Run("", {Outcome(Gbk(texts::kInstallSucceeded))});
    const std::vector<Layout> layouts = LayoutsOfImeFile(RegisteredIme());
    ASSERT_EQ(layouts.size(), 1u);
    const std::string installed = layouts[0].keyName;
    const std::string found = LayoutTheRemovalFinds(installed);

    Run("", {Outcome(Gbk(texts::kUninstallSucceeded))});

    EXPECT_FALSE(IsFile(InstalledIme()));
    EXPECT_FALSE(IsFile(InstalledMb()));
    EXPECT_FALSE(LayoutExists(found));
    if (RunningOnWine()) {
        // The installation's own layout, which Wine's lookup did not answer with.
        ReportWineDeviation("ImmInstallIMEA: a registered IME file gets a new layout on every call");
        EXPECT_EQ(GetText(HKEY_LOCAL_MACHINE, LayoutPath(installed), "Ime File"), RegisteredIme());
    }
}

TEST_F(Uninstallation, UninstWithNothingInstalledSaysSoAndChangesNothing)
{
    const size_t layouts = Layouts().size();

    Run("/uninst", {Outcome(Gbk(texts::kNotInstalled))});

    // Not even a lookup: under Wine it would have left a new layout.
    EXPECT_EQ(Layouts().size(), layouts);
}

TEST_F(Uninstallation, ImeFilePresentButMbFileMissingIsNotRemoved)
{
    ASSERT_TRUE(WriteBytes(InstalledIme(), kOldIme));
    const size_t layouts = Layouts().size();

    Run("", {Outcome(Gbk(texts::kNotInstalled))});

    EXPECT_EQ(ReadBytes(InstalledIme()), kOldIme);
    EXPECT_EQ(Layouts().size(), layouts);
}

TEST_F(Uninstallation, LayoutInThePreloadListLeavesItAndTheRestMovesUp)
{
    const std::string installed = PlaceInstallation();
    const std::string found = LayoutTheRemovalFinds(installed);
    // Entry 1 is left as it is: every Wine process rewrites it at start.
    const std::string first = PreloadValues()["1"];
    SetPreload({{"2", "00000409"}, {"3", found}, {"4", "00000411"}});

    if (RunningOnWine()) {
        // Wine cannot unload a layout: the removal stops after the preload
        // list, with the unload-failure text; layout key and files stay.
        ReportWineDeviation("UnloadKeyboardLayout: always fails");
        Run("", {Outcome(Gbk(texts::kUnregisterFailed))});
        EXPECT_TRUE(LayoutExists(found));
        EXPECT_EQ(ReadBytes(InstalledIme()), kOldIme);
        EXPECT_EQ(ReadBytes(InstalledMb()), kOldMb);
    } else {
        Run("", {Outcome(Gbk(texts::kUninstallSucceeded))});
        EXPECT_FALSE(LayoutExists(found));
        EXPECT_FALSE(IsFile(InstalledIme()));
        EXPECT_FALSE(IsFile(InstalledMb()));
    }
    const std::map<std::string, std::string> expected{{"1", first}, {"2", "00000409"}, {"3", "00000411"}};
    EXPECT_EQ(PreloadValues(), expected);
}

TEST_F(Uninstallation, ImeFileHeldOpenIsReportedAndTheMbFileNotTried)
{
    const std::string installed = PlaceInstallation();
    const std::string found = LayoutTheRemovalFinds(installed);
    {
        // As a program that has the IME loaded holds it: the input method
        // manager can still read its version to find the layout.
        HeldFile holder(InstalledIme(), FILE_SHARE_READ);
        ASSERT_TRUE(holder.held());

        Run("", {Outcome(Gbk(texts::kFilesLocked))});
    }
    EXPECT_EQ(ReadBytes(InstalledIme()), kOldIme);
    EXPECT_EQ(ReadBytes(InstalledMb()), kOldMb);
    EXPECT_FALSE(LayoutExists(found)) << "the registry work comes before the files";
}

TEST_F(Uninstallation, MbFileHeldOpenIsReportedAfterTheImeFileIsGone)
{
    PlaceInstallation();
    {
        HeldFile holder(InstalledMb());
        ASSERT_TRUE(holder.held());

        Run("/uninst", {Outcome(Gbk(texts::kFilesLocked))});
    }
    EXPECT_FALSE(IsFile(InstalledIme()));
    EXPECT_EQ(ReadBytes(InstalledMb()), kOldMb);
}

TEST_F(Uninstallation, UserWithoutRightsToTheLayoutListChangesNothing)
{
    PlaceInstallation();
    const size_t layouts = Layouts().size();
    {
        const DeniedKey denied(HKEY_LOCAL_MACHINE, kLayoutsPath);
        ASSERT_TRUE(denied.denied());

        Run("/uninst", {Outcome(Gbk(texts::kNoRights))});
    }
    EXPECT_EQ(ReadBytes(InstalledIme()), kOldIme);
    EXPECT_EQ(ReadBytes(InstalledMb()), kOldMb);
    EXPECT_EQ(Layouts().size(), layouts);
}

TEST_F(Uninstallation, PreloadListThatCannotBeOpenedStopsBeforeAnyChange)
{
    const std::string installed = PlaceInstallation();
    {
        const DeniedKey denied(HKEY_CURRENT_USER, kPreloadPath);
        ASSERT_TRUE(denied.denied());

        Run("", {Outcome(Gbk(texts::kPreloadOpenFailed))});
    }
    EXPECT_EQ(ReadBytes(InstalledIme()), kOldIme);
    EXPECT_EQ(ReadBytes(InstalledMb()), kOldMb);
    EXPECT_TRUE(LayoutExists(installed));
}

// The Windows 95/98 family keeps the preload list as numbered subkeys; Wine
// shows that family to one program by its per-program version.
class UninstallationOn98 : public Uninstallation {
protected:
    void SetUp() override
    {
        Uninstallation::SetUp();
        if (!RunningOnWine()) GTEST_SKIP() << "needs Wine's per-program Windows version";
        win98_.emplace("imesetup.exe");
    }
    void TearDown() override
    {
        win98_.reset();
        Uninstallation::TearDown();
    }
    std::optional<Win98Program> win98_;
};

TEST_F(UninstallationOn98, LayoutInTheSubkeyListLeavesItAndTheRestMovesUp)
{
    const std::string installed = PlaceInstallation();
    const std::string found = LayoutTheRemovalFinds(installed);
    SetPreloadSubkeys({"00000804", "00000409", found, "00000411", "0000040C"});

    // Wine cannot unload a layout (see above).
    Run("", {Outcome(Gbk(texts::kUnregisterFailed))});

    const std::map<std::string, std::string> expected{
        {"1", "00000804"}, {"2", "00000409"}, {"3", "00000411"}, {"4", "0000040C"}};
    EXPECT_EQ(PreloadSubkeys(), expected);
    EXPECT_TRUE(LayoutExists(found));
    EXPECT_EQ(ReadBytes(InstalledIme()), kOldIme);
}

TEST_F(UninstallationOn98, LayoutNotInTheSubkeyListIsRemovedAndTheListKept)
{
    const std::string installed = PlaceInstallation();
    const std::string found = LayoutTheRemovalFinds(installed);
    SetPreloadSubkeys({"00000804", "00000409"});
    const auto subkeys = PreloadSubkeys();

    Run("", {Outcome(Gbk(texts::kUninstallSucceeded))});

    EXPECT_EQ(PreloadSubkeys(), subkeys);
    EXPECT_FALSE(LayoutExists(found));
    EXPECT_FALSE(IsFile(InstalledIme()));
    EXPECT_FALSE(IsFile(InstalledMb()));
}

}  // namespace
}  // namespace e2e
