// What the subjects' judging shares: file attributes, times, copies, keys.
#include "package_checker/judging.h"

#include "package_checker/file_names.h"
#include "package_checker/text_forms.h"
#include "platform/win32.h"
#include "registration/outcome_texts.h"
#include "support/helpers.h"

namespace {

// The year of a local FILETIME (100 ns ticks since 1601), Gregorian.
int YearOf(std::uint64_t ticks)
{
    long long days = static_cast<long long>(ticks / (10000000ULL * 86400));
    int year = 1601;
    for (;;) {
        const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
        const int length = leap ? 366 : 365;
        if (days < length) return year;
        days -= length;
        ++year;
    }
}

}  // namespace

bool ReadOnly(std::uint32_t attributes)
{
    return (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

bool Hidden(std::uint32_t attributes)
{
    return (attributes & FILE_ATTRIBUTE_HIDDEN) != 0;
}

// After 2107 in local time: FileTimeToDosDateTime covers 1980 to 2107 (Wine
// wraps a later date round instead of failing).
bool AfterDosTime(const FileStampLookup& lookup)
{
    // A time before 1601 west of UTC wraps round to one far beyond any file's.
    constexpr std::uint64_t kYear30000 = 0x7FFFFFFFFFFFFFFFULL / 2;
    return lookup.LocalWriteTime < kYear30000 && YearOf(lookup.LocalWriteTime) > 2107;
}

// A pattern, a folder that does not exist, the file copied onto itself, a
// path of MAX_PATH or more.
bool CopyFails(const ParameterReading& reading)
{
    return HoldsWildcard(reading.Value) || reading.InstalledIsPackageFile ||
           (HasDirectoryPart(reading.Value) && !reading.InstalledFolderExists) ||
           CharacterCount(reading.InstalledPath) >= MAX_PATH;
}

Value KeyValue(const ParameterReading& reading)
{
    return TextValue("key", reading.Key);
}

Value ShownValue(const ParameterReading& reading)
{
    return TextValue("value", ShownGbkValue(reading.Value));
}

std::string CopyErrorText(const std::string& value)
{
    return ShownMachineText(value) + OutcomeTexts::CopyErrorSuffix;
}
