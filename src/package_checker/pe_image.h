// What the checker reads out of a Windows image file (an IME file, a setup
// program): its headers, its export names and its version strings. The file
// is only parsed, never loaded, and every offset in it is checked against its
// size: the bytes come from whoever built the package.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

enum class PeMachine { X86, X64, Arm64, Other };

struct PeHeaders {
    std::uint16_t MachineCode = 0;  // the file header's Machine field
    PeMachine Machine = PeMachine::Other;
    bool IsDll = false;  // IMAGE_FILE_DLL
};

// The headers, or nothing when the bytes are no PE image.
std::optional<PeHeaders> ReadPeHeaders(const std::string& bytes);

// "x86", "x64", "ARM64", or the machine code in hexadecimal.
std::string MachineName(const PeHeaders& headers);

// True when the image's export directory holds the name.
bool ExportsName(const std::string& bytes, const std::string& name);

// The strings of the version resource's first string table (FileDescription,
// OriginalFilename, ...), in UTF-8; empty when there is none.
std::map<std::string, std::string> VersionStrings(const std::string& bytes);
