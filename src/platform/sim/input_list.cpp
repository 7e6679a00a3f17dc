// The user's list of enabled input methods that the system's input.dll
// serves (see machine.h); the DLL is loaded through modules.cpp. The list is
// kept at the interface's level, as Microsoft documents the three functions;
// where it is kept on Windows (a registry layout of its own) is not modelled.
#include <algorithm>
#include <cstdlib>

#include "platform/input_dll.h"
#include "platform/sim/state.h"

using namespace sim::detail;

namespace {

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

namespace sim {

void SetUserInputList(const std::vector<std::string>& items, const std::string& defaultItem)
{
    // A second call keeps the exports a test took away.
    if (M().systemLibraries.count(Fold(input_dll::kFileName)) == 0) {
        PutSystemLibrary(input_dll::kFileName, {{input_dll::kEnumEnabled, Exported(&SimEnumEnabledLayoutOrTip)},
                                                {input_dll::kSetDefault, Exported(&SimSetDefaultLayoutOrTip)},
                                                {input_dll::kInstall, Exported(&SimInstallLayoutOrTip)}});
    }
    M().inputItems = items;
    M().inputDefault = defaultItem;
}

std::vector<std::string> UserInputList()
{
    return M().inputItems;
}

std::string DefaultInputItem()
{
    return M().inputDefault;
}

}  // namespace sim
