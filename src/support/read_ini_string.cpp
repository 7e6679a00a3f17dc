// One value of a profile file, as the platform's profile reader returns it.
#include <algorithm>
#include <array>

#include "platform/win32.h"
#include "support/helpers.h"

std::string ReadIniString(const std::string& Section, const std::string& Key, const std::string& Default,
                          const std::string& FileName)
{
    std::array<char, 2048> buffer{};
    const DWORD copied = GetPrivateProfileStringA(Section.c_str(), Key.c_str(), Default.c_str(), buffer.data(),
                                                  static_cast<DWORD>(buffer.size()), FileName.c_str());
    // The reader never reports more than it can have copied; the clamp keeps a
    // misbehaving one from taking us past the buffer.
    const std::size_t length = std::min<std::size_t>(copied, buffer.size() - 1);
    return std::string(buffer.data(), length);
}
