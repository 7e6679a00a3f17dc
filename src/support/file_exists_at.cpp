// A name counts as an existing file when it has a usable file stamp.
#include "support/helpers.h"

bool FileExistsAt(const std::string& Name)
{
    return FileStamp(Name) != -1;
}
