// The registry calls. On the NT family a handle carries the access it was
// opened with and each call checks it; the 9x family checks nothing.
#include <algorithm>
#include <cstring>

#include "platform/sim/registry_tree.h"

using namespace sim::detail;
using sim::Family;

namespace {

// Access bits that matter here; the WOW64 view flags are not access.
const REGSAM kViewFlags = 0x0100 | 0x0200;

bool AsksBeyondRead(REGSAM sam)
{
    return ((sam & ~kViewFlags) & ~static_cast<REGSAM>(KEY_READ)) != 0;
}

bool IsStringType(DWORD type)
{
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

// Opens or creates `path` below the handle's key; shared by RegOpenKeyExA and
// RegCreateKeyExA.
LSTATUS OpenPath(HKEY hKey, LPCSTR lpSubKey, REGSAM sam, bool create, PHKEY result, LPDWORD disposition)
{
    KeyRef ref = Lookup(hKey);
    if (ref.status != ERROR_SUCCESS) return ref.status;
    *result = nullptr;
    bool nt = sim::detail::M().family == Family::NT;
    std::string path = Str(lpSubKey);
    std::vector<std::string> parts;
    if (!SplitKeyPath(path, parts)) {
        // The 9x family creates below a leading backslash as if it were not
        // there, but finds nothing to open.
        if (nt) return ERROR_BAD_PATHNAME;
        if (!create) return ERROR_FILE_NOT_FOUND;
        SplitKeyPath(path.substr(1), parts);
    }

    RegKeyPtr key = ref.key;
    size_t i = 0;
    for (; i < parts.size(); ++i) {
        RegKeyPtr next = ChildOf(key, parts[i]);
        if (!next) break;
        key = next;
    }
    bool creating = i < parts.size();
    if (creating && !create) return ERROR_FILE_NOT_FOUND;
    // Creating needs the right to add a subkey to the key where the existing
    // path ends; that key's security decides, not the access of the handle
    // the path starts from.
    if (nt && creating && FullAccessDenied(key.get())) return ERROR_ACCESS_DENIED;
    if (nt && !creating && AsksBeyondRead(sam) && FullAccessDenied(key.get())) return ERROR_ACCESS_DENIED;
    for (; i < parts.size(); ++i) key = AddChild(key, parts[i]);
    *result = NewHandle(key, nt ? (sam & ~kViewFlags) : KEY_ALL_ACCESS);
    if (disposition) *disposition = creating ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    return ERROR_SUCCESS;
}

// The handle's key, ready for a value call that needs `needed`.
LSTATUS ValueTarget(HKEY hKey, REGSAM needed, RegKeyPtr& key)
{
    KeyRef ref = Lookup(hKey);
    if (ref.status != ERROR_SUCCESS) return ref.status;
    if (!Allowed(ref, needed)) return ERROR_ACCESS_DENIED;
    key = ref.key;
    return ERROR_SUCCESS;
}

}  // namespace

LSTATUS WINAPI RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, REGSAM samDesired, PHKEY phkResult)
{
    Hit hit = Enter("RegOpenKeyExA", {Str(lpSubKey), Str(HandlePath(hKey))});
    if (hit.fail) return static_cast<LSTATUS>(hit.error);
    if (!phkResult) return ERROR_INVALID_PARAMETER;
    return OpenPath(hKey, lpSubKey, samDesired, false, phkResult, nullptr);
}

LSTATUS WINAPI RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, LPSTR, DWORD, REGSAM samDesired,
                               LPSECURITY_ATTRIBUTES, PHKEY phkResult, LPDWORD lpdwDisposition)
{
    Hit hit = Enter("RegCreateKeyExA", {Str(lpSubKey), Str(HandlePath(hKey))});
    if (hit.fail) return static_cast<LSTATUS>(hit.error);
    if (!phkResult) return ERROR_BADKEY;
    return OpenPath(hKey, lpSubKey, samDesired, true, phkResult, lpdwDisposition);
}

LSTATUS WINAPI RegCloseKey(HKEY hKey)
{
    Hit hit = Enter("RegCloseKey", {Str(HandlePath(hKey))});
    if (sim::detail::RootKey(hKey)) return ERROR_SUCCESS;  // predefined handles need no closing
    auto& handles = sim::detail::M().keyHandles;
    auto it = handles.find(reinterpret_cast<uintptr_t>(hKey));
    if (it == handles.end()) return ERROR_INVALID_HANDLE;
    handles.erase(it);  // released even when a fault reports failure: no false leaks
    return hit.fail ? static_cast<LSTATUS>(hit.error) : ERROR_SUCCESS;
}

LSTATUS WINAPI RegQueryInfoKeyA(HKEY hKey, LPSTR lpClass, LPDWORD lpcchClass, LPDWORD lpReserved,
                                LPDWORD lpcSubKeys, LPDWORD lpcbMaxSubKeyLen, LPDWORD lpcbMaxClassLen,
                                LPDWORD lpcValues, LPDWORD lpcbMaxValueNameLen, LPDWORD lpcbMaxValueLen,
                                LPDWORD lpcbSecurityDescriptor, PFILETIME lpftLastWriteTime)
{
    Hit hit = Enter("RegQueryInfoKeyA", {Str(HandlePath(hKey))});
    if (hit.fail) return static_cast<LSTATUS>(hit.error);
    if (lpReserved) return ERROR_INVALID_PARAMETER;
    RegKeyPtr key;
    if (LSTATUS s = ValueTarget(hKey, KEY_QUERY_VALUE, key)) return s;

    DWORD maxSub = 0, maxName = 0, maxData = 0;
    for (auto& s : key->subkeys) maxSub = std::max(maxSub, static_cast<DWORD>(CharCount(s.second->name)));
    for (auto& v : key->values) {
        // Name lengths are counted in characters, as the system stores them.
        maxName = std::max(maxName, static_cast<DWORD>(CharCount(v.name)));
        maxData = std::max(maxData, static_cast<DWORD>(v.value.data.size()));
    }
    if (lpClass && lpcchClass && *lpcchClass > 0) lpClass[0] = '\0';
    if (lpcchClass) *lpcchClass = 0;
    if (lpcSubKeys) *lpcSubKeys = static_cast<DWORD>(key->subkeys.size());
    if (lpcbMaxSubKeyLen) *lpcbMaxSubKeyLen = maxSub;
    if (lpcbMaxClassLen) *lpcbMaxClassLen = 0;
    if (lpcValues) *lpcValues = static_cast<DWORD>(key->values.size());
    if (lpcbMaxValueNameLen) *lpcbMaxValueNameLen = maxName;
    if (lpcbMaxValueLen) *lpcbMaxValueLen = maxData;
    if (lpcbSecurityDescriptor) *lpcbSecurityDescriptor = 144;
    if (lpftLastWriteTime) *lpftLastWriteTime = key->lastWrite;
    return ERROR_SUCCESS;
}

LSTATUS WINAPI RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName, LPDWORD lpReserved,
                             LPSTR lpClass, LPDWORD lpcchClass, PFILETIME lpftLastWriteTime)
{
    Hit hit = Enter("RegEnumKeyExA", {Str(HandlePath(hKey))});
    if (hit.fail) return static_cast<LSTATUS>(hit.error);
    if (lpReserved || !lpName || !lpcchName) return ERROR_INVALID_PARAMETER;
    RegKeyPtr key;
    if (LSTATUS s = ValueTarget(hKey, KEY_ENUMERATE_SUB_KEYS, key)) return s;
    if (dwIndex >= key->subkeys.size()) return ERROR_NO_MORE_ITEMS;
    auto it = key->subkeys.begin();
    std::advance(it, dwIndex);
    const RegKey& sub = *it->second;
    // Too small: nothing is written, not even the needed length.
    if (sub.name.size() + 1 > *lpcchName) return ERROR_MORE_DATA;
    std::memcpy(lpName, sub.name.c_str(), sub.name.size() + 1);
    *lpcchName = static_cast<DWORD>(sub.name.size());
    if (lpClass && lpcchClass && *lpcchClass > 0) lpClass[0] = '\0';
    if (lpcchClass) *lpcchClass = 0;
    if (lpftLastWriteTime) *lpftLastWriteTime = sub.lastWrite;
    return ERROR_SUCCESS;
}

LSTATUS WINAPI RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey)
{
    Hit hit = Enter("RegDeleteKeyA", {Str(lpSubKey), Str(HandlePath(hKey))});
    if (hit.fail) return static_cast<LSTATUS>(hit.error);
    if (!lpSubKey) return ERROR_INVALID_PARAMETER;
    KeyRef ref = Lookup(hKey);
    if (ref.status != ERROR_SUCCESS) return ref.status;
    std::vector<std::string> parts;
    if (!SplitKeyPath(lpSubKey, parts)) return ERROR_BAD_PATHNAME;
    RegKeyPtr key = ref.key;
    for (const std::string& p : parts) {
        key = ChildOf(key, p);
        if (!key) return ERROR_FILE_NOT_FOUND;
    }
    if (IsRoot(key.get())) return ERROR_ACCESS_DENIED;
    if (sim::detail::M().family == Family::NT) {
        if (FullAccessDenied(key.get())) return ERROR_ACCESS_DENIED;  // no DELETE right
        if (!key->subkeys.empty()) return ERROR_ACCESS_DENIED;       // NT deletes leaves only
    }
    Unlink(key);  // the 9x family takes the whole subtree
    return ERROR_SUCCESS;
}

LSTATUS WINAPI RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData,
                                LPDWORD lpcbData)
{
    Hit hit = Enter("RegQueryValueExA", {Str(lpValueName), Str(HandlePath(hKey))});
    if (hit.fail) return static_cast<LSTATUS>(hit.error);
    if (lpReserved || (lpData && !lpcbData)) return ERROR_INVALID_PARAMETER;
    RegKeyPtr key;
    if (LSTATUS s = ValueTarget(hKey, KEY_QUERY_VALUE, key)) return s;
    RegKey::Value* v = FindValue(*key, Str(lpValueName));
    if (!v) return ERROR_FILE_NOT_FOUND;
    const std::string& data = v->value.data;
    if (lpType) *lpType = v->value.type;
    if (!lpcbData) return ERROR_SUCCESS;
    DWORD size = static_cast<DWORD>(data.size());
    if (lpData) {
        if (size > *lpcbData) {
            *lpcbData = size;
            return ERROR_MORE_DATA;
        }
        std::memcpy(lpData, data.data(), size);
        // Text stored without its zero gets one when there is room for it.
        if (IsStringType(v->value.type) && size < *lpcbData && (size == 0 || data.back() != '\0'))
            lpData[size] = 0;
    }
    *lpcbData = size;
    return ERROR_SUCCESS;
}

LSTATUS WINAPI RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD, DWORD dwType, const BYTE* lpData, DWORD cbData)
{
    Hit hit = Enter("RegSetValueExA", {Str(lpValueName), Str(HandlePath(hKey))});
    if (hit.fail) return static_cast<LSTATUS>(hit.error);
    if (!lpData && cbData) return ERROR_NOACCESS;
    RegKeyPtr key;
    if (LSTATUS s = ValueTarget(hKey, KEY_SET_VALUE, key)) return s;
    std::string bytes = cbData ? std::string(reinterpret_cast<const char*>(lpData), cbData) : std::string();
    if (RegKey::Value* v = FindValue(*key, Str(lpValueName))) {
        v->value = sim::RegValue{dwType, bytes};  // keeps its name and place
    } else {
        key->values.push_back({Str(lpValueName), sim::RegValue{dwType, bytes}});
    }
    key->lastWrite = Now();
    return ERROR_SUCCESS;
}

LSTATUS WINAPI RegDeleteValueA(HKEY hKey, LPCSTR lpValueName)
{
    Hit hit = Enter("RegDeleteValueA", {Str(lpValueName), Str(HandlePath(hKey))});
    if (hit.fail) return static_cast<LSTATUS>(hit.error);
    RegKeyPtr key;
    if (LSTATUS s = ValueTarget(hKey, KEY_SET_VALUE, key)) return s;
    auto& values = key->values;
    const std::string name = Str(lpValueName);
    auto it = std::find_if(values.begin(), values.end(), [&](const RegKey::Value& v) { return EqualNoCase(v.name, name); });
    if (it == values.end()) return ERROR_FILE_NOT_FOUND;
    values.erase(it);
    key->lastWrite = Now();
    return ERROR_SUCCESS;
}
