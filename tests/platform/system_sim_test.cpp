// The simulated system information: version by family, metrics, code page,
// characters, wsprintfA and the command line.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/clean_machine_fixture.h"
#include "platform/win32.h"

namespace {

using SimSystemTest = CleanMachineTest;

TEST_F(SimSystemTest, VersionByFamily)
{
    EXPECT_EQ(GetVersion(), 0x0A280105u);  // 5.1 build 2600
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    ASSERT_TRUE(GetVersionExA(&info));
    EXPECT_EQ(info.dwMajorVersion, 5u);
    EXPECT_EQ(info.dwMinorVersion, 1u);
    EXPECT_EQ(info.dwBuildNumber, 2600u);
    EXPECT_EQ(info.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_NT));

    for (DWORD size : {0u, 147u, 149u}) {
        info.dwOSVersionInfoSize = size;
        SetLastError(0);
        EXPECT_FALSE(GetVersionExA(&info));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    }

    sim::SetFamily(sim::Family::Win9x);
    EXPECT_EQ(GetVersion(), 0xC0000A04u);
    info.dwOSVersionInfoSize = sizeof info;
    ASSERT_TRUE(GetVersionExA(&info));
    EXPECT_EQ(info.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_WINDOWS));
    EXPECT_EQ(info.dwMajorVersion, 4u);
    EXPECT_EQ(info.dwMinorVersion, 10u);
}

TEST_F(SimSystemTest, CodePageAndCharacters)
{
    EXPECT_EQ(GetSystemMetrics(SM_DBCSENABLED), 1);
    EXPECT_EQ(GetACP(), 936u);
    EXPECT_FALSE(IsDBCSLeadByte(0x80));
    EXPECT_TRUE(IsDBCSLeadByte(0x81));
    EXPECT_TRUE(IsDBCSLeadByte(0xFE));
    EXPECT_FALSE(IsDBCSLeadByte(0xFF));

    const char text[] = "a\xD6\xD0\x81";
    EXPECT_EQ(CharNextA(text), text + 1);
    EXPECT_EQ(CharNextA(text + 1), text + 3);  // one double-byte character
    EXPECT_EQ(CharNextA(text + 3), text + 4);  // a lead byte before the zero stands alone
    EXPECT_EQ(CharNextA(text + 4), text + 4);  // never past the zero

    sim::SetDbcsEnabled(false);
    sim::SetCodePage(1252);
    EXPECT_EQ(GetSystemMetrics(SM_DBCSENABLED), 0);
    EXPECT_FALSE(IsDBCSLeadByte(0x81));
    EXPECT_EQ(CharNextA(text + 1), text + 2);
}

TEST_F(SimSystemTest, Wsprintf)
{
    char buffer[1100];
    EXPECT_EQ(wsprintfA(buffer, "%8X", static_cast<DWORD>(0x804)), 8);
    EXPECT_STREQ(buffer, "     804");
    wsprintfA(buffer, "%lu|%u|%d|%X|%x", static_cast<DWORD>(-1), 7u, -5, 0xFFFFFFFFu, 0xABu);
    EXPECT_STREQ(buffer, "4294967295|7|-5|FFFFFFFF|ab");
    wsprintfA(buffer, "[%s|%c|%%|%-4d|%04X|%.2s]", "text", 'c', 12, 0x1Fu, "abc");
    EXPECT_STREQ(buffer, "[text|c|%|12  |001F|ab]");

    // The output stops at 1024 bytes, its zero included.
    const std::string longText(2000, 'x');
    EXPECT_EQ(wsprintfA(buffer, "%s", longText.c_str()), 1023);
    EXPECT_EQ(std::strlen(buffer), 1023u);
}

TEST_F(SimSystemTest, CommandLine)
{
    EXPECT_STREQ(GetCommandLineA(), "imesetup.exe");
    sim::SetCommandLine("\"C:\\Program Files\\imesetup.exe\" /inst");
    const char* line = GetCommandLineA();
    EXPECT_STREQ(line, "\"C:\\Program Files\\imesetup.exe\" /inst");
    EXPECT_EQ(GetCommandLineA(), line);  // the same text each time

    // The wide line is the process's own; the ANSI one is made from it in the
    // code page, with '?' for a character the page lacks.
    sim::SetCommandLine("a.exe \xB2\xE2");  // GBK
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(GetCommandLineW())), u"a.exe \u6D4B");
    sim::SetWideCommandLine(u"a.exe C:\\\u6D4B\u0E01");
    EXPECT_STREQ(GetCommandLineA(), "a.exe C:\\\xB2\xE2?");
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(GetCommandLineW())), u"a.exe C:\\\u6D4B\u0E01");
}

}  // namespace
