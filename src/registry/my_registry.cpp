// The registry key object: one root, at most one open key below it, and the
// key and value operations on them.
#include "registry/my_registry.h"

#include <cstring>
#include <vector>

#include "registry/unique_hkey.h"

namespace MyRegistry {

namespace {

// Bounds the re-reads of a value that keeps growing while it is read.
constexpr int kMaxReads = 4;

// Puts a handle back into a slot when the scope ends, however it ends.
class HandleRestorer {
public:
    HandleRestorer(HKEY& slot, HKEY replacement) : slot_(slot), saved_(slot) { slot_ = replacement; }
    ~HandleRestorer() { slot_ = saved_; }
    HandleRestorer(const HandleRestorer&) = delete;
    HandleRestorer& operator=(const HandleRestorer&) = delete;

private:
    HKEY& slot_;
    HKEY saved_;
};

}  // namespace

// ---- Construction and the current key ----

TRegistry::TRegistry()
{
    SelectRoot(HKEY_CURRENT_USER);
    AccessMask = KEY_ALL_ACCESS;
    CloseOnRelease = true;
}

TRegistry::~TRegistry()
{
    ReleaseCurrentKey();
}

void TRegistry::SelectRoot(HKEY root)
{
    if (root == RootHandle) return;
    if (OwnsRoot) {
        RegCloseKey(RootHandle);
        OwnsRoot = false;
    }
    RootHandle = root;
    ReleaseCurrentKey();
}

void TRegistry::ReleaseCurrentKey()
{
    if (KeyHandle == nullptr) return;
    // The flushing release mode is not offered: CloseOnRelease is never cleared.
    if (CloseOnRelease) RegCloseKey(KeyHandle);
    KeyHandle = nullptr;
    KeyPath.clear();
}

void TRegistry::AdoptKey(HKEY key, std::string path)
{
    ReleaseCurrentKey();
    KeyHandle = key;
    KeyPath = std::move(path);
}

// ---- Paths ----

bool TRegistry::IsRelativePath(const std::string& path)
{
    return path.empty() || path[0] != '\\';
}

// Exactly one leading backslash goes; a trailing one stays and is passed on.
const char* TRegistry::StrippedPath(const std::string& path)
{
    return IsRelativePath(path) ? path.c_str() : path.c_str() + 1;
}

HKEY TRegistry::BaseKeyFor(bool relative) const
{
    return (relative && KeyHandle != nullptr) ? KeyHandle : RootHandle;
}

bool TRegistry::OpenKey(const std::string& path, bool canCreate)
{
    const bool relative = IsRelativePath(path);
    const char* stripped = StrippedPath(path);
    const HKEY base = BaseKeyFor(relative);

    // The new path is made while the old key is still current, and before a
    // handle exists that a failed allocation would have to give back.
    std::string newPath = (relative && KeyHandle != nullptr) ? KeyPath + "\\" + stripped : std::string(stripped);

    unique_hkey key;
    LSTATUS status;
    if (!canCreate || *stripped == '\0') {
        // An empty path opens the base key itself; nothing is created.
        status = RegOpenKeyExA(base, stripped, 0, AccessMask, key.put());
    } else {
        DWORD disposition = 0;
        status = RegCreateKeyExA(base, stripped, 0, nullptr, REG_OPTION_NON_VOLATILE, AccessMask, nullptr,
                                 key.put(), &disposition);
    }
    if (status != ERROR_SUCCESS) {
        key.release();  // whatever a failed call left there is not a handle of ours
        return false;
    }
    // The relative key is open below the old one; only now is the old one let go.
    AdoptKey(key.release(), std::move(newPath));
    return true;
}

HKEY TRegistry::OpenKeyHandle(const std::string& path)
{
    HKEY key = nullptr;
    const LSTATUS status = RegOpenKeyExA(BaseKeyFor(IsRelativePath(path)), StrippedPath(path), 0, AccessMask, &key);
    return status == ERROR_SUCCESS ? key : nullptr;
}

// ---- Erasing a tree ----

bool TRegistry::EraseKey(const std::string& path)
{
    const bool relative = IsRelativePath(path);
    const char* stripped = StrippedPath(path);
    // An empty path names the base key itself: its sub-key pass would empty
    // the whole root or current key, so nothing is erased.
    if (*stripped == '\0') return false;

    {
        unique_hkey key(OpenKeyHandle(path));
        if (key) EraseSubKeys(key.get());
    }
    return RegDeleteKeyA(BaseKeyFor(relative), stripped) == ERROR_SUCCESS;
}

void TRegistry::EraseSubKeys(HKEY key)
{
    // While the pass runs, the key stands in for the current key, so the
    // nested calls' relative names resolve below it.
    const HandleRestorer restore(KeyHandle, key);

    KeyInfo info;
    if (!QueryKeyInfo(info)) return;
    std::vector<char> name(static_cast<std::size_t>(info.LongestSubKeyName) + 1, '\0');
    // From the highest index down: a deleted sub-key shifts no index still to come.
    for (DWORD index = info.SubKeyCount; index-- > 0;) {
        DWORD length = info.LongestSubKeyName + 1;
        if (RegEnumKeyExA(key, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            continue;
        EraseKey(std::string(name.data(), strnlen(name.data(), name.size())));
    }
}

bool TRegistry::QueryKeyInfo(KeyInfo& info)
{
    info = KeyInfo{};
    DWORD subKeys = 0, longestSubKey = 0, values = 0, longestValue = 0, largestData = 0;
    const LSTATUS status = RegQueryInfoKeyA(KeyHandle, nullptr, nullptr, nullptr, &subKeys, &longestSubKey, nullptr,
                                            &values, &longestValue, &largestData, nullptr, &info.LastWritten);
    info.SubKeyCount = subKeys;
    info.LongestSubKeyName = longestSubKey;
    info.ValueCount = values;
    info.LongestValueName = longestValue;
    info.LargestData = largestData;
    // NT counts name lengths in UTF-16 characters; an ANSI name in a
    // double-byte code page can take two bytes for each.
    if (DbcsEnabled && PlatformId == VER_PLATFORM_WIN32_NT) {
        info.LongestSubKeyName *= 2;
        info.LongestValueName *= 2;
    }
    return status == ERROR_SUCCESS;
}

// ---- Values ----

bool TRegistry::QueryValueInfo(const std::string& name, ValueInfo& info)
{
    info = ValueInfo{};
    DWORD type = REG_NONE;
    DWORD size = 0;
    const LSTATUS status = RegQueryValueExA(KeyHandle, name.c_str(), nullptr, &type, nullptr, &size);
    info.Kind = RegTypeToKind(type);
    info.ByteCount = static_cast<std::int32_t>(size);
    return status == ERROR_SUCCESS;
}

bool TRegistry::HasValue(const std::string& name)
{
    ValueInfo scratch;
    return QueryValueInfo(name, scratch);
}

std::int32_t TRegistry::ValueSize(const std::string& name)
{
    ValueInfo info;
    return QueryValueInfo(name, info) ? info.ByteCount : -1;
}

LSTATUS TRegistry::FetchData(const std::string& name, void* buffer, DWORD& count, DWORD& regType)
{
    regType = REG_NONE;
    return RegQueryValueExA(KeyHandle, name.c_str(), nullptr, &regType, static_cast<LPBYTE>(buffer), &count);
}

LSTATUS TRegistry::StoreData(const std::string& name, const void* buffer, DWORD count, DWORD regType)
{
    return RegSetValueExA(KeyHandle, name.c_str(), 0, regType, static_cast<const BYTE*>(buffer), count);
}

// The whole data of a value that has some. A value that grows between the
// size query and the read is read again with the size the platform asks
// for, a bounded number of times; the result never holds more bytes than
// the read delivered.
bool TRegistry::FetchWhole(const std::string& name, std::string& data, DWORD& regType)
{
    const std::int32_t size = ValueSize(name);
    if (size <= 0) return false;
    DWORD capacity = static_cast<DWORD>(size);
    for (int read = 0; read < kMaxReads; ++read) {
        data.assign(capacity, '\0');
        DWORD count = capacity;
        const LSTATUS status = FetchData(name, &data[0], count, regType);
        if (status == ERROR_SUCCESS && count <= capacity) {
            data.resize(count);
            return true;
        }
        if (status != ERROR_MORE_DATA || count <= capacity) return false;
        capacity = count;
    }
    return false;
}

std::string TRegistry::GetText(const std::string& name)
{
    std::string data;
    DWORD type = REG_NONE;
    if (!FetchWhole(name, data, type)) return std::string();
    const ValueKind kind = RegTypeToKind(type);
    // Texts end at their first zero byte; other data comes back raw.
    if (kind == ValueKind::Text || kind == ValueKind::ExpandableText) {
        const std::size_t end = data.find('\0');
        if (end != std::string::npos) data.resize(end);
    }
    return data;
}

void TRegistry::PutText(const std::string& name, const std::string& text)
{
    // Written as Windows programs write text: the terminating zero counted.
    StoreData(name, text.c_str(), static_cast<DWORD>(text.size() + 1), KindToRegType(ValueKind::Text));
}

bool TRegistry::EraseValue(const std::string& name)
{
    return RegDeleteValueA(KeyHandle, name.c_str()) == ERROR_SUCCESS;
}

void TRegistry::MoveValue(const std::string& oldName, const std::string& newName)
{
    if (!HasValue(oldName)) return;
    if (HasValue(newName)) return;  // an existing value is never overwritten

    std::string data;
    DWORD type = REG_NONE;
    if (!FetchWhole(oldName, data, type)) return;
    if (data.empty()) return;  // a zero-length value keeps its old name

    // The copy is written first and keeps the value's own registry type, so
    // a failed write leaves the value where it was. If the old one then
    // cannot be deleted, the copy goes again: the move happens whole or not at all.
    if (StoreData(newName, data.data(), static_cast<DWORD>(data.size()), type) != ERROR_SUCCESS) return;
    if (!EraseValue(oldName)) RegDeleteValueA(KeyHandle, newName.c_str());
}

}  // namespace MyRegistry
