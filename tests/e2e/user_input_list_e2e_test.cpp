// The user's own list of input methods (Windows 8 and later), which the
// removal changes through input.dll. Wine has no input.dll: these cases put a
// recording stand-in of this build's machine into the system directory (for
// the x86 build under WoW64, SysWOW64), as Windows has it, and read what the
// real program asked of it and whether the layout's key still existed then.
// The other cases of the suite run without it, as on Windows XP.
#include "expected_texts.h"
#include "gbk_text.h"
#include "tool_case.h"

#include <sstream>

namespace e2e {
namespace {

constexpr char kListFile[] = "input-list.txt";
constexpr char kCallsFile[] = "input-calls.txt";
constexpr char kChinese[] = "0804:00000804";
constexpr char kEnglish[] = "0409:00000409";

struct ListCall {
    std::string function, argument, number, key;
    bool operator==(const ListCall& o) const
    {
        return function == o.function && argument == o.argument && number == o.number && key == o.key;
    }
};
void PrintTo(const ListCall& c, std::ostream* os)
{
    *os << c.function << "(" << c.argument << ", " << c.number << ") " << c.key;
}

class UserInputListCase : public ToolCase {
protected:
    void SetUp() override
    {
        ToolCase::SetUp();
        if (HasFatalFailure()) return;
        const std::string stand_in = SuiteFolder() + "\\recording_input.dll";
        ASSERT_TRUE(IsFile(stand_in)) << stand_in;
        for (const char* name : {kListFile, kCallsFile}) RemovePath(filesDir_ + "\\" + name);
        if (IsFile(filesDir_ + "\\input.dll")) GTEST_SKIP() << "the system has an input.dll of its own";
        ASSERT_TRUE(CopyFileA(stand_in.c_str(), (filesDir_ + "\\input.dll").c_str(), FALSE));
    }
    void TearDown() override
    {
        if (IsSkipped()) return ToolCase::TearDown();
        RemoveStandIn(filesDir_);
        RemoveStandIn(packageDir_);
        ToolCase::TearDown();
    }
    static void RemoveStandIn(const std::string& folder)
    {
        for (const char* name : {"input.dll", kListFile, kCallsFile}) RemovePath(folder + "\\" + name);
    }

    // The list beside the stand-in, watching the layout's key.
    static void WriteList(const std::string& folder, const std::string& watched, const std::vector<std::string>& items,
                          const std::string& defaultItem)
    {
        std::string text = "watch " + watched + "\r\n";
        for (const std::string& item : items) text += (item == defaultItem ? "*" : "") + item + "\r\n";
        ASSERT_TRUE(WriteBytes(folder + "\\" + kListFile, text));
    }
    static std::vector<std::string> ListLines(const std::string& folder)
    {
        std::vector<std::string> lines;
        std::istringstream text(ReadBytes(folder + "\\" + kListFile).value_or(""));
        for (std::string line; std::getline(text, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (!line.empty()) lines.push_back(line);
        }
        return lines;
    }
    static std::vector<ListCall> Calls(const std::string& folder)
    {
        std::vector<ListCall> calls;
        std::istringstream text(ReadBytes(folder + "\\" + kCallsFile).value_or(""));
        for (std::string line; std::getline(text, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            std::istringstream fields(line);
            ListCall call;
            std::getline(fields, call.function, '\t');
            std::getline(fields, call.argument, '\t');
            std::getline(fields, call.number, '\t');
            std::getline(fields, call.key, '\t');
            calls.push_back(call);
        }
        return calls;
    }
    // The item of a layout key name "E0NNLLLL".
    static std::string ItemOf(const std::string& layout) { return layout.substr(4) + ":" + layout; }
};

const ListCall kCount{"EnumEnabledLayoutOrTip", "current user", "NULL", "key"};

TEST_F(UserInputListCase, RemovalMovesTheDefaultThenTakesTheLayoutOutBeforeItsKeyIsErased)
{
    const std::string installed = PlaceInstallation();
    const std::string found = LayoutTheRemovalFinds(installed);
    const std::string self = ItemOf(found);
    WriteList(filesDir_, found, {kEnglish, self, kChinese}, self);

    Run("", {Outcome(Gbk(texts::kUninstallSucceeded))});

    const std::vector<ListCall> expected{kCount,
                                         {"EnumEnabledLayoutOrTip", "current user", "3", "key"},
                                         {"SetDefaultLayoutOrTip", kChinese, "0x0", "key"},
                                         {"InstallLayoutOrTip", self, "0x1", "key"}};
    EXPECT_EQ(Calls(filesDir_), expected);
    EXPECT_EQ(ListLines(filesDir_), (std::vector<std::string>{"watch " + found, kEnglish, std::string("*") + kChinese}));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, LayoutPath(found)));
    EXPECT_FALSE(IsFile(InstalledIme()));
}

TEST_F(UserInputListCase, RemovalTakesOutALayoutThatIsNotTheDefaultWithoutASwitch)
{
    const std::string installed = PlaceInstallation();
    const std::string found = LayoutTheRemovalFinds(installed);
    const std::string self = ItemOf(found);
    WriteList(filesDir_, found, {kChinese, self}, kChinese);

    Run("/uninst", {Outcome(Gbk(texts::kUninstallSucceeded))});

    const std::vector<ListCall> expected{kCount,
                                         {"EnumEnabledLayoutOrTip", "current user", "2", "key"},
                                         {"InstallLayoutOrTip", self, "0x1", "key"}};
    EXPECT_EQ(Calls(filesDir_), expected);
    EXPECT_EQ(ListLines(filesDir_), (std::vector<std::string>{"watch " + found, std::string("*") + kChinese}));
}

// The user adds the input method in the settings: the installation asks
// nothing of the list.
TEST_F(UserInputListCase, InstallationMakesNoCall)
{
    WriteList(filesDir_, NextWineLayoutName(), {kChinese}, kChinese);

    Run("/inst", {Outcome(Gbk(texts::kInstallSucceeded))});

    EXPECT_TRUE(Calls(filesDir_).empty());
    EXPECT_EQ(ListLines(filesDir_).size(), 2u);
}

// Only the system directory's input.dll is ever loaded: with the stand-in
// in the package folder instead, the removal runs as on Windows XP. (The
// planted-DLL case shows that a load by name would take it from there.)
TEST_F(UserInputListCase, WithoutInputDllInTheSystemDirectoryNothingIsCalled)
{
    RemoveStandIn(filesDir_);
    ASSERT_TRUE(CopyFileA((SuiteFolder() + "\\recording_input.dll").c_str(), PackagePath("input.dll").c_str(), FALSE));
    const std::string installed = PlaceInstallation();
    const std::string found = LayoutTheRemovalFinds(installed);
    WriteList(packageDir_, found, {kChinese, ItemOf(found)}, ItemOf(found));

    Run("", {Outcome(Gbk(texts::kUninstallSucceeded))});

    EXPECT_TRUE(Calls(packageDir_).empty());
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, LayoutPath(found)));
}

}  // namespace
}  // namespace e2e
