// A folder of the test's own under the temporary directory, and the file
// handling portable tests set the machine up with, all through Win32 calls.
#pragma once

#include <optional>
#include <string>

#include "platform/win32.h"

// Made unique under GetTempPathA's folder; removed with everything in it,
// read-only files included, when the object ends.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    bool made() const { return !path_.empty(); }
    const std::string& path() const { return path_; }  // no final backslash
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

// The file made or replaced with exactly these bytes.
bool WriteBytes(const std::string& path, const std::string& bytes);
// The file's bytes; nothing when it cannot be opened for reading.
std::optional<std::string> ReadBytes(const std::string& path);
bool SetLastWriteTime(const std::string& path, const FILETIME& utc);
bool SetReadOnly(const std::string& path, bool readOnly);
bool PathExists(const std::string& path);
// A file or a folder with everything in it; a missing path is fine.
void RemovePath(const std::string& path);

// The time as a FILETIME, reading the fields as a date and time of day.
FILETIME FileTimeOf(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
ULONGLONG TicksOf(const FILETIME& time);
FILETIME FileTimeFromTicks(ULONGLONG ticks);
