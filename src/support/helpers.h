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

// A wildcard of the file search: '*' or '?', or '<', '>' or '"', which the
// search takes as the DOS wildcards DOS_STAR, DOS_QM and DOS_DOT. The name is
// a search pattern, whose first match may be any entry of the folder.
bool HoldsWildcard(const std::string& Name);

// What the file search makes of a name, in the order the checks are made.
enum class FileLookup {
    Found,              // a file whose last-write time has an MS-DOS form
    Missing,            // the search found nothing, or failed
    Directory,          // the name is a directory
    WildcardDirectory,  // the name holds a wildcard, and its first match is a directory
    NoDosTime,          // a file written before 1980 or after 2107 in local time
    Device,             // a DOS device (CON, NUL, COM1, ...): the search gives it no time at all
};

struct FileStampLookup {
    FileLookup Result = FileLookup::Missing;
    std::int32_t Stamp = -1;  // -1 unless Result is Found
    // Of the first match, when there is one: its attributes (FILE_ATTRIBUTE_*)
    // and its last-write time in local time, as FILETIME ticks.
    std::uint32_t Attributes = 0;
    std::uint64_t LocalWriteTime = 0;
};

// The first match of Name and the MS-DOS form of its last write (date in the
// high 16 bits, time in the low 16 bits, local time), or why there is none.
FileStampLookup LookUpFileStamp(const std::string& Name);

// LookUpFileStamp's stamp: -1 when there is none, the first match is a
// directory, or the time has no MS-DOS form.
std::int32_t FileStamp(const std::string& Name);

// True exactly when FileStamp(Name) is not -1.
bool FileExistsAt(const std::string& Name);
