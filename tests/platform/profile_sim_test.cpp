// Profile reading over the simulated files, as GetPrivateProfileStringA reads.
#include <gtest/gtest.h>

#include <string>

#include "common/clean_machine_fixture.h"
#include "common/utf16_file.h"
#include "platform/win32.h"

namespace {

class SimProfileTest : public CleanMachineTest {
protected:
    void SetUp() override
    {
        CleanMachineTest::SetUp();
        sim::PutFile("C:\\SETUP\\setup.log",
                     "; a comment line\r\n"
                     "orphan=before any section\r\n"
                     "[ImePram]\r\n"
                     "ImeFile=first.ime\r\n"
                     "  MbFile \t=\t table.mb  \r\n"
                     "imefile=second.ime\r\n"
                     "Quoted=\"  spaced  \"\r\n"
                     "Single='x'\r\n"
                     "Half=\"x\r\n"
                     "Empty=\r\n"
                     "NoEquals\r\n"
                     ";ImeName=commented\r\n"
                     "[ Other ]\n"
                     "Key=lf line\n"
                     "[imepram]\r\n"
                     "ImeName=from the second section\r\n");
    }

    static std::string Read(const char* section, const char* key, const char* def = "dflt",
                            const char* file = "C:\\SETUP\\setup.log", DWORD size = 2048, DWORD* count = nullptr)
    {
        std::string buffer(size + 1, '\x7F');
        DWORD n = GetPrivateProfileStringA(section, key, def, &buffer[0], size, file);
        if (count) *count = n;
        EXPECT_EQ(buffer[n], '\0');
        return buffer.substr(0, n);
    }
};

TEST_F(SimProfileTest, NamesValuesAndDefaults)
{
    EXPECT_EQ(Read("imepram", "IMEFILE"), "first.ime");  // first duplicate wins
    EXPECT_EQ(Read(" ImePram ", " MbFile "), "table.mb");  // only spaces go from the arguments
    EXPECT_EQ(Read("ImePram", "Quoted"), "  spaced  ");
    EXPECT_EQ(Read("ImePram", "Single"), "x");
    EXPECT_EQ(Read("ImePram", "Half"), "\"x");
    EXPECT_EQ(Read("ImePram", "Empty"), "");
    EXPECT_EQ(Read("Other", "key"), "lf line");

    EXPECT_EQ(Read("ImePram", "NoEquals"), "dflt");
    EXPECT_EQ(Read("ImePram", "ImeName"), "dflt");  // commented out; later equal sections are not read
    EXPECT_EQ(Read("ImePram", "orphan"), "dflt");
    EXPECT_EQ(Read("Missing", "ImeFile"), "dflt");
    EXPECT_EQ(Read("ImePram", "ImeFile", "dflt", "C:\\SETUP\\none.log"), "dflt");
    EXPECT_EQ(Read("ImePram", "ImeFile", "0  "), "first.ime");
    EXPECT_EQ(Read("ImePram", "Missing", "0 \t  "), "0 \t");  // only trailing blanks go
    EXPECT_EQ(Read("ImePram", "Missing", nullptr), "");
}

TEST_F(SimProfileTest, TruncationAndBytes)
{
    const std::string value(3000, 'v');
    sim::PutFile("C:\\long.ini", "[s]\nk=" + value + "\n");
    DWORD count = 0;
    EXPECT_EQ(Read("s", "k", "", "C:\\long.ini", 2048, &count), value.substr(0, 2047));
    EXPECT_EQ(count, 2047u);
    EXPECT_EQ(Read("s", "k", "", "C:\\long.ini", 1), "");

    // Bytes of another code page come back as they are.
    const std::string gbk = "\xD6\xD0\xCE\xC4\x5C\x80\xFF";
    sim::PutFile("C:\\gbk.ini", "[s]\r\nk=" + gbk + "\r\n");
    EXPECT_EQ(Read("s", "k", "", "C:\\gbk.ini"), gbk);
    sim::SetCodePage(1252);
    EXPECT_EQ(Read("s", "k", "", "C:\\gbk.ini"), gbk);

    // The reader hands back a text: a zero byte in the file ends the value.
    sim::PutFile("C:\\zero.ini", std::string("[s]\r\nk=before\0after\r\n", 21));
    EXPECT_EQ(Read("s", "k", "", "C:\\zero.ini", 2048, &count), "before");
    EXPECT_EQ(count, 6u);
}

// A UTF-16LE file's text arrives in whatever code page the machine uses, a
// character the page lacks as '?'. A value too long for the buffer is cut
// before a double-byte character that does not fit whole (Wine 8 answers
// 2047 for this one, its last byte never written).
TEST_F(SimProfileTest, UnicodeFilesInTheMachinesCodePage)
{
    // 中文, é, a Thai letter, a character beyond the first plane, a lone surrogate
    sim::PutFile("C:\\u16.ini", Utf16WithMark(u"[s]\r\nk=\u4E2D\u6587 \u00E9 \u0E01 \U0001F600 \xD800!\r\n"));
    EXPECT_EQ(Read("s", "k", "", "C:\\u16.ini"), "\xD6\xD0\xCE\xC4 \xA8\xA6 ? ? ?!");
    sim::SetCodePage(1252);
    EXPECT_EQ(Read("s", "k", "", "C:\\u16.ini"), "?? \xE9 ? ? ?!");
    sim::SetCodePage(936);

    std::string zhong1023;
    for (int i = 0; i < 1023; ++i) zhong1023 += "\xD6\xD0";
    sim::PutFile("C:\\long16.ini", Utf16WithMark(u"[s]\r\nk=" + std::u16string(3000, u'\u4E2D') + u"\r\n"));
    DWORD count = 0;
    EXPECT_EQ(Read("s", "k", "", "C:\\long16.ini", 2048, &count), zhong1023);
    EXPECT_EQ(count, 2046u);
    EXPECT_EQ(Read("s", "k", "", "C:\\long16.ini", 4, &count), "\xD6\xD0");
    EXPECT_EQ(count, 2u);
}

// A header's name ends at its first ']', but not at a trail byte that looks
// like one: in code page 936 D5 5D is one character (as Wine 8 reads it too).
TEST_F(SimProfileTest, HeaderNamesEndAtAWholeBracket)
{
    sim::PutFile("C:\\dbcs.ini", "[\xD5\x5D\xB5\xC4]\r\nk=double-byte name\r\n");
    EXPECT_EQ(Read("\xD5\x5D\xB5\xC4", "k", "", "C:\\dbcs.ini"), "double-byte name");
    sim::SetCodePage(1252);
    EXPECT_EQ(Read("\xD5", "k", "", "C:\\dbcs.ini"), "double-byte name");
}

TEST_F(SimProfileTest, WhereTheFileIsLookedFor)
{
    sim::SetCurrentDirectory("C:\\SETUP");
    EXPECT_EQ(Read("ImePram", "ImeFile", "dflt", ".\\setup.log"), "first.ime");
    // A bare name is looked for in the Windows directory, not the current one.
    EXPECT_EQ(Read("ImePram", "ImeFile", "dflt", "setup.log"), "dflt");
    sim::PutFile("C:\\WINDOWS\\setup.log", "[ImePram]\nImeFile=windows.ime\n");
    EXPECT_EQ(Read("ImePram", "ImeFile", "dflt", "setup.log"), "windows.ime");

    // A file held without read sharing cannot be read.
    int hold = sim::HoldFile("C:\\SETUP\\setup.log", 0);
    EXPECT_EQ(Read("ImePram", "ImeFile"), "dflt");
    sim::ReleaseFile(hold);
}

TEST_F(SimProfileTest, NamesListedForANullSectionOrKey)
{
    std::string buffer(64, '\x7F');
    DWORD n = GetPrivateProfileStringA("ImePram", nullptr, "", &buffer[0], 64, "C:\\SETUP\\setup.log");
    EXPECT_EQ(n, 48u);  // the line without '=' is no key
    EXPECT_EQ(buffer.substr(0, 49), std::string("ImeFile\0MbFile\0imefile\0Quoted\0Single\0Half\0Empty\0", 49));
    n = GetPrivateProfileStringA(nullptr, nullptr, "", &buffer[0], 16, "C:\\SETUP\\setup.log");
    EXPECT_EQ(n, 14u);  // cut short: size - 2
    EXPECT_EQ(buffer.substr(0, 16), std::string("ImePram\0Other\0\0\0", 16));
}

}  // namespace
