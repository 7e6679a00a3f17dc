// Uninstallation: every outcome with what of the installation is still in
// place afterwards, in both modes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "allocation_fault.h"
#include "registration/outcome_texts.h"
#include "registration/registration.h"
#include "registration/user_input_list.h"
#include "registration_fixture.h"

namespace registration_test {
namespace {

// The GBK texts are checked byte for byte against their words elsewhere.
const std::string kNotInstalled = OutcomeTexts::NotInstalled;
const std::string kNoRights = OutcomeTexts::InstallNoRights;
const std::string kHklNotFound = OutcomeTexts::HklNotFound;
const std::string kPreloadOpenFailed = OutcomeTexts::PreloadOpenFailed;
const std::string kUnregisterFailed = OutcomeTexts::UnregisterFailed;
const std::string kFilesLocked = OutcomeTexts::FilesLocked;
const std::string kSucceeded = OutcomeTexts::UninstallSucceeded;

// What of the installation is still in place.
struct Left {
    bool ime, mb, layoutKey, preloadEntry, loaded;
    bool operator==(const Left& o) const
    {
        return ime == o.ime && mb == o.mb && layoutKey == o.layoutKey && preloadEntry == o.preloadEntry &&
               loaded == o.loaded;
    }
};
void PrintTo(const Left& l, std::ostream* os)
{
    *os << "{ime " << l.ime << ", mb " << l.mb << ", layout key " << l.layoutKey << ", preload entry "
        << l.preloadEntry << ", loaded " << l.loaded << "}";
}

const Left kEverything{true, true, true, true, true};

void SetPreload(const std::vector<std::string>& texts)
{
    sim::DeleteKeyTree(HKEY_CURRENT_USER, kPreload);
    sim::CreateKey(HKEY_CURRENT_USER, kPreload);
    for (size_t i = 0; i < texts.size(); ++i) {
        sim::SetString(HKEY_CURRENT_USER, kPreload, std::to_string(i + 1), texts[i]);
    }
}

// The preload texts in numeric order, up to the first missing number.
std::vector<std::string> PreloadTexts()
{
    std::vector<std::string> texts;
    for (int n = 1;; ++n) {
        const auto value = sim::GetValue(HKEY_CURRENT_USER, kPreload, std::to_string(n));
        if (!value) return texts;
        texts.push_back(value->data.substr(0, value->data.find('\0')));
    }
}

// What a row's arrangement may change.
struct Installation {
    const SetupContext& context;
    std::string keyName;    // the layout's key name under the layout list
    std::string layoutKey;  // its path below HKEY_LOCAL_MACHINE
};

// An installed IME: both files, its layout registered, listed second in the
// preload list between two other layouts, and loaded.
class UninstallImeTest : public RegistrationTest {
protected:
    void SetUp() override
    {
        RegistrationTest::SetUp();
        PutPreviousVersion();
        layout = ImmInstallIMEA(context.InstalledImePath.c_str(), context.ImeDisplayName.c_str());
        ASSERT_NE(layout, nullptr);
        keyName = KeyNameOf(layout);
        SetPreload({"00000804", keyName, "00000409"});
        sim::SetLayoutLoaded(layout, true);
    }

    std::string LayoutKey() const { return std::string(kLayoutList) + "\\" + keyName; }
    Installation Current() const { return Installation{context, keyName, LayoutKey()}; }

    Left Installed() const
    {
        const std::vector<std::string> preload = PreloadTexts();
        return Left{sim::FileExists(context.InstalledImePath), sim::FileExists(context.InstalledMbPath),
                    sim::KeyExists(HKEY_LOCAL_MACHINE, LayoutKey()),
                    std::find(preload.begin(), preload.end(), keyName) != preload.end(),
                    sim::IsLayoutLoaded(layout)};
    }

    HKL layout = nullptr;
    std::string keyName;
};

struct Row {
    const char* name;
    std::function<void(const Installation&)> arrange;
    std::string outcome;
    Left left;
};
void PrintTo(const Row& row, std::ostream* os) { *os << row.name; }

const Row kRows[] = {
    {"ImeFileMissing", [](const Installation& i) { DeleteFileA(i.context.InstalledImePath.c_str()); },
     kNotInstalled, {false, true, true, true, true}},
    {"MbFileMissing", [](const Installation& i) { DeleteFileA(i.context.InstalledMbPath.c_str()); },
     kNotInstalled, {true, false, true, true, true}},
    {"NoRights", [](const Installation&) { sim::DenyFullAccess(HKEY_LOCAL_MACHINE, kLayoutList); }, kNoRights,
     kEverything},
    {"NoLayoutHandle", [](const Installation&) { sim::FailCall("ImmInstallIMEA", ERROR_ACCESS_DENIED); },
     kHklNotFound, kEverything},
    {"PreloadCannotBeOpened", [](const Installation&) { sim::DenyFullAccess(HKEY_CURRENT_USER, kPreload); },
     kPreloadOpenFailed, kEverything},
    {"UnloadFails", [](const Installation&) { sim::FailCall("UnloadKeyboardLayout", ERROR_INVALID_PARAMETER); },
     kUnregisterFailed, {true, true, true, false, true}},
    // Gone between the handle lookup (which would register it anew) and its own step.
    {"LayoutKeyGone",
     [](const Installation& i) { sim::FailCall("RegOpenKeyExA", ERROR_FILE_NOT_FOUND, sim::Repeat::Once, i.keyName); },
     kUnregisterFailed, {true, true, true, false, false}},
    {"LayoutKeyDenied",
     [](const Installation& i) { sim::DenyFullAccess(HKEY_LOCAL_MACHINE, i.layoutKey); },
     kUnregisterFailed, {true, true, true, false, false}},
    // Opens but stays registered: reported, and the files stay for a later run.
    {"LayoutKeyCannotBeErased",
     [](const Installation& i) {
         sim::FailCall("RegDeleteKeyA", ERROR_ACCESS_DENIED, sim::Repeat::Always, i.keyName);
     },
     kUnregisterFailed, {true, true, true, false, false}},
    // Loaded by a program: the manager still reads its version, the deletion fails.
    {"ImeFileHeld", [](const Installation& i) { sim::HoldFile(i.context.InstalledImePath, FILE_SHARE_READ); },
     kFilesLocked, {true, true, false, false, false}},
    // Held with no sharing: the manager cannot read its version to find the layout.
    {"ImeFileHeldUnshared", [](const Installation& i) { sim::HoldFile(i.context.InstalledImePath); }, kHklNotFound,
     kEverything},
    {"MbFileHeld", [](const Installation& i) { sim::HoldFile(i.context.InstalledMbPath); }, kFilesLocked,
     {false, true, false, false, false}},
    // Not in the preload list: not unloaded, but removed all the same.
    {"NotInPreload", [](const Installation&) { SetPreload({"00000804", "00000409"}); }, kSucceeded,
     {false, false, false, false, true}},
    {"Removed", [](const Installation&) {}, kSucceeded, {false, false, false, false, false}},
};

class UninstallImeOutcome : public UninstallImeTest, public ::testing::WithParamInterface<std::tuple<Row, bool>> {};

TEST_P(UninstallImeOutcome, LeavesInPlaceWhatItReports)
{
    const Row& row = std::get<0>(GetParam());
    row.arrange(Current());

    EXPECT_EQ(UninstallIme(context, std::get<1>(GetParam())), row.outcome);
    EXPECT_EQ(Installed(), row.left);
}

INSTANTIATE_TEST_SUITE_P(Rows, UninstallImeOutcome, ::testing::Combine(::testing::ValuesIn(kRows), ::testing::Bool()),
                         [](const ::testing::TestParamInfo<std::tuple<Row, bool>>& info) {
                             return std::string(std::get<0>(info.param).name) +
                                    (std::get<1>(info.param) ? "_OnRequest" : "_Chosen");
                         });

// The same rows on Windows 8 and later, with the layout the default of the
// user's own list: no outcome and nothing of what stays in place changes.
class UninstallImeOutcomeWithTheUsersList : public UninstallImeTest, public ::testing::WithParamInterface<Row> {};

TEST_P(UninstallImeOutcomeWithTheUsersList, LeavesInPlaceWhatItReports)
{
    const std::string self = "0804:" + keyName;
    sim::SetUserInputList({"0409:00000409", self, "0804:00000804"}, self);
    GetParam().arrange(Current());

    EXPECT_EQ(UninstallIme(context, true), GetParam().outcome);
    EXPECT_EQ(Installed(), GetParam().left);
}

INSTANTIATE_TEST_SUITE_P(Rows, UninstallImeOutcomeWithTheUsersList, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<Row>& info) { return std::string(info.param.name); });

TEST_F(UninstallImeTest, RemovalClosesTheGapInThePreloadList)
{
    ASSERT_EQ(UninstallIme(context, true), kSucceeded);
    EXPECT_EQ(PreloadTexts(), (std::vector<std::string>{"00000804", "00000409"}));
    EXPECT_FALSE(sim::GetValue(HKEY_CURRENT_USER, kPreload, "3").has_value());
}

TEST_F(UninstallImeTest, WithoutRightsTheLayoutIsNotAskedFor)
{
    sim::DenyFullAccess(HKEY_LOCAL_MACHINE, kLayoutList);
    MarkCalls();

    EXPECT_EQ(UninstallIme(context, true), kNoRights);

    EXPECT_FALSE(Called("ImmInstallIMEA"));
}

TEST_F(UninstallImeTest, MissingFileStopsBeforeAskingForTheLayout)
{
    DeleteFileA(context.InstalledMbPath.c_str());
    MarkCalls();

    UninstallIme(context, true);

    EXPECT_FALSE(Called("ImmInstallIMEA"));
    EXPECT_FALSE(Called("RegOpenKeyExA"));
}

// A setup.log may name the IME file in another folder: the layout is asked
// for by the installed copy's path, never by that name. The input method
// manager looks for the file of that name in the system directory itself, so
// the installation registered no layout, and the removal finds none.
class UninstallFromAFolderTest : public RegistrationTest {};

TEST_F(UninstallFromAFolderTest, AsksForTheLayoutOfTheInstalledCopy)
{
    UseImeFileInAFolder(context);
    ASSERT_EQ(InstallIme(context, false), OutcomeTexts::ActivationFailed);
    MarkCalls();

    EXPECT_EQ(UninstallIme(context, false), kHklNotFound);

    EXPECT_EQ(ImeInstallCalls(), (std::vector<std::vector<std::string>>{{context.InstalledImePath, kDisplayName}}));
    EXPECT_TRUE(sim::FileExists(context.InstalledImePath));
}

TEST_F(UninstallImeTest, LayoutOutsideThePreloadListIsNotUnloaded)
{
    SetPreload({"00000804"});
    MarkCalls();

    UninstallIme(context, false);

    EXPECT_FALSE(Called("UnloadKeyboardLayout"));
}

TEST_F(UninstallImeTest, HeldImeFileKeepsTheMbFileUntried)
{
    sim::HoldFile(context.InstalledImePath, FILE_SHARE_READ);
    MarkCalls();

    UninstallIme(context, true);

    const std::vector<std::string> calls = CallsSinceMark();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "DeleteFileA"), 1);
}

TEST_F(UninstallImeTest, ExhaustedMemoryDuringTheDeletions)
{
    const int before = sim::CallCount();
    MarkCalls();
    UninstallIme(context, true);
    const std::vector<std::string> calls = CallsSinceMark();
    const auto del = std::find(calls.begin(), calls.end(), "DeleteFileA");
    ASSERT_NE(del, calls.end());
    const int deleteNumber = static_cast<int>(del - calls.begin()) + 1;

    SetUp();
    ASSERT_EQ(sim::CallCount(), before);
    allocation_fault::FailFirstAllocationFromCall(before + deleteNumber);
    const std::string outcome = UninstallIme(context, true);
    allocation_fault::Disarm();

    EXPECT_TRUE(allocation_fault::Fired());
    EXPECT_EQ(outcome, kFilesLocked);
    EXPECT_TRUE(sim::FileExists(context.InstalledMbPath));
    EXPECT_FALSE(sim::KeyExists(HKEY_LOCAL_MACHINE, LayoutKey()));
}

// The user's own list of input methods (Windows 8 and later): the removal
// takes the layout out of it after the unload and before the layout's key
// goes, the default moved first to another item, of the same language when
// there is one. Where input.dll or one of its functions is missing, the
// removal runs as before; a failure there changes no outcome.
struct ListRow {
    const char* name;
    std::vector<std::string> items;  // "SELF" stands for the layout's own item
    const char* defaultItem;
    std::function<void()> arrange;
    std::vector<std::string> itemsAfter;
    const char* defaultAfter;
};
void PrintTo(const ListRow& row, std::ostream* os) { *os << row.name; }

const char kChinese[] = "0804:00000804";
const char kEnglish[] = "0409:00000409";
const char kChineseTip[] = "0804:{81D4E9C9-1D3B-41BC-9E6C-4B40BF79E35E}{FA550B04-5AD7-411F-A5AC-CA038EC515D7}";

const ListRow kListRows[] = {
    {"NotTheDefault", {kChinese, "SELF", kEnglish}, kChinese, [] {}, {kChinese, kEnglish}, kChinese},
    // Taken out as the default, the list would make the first item left (English) the default.
    {"DefaultGoesToTheSameLanguage", {kEnglish, "SELF", kChineseTip}, "SELF", [] {}, {kEnglish, kChineseTip},
     kChineseTip},
    {"DefaultGoesToAnotherLanguage", {"SELF", kEnglish}, "SELF", [] {}, {kEnglish}, kEnglish},
    {"NotListed", {kChinese, kEnglish}, kEnglish, [] {}, {kChinese, kEnglish}, kEnglish},
    {"InAnotherCase", {kChinese, "self"}, "self", [] {}, {kChinese}, kChinese},
    {"SwitchRefused", {kEnglish, "SELF", kChinese}, "SELF",
     [] { sim::FailCall("SetDefaultLayoutOrTip", ERROR_ACCESS_DENIED); }, {kEnglish, kChinese}, kEnglish},
    {"TakingOutFails", {kChinese, "SELF"}, "SELF", [] { sim::FailCall("InstallLayoutOrTip", ERROR_ACCESS_DENIED); },
     {kChinese, "SELF"}, kChinese},
    {"ListUnreadable", {kChinese, "SELF"}, "SELF",
     [] { sim::FailCall("EnumEnabledLayoutOrTip", ERROR_ACCESS_DENIED); }, {kChinese, "SELF"}, "SELF"},
    // An input.dll without one of the three: as on a system without it.
    {"NoInstallFunction", {kChinese, "SELF"}, "SELF", [] { sim::RemoveExport("input.dll", "InstallLayoutOrTip"); },
     {kChinese, "SELF"}, "SELF"},
    {"NoSetDefaultFunction", {kChinese, "SELF"}, "SELF",
     [] { sim::RemoveExport("input.dll", "SetDefaultLayoutOrTip"); }, {kChinese, "SELF"}, "SELF"},
    {"InputDllWillNotLoad", {kChinese, "SELF"}, "SELF",
     [] { sim::FailCall("LoadLibraryExA", ERROR_BAD_EXE_FORMAT); }, {kChinese, "SELF"}, "SELF"},
};

class UserInputListTest : public UninstallImeTest {
protected:
    std::string Self() const { return LayoutItemIdText(); }
    std::string LayoutItemIdText() const
    {
        char text[16];
        const auto value = static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(layout));
        std::snprintf(text, sizeof text, "%04X:%08X", value & 0xFFFFu, value);
        return text;
    }
    std::string Item(const std::string& written) const
    {
        if (written == "SELF") return Self();
        if (written == "self") return Lower(Self());
        return written;
    }
    std::vector<std::string> Items(const std::vector<std::string>& written) const
    {
        std::vector<std::string> items;
        for (const std::string& item : written) items.push_back(Item(item));
        return items;
    }
    static std::string Lower(std::string text)
    {
        for (char& c : text) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        return text;
    }
};

class UserInputListRemoval : public UserInputListTest, public ::testing::WithParamInterface<ListRow> {};

TEST_P(UserInputListRemoval, ChangesTheListAndNoOutcome)
{
    const ListRow& row = GetParam();
    sim::SetUserInputList(Items(row.items), Item(row.defaultItem));
    row.arrange();

    EXPECT_EQ(UninstallIme(context, true), kSucceeded);

    EXPECT_EQ(Installed(), (Left{false, false, false, false, false}));
    EXPECT_EQ(sim::UserInputList(), Items(row.itemsAfter));
    EXPECT_EQ(sim::DefaultInputItem(), Item(row.defaultAfter));
}

INSTANTIATE_TEST_SUITE_P(Rows, UserInputListRemoval, ::testing::ValuesIn(kListRows),
                         [](const ::testing::TestParamInfo<ListRow>& info) { return std::string(info.param.name); });

// The list's calls come after the unload, while the layout's key still
// exists, the default moved before the layout is taken out.
TEST_F(UserInputListTest, ListCallsComeBetweenTheUnloadAndTheKeyErasure)
{
    sim::SetUserInputList({kChinese, Self()}, Self());
    std::vector<std::string> seen;
    for (const char* function : {"SetDefaultLayoutOrTip", "InstallLayoutOrTip"}) {
        sim::BeforeEachCall(function, [this, &seen, function](int) {
            seen.push_back(std::string(function) + (sim::KeyExists(HKEY_LOCAL_MACHINE, LayoutKey()) ? " key" : " gone") +
                           (sim::IsLayoutLoaded(layout) ? " loaded" : " unloaded"));
        });
    }
    MarkCalls();

    ASSERT_EQ(UninstallIme(context, true), kSucceeded);

    EXPECT_EQ(seen, (std::vector<std::string>{"SetDefaultLayoutOrTip key unloaded", "InstallLayoutOrTip key unloaded"}));
    std::vector<std::vector<std::string>> listCalls;
    for (const sim::CallRecord& call : sim::CallRecords()) {
        if (call.function == "SetDefaultLayoutOrTip" || call.function == "InstallLayoutOrTip")
            listCalls.push_back({call.function, call.arguments.at(0)});
    }
    EXPECT_EQ(listCalls, (std::vector<std::vector<std::string>>{{"SetDefaultLayoutOrTip", kChinese},
                                                                {"InstallLayoutOrTip", Self()}}));
}

// Without input.dll (Windows XP) the removal looks for it in the system
// directory, finds none, and does as before.
TEST_F(UserInputListTest, WithoutInputDllOnlyTheLookUpIsAdded)
{
    MarkCalls();

    ASSERT_EQ(UninstallIme(context, true), kSucceeded);

    EXPECT_TRUE(sim::LoadedLibraries().empty());
    std::vector<std::vector<std::string>> loads;
    for (const sim::CallRecord& call : sim::CallRecords()) {
        if (call.function == "LoadLibraryExA") loads.push_back(call.arguments);
    }
    EXPECT_EQ(loads, (std::vector<std::vector<std::string>>{{std::string(kSystemDir) + "\\input.dll"}}));
    EXPECT_FALSE(Called("GetProcAddress"));
}

// An input.dll planted in the package folder, where the program runs from,
// is never loaded. The canary: a load by name takes it from there.
TEST_F(UserInputListTest, InputDllInThePackageFolderIsNotLoaded)
{
    const std::string planted = std::string(kPackageDir) + "\\input.dll";
    sim::PutFile(planted, "MZ planted");
    {
        const UniqueModule canary(LoadLibraryExA("input.dll", nullptr, 0));
        ASSERT_TRUE(canary);
        ASSERT_EQ(sim::LoadedLibraries(), std::vector<std::string>{planted});
    }
    sim::SetUserInputList({kChinese, Self()}, Self());

    ASSERT_EQ(UninstallIme(context, true), kSucceeded);

    EXPECT_EQ(sim::LoadedLibraries(), (std::vector<std::string>{planted, std::string(kSystemDir) + "\\input.dll"}));
    EXPECT_EQ(sim::UserInputList(), std::vector<std::string>{kChinese});
}

}  // namespace
}  // namespace registration_test
