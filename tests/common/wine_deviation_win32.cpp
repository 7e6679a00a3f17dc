// Wine is told apart from Windows by an export only Wine's ntdll has.
#include "common/wine_deviation.h"

#include <windows.h>

bool RunningOnWine()
{
    static const bool wine = [] {
        HMODULE ntdll = GetModuleHandleA("ntdll.dll");
        return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
    }();
    return wine;
}
