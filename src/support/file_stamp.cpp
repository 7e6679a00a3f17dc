// The MS-DOS form of a file's last-write time, found by a file search.
#include "platform/win32.h"
#include "support/helpers.h"
#include "support/unique_handle.h"

// None of these characters can be the trail byte of a double-byte character.
bool HoldsWildcard(const std::string& Name)
{
    return Name.find_first_of("*?<>\"") != std::string::npos;
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
    FileStampLookup lookup;
    lookup.Attributes = match.dwFileAttributes;
    if ((match.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        lookup.Result = HoldsWildcard(Name) ? FileLookup::WildcardDirectory : FileLookup::Directory;
        return lookup;
    }
    FILETIME local{};
    FileTimeToLocalFileTime(&match.ftLastWriteTime, &local);  // a failure leaves a time with no DOS form
    lookup.LocalWriteTime = (static_cast<std::uint64_t>(local.dwHighDateTime) << 32) | local.dwLowDateTime;
    WORD dosDate = 0;
    WORD dosTime = 0;
    if (!FileTimeToDosDateTime(&local, &dosDate, &dosTime)) {
        // Before 1980 or after 2107: no MS-DOS form. A device has no time at all.
        const bool noTime = match.ftLastWriteTime.dwLowDateTime == 0 && match.ftLastWriteTime.dwHighDateTime == 0;
        lookup.Result = noTime ? FileLookup::Device : FileLookup::NoDosTime;
        return lookup;
    }
    lookup.Result = FileLookup::Found;
    lookup.Stamp = static_cast<std::int32_t>((static_cast<std::uint32_t>(dosDate) << 16) | dosTime);
    return lookup;
}

std::int32_t FileStamp(const std::string& Name)
{
    return LookUpFileStamp(Name).Stamp;
}
