// Small PE images made byte by byte for the tests: the headers, one section
// holding an export directory and the resources (after an uninitialised one,
// when asked), and after it, where a signed file has it, an Authenticode
// certificate table. Nothing runs in them: they are read as files.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace test_images {

constexpr std::uint16_t kX86 = 0x014C;
constexpr std::uint16_t kX64 = 0x8664;
constexpr std::uint16_t kArm64 = 0xAA64;

// The fixed file information's FILETYPE and FILESUBTYPE.
constexpr std::uint32_t kVftApp = 1;
constexpr std::uint32_t kVftDll = 2;
constexpr std::uint32_t kVftDrv = 3;
constexpr std::uint32_t kVft2DrvInputMethod = 11;

// Where the uninitialised section lies, when there is one.
constexpr std::uint32_t kBssRva = 0x1000;

// One entry of \VarFileInfo\Translation.
struct Translation {
    std::uint16_t language;
    std::uint16_t codePage;
};

// What the resource section holds.
enum class Resources {
    None,        // no resource section at all
    NoVersion,   // resources, but no version resource among them (a manifest)
    Version,     // a version resource
};

struct ImageParts {
    std::uint16_t machine = kX64;
    bool dll = true;
    std::vector<std::string> exports = {"ImeInquire"};
    Resources resources = Resources::Version;
    // The version resource: its fixed file information, its first string
    // table (keyed by the first translation) and \VarFileInfo\Translation,
    // left out when there is no translation.
    std::uint32_t fileType = kVftDrv;
    std::uint32_t fileSubtype = kVft2DrvInputMethod;
    std::vector<std::pair<std::string, std::string>> versionStrings;
    std::vector<Translation> translations = {{0x0804, 936}};
    // An Authenticode signature: a PKCS#7 certificate in the security
    // directory (its contents are no real signature).
    bool signature = false;

    // The data directories the optional header has room for (it claims 16
    // whatever this says); those past its room are not written.
    std::uint32_t directorySlots = 16;
    // Named resource types listed before the numbered ones, the version
    // resource's among them.
    unsigned namedResourceTypes = 0;
    // An uninitialised section at kBssRva before the data, as MinGW writes
    // .bss: a virtual size, no raw data, raw offset 0.
    bool bss = false;
    // Where the version resource's data entry says its data is, when not
    // where it is (an RVA in .bss, past any raw data).
    std::uint32_t versionDataRva = 0;
};

std::string BuildImage(const ImageParts& parts);

// An input method module as an author ships it: a DLL exporting ImeInquire,
// its version resource marked as an input method driver for Simplified
// Chinese (0x0804, code page 936), signed. The description tells copies apart.
inline std::string ImeModule(std::uint16_t machine = kX64, const std::string& description = "Test IME")
{
    ImageParts parts;
    parts.machine = machine;
    parts.versionStrings = {{"FileDescription", description}};
    parts.signature = true;
    return BuildImage(parts);
}

// A setup program, known by its version information.
inline std::string SetupProgram(std::uint16_t machine)
{
    ImageParts parts;
    parts.machine = machine;
    parts.dll = false;
    parts.exports.clear();
    parts.fileType = kVftApp;
    parts.fileSubtype = 0;
    parts.translations = {{0x0409, 1200}};
    parts.versionStrings = {{"FileDescription", "Setup My IME"}, {"OriginalFilename", "imesetup.exe"}};
    return BuildImage(parts);
}

}  // namespace test_images
