// Removing a layout from the preload list, as values (NT family) and as
// subkeys (Windows 95 family), chosen by the platform's version.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
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
    {"MatchAtEntry100IsRemoved", LongList(101, 100), X, true, LongListWithout(101, 100)},
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
    MarkCalls();

    EXPECT_EQ(Remove(c.hklText), c.found);
    EXPECT_EQ(values ? Values() : Subkeys(), c.after);
    EXPECT_FALSE(Called("RegCreateKeyExA")) << "the edit creates no key";
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

TEST_F(PreloadTest, OnlyTheDefaultValueMoves)
{
    sim::SetFamily(sim::Family::Win9x);
    PutSubkeys(Numbered({A, X, B}));
    for (int n = 1; n <= 3; ++n) sim::SetString(HKEY_CURRENT_USER, EntryKey(n), "Extra", "entry " + std::to_string(n));
    sim::CreateKey(HKEY_CURRENT_USER, EntryKey(3) + "\\Inner");

    EXPECT_TRUE(Remove(X));

    EXPECT_EQ(Subkeys(), Numbered({A, B}));
    EXPECT_EQ(Text(*sim::GetValue(HKEY_CURRENT_USER, EntryKey(1), "Extra")), "entry 1");
    EXPECT_EQ(Text(*sim::GetValue(HKEY_CURRENT_USER, EntryKey(2), "Extra")), "entry 2");
    EXPECT_FALSE(sim::KeyExists(HKEY_CURRENT_USER, EntryKey(3)));
}

// The edit does not look at whether its writes and deletions worked, so a
// failing call may leave the layout's entry, a gap or a text twice. It never
// loses another entry's text: each is still stored under the Preload key, as
// often as before.
class PreloadFaultTest : public PreloadTest, public ::testing::WithParamInterface<sim::Family> {
protected:
    void Put(const std::vector<std::string>& texts)
    {
        sim::SetFamily(GetParam());
        GetParam() == sim::Family::NT ? PutValues(Numbered(texts)) : PutSubkeys(Numbered(texts));
    }

    // Every text stored under the Preload key, in sorted order.
    std::vector<std::string> Stored() const
    {
        std::vector<std::string> texts;
        for (const auto& entry : GetParam() == sim::Family::NT ? Values() : Subkeys()) texts.push_back(entry.second);
        std::sort(texts.begin(), texts.end());
        return texts;
    }

    // The edit with its call number k failing (0: none); the number of calls it made.
    static int RemoveFailing(int k)
    {
        MyRegistry::TRegistry preload;
        preload.SelectRoot(HKEY_CURRENT_USER);
        EXPECT_TRUE(preload.OpenKey("\\Keyboard Layout\\Preload\\", false));
        const int before = sim::CallCount();
        sim::FailCallNumber(k);
        RemoveFromPreload(preload, X);
        return sim::CallCount() - before;
    }
};

TEST_P(PreloadFaultTest, NoFailingCallLosesAnotherEntry)
{
    const std::vector<std::string> texts = {A, X, B, C, X, D};
    std::vector<std::string> kept = {A, B, C, X, D};  // the first match goes
    std::sort(kept.begin(), kept.end());

    Put(texts);
    const int calls = RemoveFailing(0);
    const std::vector<std::string> clean = Stored();
    ASSERT_EQ(clean, kept);

    int damaged = 0;
    for (int k = 1; k <= calls; ++k) {
        SCOPED_TRACE("call " + std::to_string(k) + " of " + std::to_string(calls) + " fails");
        SetUp();
        Put(texts);
        RemoveFailing(k);
        const std::vector<std::string> stored = Stored();
        std::vector<std::string> lost;
        std::set_difference(kept.begin(), kept.end(), stored.begin(), stored.end(), std::back_inserter(lost));
        EXPECT_TRUE(lost.empty()) << "lost " << ::testing::PrintToString(lost);
        if ((GetParam() == sim::Family::NT ? Values() : Subkeys()) != Numbered({A, B, C, X, D})) ++damaged;
    }
    // The canary: failing calls do reach the edit and change what it leaves.
    EXPECT_GT(damaged, 0);
}

INSTANTIATE_TEST_SUITE_P(BothForms, PreloadFaultTest, ::testing::Values(sim::Family::NT, sim::Family::Win9x),
                         [](const ::testing::TestParamInfo<sim::Family>& info) {
                             return std::string(info.param == sim::Family::NT ? "Values" : "Subkeys");
                         });

}  // namespace
}  // namespace registration_test
