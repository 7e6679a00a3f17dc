// The package checker's PE reader over arbitrary bytes, as a package may hold
// them: it never reads outside them (AddressSanitizer stops at any read that
// does), ends on any input, and finds exports, version information and a
// signature only in an image whose headers it could read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "package_checker/pe_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const bool headers = ReadPeHeaders(bytes).has_value();
    const bool exports = ExportsName(bytes, "ImeInquire");
    const bool strings = !VersionStrings(bytes).empty();
    const PeVersionInfo version = ReadVersionInfo(bytes);
    const bool versionRead = version.Resource != PeVersionResource::NoImage;
    const bool signature = HasAuthenticodeSignature(bytes);
    if (!headers && (exports || strings || versionRead || signature)) std::abort();
    if (version.Resource != PeVersionResource::Present && (version.HasFixedInfo || version.Translation)) std::abort();
    return 0;
}
