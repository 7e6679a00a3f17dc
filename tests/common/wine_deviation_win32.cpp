#include "common/wine_deviation.h"

#include <windows.h>

#include <cstdio>

bool RunningOnWine()
{
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

void ReportWineDeviation(const std::string& name)
{
    std::printf("WINE DEVIATION: %s\n", name.c_str());
    std::fflush(stdout);
}
