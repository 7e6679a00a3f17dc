// Module MyRegistry: the registry key object TRegistry, the tool's only road
// to the registry, and the two machine facts it records at process start.
#pragma once

#include <cstdint>
#include <string>

#include "platform/win32.h"

namespace MyRegistry {

// Written once by StartModule, before any TRegistry exists; read by QueryKeyInfo.
extern bool DbcsEnabled;
extern std::int32_t PlatformId;

// Records DbcsEnabled (GetSystemMetrics) and PlatformId (GetVersionExA).
// Called by the program's entry before the driver runs.
void StartModule();

enum class ValueKind : std::uint8_t { Other = 0, Text = 1, ExpandableText = 2, Number = 3, Bytes = 4 };

DWORD KindToRegType(ValueKind kind);
ValueKind RegTypeToKind(DWORD regType);

struct ValueInfo {
    ValueKind Kind;
    std::int32_t ByteCount;
};

struct KeyInfo {
    std::uint32_t SubKeyCount;
    std::uint32_t LongestSubKeyName;
    std::uint32_t ValueCount;
    std::uint32_t LongestValueName;
    std::uint32_t LargestData;
    FILETIME LastWritten;
};

// One root key and at most one open key below it, the current key. The
// platform's failures come back as false, an empty text or -1. Exhausted
// memory is no answer of the registry and is not turned into one ("no such
// key", "no value"), which a caller would act on: std::bad_alloc leaves the
// operation with the current key as it was and every handle the operation
// opened closed (a tree erase may have stopped part-way).
class TRegistry {
public:
    TRegistry();
    virtual ~TRegistry();
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    void SelectRoot(HKEY root);
    bool OpenKey(const std::string& path, bool canCreate);
    bool HasValue(const std::string& name);
    std::string GetText(const std::string& name);
    void PutText(const std::string& name, const std::string& text);
    bool EraseValue(const std::string& name);
    void MoveValue(const std::string& oldName, const std::string& newName);
    bool EraseKey(const std::string& path);

    HKEY CurrentKey() const { return KeyHandle; }
    HKEY Root() const { return RootHandle; }
    const std::string& CurrentPath() const { return KeyPath; }

private:
    friend struct TRegistryTestAccess;  // the tests reach QueryKeyInfo through it

    static bool IsRelativePath(const std::string& path);
    static const char* StrippedPath(const std::string& path);
    HKEY BaseKeyFor(bool relative) const;
    void ReleaseCurrentKey();
    void AdoptKey(HKEY key, std::string path);
    HKEY OpenKeyHandle(const std::string& path);
    bool QueryKeyInfo(KeyInfo& info);
    bool QueryValueInfo(const std::string& name, ValueInfo& info);
    std::int32_t ValueSize(const std::string& name);
    // Raw reads and writes give the platform's status and registry type, so a
    // move can refuse to act on a failed read or write and keeps any type.
    LSTATUS FetchData(const std::string& name, void* buffer, DWORD& count, DWORD& regType);
    LSTATUS StoreData(const std::string& name, const void* buffer, DWORD count, DWORD regType);
    bool FetchWhole(const std::string& name, std::string& data, DWORD& regType);
    void EraseSubKeys(HKEY key);

    HKEY KeyHandle = nullptr;
    HKEY RootHandle = nullptr;
    bool CloseOnRelease = false;
    std::string KeyPath;
    bool OwnsRoot = false;
    REGSAM AccessMask = 0;
};

}  // namespace MyRegistry
