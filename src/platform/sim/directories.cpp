// The current and the system directory, with the Windows buffer rules: when
// the text fits, its length without the zero; when it does not, the size
// needed with the zero, and the buffer is left alone.
#include <cstring>

#include "platform/sim/state.h"

using namespace sim::detail;

namespace {

DWORD CopyOut(const std::string& text, LPSTR buffer, DWORD size)
{
    if (!buffer || size <= text.size()) return static_cast<DWORD>(text.size() + 1);
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return static_cast<DWORD>(text.size());
}

}  // namespace

DWORD WINAPI GetCurrentDirectoryA(DWORD nBufferLength, LPSTR lpBuffer)
{
    Hit hit = Enter("GetCurrentDirectoryA");
    if (hit.fail) {
        SetLastError(hit.error);
        return 0;
    }
    return CopyOut(M().currentDirectory, lpBuffer, nBufferLength);
}

UINT WINAPI GetSystemDirectoryA(LPSTR lpBuffer, UINT uSize)
{
    Hit hit = Enter("GetSystemDirectoryA");
    if (hit.fail) {
        SetLastError(hit.error);
        return 0;
    }
    return CopyOut(M().systemDirectory, lpBuffer, uSize);
}
