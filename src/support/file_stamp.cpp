// The MS-DOS form of a file's last-write time, found by a file search.
#include "platform/win32.h"
#include "support/helpers.h"
#include "support/unique_handle.h"

// Neither character can be the trail byte of a double-byte character.
bool HoldsWildcard(const std::string& Name)
{
    return Name.find_first_of("*?") != std::string::npos;
}

FileStampLookup LookUpFileStamp(const std::string& Name)
{
    WIN32_FIND_DATAA match{};
    {
        // Only the first match counts, so the search is closed at once.
        const UniqueFindHandle search(FindFirstFileA(Name.c_str(), &match));
        if (!search) {
            return {FileLookup::Missing};
        }
    }
    if ((match.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return {HoldsWildcard(Name) ? FileLookup::WildcardDirectory : FileLookup::Directory};
    }
    FILETIME local{};
    FileTimeToLocalFileTime(&match.ftLastWriteTime, &local);  // a failure leaves a time with no DOS form
    WORD dosDate = 0;
    WORD dosTime = 0;
    if (!FileTimeToDosDateTime(&local, &dosDate, &dosTime)) {
        return {FileLookup::NoDosTime};  // before 1980: no MS-DOS form
    }
    const std::uint32_t stamp = (static_cast<std::uint32_t>(dosDate) << 16) | dosTime;
    return {FileLookup::Found, static_cast<std::int32_t>(stamp)};
}

std::int32_t FileStamp(const std::string& Name)
{
    return LookUpFileStamp(Name).Stamp;
}
