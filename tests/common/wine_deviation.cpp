// The report line of a Wine deviation, the same on every platform.
#include "common/wine_deviation.h"

#include <iostream>
#include <set>

void ReportWineDeviation(const std::string& name)
{
    static std::set<std::string> reported;
    if (!reported.insert(name).second) return;
    std::cout << "WINE DEVIATION: " << name << std::endl;
}
