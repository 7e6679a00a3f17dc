// Unsigned decimal text of a 32-bit value, as wsprintfA's "%lu" writes it.
#include <array>

#include "platform/win32.h"
#include "support/helpers.h"

std::string IntToDecimal(std::int32_t Value)
{
    std::array<char, 33> buffer{};
    // "%lu" reads a 32-bit unsigned long on Windows: a negative value is
    // written as its unsigned reading.
    wsprintfA(buffer.data(), "%lu", static_cast<DWORD>(Value));
    return std::string(buffer.data());
}
