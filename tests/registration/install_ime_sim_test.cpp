// Installation: every outcome with the machine it leaves, the reinstall
// question, and the lock test.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "allocation_fault.h"
#include "registration/outcome_texts.h"
#include "registration/registration.h"
#include "registration_fixture.h"

namespace registration_test {
namespace {

// The GBK texts are checked byte for byte against their words elsewhere.
const std::string kNoRights = OutcomeTexts::InstallNoRights;
const std::string kAlreadyInstalled = OutcomeTexts::AlreadyInstalled;
const std::string kCancelled = OutcomeTexts::InstallCancelled;
const std::string kLocked = OutcomeTexts::ImeFileLocked;
const std::string kActivationFailed = OutcomeTexts::ActivationFailed;
const std::string kSucceeded = OutcomeTexts::InstallSucceeded;

// What an installation leaves behind.
struct Left {
    std::string ime;  // contents of the IME file in the system directory, "" when missing
    std::string mb;
    size_t layouts;   // keys under the machine-wide layout list
    size_t boxes;     // questions shown
    bool operator==(const Left& o) const
    {
        return ime == o.ime && mb == o.mb && layouts == o.layouts && boxes == o.boxes;
    }
};
void PrintTo(const Left& l, std::ostream* os)
{
    *os << "{ime \"" << l.ime << "\", mb \"" << l.mb << "\", " << l.layouts << " layouts, " << l.boxes << " boxes}";
}

const Left kUntouchedAbsent{"", "", 0, 0};
const Left kUntouchedOld{kOldIme, kOldMb, 0, 0};
const Left kInstalled{kNewIme, kNewMb, 1, 0};

struct Row {
    const char* name;
    bool previousVersion;  // an IME file (and MB file) already in the system directory
    bool explicitRequest;
    std::function<void(const SetupContext&)> arrange;
    std::string outcome;
    Left left;
};
void PrintTo(const Row& row, std::ostream* os) { *os << row.name; }

void Nothing(const SetupContext&) {}
void DenyRights(const SetupContext&) { sim::DenyFullAccess(HKEY_LOCAL_MACHINE, kLayoutList); }
void FailLockTestWith(DWORD error) { sim::FailCall("CreateFileA", error); }
void HoldSharingEverything(const SetupContext& c, DWORD access)
{
    sim::HoldFile(c.InstalledImePath, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, access);
}

const Row kRows[] = {
    {"NoRights", false, false, DenyRights, kNoRights, kUntouchedAbsent},
    {"NoRightsEvenWhenPresentAndHeld", true, true,
     [](const SetupContext& c) {
         DenyRights(c);
         sim::HoldFile(c.InstalledImePath);
     },
     kNoRights, kUntouchedOld},
    {"PresentWithoutExplicitRequest", true, false, Nothing, kAlreadyInstalled, kUntouchedOld},
    {"HeldByAnotherProgram", true, true, [](const SetupContext& c) { sim::HoldFile(c.InstalledImePath); }, kLocked,
     kUntouchedOld},
    // The lock test opens the file for reading and writing, sharing nothing:
    // a read-only file, and a holder of any access sharing everything, lock it.
    {"ReadOnlyFileCountsAsLocked", true, true,
     [](const SetupContext& c) { sim::SetReadOnly(c.InstalledImePath, true); }, kLocked, kUntouchedOld},
    {"HeldForReadingSharingEverything", true, true,
     [](const SetupContext& c) { HoldSharingEverything(c, GENERIC_READ); }, kLocked, kUntouchedOld},
    {"HeldForWritingSharingEverything", true, true,
     [](const SetupContext& c) { HoldSharingEverything(c, GENERIC_WRITE); }, kLocked, kUntouchedOld},
    {"HeldForDeletingSharingEverything", true, true, [](const SetupContext& c) { HoldSharingEverything(c, DELETE); },
     kLocked, kUntouchedOld},
    {"LockTestAccessDenied", true, true, [](const SetupContext&) { FailLockTestWith(ERROR_ACCESS_DENIED); }, kLocked,
     kUntouchedOld},
    {"LockTestSharingViolation", true, true, [](const SetupContext&) { FailLockTestWith(ERROR_SHARING_VIOLATION); },
     kLocked, kUntouchedOld},
    {"LockTestOtherErrorCopiesWithoutAsking", true, true,
     [](const SetupContext&) { FailLockTestWith(ERROR_INVALID_PARAMETER); }, kSucceeded, kInstalled},
    {"UserAnswersNo", true, true, [](const SetupContext&) { sim::QueueAnswer(IDNO); }, kCancelled,
     {kOldIme, kOldMb, 0, 1}},
    {"UserAnswersYes", true, true, [](const SetupContext&) { sim::QueueAnswer(IDYES); }, kSucceeded,
     {kNewIme, kNewMb, 1, 1}},
    {"AnyAnswerButNoGoesOn", true, true, [](const SetupContext&) { sim::QueueAnswer(IDCANCEL); }, kSucceeded,
     {kNewIme, kNewMb, 1, 1}},
    {"ImeCopyFails", false, false,
     [](const SetupContext&) { sim::FailCall("CopyFileA", ERROR_ACCESS_DENIED, sim::Repeat::Always, "MyIme.ime"); },
     "MyIme.ime Copy to %SystemDir% Error ", kUntouchedAbsent},
    {"MbCopyFailsAndTheImeFileStays", false, false,
     [](const SetupContext&) { sim::FailCall("CopyFileA", ERROR_DISK_FULL, sim::Repeat::Always, "MyIme.mb"); },
     "MyIme.mb Copy to %SystemDir% Error ", {kNewIme, "", 0, 0}},
    {"RegistrationFailsAndBothFilesStay", false, false,
     [](const SetupContext&) { sim::FailCall("ImmInstallIMEA", ERROR_ACCESS_DENIED); }, kActivationFailed,
     {kNewIme, kNewMb, 0, 0}},
    {"FreshInstall", false, false, Nothing, kSucceeded, kInstalled},
    {"FreshInstallOnRequest", false, true, Nothing, kSucceeded, kInstalled},
};

class InstallImeOutcome : public RegistrationTest, public ::testing::WithParamInterface<Row> {};

TEST_P(InstallImeOutcome, LeavesTheMachineAsReported)
{
    const Row& row = GetParam();
    if (row.previousVersion) PutPreviousVersion();
    row.arrange(context);

    const std::string outcome = InstallIme(context, row.explicitRequest);

    EXPECT_EQ(outcome, row.outcome);
    const Left left{InstalledIme(), InstalledMb(), RegisteredLayouts().size(), sim::MessageBoxes().size()};
    EXPECT_EQ(left, row.left);
}

INSTANTIATE_TEST_SUITE_P(Rows, InstallImeOutcome, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<Row>& info) { return std::string(info.param.name); });

class InstallImeTest : public RegistrationTest {};

TEST_F(InstallImeTest, QuestionIsAPlainYesNoBoxWithTheCaption)
{
    PutPreviousVersion();
    sim::QueueAnswer(IDNO);

    InstallIme(context, true);

    ASSERT_EQ(sim::MessageBoxes().size(), 1u);
    const sim::MessageBoxRecord& box = sim::MessageBoxes()[0];
    EXPECT_EQ(box.owner, nullptr);
    EXPECT_EQ(box.text, kAlreadyInstalled);
    EXPECT_EQ(box.caption, " Setup My IME ");
    EXPECT_EQ(box.style, static_cast<UINT>(MB_YESNO));
}

TEST_F(InstallImeTest, QuestionReadsInChineseOnAnEnglishWindows)
{
    sim::SetCodePage(1252);
    PutPreviousVersion();
    sim::QueueAnswer(IDNO);

    InstallIme(context, true);

    ASSERT_EQ(sim::MessageBoxes().size(), 1u);
    const sim::MessageBoxRecord& box = sim::MessageBoxes()[0];
    EXPECT_TRUE(box.wideText == u"\u7CFB\u7EDF\u4E2D\u5DF2\u5B89\u88C5\u6709\u8BE5\u8F93\u5165\u6CD5\u3002");
    EXPECT_TRUE(box.wideCaption == u" Setup My IME ");
}

TEST_F(InstallImeTest, LockTestClosesTheFileBeforeAsking)
{
    PutPreviousVersion();
    sim::QueueAnswer(IDYES);
    MarkCalls();
    int opensBeforeTheQuestion = -1;
    int heldDuringTheQuestion = -1;
    sim::BeforeEachCall("MessageBoxW", [&](int) {
        const std::vector<std::string> calls = CallsSinceMark();
        opensBeforeTheQuestion = static_cast<int>(std::count(calls.begin(), calls.end(), "CreateFileA"));
        heldDuringTheQuestion = sim::OpenFileCount();
    });

    EXPECT_EQ(InstallIme(context, true), kSucceeded);

    ASSERT_EQ(sim::MessageBoxes().size(), 1u);  // the question was asked
    EXPECT_EQ(sim::MessageBoxes()[0].text, kAlreadyInstalled);
    EXPECT_EQ(opensBeforeTheQuestion, 1);  // after the lock test
    EXPECT_EQ(heldDuringTheQuestion, 0);
}

TEST_F(InstallImeTest, NoRightsShortCutsEveryFileTest)
{
    PutPreviousVersion();
    DenyRights(context);
    MarkCalls();

    InstallIme(context, true);

    for (const char* call : {"FindFirstFileA", "CreateFileA", "MessageBoxW", "MessageBoxA", "CopyFileA", "ImmInstallIMEA"}) {
        EXPECT_FALSE(Called(call)) << call;
    }
}

TEST_F(InstallImeTest, WithoutExplicitRequestAPresentFileIsNotOpened)
{
    PutPreviousVersion();
    MarkCalls();

    InstallIme(context, false);

    EXPECT_FALSE(Called("CreateFileA"));
    EXPECT_FALSE(Called("CopyFileA"));
}

TEST_F(InstallImeTest, AbsentFileIsNotLockTested)
{
    MarkCalls();

    InstallIme(context, true);

    EXPECT_FALSE(Called("CreateFileA"));
    EXPECT_TRUE(sim::MessageBoxes().empty());
}

TEST_F(InstallImeTest, CopyFailureNamesTheSourceAsSetupLogWroteIt)
{
    context.ImeFileName = ".\\MyIme.ime";
    sim::FailCall("CopyFileA", ERROR_ACCESS_DENIED);

    EXPECT_EQ(InstallIme(context, false), ".\\MyIme.ime Copy to %SystemDir% Error ");
}

TEST_F(InstallImeTest, RegistersTheLayoutUnderTheDisplayName)
{
    ASSERT_EQ(InstallIme(context, false), kSucceeded);

    const std::vector<std::string> layouts = RegisteredLayouts();
    ASSERT_EQ(layouts.size(), 1u);
    const auto text = sim::GetValue(HKEY_LOCAL_MACHINE, std::string(kLayoutList) + "\\" + layouts[0], "Layout Text");
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(text->data, std::string(kDisplayName) + '\0');
}

// The user adds the input method in the settings: the installation neither
// loads input.dll nor changes the user's own list.
TEST_F(InstallImeTest, LeavesTheUserInputListAlone)
{
    sim::SetUserInputList({"0804:00000804"}, "0804:00000804");
    MarkCalls();

    ASSERT_EQ(InstallIme(context, false), OutcomeTexts::InstallSucceeded);

    EXPECT_FALSE(Called("LoadLibraryExA"));
    EXPECT_EQ(sim::UserInputList(), std::vector<std::string>{"0804:00000804"});
}

// A setup.log may name the IME file in another folder: the input method
// manager is given the installed copy's path, never that name.
TEST_F(InstallImeTest, RegistersTheInstalledCopyUnderTheDisplayName)
{
    UseImeFileInAFolder(context);
    MarkCalls();

    EXPECT_EQ(InstallIme(context, false), kActivationFailed);

    EXPECT_EQ(ImeInstallCalls(), (std::vector<std::vector<std::string>>{{context.InstalledImePath, kDisplayName}}));
    EXPECT_EQ(InstalledIme(), kNewIme);
    EXPECT_TRUE(RegisteredLayouts().empty());
}

TEST_F(InstallImeTest, ExhaustedMemoryDuringTheCopies)
{
    // A dry run finds the call number of the first copy.
    MarkCalls();
    InstallIme(context, false);
    const std::vector<std::string> calls = CallsSinceMark();
    const auto copy = std::find(calls.begin(), calls.end(), "CopyFileA");
    ASSERT_NE(copy, calls.end());
    const int copyNumber = static_cast<int>(copy - calls.begin()) + 1;

    SetUp();
    const int before = sim::CallCount();
    allocation_fault::FailFirstAllocationFromCall(before + copyNumber);
    const std::string outcome = InstallIme(context, false);
    allocation_fault::Disarm();

    EXPECT_TRUE(allocation_fault::Fired());
    EXPECT_EQ(outcome, "Error During Copy Files ");
    EXPECT_EQ(InstalledMb(), "");
    EXPECT_TRUE(RegisteredLayouts().empty());
}

}  // namespace
}  // namespace registration_test
