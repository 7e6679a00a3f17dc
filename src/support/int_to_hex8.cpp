// Eight-character upper-case hexadecimal text, blank-filled on the left, as
// wsprintfA's "%8X" writes it; the form a keyboard layout handle is named by.
#include <array>

#include "platform/win32.h"
#include "support/helpers.h"

std::string IntToHex8(std::int32_t Value)
{
    std::array<char, 9> buffer{};
    wsprintfA(buffer.data(), "%8X", static_cast<DWORD>(Value));
    return std::string(buffer.data());
}
