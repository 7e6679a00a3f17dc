// Small PE images made byte by byte for the checker's tests: the headers, one
// section holding an export directory and a version resource, nothing else.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace test_images {

constexpr std::uint16_t kX86 = 0x014C;
constexpr std::uint16_t kX64 = 0x8664;
constexpr std::uint16_t kArm64 = 0xAA64;

struct ImageParts {
    std::uint16_t machine = kX64;
    bool dll = true;
    std::vector<std::string> exports = {"ImeInquire"};
    // The version resource's strings; none: no resources at all.
    std::vector<std::pair<std::string, std::string>> versionStrings;
};

std::string BuildImage(const ImageParts& parts);

// An IME module as the package ships it: an x64 (or other) DLL exporting ImeInquire.
inline std::string ImeModule(std::uint16_t machine = kX64)
{
    ImageParts parts;
    parts.machine = machine;
    return BuildImage(parts);
}

// A setup program, known by its version information.
inline std::string SetupProgram(std::uint16_t machine)
{
    ImageParts parts;
    parts.machine = machine;
    parts.dll = false;
    parts.exports.clear();
    parts.versionStrings = {{"FileDescription", "Setup My IME"}, {"OriginalFilename", "imesetup.exe"}};
    return BuildImage(parts);
}

}  // namespace test_images
