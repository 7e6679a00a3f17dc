// File times: 100-nanosecond ticks since 1601-01-01 UTC, the local time by a
// fixed bias (the time zone has no daylight saving time), and the FAT date and
// time that cover 1980 to 2107 only.
#include "platform/sim/state.h"

namespace sim {
namespace detail {

namespace {

const ULONGLONG kTicksPerSecond = 10000000ULL;
const ULONGLONG kSecondsPerDay = 86400ULL;

// Days since 1601-01-01 of a date in the proleptic Gregorian calendar.
long long DaysFrom1601(int y, int m, int d)
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const long long daysFrom1970 = era * 146097 + doe - 719468;
    return daysFrom1970 + 134774;  // 1601-01-01 .. 1970-01-01
}

void CivilFromDays(long long daysFrom1601, int& y, int& m, int& d)
{
    long long z = daysFrom1601 - 134774 + 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

}  // namespace
}  // namespace detail

FILETIME MakeFileTime(int year, int month, int day, int hour, int minute, int second)
{
    using namespace detail;
    long long days = DaysFrom1601(year, month, day);
    long long seconds = days * static_cast<long long>(kSecondsPerDay) + hour * 3600LL + minute * 60LL + second;
    if (seconds < 0) seconds = 0;
    return FromTicks(static_cast<ULONGLONG>(seconds) * kTicksPerSecond);
}

void SetTimeZoneBiasMinutes(int bias)
{
    detail::M().biasMinutes = bias;
}

}  // namespace sim

using namespace sim::detail;

BOOL WINAPI FileTimeToLocalFileTime(const FILETIME* lpFileTime, LPFILETIME lpLocalFileTime)
{
    Hit hit = Enter("FileTimeToLocalFileTime");
    if (hit.fail || !lpFileTime || !lpLocalFileTime) {
        SetLastError(hit.fail ? hit.error : ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // The current bias applies to every time, whatever the season of the time
    // converted; the subtraction is not checked, so a time near 1601 west of
    // UTC wraps round to one that no later conversion accepts.
    ULONGLONG shift = static_cast<ULONGLONG>(static_cast<long long>(M().biasMinutes) * 60 *
                                             static_cast<long long>(kTicksPerSecond));
    *lpLocalFileTime = FromTicks(Ticks(*lpFileTime) - shift);
    return TRUE;
}

DWORD WINAPI GetTimeZoneInformation(LPTIME_ZONE_INFORMATION lpTimeZoneInformation)
{
    const Hit hit = Enter("GetTimeZoneInformation");
    if (!lpTimeZoneInformation) {
        SetLastError(ERROR_NOACCESS);
        return TIME_ZONE_ID_INVALID;
    }
    // A zone with a fixed bias and no daylight saving time.
    *lpTimeZoneInformation = TIME_ZONE_INFORMATION{};
    lpTimeZoneInformation->Bias = M().biasMinutes;
    return TIME_ZONE_ID_UNKNOWN;
}

BOOL WINAPI FileTimeToDosDateTime(const FILETIME* lpFileTime, WORD* lpFatDate, WORD* lpFatTime)
{
    Hit hit = Enter("FileTimeToDosDateTime");
    if (hit.fail || !lpFileTime || !lpFatDate || !lpFatTime) {
        SetLastError(hit.fail ? hit.error : ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    ULONGLONG seconds = Ticks(*lpFileTime) / kTicksPerSecond;
    long long days = static_cast<long long>(seconds / kSecondsPerDay);
    ULONGLONG secs = seconds % kSecondsPerDay;
    int y, m, d;
    CivilFromDays(days, y, m, d);
    if (y < 1980 || y > 2107) {  // outside what a FAT date can hold
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *lpFatDate = static_cast<WORD>(((y - 1980) << 9) | (m << 5) | d);
    *lpFatTime = static_cast<WORD>(((secs / 3600) << 11) | (((secs / 60) % 60) << 5) | ((secs % 60) / 2));
    return TRUE;
}
