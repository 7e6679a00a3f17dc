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

struct ImageSpec {
    std::uint16_t machine = kX64;
    bool dll = true;
    std::vector<std::string> exports = {"ImeInquire"};
    // The version resource's strings; none: no resources at all.
    std::vector<std::pair<std::string, std::string>> versionStrings;
};

std::string BuildImage(const ImageSpec& spec);

// An IME module as the package ships it: an x64 (or other) DLL exporting ImeInquire.
inline std::string ImeModule(std::uint16_t machine = kX64)
{
    ImageSpec spec;
    spec.machine = machine;
    return BuildImage(spec);
}

// A setup program, known by its version information.
inline std::string SetupProgram(std::uint16_t machine)
{
    ImageSpec spec;
    spec.machine = machine;
    spec.dll = false;
    spec.exports.clear();
    spec.versionStrings = {{"FileDescription", "Setup My IME"}, {"OriginalFilename", "imesetup.exe"}};
    return BuildImage(spec);
}

}  // namespace test_images
