// The input method manager's IME registration and the loaded keyboard layouts.
//
// The manager reads the version resource of the IME file in the system
// directory (whatever folder the caller names: the setup program copies the
// file there first), by the file's name kept in 80 wide characters. It takes
// only a file marked as an input method driver, with a translation; the
// first translation's language is the layout's. An IME is registered as a
// layout key "E0NNxxxx" under the Keyboard Layouts key (NN the lowest free
// number from 20 hex, xxxx that language) with the values "Ime File" and
// "Layout Text"; a file already registered gets its layout back, unless that
// layout is of another language. The layout is loaded and put on the user's
// preload list.
#include <cstdio>

#include "platform/sim/state.h"
#include "platform/sim/version_resource.h"

using namespace sim::detail;
using sim::Family;

namespace {

const char kLayouts[] = "System\\CurrentControlSet\\Control\\Keyboard Layouts";
const char kPreload[] = "Keyboard Layout\\Preload";

// The file part of the full path name, as GetFullPathName gives it: "." and
// ".." taken and trailing dots and blanks dropped.
std::string NamePart(const std::string& path)
{
    const ResolvedPath full = Resolve(path, true);
    if (full.ok) return full.lastName;
    size_t start = 0;
    for (size_t i = 0; i < path.size(); ++i) {
        if (IsLead(static_cast<BYTE>(path[i])) && i + 1 < path.size()) {
            ++i;
            continue;
        }
        if (path[i] == '\\' || path[i] == '/' || path[i] == ':') start = i + 1;
    }
    return path.substr(start);
}

std::string Text(const std::optional<sim::RegValue>& v)
{
    if (!v) return std::string();
    std::string s = v->data;
    while (!s.empty() && s.back() == '\0') s.pop_back();
    return s;
}

std::string Hex8(DWORD v)
{
    char buf[9];
    std::snprintf(buf, sizeof buf, "%08X", static_cast<unsigned>(v));
    return buf;
}

HKL ToHkl(DWORD v)
{
    // Layout handles are 32-bit values, sign-extended in a 64-bit process.
    return reinterpret_cast<HKL>(static_cast<LONG_PTR>(static_cast<LONG>(v)));
}

constexpr DWORD kVftDrv = 3;
constexpr DWORD kVft2DrvInputMethod = 11;
// The file name is kept with its terminating zero in 80 wide characters; a
// longer one is cut, and the version resource is looked for under the cut name.
constexpr size_t kImeFileNameChars = 80;

std::string KeptName(const std::string& name)
{
    size_t at = 0;
    for (size_t chars = 0; at < name.size() && chars + 1 < kImeFileNameChars; ++chars) {
        at += IsLead(static_cast<BYTE>(name[at])) && at + 1 < name.size() ? 2 : 1;
    }
    return name.substr(0, at);
}

// The layout's language, or the error that refuses the file: what
// GetFileVersionInfoSize sets when it fails, and nothing for a version
// resource without the marks or a translation (Windows documents no code
// there, and the open reimplementation of the manager that follows Windows
// sets none).
struct ImeLanguage {
    bool ok = false;
    std::optional<DWORD> error;
    WORD language = 0;
};

ImeLanguage LanguageOfImeFile(const std::string& name)
{
    const std::string path = M().systemDirectory + "\\" + KeptName(name);
    if (!sim::FileExists(path)) return {false, ERROR_FILE_NOT_FOUND};
    // The version is read through an open of its own: a holder that shares
    // no reading (not a program that has the IME loaded) keeps it unread.
    const sim::detail::ResolvedPath where = sim::detail::Resolve(path);
    if (sim::detail::ShareConflict(where.key, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE)) {
        return {false, ERROR_SHARING_VIOLATION};
    }
    const FileVersionFacts version = ReadFileVersion(sim::FileContents(path));
    if (version.error != 0) return {false, version.error};
    if (!version.fixedInfo || version.fileType != kVftDrv || version.fileSubtype != kVft2DrvInputMethod ||
        !version.translation) {
        return {};
    }
    return {true, std::nullopt, version.language};
}

void AddToPreload(const std::string& layout)
{
    if (!sim::KeyExists(HKEY_CURRENT_USER, kPreload)) sim::CreateKey(HKEY_CURRENT_USER, kPreload);
    if (M().family == Family::Win9x) {
        // One numbered subkey per entry, the layout as its default value.
        auto names = sim::SubKeyNames(HKEY_CURRENT_USER, kPreload);
        for (const std::string& n : names)
            if (EqualNoCase(Text(sim::GetValue(HKEY_CURRENT_USER, std::string(kPreload) + "\\" + n, "")), layout))
                return;
        for (int n = 1;; ++n) {
            std::string sub = std::string(kPreload) + "\\" + std::to_string(n);
            if (sim::KeyExists(HKEY_CURRENT_USER, sub)) continue;
            sim::SetString(HKEY_CURRENT_USER, sub, "", layout);
            return;
        }
    }
    for (const std::string& n : sim::ValueNames(HKEY_CURRENT_USER, kPreload))
        if (EqualNoCase(Text(sim::GetValue(HKEY_CURRENT_USER, kPreload, n)), layout)) return;
    for (int n = 1;; ++n) {
        if (sim::GetValue(HKEY_CURRENT_USER, kPreload, std::to_string(n))) continue;
        sim::SetString(HKEY_CURRENT_USER, kPreload, std::to_string(n), layout);
        return;
    }
}

HKL Fail(DWORD error)
{
    SetLastError(error);
    return nullptr;
}

}  // namespace

HKL WINAPI ImmInstallIMEA(LPCSTR lpszIMEFileName, LPCSTR lpszLayoutText)
{
    Hit hit = Enter("ImmInstallIMEA", {Str(lpszIMEFileName), Str(lpszLayoutText)});
    if (hit.fail) return Fail(hit.error);
    if (!lpszIMEFileName || !lpszLayoutText) return Fail(ERROR_INVALID_PARAMETER);
    if (!sim::KeyExists(HKEY_LOCAL_MACHINE, kLayouts)) return Fail(ERROR_FILE_NOT_FOUND);
    const std::string imeName = NamePart(lpszIMEFileName);
    const ImeLanguage ime = LanguageOfImeFile(imeName);
    if (!ime.ok) return ime.error ? Fail(*ime.error) : nullptr;

    const auto layouts = sim::SubKeyNames(HKEY_LOCAL_MACHINE, kLayouts);
    for (const std::string& name : layouts) {
        std::string file = Text(sim::GetValue(HKEY_LOCAL_MACHINE, std::string(kLayouts) + "\\" + name, "Ime File"));
        if (!EqualNoCase(file, imeName)) continue;
        DWORD value = static_cast<DWORD>(std::strtoul(name.c_str(), nullptr, 16));
        if ((value & 0xFFFF) != ime.language) return nullptr;  // registered for another language
        M().loadedLayouts.insert(value);
        return ToHkl(value);
    }

    for (DWORD nn = 0x20; nn <= 0xFF; ++nn) {
        std::string prefix = Hex8(0xE000u | nn).substr(4);  // "E0NN"
        bool used = false;
        for (const std::string& name : layouts)
            if (Fold(name).compare(0, 4, prefix) == 0) used = true;
        if (used) continue;
        DWORD value = ((0xE000u | nn) << 16) | ime.language;
        std::string key = std::string(kLayouts) + "\\" + Hex8(value);
        sim::SetString(HKEY_LOCAL_MACHINE, key, "Ime File", Fold(imeName));
        sim::SetString(HKEY_LOCAL_MACHINE, key, "Layout Text", lpszLayoutText);
        M().loadedLayouts.insert(value);
        AddToPreload(Hex8(value));
        return ToHkl(value);
    }
    return Fail(ERROR_NOT_ENOUGH_MEMORY);  // all 224 IME layout numbers taken
}

BOOL WINAPI UnloadKeyboardLayout(HKL hkl)
{
    Hit hit = Enter("UnloadKeyboardLayout");
    if (hit.fail) {
        SetLastError(hit.error);
        return FALSE;
    }
    DWORD value = static_cast<DWORD>(reinterpret_cast<uintptr_t>(hkl) & 0xFFFFFFFFu);
    if (M().loadedLayouts.erase(value) == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return TRUE;
}

namespace sim {

bool IsLayoutLoaded(HKL layout)
{
    return M().loadedLayouts.count(static_cast<DWORD>(reinterpret_cast<uintptr_t>(layout) & 0xFFFFFFFFu)) != 0;
}

void SetLayoutLoaded(HKL layout, bool loaded)
{
    DWORD value = static_cast<DWORD>(reinterpret_cast<uintptr_t>(layout) & 0xFFFFFFFFu);
    if (loaded)
        M().loadedLayouts.insert(value);
    else
        M().loadedLayouts.erase(value);
}

}  // namespace sim
