// File, text and system helpers shared by the driver and the registration
// operations. None keeps state; every failure comes back as a result.
#pragma once

#include <cstdint>
#include <string>

// One value of a profile (INI) file, at most 2047 bytes; Default when the
// file, section or key is missing.
std::string ReadIniString(const std::string& Section, const std::string& Key, const std::string& Default,
                          const std::string& FileName);

// "%lu": unsigned decimal of the 32-bit value (-1 gives "4294967295").
std::string IntToDecimal(std::int32_t Value);

// "%8X": eight characters, upper-case hexadecimal, blank-filled on the left.
std::string IntToHex8(std::int32_t Value);

// a..z become A..Z, every other byte (double-byte halves included) unchanged.
std::string UpperCaseAscii(const std::string& Source);

// The process's current directory.
std::string CurrentDirectory();

// MS-DOS date (high 16 bits) and time (low 16 bits) of the last write of the
// first match of Name, in local time; -1 when there is none, the first match
// is a directory, or the time has no MS-DOS form.
std::int32_t FileStamp(const std::string& Name);

// True exactly when FileStamp(Name) is not -1.
bool FileExistsAt(const std::string& Name);
