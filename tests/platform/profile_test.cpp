// GetPrivateProfileStringA over the profile syntax a setup.log may hold, as
// the tool calls it: a section, a key, a default and a buffer of 2048 bytes.
// Where Wine reads a file otherwise than Windows does, a row carries Wine's
// answer and the name of the difference, which the row reports under Wine.
#include <string>

#include "common/utf16_file.h"
#include "common/wine_deviation.h"
#include "platform/platform_test.h"

namespace {

struct Read {
    DWORD count;
    std::string text;
};

// The value as the tool reads it; the buffer past the copied text must hold
// the terminating zero.
Read ReadValue(const std::string& file, const char* section, const char* key, const char* def = "dflt",
               DWORD size = 2048)
{
    std::string buffer(size + 1, '\x7F');
    const DWORD count = GetPrivateProfileStringA(section, key, def, &buffer[0], size, file.c_str());
    EXPECT_LT(count, size) << section << "/" << key;
    if (count >= size) return {count, std::string()};
    EXPECT_EQ(buffer[count], '\0') << section << "/" << key;
    return {count, buffer.substr(0, count)};
}

const char kArgumentBlanks[] =
    "GetPrivateProfileStringA: tabs and vertical tabs around the section and key asked for are dropped";
const char kHeaderBrackets[] =
    "GetPrivateProfileStringA: a header's name runs to its last ']', and a line without one is no header";
const char kUtf8Mark[] = "GetPrivateProfileStringA: a UTF-8 byte order mark is skipped";
const char kUtf16BigEndian[] = "GetPrivateProfileStringA: a UTF-16BE file is read as Unicode";
const char kLongValues[] = "GetPrivateProfileStringA: a value of 65536 characters or more is read whole";

struct Case {
    const char* section;
    const char* key;
    const char* def;
    const char* value;                // Windows' answer, and the simulation's
    const char* wineValue = nullptr;  // Wine's answer where it differs,
    const char* deviation = nullptr;  // and the difference
};

class ProfileTest : public PlatformTest {
protected:
    void Check(const std::string& file, const Case* begin, const Case* end)
    {
        for (const Case* c = begin; c != end; ++c) {
            const bool wine = RunningOnWine() && c->wineValue != nullptr;
            const std::string expected = wine ? c->wineValue : c->value;
            const Read read = ReadValue(file, c->section, c->key, c->def);
            EXPECT_EQ(read.text, expected) << "[" << c->section << "] " << c->key;
            EXPECT_EQ(read.count, expected.size()) << "[" << c->section << "] " << c->key;
            if (wine) ReportWineDeviation(c->deviation);
        }
    }
};

TEST_F(ProfileTest, SyntaxOfNamesValuesCommentsAndDuplicates)
{
    const std::string file = Path("setup.log");
    ASSERT_TRUE(WriteBytes(file,
                           "; written by the IME's maker\r\n"
                           "[ImePram]\r\n"
                           "ImeFile=first.ime\r\n"
                           "  MbFile \t=\t table.mb  \r\n"
                           "imefile=second.ime\r\n"
                           "Quoted=\"  spaced  \"\r\n"
                           "Single='x'\r\n"
                           "Half=\"x\r\n"
                           "Mixed=\"x'\r\n"
                           "Twice=\"\"x\"\"\r\n"
                           "Inner=a\"b\"c\r\n"
                           "Equals==x=y\r\n"
                           "Empty=\r\n"
                           "NoEquals\r\n"
                           ";ImeName=commented out\r\n"
                           "\r\n"
                           "[ Other ]\r\n"
                           "Key=other section\r\n"
                           "[imepram]\r\n"
                           "ImeName=from the second section\r\n"
                           "[Tail] ignored\r\n"
                           "Key=after a header with text behind it\r\n"
                           "\v[\vVertical\v]\r\n"
                           "\vKey\v=\vvertical tab\v\r\n"
                           "[Closed]x]\r\n"
                           "Key=up to the first bracket\r\n"
                           "[Unclosed  \r\n"
                           "Key=no closing bracket\r\n"));
    const Case cases[] = {
        {"ImePram", "ImeFile", "0", "first.ime"},  // the first of two equal keys
        {"IMEPRAM", "IMEFILE", "0", "first.ime"},  // names without case
        {"ImePram", "MbFile", "0", "table.mb"},    // blanks and tabs around names and values
        {"  ImePram ", " MbFile  ", "0", "table.mb"},  // blanks around the arguments are dropped, tabs are not
        {"ImePram\t", "MbFile", "0", "0", "table.mb", kArgumentBlanks},
        {"ImePram", "\tMbFile", "0", "0", "table.mb", kArgumentBlanks},
        {"ImePram", "MbFile\v", "0", "0", "table.mb", kArgumentBlanks},
        {"ImePram", "Quoted", "0", "  spaced  "},  // one pair of quotes comes off
        {"ImePram", "Single", "0", "x"},
        {"ImePram", "Half", "0", "\"x"},
        {"ImePram", "Mixed", "0", "\"x'"},
        {"ImePram", "Twice", "0", "\"x\""},
        {"ImePram", "Inner", "0", "a\"b\"c"},
        {"ImePram", "Equals", "0", "=x=y"},
        {"ImePram", "Empty", "0", ""},       // key=: the empty text, not the default
        {"ImePram", "NoEquals", "0", "0"},   // a line without '=' is no key
        {"ImePram", "ImeName", "0", "0"},    // commented out; a later equal section is not read
        {"Other", "Key", "0", "other section"},
        {"Tail", "Key", "0", "after a header with text behind it"},
        {"Vertical", "Key", "0", "vertical tab"},  // the vertical tab is a blank too
        {"Closed", "Key", "0", "up to the first bracket", "0", kHeaderBrackets},
        {"Closed]x", "Key", "0", "0", "up to the first bracket", kHeaderBrackets},
        {"Unclosed", "Key", "0", "no closing bracket", "0", kHeaderBrackets},
        {"Missing", "ImeFile", "0", "0"},
        {"ImePram", "Missing", "0", "0"},
        {"ImePram", "Missing", "0  ", "0"},  // the default loses its trailing blanks
        {"ImePram", "Missing", " 0", " 0"},
        {"ImePram", "Missing", "", ""},
    };
    Check(file, std::begin(cases), std::end(cases));
    const Case missingFile[] = {{"ImePram", "ImeFile", "0", "0"}};
    Check(Path("none.log"), std::begin(missingFile), std::end(missingFile));
}

TEST_F(ProfileTest, LineEndsZeroBytesAndLongValues)
{
    static const char kZeroInValue[] = "[ImePram]\r\nImeFile=before\0after\r\nImeName=next line\r\n";
    struct File {
        const char* name;
        std::string bytes;
    } files[] = {
        {"lf.log", "[ImePram]\nImeFile=lf.ime\nImeName=LF\n"},
        {"cr.log", "[ImePram]\rImeFile=cr.ime\rImeName=CR\r"},
        {"mixed.log", "[ImePram]\r\nImeFile=mixed.ime\nImeName=mixed\r"},
        {"noend.log", "[ImePram]\r\nImeFile=noend.ime\r\nImeName=no end"},
        {"zero.log", std::string(kZeroInValue, sizeof kZeroInValue - 1)},
    };
    const char* expectedFile[] = {"lf.ime", "cr.ime", "mixed.ime", "noend.ime", "before"};
    const char* expectedName[] = {"LF", "CR", "mixed", "no end", "next line"};
    for (size_t i = 0; i < std::size(files); ++i) {
        const std::string path = Path(files[i].name);
        ASSERT_TRUE(WriteBytes(path, files[i].bytes));
        const Case cases[] = {{"ImePram", "ImeFile", "0", expectedFile[i]},
                              {"ImePram", "ImeName", "0", expectedName[i]}};
        Check(path, std::begin(cases), std::end(cases));
    }

    // A value of 3000 characters arrives as its first 2047.
    const std::string path = Path("long.log");
    const std::string value(3000, 'v');
    ASSERT_TRUE(WriteBytes(path, "[ImePram]\r\nImeName=" + value + "\r\n"));
    const Read read = ReadValue(path, "ImePram", "ImeName");
    EXPECT_EQ(read.count, 2047u);
    EXPECT_EQ(read.text, value.substr(0, 2047));

    // A value's length is counted in 16 bits: from 65536 characters on, what
    // arrives is its first (length modulo 65536) characters.
    const struct {
        size_t length;
        size_t arrives;
    } huge[] = {{65535, 2047}, {65536, 0}, {65537, 1}, {65536 + 3000, 2047}};
    const bool wine = RunningOnWine();
    for (const auto& h : huge) {
        ASSERT_TRUE(WriteBytes(path, "[ImePram]\r\nImeName=" + std::string(h.length, 'v') + "\r\n"));
        const size_t expected = wine ? 2047 : h.arrives;
        const Read hugeRead = ReadValue(path, "ImePram", "ImeName");
        EXPECT_EQ(hugeRead.count, expected) << h.length;
        EXPECT_EQ(hugeRead.text, std::string(expected, 'v')) << h.length;
    }
    if (wine) ReportWineDeviation(kLongValues);
}

// A UTF-16LE file with its mark is read as Unicode, and the values arrive in
// the ANSI code page. A UTF-8 mark is three bytes of the first line, so a
// header there is no header; a UTF-16BE file is no profile at all.
TEST_F(ProfileTest, ByteOrderMarks)
{
    ASSERT_EQ(GetACP(), 936u);
    struct File {
        const char* name;
        std::string bytes;
    } files[] = {
        // 中文, 输入法
        {"utf16le.log", Utf16WithMark(u"[ImePram]\r\nImeFile=\u4E2D\u6587.ime\r\n ImeName = \u8F93\u5165\u6CD5 \r\n")},
        {"utf8.log", "\xEF\xBB\xBF[ImePram]\r\nImeFile=first line\r\n[ImePram]\r\nImeName=second header\r\n"},
        {"utf16be.log", Utf16WithMark(u"[ImePram]\r\nImeFile=big.ime\r\nImeName=big endian\r\n", /*bigEndian=*/true)},
    };
    const Case cases[][2] = {
        {{"ImePram", "ImeFile", "0", "\xD6\xD0\xCE\xC4.ime"}, {"ImePram", "ImeName", "0", "\xCA\xE4\xC8\xEB\xB7\xA8"}},
        {{"ImePram", "ImeFile", "0", "0", "first line", kUtf8Mark},
         {"ImePram", "ImeName", "0", "second header", "0", kUtf8Mark}},
        {{"ImePram", "ImeFile", "0", "0", "big.ime", kUtf16BigEndian},
         {"ImePram", "ImeName", "0", "0", "big endian", kUtf16BigEndian}},
    };
    for (size_t i = 0; i < std::size(files); ++i) {
        const std::string path = Path(files[i].name);
        ASSERT_TRUE(WriteBytes(path, files[i].bytes));
        Check(path, std::begin(cases[i]), std::end(cases[i]));
    }
}

// Bytes of code page 936 pass unchanged, in names and values, trail bytes
// that look like '\', ']' or '[' included.
TEST_F(ProfileTest, CodePage936Bytes)
{
    const std::string section = "\xCA\xE4\xC8\xEB";              // 输入
    const std::string key = "\xBC\xFC\xD5\x5D";                  // 键 and a character whose trail byte is ']'
    const std::string value = "\xB2\xE2\xCA\xD4\xC4\x5C\xB7\xA8";  // 测试, a trail byte '\', 法
    const std::string name = "\xCA\xE4\xC8\xEB\xB7\xA8 \x95\x5B";  // 输入法, a blank, a trail byte '['
    const std::string path = Path("gbk.log");
    ASSERT_TRUE(WriteBytes(path, "[" + section + "]\r\n" + key + "=" + value + "\r\n[ImePram]\r\nImeName=" + name +
                                     "\r\nImeFile=\xD6\xD0\xCE\xC4.ime\r\n"));
    EXPECT_EQ(ReadValue(path, section.c_str(), key.c_str()).text, value);
    EXPECT_EQ(ReadValue(path, "ImePram", "ImeName").text, name);
    EXPECT_EQ(ReadValue(path, "ImePram", "ImeFile").text, "\xD6\xD0\xCE\xC4.ime");
}

}  // namespace
