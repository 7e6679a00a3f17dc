// The MS-DOS form of a file's last-write time, found by a file search.
#include "platform/win32.h"
#include "support/helpers.h"
#include "support/unique_handle.h"

namespace {
constexpr std::int32_t kNoFileStamp = -1;
}

std::int32_t FileStamp(const std::string& Name)
{
    WIN32_FIND_DATAA match{};
    {
        // Only the first match counts, so the search is closed at once.
        const UniqueFindHandle search(FindFirstFileA(Name.c_str(), &match));
        if (!search) {
            return kNoFileStamp;
        }
    }
    if ((match.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return kNoFileStamp;
    }
    FILETIME local{};
    FileTimeToLocalFileTime(&match.ftLastWriteTime, &local);  // a failure leaves a time with no DOS form
    WORD dosDate = 0;
    WORD dosTime = 0;
    if (!FileTimeToDosDateTime(&local, &dosDate, &dosTime)) {
        return kNoFileStamp;  // before 1980: no MS-DOS form
    }
    const std::uint32_t stamp = (static_cast<std::uint32_t>(dosDate) << 16) | dosTime;
    return static_cast<std::int32_t>(stamp);
}
