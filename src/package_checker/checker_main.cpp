// The checker's entry point: a console program.
#include "platform/win32.h"

#include "package_checker/checker.h"
#include "package_checker/console_win32.h"
#include "package_checker/package_findings.h"
#include "package_checker/wide_folder.h"
#include "program_guard/dll_search.h"
#include "program_guard/guarded_run.h"

int main()
{
    // Before anything that can load a DLL. The checker loads none after its
    // entry point (measured under Wine 8 with WINEDEBUG=+loaddll): the
    // restricted search alone keeps any later load by name out of its folder.
    RestrictDllSearch(nullptr, 0);
    ConsoleReport console;
    const int status = RunGuarded(
        [&console] {
            return RunChecker(
                WideCommandLine(), [&console](const std::string& text) { console.Write(text); },
                [&console](const std::string& json) { console.WriteBytes(json); });
        },
        CheckerFailed);
    console.WaitForKeyOnOwnConsole();
    return status;
}
