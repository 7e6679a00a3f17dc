// What the checker reads out of a Windows image file (an IME file, a setup
// program): its headers, its export names, its version information and
// whether it carries a signature. The file is only parsed, never loaded, and
// every offset in it is checked against its size: the bytes come from
// whoever built the package. Each reading takes the file's bytes where they
// lie (a ByteSource) or, for tests, all of them in memory.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "package_checker/byte_source.h"

enum class PeMachine { X86, X64, Arm64, Other };

struct PeHeaders {
    std::uint16_t MachineCode = 0;  // the file header's Machine field
    PeMachine Machine = PeMachine::Other;
    bool IsDll = false;  // IMAGE_FILE_DLL
};

// The headers, or nothing when the bytes are no PE image.
std::optional<PeHeaders> ReadPeHeaders(const ByteSource& bytes);
std::optional<PeHeaders> ReadPeHeaders(const std::string& bytes);

// "x86", "x64", "ARM64", or the machine code in hexadecimal.
std::string MachineName(const PeHeaders& headers);

// True when the image's export directory holds the name, found as the
// loader finds it: by a binary search of its sorted names.
bool ExportsName(const ByteSource& bytes, const std::string& name);
bool ExportsName(const std::string& bytes, const std::string& name);

// The strings of the version resource's first string table (FileDescription,
// OriginalFilename, ...), in UTF-8; empty when there is none.
std::map<std::string, std::string> VersionStrings(const ByteSource& bytes);
std::map<std::string, std::string> VersionStrings(const std::string& bytes);

// What the input method manager reads out of an IME file's version resource:
// the fixed file information's type and subtype, and the first entry of
// \VarFileInfo\Translation.
enum class PeVersionResource {
    NoImage,      // the bytes are no PE image
    NoResources,  // the image has no resource section
    Missing,      // it has resources, but no version resource
    Present,
};

struct PeTranslation {
    std::uint16_t Language = 0;  // a LANGID: 0x0804 Chinese (Simplified, PRC)
    std::uint16_t CodePage = 0;
};

struct PeVersionInfo {
    PeVersionResource Resource = PeVersionResource::NoImage;
    bool HasFixedInfo = false;  // VS_FIXEDFILEINFO, whole
    std::uint32_t FileType = 0;
    std::uint32_t FileSubtype = 0;
    std::optional<PeTranslation> Translation;  // the first one; nothing when there is none
};

PeVersionInfo ReadVersionInfo(const ByteSource& bytes);
PeVersionInfo ReadVersionInfo(const std::string& bytes);

// True when the image's security directory holds an Authenticode signature
// (a PKCS#7 WIN_CERTIFICATE) within the file. Whether the signature is valid
// is not looked at.
bool HasAuthenticodeSignature(const ByteSource& bytes);
bool HasAuthenticodeSignature(const std::string& bytes);
