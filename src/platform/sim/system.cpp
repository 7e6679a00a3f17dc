// Version, metrics, the ANSI code page and the command line.
#include <cstdint>
#include <cstring>

#include "platform/sim/state.h"

using namespace sim::detail;
using sim::Family;

namespace {

// Windows 98: 4.10, build 1998.
const DWORD k9xMajor = 4, k9xMinor = 10, k9xBuild = 1998;

}  // namespace

DWORD WINAPI GetVersion(void)
{
    const Hit hit = Enter("GetVersion");
    const Machine& m = M();
    if (m.family == Family::Win9x)  // high bit set, no build number
        return 0xC0000000u | (k9xMinor << 8) | k9xMajor;
    return ((m.ntBuild & 0x7FFFu) << 16) | ((m.ntMinor & 0xFFu) << 8) | (m.ntMajor & 0xFFu);
}

BOOL WINAPI GetVersionExA(LPOSVERSIONINFOA lpVersionInformation)
{
    Hit hit = Enter("GetVersionExA");
    const Machine& m = M();
    if (hit.fail) {
        SetLastError(hit.error);
        return FALSE;
    }
    if (!lpVersionInformation) {
        SetLastError(ERROR_NOACCESS);
        return FALSE;
    }
    DWORD size = lpVersionInformation->dwOSVersionInfoSize;
    // The extended structure (156 bytes) is known to the NT family only.
    bool known = size == sizeof(OSVERSIONINFOA) || (size == 156 && m.family == Family::NT);
    if (!known) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    OSVERSIONINFOA& v = *lpVersionInformation;
    std::memset(v.szCSDVersion, 0, sizeof v.szCSDVersion);
    if (m.family == Family::Win9x) {
        v.dwMajorVersion = k9xMajor;
        v.dwMinorVersion = k9xMinor;
        v.dwBuildNumber = (k9xMajor << 24) | (k9xMinor << 16) | k9xBuild;
        v.dwPlatformId = VER_PLATFORM_WIN32_WINDOWS;
    } else {
        v.dwMajorVersion = m.ntMajor;
        v.dwMinorVersion = m.ntMinor;
        v.dwBuildNumber = m.ntBuild;
        v.dwPlatformId = VER_PLATFORM_WIN32_NT;
    }
    return TRUE;
}

int WINAPI GetSystemMetrics(int nIndex)
{
    const Hit hit = Enter("GetSystemMetrics");
    if (nIndex == SM_DBCSENABLED) return M().dbcs ? 1 : 0;
    return 0;
}

UINT WINAPI GetACP(void)
{
    const Hit hit = Enter("GetACP");
    return M().codePage;
}

BOOL WINAPI IsDBCSLeadByte(BYTE TestChar)
{
    const Hit hit = Enter("IsDBCSLeadByte");
    return IsLead(TestChar) ? TRUE : FALSE;
}

LPSTR WINAPI CharNextA(LPCSTR lpsz)
{
    const Hit hit = Enter("CharNextA");
    if (!lpsz || !*lpsz) return const_cast<LPSTR>(lpsz);  // never past the terminating zero
    // A lead byte followed by the zero is one character of one byte.
    if (IsLead(static_cast<BYTE>(lpsz[0])) && lpsz[1] != '\0') return const_cast<LPSTR>(lpsz + 2);
    return const_cast<LPSTR>(lpsz + 1);
}

HANDLE WINAPI GetCurrentProcess(void)
{
    const Hit hit = Enter("GetCurrentProcess");
    return reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1));  // the pseudo handle
}

BOOL WINAPI IsWow64Process(HANDLE, BOOL* Wow64Process)
{
    const Hit hit = Enter("IsWow64Process");
    *Wow64Process = M().underWow64 ? TRUE : FALSE;
    return TRUE;
}

LPSTR WINAPI GetCommandLineA(void)
{
    const Hit hit = Enter("GetCommandLineA");
    return M().commandLineBuffer.data();
}

LPWSTR WINAPI GetCommandLineW(void)
{
    const Hit hit = Enter("GetCommandLineW");
    Machine& m = M();
    // Set as ANSI text, the line is read in the machine's code page.
    const std::u16string wide = m.wideCommandLine ? *m.wideCommandLine : Utf16FromName(m.commandLine);
    m.wideCommandLineBuffer.assign(wide.begin(), wide.end());
    m.wideCommandLineBuffer.push_back(0);
    return m.wideCommandLineBuffer.data();
}

namespace sim {

void SetFamily(Family family)
{
    M().family = family;
}

void SetDbcsEnabled(bool enabled)
{
    M().dbcs = enabled;
}

void SetCodePage(UINT codePage)
{
    M().codePage = codePage;
}

void SetCommandLine(const std::string& commandLine)
{
    Machine& m = M();
    m.commandLine = commandLine;
    m.commandLineBuffer.assign(commandLine.begin(), commandLine.end());
    m.commandLineBuffer.push_back('\0');
    m.wideCommandLine.reset();
}

void SetWideCommandLine(const std::u16string& commandLine)
{
    SetCommandLine(AnsiFromUtf16(commandLine));
    M().wideCommandLine = commandLine;
}

}  // namespace sim
