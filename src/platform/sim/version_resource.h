// What Windows' version routines (GetFileVersionInfoSize, GetFileVersionInfo,
// VerQueryValue) find in a file's bytes, as far as the input method manager
// asks them: the fixed file information and the first translation. This is
// the simulated system's own reading, kept apart from the checker's, which it
// is there to test.
#pragma once

#include <string>

#include "platform/sim/win32_api.h"

namespace sim {
namespace detail {

struct FileVersionFacts {
    // 0 when a version resource was found, or why GetFileVersionInfoSize
    // failed: ERROR_RESOURCE_DATA_NOT_FOUND for bytes that are no image or an
    // image without a resource section, ERROR_RESOURCE_TYPE_NOT_FOUND for an
    // image whose resources hold no version resource.
    DWORD error = ERROR_RESOURCE_DATA_NOT_FOUND;
    bool fixedInfo = false;  // VerQueryValue("\\") gave a whole VS_FIXEDFILEINFO
    DWORD fileType = 0;
    DWORD fileSubtype = 0;
    bool translation = false;  // "\\VarFileInfo\\Translation" gave at least one entry
    WORD language = 0;         // the first entry's language
};

FileVersionFacts ReadFileVersion(const std::string& bytes);

}  // namespace detail
}  // namespace sim
