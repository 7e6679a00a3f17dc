// A stand-in for the system's input.dll, which Wine lacks. The end-to-end
// cases put it into the prefix's system directory as input.dll; it serves
// the user's list of input methods from "input-list.txt" beside itself and
// records every call of its three functions as a line of "input-calls.txt"
// there:  FUNCTION <TAB> ARGUMENT <TAB> NUMBER <TAB> key|no key
// (InstallLayoutOrTip and SetDefaultLayoutOrTip: the item and the flags;
// EnumEnabledLayoutOrTip: "current user" or "other roots", and the buffer's
// length or NULL), the last field telling whether the watched layout's key
// exists at that moment.
//
// input-list.txt: a first line "watch KKKKKKKK" (the layout to watch), then
// one enabled item per line, the default marked with a leading '*'. The
// functions change the list as Microsoft documents them; a removed default
// passes to the first item left.
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

// The documented structure (no header declares it).
struct LayoutOrTipProfile {
    DWORD dwProfileType;
    LANGID langid;
    CLSID clsid;
    GUID guidProfile;
    GUID catid;
    DWORD dwSubstituteLayout;
    DWORD dwFlags;
    WCHAR szId[MAX_PATH];
};
constexpr DWORD kProfileKeyboardLayout = 2;
constexpr DWORD kProfileInputProcessor = 1;
constexpr DWORD kDefaultItem = 0x0001;
constexpr DWORD kUninstall = 0x00000001;

HMODULE self = nullptr;

std::string Beside(const char* name)
{
    char path[MAX_PATH + 1] = "";
    GetModuleFileNameA(self, path, MAX_PATH);
    std::string folder = path;
    folder.resize(folder.find_last_of("\\/") + 1);
    return folder + name;
}

std::string ReadFileText(const std::string& path)
{
    std::string text;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
    CloseHandle(file);
    return text;
}

void WriteFileText(const std::string& path, const std::string& text, bool append)
{
    HANDLE file = CreateFileA(path.c_str(), append ? FILE_APPEND_DATA : GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              append ? OPEN_ALWAYS : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

bool Same(const std::string& a, const std::string& b)
{
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

struct List {
    std::string watched;
    std::vector<std::string> items;
    std::string defaultItem;
};

List Load()
{
    List list;
    const std::string text = ReadFileText(Beside("input-list.txt"));
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        if (line.compare(0, 6, "watch ") == 0) {
            list.watched = line.substr(6);
        } else if (line[0] == '*') {
            list.defaultItem = line.substr(1);
            list.items.push_back(line.substr(1));
        } else {
            list.items.push_back(line);
        }
    }
    return list;
}

void Save(const List& list)
{
    std::string text = "watch " + list.watched + "\r\n";
    for (const std::string& item : list.items) text += (Same(item, list.defaultItem) ? "*" : "") + item + "\r\n";
    WriteFileText(Beside("input-list.txt"), text, false);
}

std::string Narrow(LPCWSTR text)
{
    std::string out;
    for (const WCHAR* p = text; p != nullptr && *p != 0; ++p) out += *p < 0x80 ? static_cast<char>(*p) : '?';
    return out;
}

void Record(const List& list, const char* function, const std::string& argument, const std::string& number)
{
    HKEY key = nullptr;
    const std::string path = "System\\CurrentControlSet\\Control\\Keyboard Layouts\\" + list.watched;
    const bool exists = !list.watched.empty() &&
                        RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS;
    if (key != nullptr) RegCloseKey(key);
    WriteFileText(Beside("input-calls.txt"),
                  std::string(function) + "\t" + argument + "\t" + number + "\t" + (exists ? "key" : "no key") + "\r\n",
                  true);
}

std::string Flags(DWORD flags)
{
    char text[16];
    wsprintfA(text, "0x%X", static_cast<unsigned>(flags));
    return text;
}

}  // namespace

extern "C" __declspec(dllexport) UINT WINAPI EnumEnabledLayoutOrTip(LPCWSTR pszUserReg, LPCWSTR pszSystemReg,
                                                                    LPCWSTR pszSoftwareReg,
                                                                    LayoutOrTipProfile* pLayoutOrTipProfile,
                                                                    UINT uBufLength)
{
    const List list = Load();
    const bool currentUser = pszUserReg == nullptr && pszSystemReg == nullptr && pszSoftwareReg == nullptr;
    Record(list, "EnumEnabledLayoutOrTip", currentUser ? "current user" : "other roots",
           pLayoutOrTipProfile == nullptr ? "NULL" : std::to_string(uBufLength));
    if (!currentUser) return 0;
    if (pLayoutOrTipProfile == nullptr) return static_cast<UINT>(list.items.size());
    UINT copied = 0;
    for (; copied < uBufLength && copied < list.items.size(); ++copied) {
        const std::string& id = list.items[copied];
        LayoutOrTipProfile profile{};
        profile.dwProfileType = id.find('{') == std::string::npos ? kProfileKeyboardLayout : kProfileInputProcessor;
        profile.langid = static_cast<LANGID>(strtoul(id.substr(0, 4).c_str(), nullptr, 16));
        profile.dwFlags = Same(id, list.defaultItem) ? kDefaultItem : 0;
        for (size_t i = 0; i < id.size() && i + 1 < MAX_PATH; ++i) profile.szId[i] = static_cast<WCHAR>(id[i]);
        pLayoutOrTipProfile[copied] = profile;
    }
    return copied;
}

extern "C" __declspec(dllexport) BOOL WINAPI SetDefaultLayoutOrTip(LPCWSTR psz, DWORD dwFlags)
{
    List list = Load();
    const std::string id = Narrow(psz);
    Record(list, "SetDefaultLayoutOrTip", id, Flags(dwFlags));
    for (const std::string& item : list.items) {
        if (!Same(item, id)) continue;
        list.defaultItem = item;
        Save(list);
        return TRUE;
    }
    return FALSE;  // not enabled
}

extern "C" __declspec(dllexport) BOOL WINAPI InstallLayoutOrTip(LPCWSTR psz, DWORD dwFlags)
{
    List list = Load();
    const std::string id = Narrow(psz);
    Record(list, "InstallLayoutOrTip", id, Flags(dwFlags));
    if (!(dwFlags & kUninstall)) return FALSE;  // only taking out is served
    for (auto item = list.items.begin(); item != list.items.end(); ++item) {
        if (!Same(*item, id)) continue;
        const bool wasDefault = Same(*item, list.defaultItem);
        list.items.erase(item);
        if (wasDefault) list.defaultItem = list.items.empty() ? std::string() : list.items.front();
        Save(list);
        break;
    }
    return TRUE;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) self = instance;
    return TRUE;
}
