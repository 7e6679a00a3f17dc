// The file stamp's conversions: a search's last-write time (UTC) to local
// time with FileTimeToLocalFileTime, then to the MS-DOS date and time with
// FileTimeToDosDateTime, which covers 1980 to 2107 only. The local bias is
// the one the machine reports (GetTimeZoneInformation is no call of the
// tool; the test learns the machine's state from it).
#include <string>

#include "common/wine_deviation.h"
#include "platform/platform_test.h"
#include "support/unique_handle.h"

namespace {

const ULONGLONG kTicksPerMinute = 600000000ULL;

// Minutes to add to UTC for local time, by the zone's current state: the
// conversion uses today's bias for every time, whatever its season.
long long LocalMinusUtcMinutes()
{
    TIME_ZONE_INFORMATION zone{};
    const DWORD state = GetTimeZoneInformation(&zone);
    EXPECT_NE(state, TIME_ZONE_ID_INVALID);
    long long bias = zone.Bias;
    if (state == TIME_ZONE_ID_STANDARD) bias += zone.StandardBias;
    if (state == TIME_ZONE_ID_DAYLIGHT) bias += zone.DaylightBias;
    return -bias;
}

// The UTC time whose local time has these fields.
FILETIME UtcOfLocal(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
{
    const long long shift = LocalMinusUtcMinutes() * static_cast<long long>(kTicksPerMinute);
    return FileTimeFromTicks(TicksOf(FileTimeOf(year, month, day, hour, minute, second)) - shift);
}

struct Dos {
    BOOL ok;
    DWORD error;
    WORD date;
    WORD time;
};

Dos ToDos(const FILETIME& time)
{
    Dos result{FALSE, ERROR_SUCCESS, 0xAAAA, 0xBBBB};
    SetLastError(ERROR_SUCCESS);
    result.ok = FileTimeToDosDateTime(&time, &result.date, &result.time);
    result.error = GetLastError();
    return result;
}

WORD DosDate(int year, int month, int day)
{
    return static_cast<WORD>(((year - 1980) << 9) | (month << 5) | day);
}

WORD DosTime(int hour, int minute, int second)
{
    return static_cast<WORD>((hour << 11) | (minute << 5) | (second / 2));
}

using FileTimeTest = PlatformTest;

TEST_F(FileTimeTest, LocalTimeIsUtcShiftedByTheCurrentBias)
{
    const long long shift = LocalMinusUtcMinutes() * static_cast<long long>(kTicksPerMinute);
    for (const FILETIME& utc : {FileTimeOf(2024, 1, 17, 13, 45, 30), FileTimeOf(2024, 7, 17, 13, 45, 30),
                                FileTimeOf(1980, 1, 1, 8, 0, 0)}) {
        FILETIME local{};
        ASSERT_TRUE(FileTimeToLocalFileTime(&utc, &local));
        EXPECT_EQ(static_cast<long long>(TicksOf(local) - TicksOf(utc)), shift);
    }
}

TEST_F(FileTimeTest, DosDateAndTimeFrom1980To2107)
{
    struct Case {
        FILETIME local;
        BOOL ok;
        WORD date;
        WORD time;
    } cases[] = {
        {FileTimeOf(1980, 1, 1, 0, 0, 0), TRUE, DosDate(1980, 1, 1), DosTime(0, 0, 0)},
        {FileTimeOf(1980, 1, 1, 0, 0, 1), TRUE, DosDate(1980, 1, 1), DosTime(0, 0, 0)},  // two-second steps
        {FileTimeOf(2024, 2, 29, 23, 59, 59), TRUE, DosDate(2024, 2, 29), DosTime(23, 59, 58)},
        {FileTimeOf(2107, 12, 31, 23, 59, 59), TRUE, DosDate(2107, 12, 31), DosTime(23, 59, 58)},
        {FileTimeOf(1979, 12, 31, 23, 59, 59), FALSE, 0xAAAA, 0xBBBB},
        {FileTimeOf(1601, 1, 1), FALSE, 0xAAAA, 0xBBBB},
        {FileTimeFromTicks(~0ULL), FALSE, 0xAAAA, 0xBBBB},
    };
    for (const Case& c : cases) {
        const Dos dos = ToDos(c.local);
        const std::string at = std::to_string(TicksOf(c.local));
        EXPECT_EQ(dos.ok, c.ok) << at;
        EXPECT_EQ(dos.date, c.date) << at;
        EXPECT_EQ(dos.time, c.time) << at;
        if (!c.ok) {
            EXPECT_EQ(dos.error, static_cast<DWORD>(ERROR_INVALID_PARAMETER)) << at;
        }
    }
}

// "The MS-DOS date format can represent only dates between 1/1/1980 and
// 12/31/2107; this conversion fails if the input file time is outside this
// range" (FileTimeToDosDateTime). Wine 8 fails before 1980 but wraps the
// year after 2107 round to 1980.
TEST_F(FileTimeTest, DosDateAndTimeAfter2107)
{
    const Dos dos = ToDos(FileTimeOf(2108, 1, 1, 0, 0, 2));
    if (RunningOnWine()) {
        EXPECT_TRUE(dos.ok);
        EXPECT_EQ(dos.date, DosDate(1980, 1, 1));
        EXPECT_EQ(dos.time, DosTime(0, 0, 2));
        ReportWineDeviation("FileTimeToDosDateTime: a time after 2107 wraps round to 1980");
    } else {
        EXPECT_FALSE(dos.ok);
        EXPECT_EQ(dos.error, static_cast<DWORD>(ERROR_INVALID_PARAMETER));
        EXPECT_EQ(dos.date, 0xAAAA);
        EXPECT_EQ(dos.time, 0xBBBB);
    }
}

// The whole road of the presence test: the file's last-write time as the
// search reports it, made local, then made an MS-DOS stamp. A file written
// just before 1980 began in local time has no stamp, even when it is 1980
// already in UTC.
TEST_F(FileTimeTest, LastWriteTimeThroughTheSearchToTheStamp)
{
    struct Case {
        FILETIME written;
        BOOL ok;
        WORD date;
        WORD time;
    } cases[] = {
        {UtcOfLocal(1980, 1, 1, 0, 0, 0), TRUE, DosDate(1980, 1, 1), DosTime(0, 0, 0)},
        {UtcOfLocal(1979, 12, 31, 23, 59, 58), FALSE, 0, 0},
        {UtcOfLocal(2024, 5, 17, 13, 45, 30), TRUE, DosDate(2024, 5, 17), DosTime(13, 45, 30)},
    };
    const std::string file = Path("stamp.ime");
    ASSERT_TRUE(WriteBytes(file, "module"));
    for (const Case& c : cases) {
        ASSERT_TRUE(SetLastWriteTime(file, c.written));
        WIN32_FIND_DATAA entry;
        {
            UniqueFindHandle search(FindFirstFileA(file.c_str(), &entry));
            ASSERT_TRUE(search);
        }
        EXPECT_EQ(TicksOf(entry.ftLastWriteTime), TicksOf(c.written));
        FILETIME local{};
        FileTimeToLocalFileTime(&entry.ftLastWriteTime, &local);
        WORD date = 0, time = 0;
        EXPECT_EQ(FileTimeToDosDateTime(&local, &date, &time), c.ok) << TicksOf(c.written);
        if (c.ok) {
            EXPECT_EQ(date, c.date);
            EXPECT_EQ(time, c.time);
        }
    }
}

}  // namespace
