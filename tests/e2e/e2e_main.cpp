// The end-to-end suite: e2e_tests --tool=PATH\imesetup.exe --checker=PATH\imecheck.exe [--other-tool=PATH] [--code-page=N]
// [gtest options]
#include "tool_case.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

// A path as Windows takes it; a Unix path (as CTest gives it under Wine) is
// reached through Wine's drive Z:.
std::string WindowsPath(std::string path)
{
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

// Under Wine without a window manager every closed box waits two seconds for
// one. On a Wine virtual desktop boxes close at once (and carry captions), so
// under Wine the suite runs itself again on a virtual desktop of its own; its
// children, the program under test included, start on the same desktop.
constexpr char kDesktop[] = "imesetup-e2e";

bool OnOwnDesktop()
{
    char name[64] = "";
    DWORD size = 0;
    GetUserObjectInformationA(GetThreadDesktop(GetCurrentThreadId()), UOI_NAME, name, sizeof name, &size);
    return lstrcmpiA(name, kDesktop) == 0;
}

// The exit status of the suite run on the virtual desktop, or -1 when it
// could not be started there.
int RunOnVirtualDesktop()
{
    e2e::SetText(HKEY_CURRENT_USER, "Software\\Wine\\Explorer\\Desktops", kDesktop, "800x600");
    char self[MAX_PATH + 1] = "";
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string commandLine = GetCommandLineA();
    char desktop[sizeof kDesktop];
    lstrcpyA(desktop, kDesktop);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.lpDesktop = desktop;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(self, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info))
        return -1;
    WaitForSingleObject(info.hProcess, INFINITE);
    DWORD status = 1;
    GetExitCodeProcess(info.hProcess, &status);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return static_cast<int>(status);
}

}  // namespace

int main(int argc, char** argv)
{
    if (RunningOnWine() && !OnOwnDesktop()) {
        const int status = RunOnVirtualDesktop();
        if (status >= 0) return status;
    }
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--tool=", 7) == 0) e2e::SetToolPath(WindowsPath(argv[i] + 7));
        if (std::strncmp(argv[i], "--checker=", 10) == 0) e2e::SetCheckerPath(WindowsPath(argv[i] + 10));
        if (std::strncmp(argv[i], "--other-tool=", 13) == 0) e2e::SetOtherToolPath(WindowsPath(argv[i] + 13));
        if (std::strncmp(argv[i], "--code-page=", 12) == 0) e2e::SetExpectedCodePage(std::atoi(argv[i] + 12));
    }
    return RUN_ALL_TESTS();
}
