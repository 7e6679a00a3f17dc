// The process's current directory, read and never set.
#include "platform/win32.h"
#include "support/helpers.h"
#include "support/platform_text.h"

std::string CurrentDirectory()
{
    // A directory longer than the usual buffer is read with a bigger one; a
    // failure gives the empty text, which callers must not take for a path.
    return QueryPlatformText(260, [](char* buffer, std::size_t size) {
        return GetCurrentDirectoryA(static_cast<DWORD>(size), buffer);
    });
}
