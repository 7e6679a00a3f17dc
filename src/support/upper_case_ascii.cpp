// The tool's only case folding: a..z to A..Z, byte by byte, whatever the code
// page (the trail byte of a double-byte character is folded as well).
#include "support/helpers.h"

std::string UpperCaseAscii(const std::string& Source)
{
    std::string result(Source);
    for (char& byte : result) {
        if (byte >= 'a' && byte <= 'z') {
            byte = static_cast<char>(byte - 0x20);
        }
    }
    return result;
}
