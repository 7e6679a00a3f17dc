// Libraries loaded at run time, and the user's list of enabled input methods
// that the system's input.dll serves (see machine.h). The list is kept at the
// interface's level, as Microsoft documents the three functions; where it is
// kept on Windows (a registry layout of its own) is not modelled.
#include <algorithm>
#include <cstdlib>

#include "platform/input_dll.h"
#include "platform/sim/state.h"

using namespace sim::detail;

namespace {

// Handles of loaded modules: distinct from every other handle of the machine.
uintptr_t nextModule = 0x7F000000;

bool IsSystemInputDll(const ResolvedPath& file)
{
    return M().inputDll && file.key == Fold(M().systemDirectory + "\\" + input_dll::kFileName);
}

// Where a name leads: a path with a folder as it is; a bare name first in the
// current directory (the program's), then in the system directory.
ResolvedPath Locate(const std::string& name)
{
    if (name.find('\\') != std::string::npos || name.find('/') != std::string::npos) return ResolveArgument(name);
    for (const std::string& folder : {M().currentDirectory, M().systemDirectory}) {
        const ResolvedPath candidate = Resolve(folder + "\\" + name);
        if (!candidate.ok) continue;
        const FileNode* node = FindNode(candidate.key);
        if ((node != nullptr && !node->directory) || IsSystemInputDll(candidate)) return candidate;
    }
    ResolvedPath missing;
    missing.error = ERROR_MOD_NOT_FOUND;
    return missing;
}

std::string Narrow(LPCWSTR text)
{
    std::u16string units;
    for (const WCHAR* p = text; p != nullptr && *p != 0; ++p) units += static_cast<char16_t>(*p);
    return AnsiFromUtf16(units);
}

auto FindItem(const std::string& id)
{
    std::vector<std::string>& items = M().inputItems;
    return std::find_if(items.begin(), items.end(), [&id](const std::string& item) { return EqualNoCase(item, id); });
}

WORD LanguageOf(const std::string& id)
{
    return static_cast<WORD>(std::strtoul(id.substr(0, 4).c_str(), nullptr, 16));
}

UINT WINAPI SimEnumEnabledLayoutOrTip(LPCWSTR pszUserReg, LPCWSTR pszSystemReg, LPCWSTR pszSoftwareReg,
                                      LAYOUTORTIPPROFILE* pLayoutOrTipProfile, UINT uBufLength)
{
    Hit hit = Enter("EnumEnabledLayoutOrTip");
    if (hit.fail) return 0;
    if (pszUserReg != nullptr || pszSystemReg != nullptr || pszSoftwareReg != nullptr) return 0;
    const std::vector<std::string>& items = M().inputItems;
    if (pLayoutOrTipProfile == nullptr) return static_cast<UINT>(items.size());
    UINT copied = 0;
    for (; copied < uBufLength && copied < items.size(); ++copied) {
        const std::string& id = items[copied];
        LAYOUTORTIPPROFILE profile{};
        profile.dwProfileType = id.find('{') == std::string::npos ? LOTP_KEYBOARDLAYOUT : LOTP_INPUTPROCESSOR;
        profile.langid = LanguageOf(id);
        profile.dwFlags = EqualNoCase(id, M().inputDefault) ? LOT_DEFAULT : 0;
        for (size_t i = 0; i < id.size() && i + 1 < MAX_PATH; ++i) profile.szId[i] = static_cast<WCHAR>(id[i]);
        pLayoutOrTipProfile[copied] = profile;
    }
    return copied;
}

BOOL WINAPI SimSetDefaultLayoutOrTip(LPCWSTR psz, DWORD /*dwFlags*/)
{
    const std::string id = Narrow(psz);
    Hit hit = Enter("SetDefaultLayoutOrTip", {Str(id.c_str())});
    if (hit.fail) return FALSE;
    const auto item = FindItem(id);
    if (item == M().inputItems.end()) return FALSE;
    M().inputDefault = *item;
    return TRUE;
}

BOOL WINAPI SimInstallLayoutOrTip(LPCWSTR psz, DWORD dwFlags)
{
    const std::string id = Narrow(psz);
    Hit hit = Enter("InstallLayoutOrTip", {Str(id.c_str())});
    if (hit.fail) return FALSE;
    std::vector<std::string>& items = M().inputItems;
    if (dwFlags & ILOT_CLEANINSTALL) {
        items.clear();
        M().inputDefault.clear();
    }
    const auto item = FindItem(id);
    if (dwFlags & ILOT_UNINSTALL) {
        if (item == items.end()) return TRUE;
        const bool wasDefault = EqualNoCase(*item, M().inputDefault);
        items.erase(item);
        if (wasDefault) M().inputDefault = items.empty() ? std::string() : items.front();
        return TRUE;
    }
    if (item == items.end()) items.push_back(id);
    if ((dwFlags & ILOT_DEFPROFILE) || M().inputDefault.empty()) M().inputDefault = *FindItem(id);
    return TRUE;
}

// Through void(*)() to tell the compiler the signature change is meant.
template <typename Function>
FARPROC Exported(Function function)
{
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(function));
}

}  // namespace

HMODULE WINAPI LoadLibraryExA(LPCSTR lpLibFileName, HANDLE /*hFile*/, DWORD /*dwFlags*/)
{
    Hit hit = Enter("LoadLibraryExA", {Str(lpLibFileName)});
    if (hit.fail) {
        SetLastError(hit.error);
        return nullptr;
    }
    if (lpLibFileName == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const ResolvedPath file = Locate(lpLibFileName);
    const FileNode* node = file.ok ? FindNode(file.key) : nullptr;
    if (!file.ok || (!IsSystemInputDll(file) && (node == nullptr || node->directory))) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    const uintptr_t handle = nextModule += 0x10000;
    M().modules[handle] = file.key;
    M().moduleLoads.push_back(file.full);
    return reinterpret_cast<HMODULE>(handle);
}

FARPROC WINAPI GetProcAddress(HMODULE hModule, LPCSTR lpProcName)
{
    Hit hit = Enter("GetProcAddress", {Str(lpProcName)});
    if (hit.fail) {
        SetLastError(hit.error);
        return nullptr;
    }
    const auto module = M().modules.find(reinterpret_cast<uintptr_t>(hModule));
    if (module == M().modules.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    const std::string name = lpProcName != nullptr ? lpProcName : "";
    const bool served = M().inputDll && module->second == Fold(M().systemDirectory + "\\" + input_dll::kFileName) &&
                        M().inputDllMissing.count(name) == 0;
    // Exported names compare exactly.
    if (served && name == input_dll::kEnumEnabled) return Exported(&SimEnumEnabledLayoutOrTip);
    if (served && name == input_dll::kSetDefault) return Exported(&SimSetDefaultLayoutOrTip);
    if (served && name == input_dll::kInstall) return Exported(&SimInstallLayoutOrTip);
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
}

BOOL WINAPI FreeLibrary(HMODULE hLibModule)
{
    Hit hit = Enter("FreeLibrary");
    // Even a failed free lets the module go, so that fault sweeps see no false leak.
    const size_t freed = M().modules.erase(reinterpret_cast<uintptr_t>(hLibModule));
    if (hit.fail || freed == 0) {
        SetLastError(hit.fail ? hit.error : ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

namespace sim {

void SetUserInputList(const std::vector<std::string>& items, const std::string& defaultItem)
{
    M().inputDll = true;
    M().inputItems = items;
    M().inputDefault = defaultItem;
}

void RemoveInputDllFunction(const std::string& name)
{
    M().inputDllMissing.insert(name);
}

std::vector<std::string> UserInputList()
{
    return M().inputItems;
}

std::string DefaultInputItem()
{
    return M().inputDefault;
}

std::vector<std::string> LoadedLibraries()
{
    return M().moduleLoads;
}

}  // namespace sim
