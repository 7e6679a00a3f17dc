// The scratch folder and file helpers of the portable tests.
#include "common/scratch_folder.h"

#include <vector>

#include "support/unique_handle.h"

namespace {

std::string TempFolder()
{
    char buffer[MAX_PATH + 1] = {};
    DWORD length = GetTempPathA(sizeof buffer, buffer);
    if (length == 0 || length >= sizeof buffer) return std::string();
    std::string folder(buffer, length);
    if (!folder.empty() && folder.back() == '\\') folder.pop_back();
    return folder;
}

}  // namespace

ScratchFolder::ScratchFolder()
{
    const std::string base = TempFolder();
    if (base.empty()) return;
    // A leftover of an earlier run keeps its name; the next number is taken.
    for (int n = 1; n <= 1000; ++n) {
        const std::string candidate = base + "\\imesetup-test-" + std::to_string(n);
        if (CreateDirectoryA(candidate.c_str(), nullptr)) {
            path_ = candidate;
            return;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) return;
    }
}

ScratchFolder::~ScratchFolder()
{
    if (made()) RemovePath(path_);
}

bool WriteBytes(const std::string& path, const std::string& bytes)
{
    UniqueFileHandle file(
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

std::optional<std::string> ReadBytes(const std::string& path)
{
    UniqueFileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    std::string bytes;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
    return bytes;
}

bool SetLastWriteTime(const std::string& path, const FILETIME& utc)
{
    UniqueFileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && SetFileTime(file.get(), nullptr, nullptr, &utc);
}

bool SetReadOnly(const std::string& path, bool readOnly)
{
    return SetFileAttributesA(path.c_str(), readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL) != 0;
}

bool PathExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void RemovePath(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        std::vector<std::string> names;
        WIN32_FIND_DATAA entry;
        {
            UniqueFindHandle search(FindFirstFileA((path + "\\*").c_str(), &entry));
            if (search) {
                do {
                    const std::string name = entry.cFileName;
                    if (name != "." && name != "..") names.push_back(name);
                } while (FindNextFileA(search.get(), &entry));
            }
        }
        for (const std::string& name : names) RemovePath(path + "\\" + name);
        RemoveDirectoryA(path.c_str());
        return;
    }
    if (attributes & FILE_ATTRIBUTE_READONLY) SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
}

namespace {

// Days from 1601-01-01 to the date, in the proleptic Gregorian calendar.
long long DaysSince1601(int year, int month, int day)
{
    static const int before[] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    const long long y = year - 1601;
    long long days = y * 365 + y / 4 - y / 100 + y / 400 + before[month - 1] + (day - 1);
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (leap && month > 2) ++days;
    return days;
}

}  // namespace

FILETIME FileTimeOf(int year, int month, int day, int hour, int minute, int second)
{
    const long long seconds = DaysSince1601(year, month, day) * 86400LL + hour * 3600LL + minute * 60LL + second;
    return FileTimeFromTicks(static_cast<ULONGLONG>(seconds) * 10000000ULL);
}

ULONGLONG TicksOf(const FILETIME& time)
{
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

FILETIME FileTimeFromTicks(ULONGLONG ticks)
{
    FILETIME time;
    time.dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFFu);
    time.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return time;
}
