#include "package_checker/registered_layouts.h"

#include <cstdlib>

#include "package_checker/file_names.h"
#include "platform/win32.h"
#include "registry/unique_hkey.h"

namespace {

constexpr char kLayoutList[] = "System\\CurrentControlSet\\Control\\Keyboard Layouts";
constexpr DWORD kLongestKeyName = 255;

std::string ImeFileOf(HKEY layouts, const std::string& keyName)
{
    MyRegistry::unique_hkey layout;
    if (RegOpenKeyExA(layouts, keyName.c_str(), 0, KEY_QUERY_VALUE, layout.put()) != ERROR_SUCCESS) return "";
    char value[MAX_PATH + 1] = "";
    DWORD size = MAX_PATH;
    DWORD type = 0;
    if (RegQueryValueExA(layout.get(), "Ime File", nullptr, &type, reinterpret_cast<BYTE*>(value), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ) {
        return "";
    }
    value[size < MAX_PATH ? size : MAX_PATH] = '\0';
    return value;
}

}  // namespace

std::vector<RegisteredLayout> LayoutsOfImeFile(const std::string& fileName)
{
    std::vector<RegisteredLayout> found;
    MyRegistry::unique_hkey layouts;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kLayoutList, 0, KEY_READ, layouts.put()) != ERROR_SUCCESS) return found;
    const std::string wanted = FoldedFileName(fileName);
    for (DWORD index = 0;; ++index) {
        char name[kLongestKeyName + 1] = "";
        DWORD length = kLongestKeyName + 1;
        const LSTATUS status = RegEnumKeyExA(layouts.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_MORE_DATA) continue;
        if (status != ERROR_SUCCESS) break;
        if (name[0] != 'E' && name[0] != 'e') continue;  // not an input method's layout
        const std::string file = ImeFileOf(layouts.get(), name);
        if (file.empty() || HasDirectoryPart(file) || FoldedFileName(file) != wanted) continue;
        found.push_back({name, static_cast<std::uint16_t>(std::strtoul(name, nullptr, 16) & 0xFFFF)});
    }
    return found;
}
