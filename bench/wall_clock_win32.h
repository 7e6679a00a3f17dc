// Wall-clock seconds from QueryPerformanceCounter, for the Windows benchmarks.
#pragma once

#include "platform/win32.h"

inline double WallSeconds()
{
    static LARGE_INTEGER frequency{};
    if (frequency.QuadPart == 0) QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}
