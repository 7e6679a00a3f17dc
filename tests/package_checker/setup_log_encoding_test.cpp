// How setup.log was saved, what Windows' profile reader loses to a UTF-8 byte
// order mark, and the checker's own UTF-8 and UTF-16 conversions.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "package_checker/setup_log_encoding.h"
#include "package_checker/text_forms.h"

namespace {

const std::string kMark = "\xEF\xBB\xBF";
const std::string kGbkName = "\xB2\xE2\xCA\xD4";   // "测试" in code page 936
const std::string kUtf8Name = "\xE6\xB5\x8B\xE8\xAF\x95";  // "测试" in UTF-8

TEST(SetupLogEncoding, IsToldByItsMarkOrItsBytes)
{
    const struct {
        const char* name;
        std::string bytes;
        TextEncoding expected;
    } rows[] = {
        {"ascii", "[ImePram]\r\nImeName=x\r\n", TextEncoding::Ascii},
        {"empty", "", TextEncoding::Ascii},
        {"gbk", "ImeName=" + kGbkName, TextEncoding::Ansi},
        {"utf8", "ImeName=" + kUtf8Name, TextEncoding::Utf8},  // in gbk valid too: 娴嬭瘯, rare characters
        {"utf8 cut in a character", "ImeName=" + kUtf8Name.substr(0, 4), TextEncoding::Ansi},
        {"overlong utf8 is no utf8", "ImeName=\xC0\xAF", TextEncoding::Ansi},
        {"utf8 surrogate is no utf8", "ImeName=\xED\xA0\x80", TextEncoding::Ansi},
        {"overlong three-byte utf8 is no utf8", "ImeName=\xE0\x9F\xBF", TextEncoding::Ansi},
        {"a byte 0x80 is no ascii", "ImeName=\x80", TextEncoding::Ansi},
        // Valid both ways: what each reading gives decides.
        {"common Chinese in gbk, Cyrillic in utf8", "ImeName=\xD0\xA1\xD0\xA1", TextEncoding::Ansi},  // 小小, СС
        {"a Chinese character in gbk, a Latin letter in utf8", "ImeName=Caf\xC3\xA9", TextEncoding::AnsiOrUtf8},
        {"rare characters in gbk, Cyrillic in utf8", "ImeName=\xD0\xA0\xD1\x83", TextEncoding::AnsiOrUtf8},
        {"rare characters in gbk, a multiplication sign in utf8", "ImeName=\xC3\x97", TextEncoding::AnsiOrUtf8},
        {"rare characters in gbk, kana in utf8", "ImeName=\xE3\x81\x82\xE3\x81\x82", TextEncoding::Utf8},  // ああ
        {"utf8 with mark", kMark + "[ImePram]", TextEncoding::Utf8WithMark},
        {"utf16le", std::string("\xFF\xFE[\0", 4), TextEncoding::Utf16LeWithMark},
        {"utf16be", std::string("\xFE\xFF\0[", 4), TextEncoding::Utf16BeWithMark},
        {"utf16le without mark", std::string("[\0I\0", 4), TextEncoding::ZeroBytes},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(DetectTextEncoding(row.bytes), row.expected) << row.name;
    }
}

TEST(SetupLogEncoding, MarkLosesTheKeysUnderASectionHeaderOnTheFirstLine)
{
    using Keys = std::vector<std::string>;
    const struct {
        const char* name;
        std::string bytes;
        Keys lost;
    } rows[] = {
        {"header first", kMark + "[ImePram]\r\nImeFile=a.ime\r\nMbFile=a.mb\r\nImeName=x\r\n",
         Keys{"ImeFile", "MbFile", "ImeName"}},
        {"header in other case, LF only, blanks", kMark + "  [imepram] \nimefile = a.ime\nIMENAME=x",
         Keys{"ImeFile", "ImeName"}},
        {"header without its bracket", kMark + "[ImePram\r\nMbFile=a.mb\r\n", Keys{"MbFile"}},
        {"comment first", kMark + "; package\r\n[ImePram]\r\nImeFile=a.ime\r\n", Keys{}},
        {"blank line first", kMark + "\r\n[ImePram]\r\nImeFile=a.ime\r\n", Keys{}},
        {"other section first", kMark + "[Other]\r\nImeFile=a.ime\r\n[ImePram]\r\nMbFile=a.mb\r\n", Keys{}},
        {"keys given again further down", kMark + "[ImePram]\r\nImeFile=a\r\nImeName=x\r\n[ImePram]\r\nImeName=y\r\n",
         Keys{"ImeFile"}},
        {"keys of another section after the spoilt one",
         kMark + "[ImePram]\r\nImeFile=a\r\n[Other]\r\nMbFile=b\r\n", Keys{"ImeFile"}},
        // Windows reads the first intact section alone, not a third one.
        {"keys given again in a third section",
         kMark + "[ImePram]\r\nImeFile=a\r\nImeName=x\r\n[ImePram]\r\nImeName=y\r\n[ImePram]\r\nImeFile=b\r\n",
         Keys{"ImeFile"}},
        {"no mark", "[ImePram]\r\nImeFile=a.ime\r\n", Keys{}},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(KeysLostToByteOrderMark(row.bytes), row.lost) << row.name;
    }
}

TEST(SetupLogEncoding, PlaceOfAKeyAsWindowsReadsTheFile)
{
    const struct {
        const char* name;
        std::string bytes;
        KeyPlace place;
    } rows[] = {
        {"first section", "[ImePram]\r\nImeFile=a\r\n[ImePram]\r\nImeFile=b\r\n", KeyPlace::FirstSection},
        {"second section only", "[ImePram]\r\nMbFile=a\r\n[ImePram]\r\nImeFile=b\r\n", KeyPlace::LaterSection},
        {"other section", "[Other]\r\nImeFile=a\r\n", KeyPlace::Nowhere},
        {"under the spoilt header", kMark + "[ImePram]\r\nImeFile=a\r\n", KeyPlace::SpoiltSection},
        {"behind the mark, in the first intact section",
         kMark + "[ImePram]\r\nMbFile=a\r\n[ImePram]\r\nImeFile=b\r\n", KeyPlace::FirstSection},
        {"behind the mark, in the second intact section",
         kMark + "[ImePram]\r\nImeFile=a\r\n[ImePram]\r\nMbFile=b\r\n[ImePram]\r\nImeFile=c\r\n",
         KeyPlace::LaterSection},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(PlaceOfKey(row.bytes, "ImeFile"), row.place) << row.name;
    }
}

TEST(SetupLogEncoding, ValueInFileIsTheFirstOneOfTheFirstSection)
{
    const struct {
        const char* name;
        std::string bytes;
        std::optional<std::string> value;
    } rows[] = {
        {"plain", "[ImePram]\r\nImeFile=a.ime\r\n", "a.ime"},
        {"blanks, quotes and case", "[imepram]\nimefile = \"a b.ime\" \n", "a b.ime"},
        {"tabs", "\t[ImePram]\t\n\tImeFile\t=\ta.ime\t\n", "a.ime"},
        {"single quotes", "[ImePram]\nImeFile='a b.ime'\n", "a b.ime"},
        {"two quotes", "[ImePram]\nImeFile=\"\"\n", ""},
        {"one quote", "[ImePram]\nImeFile=\"\n", "\""},
        {"the first of two", "[ImePram]\nImeFile=a\nImeFile=b\n", "a"},
        // The mark spoils the header on the first line: Windows reads the next intact one.
        {"behind a mark", kMark + "[ImePram]\nImeFile=" + kUtf8Name + "\n", std::nullopt},
        {"behind a mark, the next section", kMark + "[ImePram]\nImeFile=a\n[ImePram]\nImeFile=b\n", "b"},
        {"in another section", "[Other]\nImeFile=a\n", std::nullopt},
        {"before any section", "ImeFile=a\n[ImePram]\n", std::nullopt},
        {"in a second ImePram section", "[ImePram]\nMbFile=b\n[ImePram]\nImeFile=a\n", std::nullopt},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ValueInFile(row.bytes, "ImeFile"), row.value) << row.name;
    }
}

TEST(TextForms, Utf8AndUtf16ConvertBothWaysAndReplaceWhatIsNotText)
{
    const struct {
        const char* name;
        std::string utf8;
        std::u16string utf16;
    } rows[] = {
        {"ascii", "ImeName", u"ImeName"},
        {"chinese", kUtf8Name, u"\u6D4B\u8BD5"},
        {"the last of two bytes", "\xDF\xBF", u"\u07FF"},
        {"the first of three bytes", "\xE0\xA0\x80", u"\u0800"},
        {"beyond the basic plane", "\xF0\x9F\x98\x80", u"\U0001F600"},
        {"the last character", "\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(Utf16FromUtf8(row.utf8), row.utf16) << row.name;
        EXPECT_EQ(Utf8FromUtf16(row.utf16), row.utf8) << row.name;
    }
    EXPECT_EQ(Utf16FromUtf8("a\xB2\xE2z"), u"a\uFFFD\uFFFDz");
    EXPECT_EQ(Utf8FromUtf16(u"a\xD800z"), "a\xEF\xBF\xBDz");
}

TEST(TextForms, ValuesAreShownAsCodePage936WithTheirBytes)
{
    EXPECT_EQ(ShownGbkValue("my.ime"), "\"my.ime\"");
    EXPECT_EQ(ShownGbkValue("a\tb\x1F \x7F~"), "\"a\\x09b\\x1F \\x7F~\"");
    EXPECT_EQ(ShownGbkValue(kGbkName), "\"" + kUtf8Name + "\" [B2 E2 CA D4]");
    const std::string lone = ShownGbkValue("a\xB2");  // a lead byte without its trail byte
    EXPECT_EQ(lone.substr(0, 2), "\"a");
    const std::string tail = "\" [61 B2, not valid GBK]";
    ASSERT_GT(lone.size(), tail.size());
    EXPECT_EQ(lone.substr(lone.size() - tail.size()), tail);
}

}  // namespace
