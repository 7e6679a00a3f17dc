// FindFirstFileA and FindClose as the presence test uses them: the first
// match of a name that may be a pattern, its attributes, and the errors.
// Windows matches "?" and "*" with the rules of MS-DOS names (FindFirstFile
// hands them to the file system as the DOS wildcards of
// FsRtlIsNameInExpression); Wine 8 matches them as plain wildcards.
#include <string>
#include <vector>

#include "common/wine_deviation.h"
#include "platform/platform_test.h"
#include "support/unique_handle.h"

namespace {

// Every name the test puts in its folder. All are valid 8.3 names, so that a
// search that also looks at short names (Windows on 8.3 volumes, Wine) finds
// nothing more than one that does not.
const char* const kFiles[] = {"my.ime", "myx.ime", "myxy.ime", "my", "readme", "B.ime", "a.IME", "_z.ime", "ab.txt"};
const char kFolder[] = "Sub.ime";

struct Search {
    DWORD error = ERROR_SUCCESS;    // of FindFirstFileA; ERROR_SUCCESS when something matched
    std::vector<std::string> names;  // in the order found, "." and ".." left out
    std::string first;               // the first match, "." and ".." included
    DWORD firstAttributes = 0;
    FILETIME firstWriteTime{};
};

class FileSearchTest : public PlatformTest {
protected:
    void SetUp() override
    {
        PlatformTest::SetUp();
        for (const char* name : kFiles) ASSERT_TRUE(WriteBytes(Path(name), "x")) << name;
        ASSERT_TRUE(CreateDirectoryA(Path(kFolder).c_str(), nullptr));
    }

    // All matches of the pattern in the scratch folder (FindNextFileA is not
    // a call of the tool; it shows what the first match was chosen from).
    Search Find(const std::string& pattern) const { return FindExactly(Path(pattern)); }

    static Search FindExactly(const std::string& name)
    {
        Search result;
        WIN32_FIND_DATAA entry;
        SetLastError(0xDEADBEEF);
        UniqueFindHandle search(FindFirstFileA(name.c_str(), &entry));
        if (!search) {
            result.error = GetLastError();
            return result;
        }
        result.first = entry.cFileName;
        result.firstAttributes = entry.dwFileAttributes;
        result.firstWriteTime = entry.ftLastWriteTime;
        do {
            const std::string found = entry.cFileName;
            if (found != "." && found != "..") result.names.push_back(found);
        } while (FindNextFileA(search.get(), &entry));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_FILES)) << name;
        return result;
    }
};

using Names = std::vector<std::string>;

// Where Wine answers otherwise than Windows: the names one Wine version finds
// (measured: Debian 12's Wine 8.0, Debian 13's Wine 10.0) and the deviation.
struct WineAnswer {
    Names names;
    const char* deviation;
};

// Windows' answer on the host and on Windows. Under Wine, Windows' answer (a
// Wine that behaves as Windows names nothing) or a measured Wine answer,
// whose deviation is then named.
void ExpectAnswer(const std::string& what, const Names& found, const Names& windows,
                  const std::vector<WineAnswer>& wine)
{
    if (!RunningOnWine() || found == windows) {
        EXPECT_EQ(found, windows) << what;
        return;
    }
    for (const WineAnswer& answer : wine) {
        if (found == answer.names) {
            ReportWineDeviation(answer.deviation);
            return;
        }
    }
    ADD_FAILURE() << what << ": neither Windows' answer nor a measured Wine one: " << ::testing::PrintToString(found);
}

TEST_F(FileSearchTest, NamesAndPlainPatternsInSortedOrder)
{
    const Names all = {"a.IME", "ab.txt", "B.ime", "my", "my.ime",
                       "myx.ime", "myxy.ime", "readme", "Sub.ime", "_z.ime"};
    struct Case {
        const char* pattern;
        Names names;  // sorted by upper-cased name: '_' comes after the letters
    } cases[] = {
        {"my.ime", {"my.ime"}},
        {"MY.IME", {"my.ime"}},  // case aside; the name comes back as created
        {"*", all},
        {"*.*", all},  // also the names without a dot
        {"*.ime", {"a.IME", "B.ime", "my.ime", "myx.ime", "myxy.ime", "Sub.ime", "_z.ime"}},
        {"my.*", {"my", "my.ime"}},  // ".*" also takes "no extension"
        {"?.ime", {"a.IME", "B.ime"}},
        {"*x*", {"ab.txt", "myx.ime", "myxy.ime"}},
        {"readme.", {"readme"}},  // a final dot is not part of the name
    };
    for (const Case& c : cases) {
        const Search found = Find(c.pattern);
        EXPECT_EQ(found.error, static_cast<DWORD>(ERROR_SUCCESS)) << c.pattern;
        EXPECT_EQ(found.names, c.names) << c.pattern;
    }

    // Below a drive's root "." and ".." come first: "*" meets a folder first.
    const Search star = Find("*");
    EXPECT_EQ(star.first, ".");
    EXPECT_NE(star.firstAttributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
    // A folder matches by its name, marked as a folder.
    const Search folder = Find("sub.IME");
    EXPECT_EQ(folder.first, "Sub.ime");
    EXPECT_EQ(folder.firstAttributes & FILE_ATTRIBUTE_DIRECTORY, static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    const Search file = Find("B.IME");
    EXPECT_EQ(file.first, "B.ime");
    EXPECT_EQ(file.firstAttributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

TEST_F(FileSearchTest, WhatFindsNothing)
{
    struct Case {
        std::string name;
        DWORD error;
    } cases[] = {
        {Path("none.ime"), ERROR_FILE_NOT_FOUND},
        {Path("*.dll"), ERROR_FILE_NOT_FOUND},
        {Path("my\".ime"), ERROR_FILE_NOT_FOUND},  // a dot or nothing at the end: no name has "my..ime"
        {Path("NoFolder\\*.ime"), ERROR_PATH_NOT_FOUND},
        {Path("NoFolder\\my.ime"), ERROR_PATH_NOT_FOUND},
        {Path(""), ERROR_FILE_NOT_FOUND},  // the folder's name ending in a backslash
        {"", ERROR_PATH_NOT_FOUND},
    };
    for (const Case& c : cases) {
        const Search found = FindExactly(c.name);
        EXPECT_EQ(found.error, c.error) << "[" << c.name << "]";
        EXPECT_TRUE(found.first.empty()) << "[" << c.name << "]";
    }
    // The search is closed whether or not more matches were read.
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA(Path("*").c_str(), &entry);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(FindClose(search));
}

// "?" stands for one character or, before a dot or at the end of the name,
// for none: "my?.ime" finds "my.ime" (Microsoft's knowledge base article
// Q130860: Windows NT finds TEMP.TXT for "TEM?????.???"; FsRtlIsNameInExpression,
// DOS_QM). Wine 8 lets "?" take exactly one character; Wine 10 answers as
// Windows but for "*.?", where it finds every name.
TEST_F(FileSearchTest, QuestionMarkTakesNoCharacterBeforeADotOrAtTheEnd)
{
    const char* const takesOne = "FindFirstFileA: ? always takes one character (not none before a dot or at the end)";
    const Names all = {"a.IME", "ab.txt", "B.ime", "my", "my.ime", "myx.ime", "myxy.ime", "readme", "Sub.ime", "_z.ime"};
    struct Case {
        const char* pattern;
        Names windows;
        std::vector<WineAnswer> wine;
    } cases[] = {
        {"my?.ime", {"my.ime", "myx.ime"}, {{{"myx.ime"}, takesOne}}},
        {"my??.ime", {"my.ime", "myx.ime", "myxy.ime"}, {{{"myxy.ime"}, takesOne}}},
        {"??.ime", {"a.IME", "B.ime", "my.ime", "_z.ime"}, {{{"my.ime", "_z.ime"}, takesOne}}},
        {"my?", {"my"}, {{{}, takesOne}}},
        // A dot or nothing, then one character or none.
        {"*.?", {"my", "readme"}, {{{}, takesOne}, {all, "FindFirstFileA: *.? finds every name"}}},
        {"my>.ime", {"my.ime", "myx.ime"}, {{{"myx.ime"}, takesOne}}},  // '>' is that "?" itself
    };
    for (const Case& c : cases) ExpectAnswer(c.pattern, Find(c.pattern).names, c.windows, c.wine);
    // So a presence test of "my?.ime" is answered by my.ime on Windows.
    ExpectAnswer("the first match of my?.ime", {Find("my?.ime").first}, {"my.ime"}, {{{"myx.ime"}, takesOne}});
}

// A final dot after a star asks for the names without a dot ("*." is DOS_STAR
// alone, which stops before a name's last dot). Wine 8 drops the dot and
// finds every name; Wine 10 answers as Windows.
TEST_F(FileSearchTest, StarDotFindsTheNamesWithoutADot)
{
    const char* const dotIgnored = "FindFirstFileA: a final . after * is ignored, and < is no wildcard";
    ExpectAnswer("*.", Find("*.").names, {"my", "readme"},
                 {{{"a.IME", "ab.txt", "B.ime", "my", "my.ime", "myx.ime", "myxy.ime", "readme", "Sub.ime", "_z.ime"},
                   dotIgnored}});
    ExpectAnswer("m*.", Find("m*.").names, {"my"}, {{{"my", "my.ime", "myx.ime", "myxy.ime"}, dotIgnored}});
    // '<' is that DOS_STAR itself: a run that stops before the last dot.
    ExpectAnswer("my<", Find("my<").names, {"my"}, {{{}, dotIgnored}});
}

// A DOS device name is no file, yet the search finds it in any folder that
// exists: the device, with the archive attribute and no time at all (every
// time zero: Windows' FindFirstFileExW as ReactOS follows it, and Wine's).
// With no time it has no MS-DOS form either, so it counts as no file.
TEST_F(FileSearchTest, DeviceNameFindsTheDeviceWithoutATime)
{
    for (const char* device : {"CON", "nul", "COM1"}) {
        SCOPED_TRACE(device);
        const Search found = Find(device);
        ASSERT_EQ(found.error, static_cast<DWORD>(ERROR_SUCCESS));
        EXPECT_EQ(found.first, device);
        EXPECT_EQ(found.firstAttributes, static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
        EXPECT_EQ(found.firstWriteTime.dwLowDateTime, 0u);
        EXPECT_EQ(found.firstWriteTime.dwHighDateTime, 0u);
        EXPECT_EQ(found.names, Names({device}));
    }
    EXPECT_EQ(Find("missing\\CON").error, static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

}  // namespace
