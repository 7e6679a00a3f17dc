#include "package_checker/wide_folder.h"

#include <vector>

#include "package_checker/text_forms.h"
#include "platform/win32.h"

namespace {

std::u16string Units(const WCHAR* text)
{
    std::u16string units;
    for (const WCHAR* p = text; p != nullptr && *p != 0; ++p) units += static_cast<char16_t>(*p);
    return units;
}

}  // namespace

std::string WideCommandLine()
{
    return Utf8FromUtf16(Units(GetCommandLineW()));
}

bool EnterFolder(const std::string& folder)
{
    const std::u16string units = Utf16FromUtf8(folder);
    const std::vector<WCHAR> path(units.c_str(), units.c_str() + units.size() + 1);  // with its zero
    return SetCurrentDirectoryW(path.data()) != 0;
}

std::string WideCurrentDirectory()
{
    std::vector<WCHAR> buffer(MAX_PATH + 1, 0);
    for (int attempt = 0; attempt < 3; ++attempt) {
        const DWORD answer = GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
        if (answer == 0) return std::string();
        if (answer < buffer.size()) return Utf8FromUtf16(Units(buffer.data()));
        buffer.assign(answer + 1, 0);  // too small: the size needed
    }
    return std::string();
}
