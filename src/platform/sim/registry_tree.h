// Internal helpers over the registry tree, shared by the Win32 registry calls
// and the test control.
#pragma once

#include "platform/sim/state.h"

namespace sim {
namespace detail {

// What a handle refers to: its key and the access it was opened with.
struct KeyRef {
    RegKeyPtr key;
    REGSAM access = 0;
    LSTATUS status = ERROR_INVALID_HANDLE;  // success, 6 unknown, 1018 deleted
};

KeyRef Lookup(HKEY handle);
bool Allowed(const KeyRef& ref, REGSAM needed);
HKEY NewHandle(const RegKeyPtr& key, REGSAM access);
LPCSTR HandlePath(HKEY handle);  // for fault filters; held by the key, so nothing is copied

// Splits a subkey path at backslashes; false for a leading backslash. A
// trailing backslash and doubled ones add no component.
bool SplitKeyPath(const std::string& path, std::vector<std::string>& parts);
RegKeyPtr ChildOf(const RegKeyPtr& key, const std::string& name);
RegKeyPtr AddChild(const RegKeyPtr& key, const std::string& name);
void Unlink(const RegKeyPtr& key);  // removes it from its parent, marks the subtree deleted
bool FullAccessDenied(const RegKey* key);  // on the key or one above it
bool IsRoot(const RegKey* key);
RegKey::Value* FindValue(RegKey& key, const std::string& name);

}  // namespace detail
}  // namespace sim
