// Installation as the user meets it: the real program, its boxes, and what it
// leaves in the system directory and the registry.
#include "expected_texts.h"
#include "gbk_text.h"
#include "tool_case.h"

namespace e2e {
namespace {

class Installation : public ToolCase {
protected:
    // The one layout the run registered for the installed IME file.
    void ExpectRegisteredOnce(const std::string& expectedKeyOnWine)
    {
        const std::vector<Layout> layouts = LayoutsOfImeFile(RegisteredIme());
        ASSERT_EQ(layouts.size(), 1u);
        EXPECT_EQ(layouts[0].layoutText, Gbk(texts::kDisplayName));
        if (RunningOnWine()) {
            EXPECT_EQ(lstrcmpiA(layouts[0].keyName.c_str(), expectedKeyOnWine.c_str()), 0);
        }
    }
};

TEST_F(Installation, WithoutArgumentOnACleanMachineCopiesBothFilesAndRegisters)
{
    const std::string newLayout = NextWineLayoutName();
    const auto preload = PreloadValues();

    Run("", {Outcome(Gbk(texts::kInstallSucceeded))});

    EXPECT_EQ(ReadBytes(InstalledIme()), kPackageIme);
    EXPECT_EQ(ReadBytes(InstalledMb()), kPackageMb);
    ExpectRegisteredOnce(newLayout);
    EXPECT_EQ(PreloadValues(), preload) << "installation leaves the preload list alone";
}

TEST_F(Installation, InstOnACleanMachineAsksNothing)
{
    const std::string newLayout = NextWineLayoutName();

    Run("/inst", {Outcome(Gbk(texts::kInstallSucceeded))});

    EXPECT_EQ(ReadBytes(InstalledIme()), kPackageIme);
    EXPECT_EQ(ReadBytes(InstalledMb()), kPackageMb);
    ExpectRegisteredOnce(newLayout);
}

TEST_F(Installation, InstOverAnInstalledImeAnsweredNoChangesNothing)
{
    PlaceInstallation();
    const std::vector<Layout> layouts = Layouts();

    Run("/inst", {Question(Gbk(texts::kAlreadyInstalled), IDNO), Outcome(Gbk(texts::kInstallCancelled))});

    EXPECT_EQ(ReadBytes(InstalledIme()), kOldIme);
    EXPECT_EQ(ReadBytes(InstalledMb()), kOldMb);
    EXPECT_EQ(Layouts().size(), layouts.size());
}

TEST_F(Installation, InstOverAnInstalledImeAnsweredYesReplacesAndRegistersAgain)
{
    const std::string installed = PlaceInstallation();
    const std::string newLayout = NextWineLayoutName();

    Run("/inst", {Question(Gbk(texts::kAlreadyInstalled), IDYES), Outcome(Gbk(texts::kInstallSucceeded))});

    EXPECT_EQ(ReadBytes(InstalledIme()), kPackageIme);
    EXPECT_EQ(ReadBytes(InstalledMb()), kPackageMb);
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, LayoutPath(installed)));
    if (RunningOnWine()) {
        // Wine registers the file once more under a new layout instead of
        // answering with the existing one.
        ReportWineDeviation("ImmInstallIMEA: a registered IME file gets a new layout on every call");
        EXPECT_EQ(GetText(HKEY_LOCAL_MACHINE, LayoutPath(newLayout), "Ime File"), RegisteredIme());
        EXPECT_EQ(GetText(HKEY_LOCAL_MACHINE, LayoutPath(newLayout), "Layout Text"), Gbk(texts::kDisplayName));
        EXPECT_EQ(LayoutsOfImeFile(RegisteredIme()).size(), 2u);
    }
}

TEST_F(Installation, InstOverAnImeFileHeldOpenReportsItLockedWithoutAsking)
{
    PlaceInstallation();
    const std::vector<Layout> layouts = Layouts();
    {
        HeldFile holder(InstalledIme());
        ASSERT_TRUE(holder.held());

        Run("/inst", {Outcome(Gbk(texts::kImeFileLocked))});
    }
    EXPECT_EQ(ReadBytes(InstalledIme()), kOldIme);
    EXPECT_EQ(ReadBytes(InstalledMb()), kOldMb);
    EXPECT_EQ(Layouts().size(), layouts.size());
}

TEST_F(Installation, MbTargetHeldOpenNamesTheMbFileAndKeepsTheCopiedImeFile)
{
    ASSERT_TRUE(WriteBytes(InstalledMb(), kOldMb));
    {
        HeldFile holder(InstalledMb());
        ASSERT_TRUE(holder.held());

        Run("", {Outcome(std::string(kMbFile) + texts::kCopyErrorSuffix)});
    }
    EXPECT_EQ(ReadBytes(InstalledIme()), kPackageIme);
    EXPECT_EQ(ReadBytes(InstalledMb()), kOldMb);
    EXPECT_TRUE(LayoutsOfImeFile(RegisteredIme()).empty());
}

TEST_F(Installation, MissingLayoutListCountsAsMissingRightsAndCopiesNothing)
{
    ASSERT_TRUE(DeleteKeyTree(HKEY_LOCAL_MACHINE, kLayoutsPath));

    Run("", {Outcome(Gbk(texts::kNoRights))});

    EXPECT_FALSE(IsFile(InstalledIme()));
    EXPECT_FALSE(IsFile(InstalledMb()));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kLayoutsPath)) << "the program never creates the layout list";
}

TEST_F(Installation, UserWithoutRightsToTheLayoutListIsRefusedBeforeAnyCopy)
{
    const DeniedKey denied(HKEY_LOCAL_MACHINE, kLayoutsPath);
    ASSERT_TRUE(denied.denied());

    Run("", {Outcome(Gbk(texts::kNoRights))});

    EXPECT_FALSE(IsFile(InstalledIme()));
    EXPECT_FALSE(IsFile(InstalledMb()));
}

TEST_F(Installation, UserWithoutRightsIsRefusedBeforeTheQuestionAndTheLockTest)
{
    PlaceInstallation();
    const DeniedKey denied(HKEY_LOCAL_MACHINE, kLayoutsPath);
    ASSERT_TRUE(denied.denied());
    {
        HeldFile holder(InstalledIme());
        ASSERT_TRUE(holder.held());

        Run("/inst", {Outcome(Gbk(texts::kNoRights))});
    }
    EXPECT_EQ(ReadBytes(InstalledIme()), kOldIme);
    EXPECT_EQ(ReadBytes(InstalledMb()), kOldMb);
}

}  // namespace
}  // namespace e2e
