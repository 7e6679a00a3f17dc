// Removing a layout from the preload list, as values (NT family) and as
// subkeys (Windows 95 family), chosen by the platform's version.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "registration/registration.h"
#include "registration_fixture.h"

namespace registration_test {
namespace {

using Entries = std::map<int, std::string>;  // entry number -> layout text

const std::string A = "00000804";
const std::string B = "00000409";
const std::string C = "00000411";
const std::string D = "00000412";
const std::string X = "E0200804";  // the layout being removed

Entries Numbered(const std::vector<std::string>& texts)
{
    Entries entries;
    for (size_t i = 0; i < texts.size(); ++i) entries[static_cast<int>(i) + 1] = texts[i];
    return entries;
}

// Entries 1..count, each its own text except X at number match.
Entries LongList(int count, int match)
{
    Entries entries;
    for (int n = 1; n <= count; ++n) entries[n] = n == match ? X : "0000" + std::to_string(1000 + n);
    return entries;
}

// LongList with the match removed: entries above it move down, up to 100.
Entries LongListWithout(int count, int match)
{
    Entries entries;
    for (int n = 1; n <= count; ++n) {
        if (n == match) continue;
        const int number = n > match && n <= 100 ? n - 1 : n;
        entries[number] = "0000" + std::to_string(1000 + n);
    }
    return entries;
}

std::string Text(const sim::RegValue& value)
{
    return value.data.substr(0, value.data.find('\0'));
}

std::string EntryKey(int n)
{
    return std::string(kPreload) + "\\" + std::to_string(n);
}

class PreloadTest : public RegistrationTest {
protected:
    void SetUp() override
    {
        RegistrationTest::SetUp();
        sim::DeleteKeyTree(HKEY_CURRENT_USER, kPreload);
        sim::CreateKey(HKEY_CURRENT_USER, kPreload);
    }

    static void PutValues(const Entries& entries)
    {
        for (const auto& [n, text] : entries) sim::SetString(HKEY_CURRENT_USER, kPreload, std::to_string(n), text);
    }
    static void PutSubkeys(const Entries& entries)
    {
        for (const auto& [n, text] : entries) {
            sim::CreateKey(HKEY_CURRENT_USER, EntryKey(n));
            sim::SetString(HKEY_CURRENT_USER, EntryKey(n), "", text);
        }
    }
    static Entries Values()
    {
        Entries entries;
        for (const std::string& name : sim::ValueNames(HKEY_CURRENT_USER, kPreload)) {
            entries[std::stoi(name)] = Text(*sim::GetValue(HKEY_CURRENT_USER, kPreload, name));
        }
        return entries;
    }
    static Entries Subkeys()
    {
        Entries entries;
        for (const std::string& name : sim::SubKeyNames(HKEY_CURRENT_USER, kPreload)) {
            const auto text = sim::GetValue(HKEY_CURRENT_USER, std::string(kPreload) + "\\" + name, "");
            entries[std::stoi(name)] = text ? Text(*text) : "(no default value)";
        }
        return entries;
    }

    // As uninstallation calls it: on an object with the Preload key current.
    static bool Remove(const std::string& hklText)
    {
        MyRegistry::TRegistry preload;
        preload.SelectRoot(HKEY_CURRENT_USER);
        EXPECT_TRUE(preload.OpenKey("\\Keyboard Layout\\Preload\\", false));
        return RemoveFromPreload(preload, hklText);
    }
};

struct Case {
    const char* name;
    Entries before;
    std::string hklText;
    bool found;
    Entries after;
};
void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

const Case kCases[] = {
    {"MatchInTheMiddle", Numbered({A, X, B}), X, true, Numbered({A, B})},
    {"MatchIsTheLastEntry", Numbered({A, B, X}), X, true, Numbered({A, B})},
    {"MatchIsTheOnlyEntry", Numbered({X}), X, true, {}},
    {"EntriesAboveTheMatchMoveDown", Numbered({A, B, X, C, D}), X, true, Numbered({A, B, C, D})},
    {"LowerCaseTextMatches", Numbered({A, "e0200804", B}), X, true, Numbered({A, B})},
    {"TrailingBlankDoesNotMatch", Numbered({A, X + " "}), X, false, Numbered({A, X + " "})},
    {"OnlyTheFirstOfTwoMatchesGoes", Numbered({X, A, X}), X, true, Numbered({A, X})},
    {"GapEndsTheList", Entries{{1, A}, {2, B}, {4, X}}, X, false, Entries{{1, A}, {2, B}, {4, X}}},
    {"EmptyList", {}, X, false, {}},
    {"NoMatch", Numbered({A, B}), X, false, Numbered({A, B})},
    {"EntriesAbove100StayPut", LongList(102, 50), X, true, LongListWithout(102, 50)},
    {"MatchAbove100IsNotSeen", LongList(101, 101), X, false, LongList(101, 101)},
    {"BlankFilledTextMatchesNoLeadingZeros", Numbered({A, "00000804"}), "     804", false, Numbered({A, A})},
    {"BlankFilledTextMatchesItself", Numbered({B, "     804"}), "     804", true, Numbered({B})},
};

class PreloadCases : public PreloadTest, public ::testing::WithParamInterface<std::tuple<Case, sim::Family>> {};

TEST_P(PreloadCases, RemovesTheFirstMatchAndClosesTheGap)
{
    const auto& [c, family] = GetParam();
    sim::SetFamily(family);
    const bool values = family == sim::Family::NT;
    values ? PutValues(c.before) : PutSubkeys(c.before);

    EXPECT_EQ(Remove(c.hklText), c.found);
    EXPECT_EQ(values ? Values() : Subkeys(), c.after);
}

INSTANTIATE_TEST_SUITE_P(BothForms, PreloadCases,
                         ::testing::Combine(::testing::ValuesIn(kCases),
                                            ::testing::Values(sim::Family::NT, sim::Family::Win9x)),
                         [](const ::testing::TestParamInfo<std::tuple<Case, sim::Family>>& info) {
                             return std::string(std::get<0>(info.param).name) +
                                    (std::get<1>(info.param) == sim::Family::NT ? "_Values" : "_Subkeys");
                         });

TEST_F(PreloadTest, NtFamilyReadsValuesOnly)
{
    PutSubkeys(Numbered({A, X}));
    EXPECT_FALSE(Remove(X));
    EXPECT_EQ(Subkeys(), Numbered({A, X}));
}

TEST_F(PreloadTest, Windows95FamilyReadsSubkeysOnly)
{
    sim::SetFamily(sim::Family::Win9x);
    PutValues(Numbered({A, X}));
    EXPECT_FALSE(Remove(X));
    EXPECT_EQ(Values(), Numbered({A, X}));
}

class PreloadSubkeyTest : public PreloadTest {
protected:
    void SetUp() override
    {
        PreloadTest::SetUp();
        sim::SetFamily(sim::Family::Win9x);
    }

    // The opens of entry subkeys, newest last, of one removal run on the
    // current machine; the call numbers count from the start of the run.
    std::vector<int> OpenCallNumbers()
    {
        MarkCalls();
        Remove(X);
        std::vector<int> numbers;
        const std::vector<std::string> calls = CallsSinceMark();
        for (size_t i = 0; i < calls.size(); ++i) {
            if (calls[i] == "RegOpenKeyExA") numbers.push_back(static_cast<int>(i) + 1);
        }
        return numbers;
    }
};

TEST_F(PreloadSubkeyTest, OnlyTheDefaultValueMoves)
{
    PutSubkeys(Numbered({A, X, B}));
    for (int n = 1; n <= 3; ++n) sim::SetString(HKEY_CURRENT_USER, EntryKey(n), "Extra", "entry " + std::to_string(n));
    sim::CreateKey(HKEY_CURRENT_USER, EntryKey(3) + "\\Inner");

    EXPECT_TRUE(Remove(X));

    EXPECT_EQ(Subkeys(), Numbered({A, B}));
    EXPECT_EQ(Text(*sim::GetValue(HKEY_CURRENT_USER, EntryKey(1), "Extra")), "entry 1");
    EXPECT_EQ(Text(*sim::GetValue(HKEY_CURRENT_USER, EntryKey(2), "Extra")), "entry 2");
    EXPECT_FALSE(sim::KeyExists(HKEY_CURRENT_USER, EntryKey(3)));
}

// When an entry cannot be opened while the texts shift down, the text in hand
// would belong to no entry. It takes the place of the removed layout's text.
TEST_F(PreloadSubkeyTest, EntryThatCannotBeOpenedMidShiftLosesNoOtherLayout)
{
    const Entries before = Numbered({A, X, B, C, D});
    PutSubkeys(before);
    const std::vector<int> opens = OpenCallNumbers();  // ..., entry 4, entry 3, entry 2
    ASSERT_GE(opens.size(), 3u);

    SetUp();
    PutSubkeys(before);
    sim::FailCallNumber(opens[opens.size() - 2]);  // entry 3

    EXPECT_TRUE(Remove(X));
    EXPECT_EQ(Subkeys(), Numbered({A, C, B, D}));
}

TEST_F(PreloadSubkeyTest, MatchedEntryThatCannotBeOpenedMidShiftKeepsItsText)
{
    const Entries before = Numbered({A, X, B, C, D});
    PutSubkeys(before);
    const std::vector<int> opens = OpenCallNumbers();
    ASSERT_GE(opens.size(), 3u);

    SetUp();
    PutSubkeys(before);
    sim::FailCallNumber(opens.back());  // entry 2, the match

    EXPECT_TRUE(Remove(X));
    EXPECT_EQ(Subkeys(), Numbered({A, X, C, D}));
}

}  // namespace
}  // namespace registration_test
