#include "common/wine_deviation.h"

#include <cstdio>

// The simulated machine is Windows as documented.
bool RunningOnWine() { return false; }

void ReportWineDeviation(const std::string& name)
{
    std::printf("WINE DEVIATION: %s\n", name.c_str());
    std::fflush(stdout);
}
