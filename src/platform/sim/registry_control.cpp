// Test control of the simulated registry.
#include "platform/sim/registry_tree.h"

namespace sim {

using namespace detail;

namespace {

RegKeyPtr KeyAt(HKEY root, const std::string& path)
{
    return WalkKey(RootKey(root), path, false);
}

}  // namespace

void CreateKey(HKEY root, const std::string& path)
{
    WalkKey(RootKey(root), path, true);
}

bool KeyExists(HKEY root, const std::string& path)
{
    return KeyAt(root, path) != nullptr;
}

void DeleteKeyTree(HKEY root, const std::string& path)
{
    RegKeyPtr key = KeyAt(root, path);
    if (key && !IsRoot(key.get())) Unlink(key);
}

void SetValue(HKEY root, const std::string& path, const std::string& name, DWORD type, const std::string& data)
{
    RegKeyPtr key = WalkKey(RootKey(root), path, true);
    if (!key) return;
    if (RegKey::Value* v = FindValue(*key, name))
        v->value = RegValue{type, data};
    else
        key->values.push_back({name, RegValue{type, data}});
    key->lastWrite = Now();
}

void SetString(HKEY root, const std::string& path, const std::string& name, const std::string& text)
{
    SetValue(root, path, name, REG_SZ, text + std::string(1, '\0'));
}

std::optional<RegValue> GetValue(HKEY root, const std::string& path, const std::string& name)
{
    RegKeyPtr key = KeyAt(root, path);
    if (!key) return std::nullopt;
    if (RegKey::Value* v = FindValue(*key, name)) return v->value;
    return std::nullopt;
}

std::vector<std::string> SubKeyNames(HKEY root, const std::string& path)
{
    std::vector<std::string> names;
    if (RegKeyPtr key = KeyAt(root, path))
        for (auto& s : key->subkeys) names.push_back(s.second->name);
    return names;
}

std::vector<std::string> ValueNames(HKEY root, const std::string& path)
{
    std::vector<std::string> names;
    if (RegKeyPtr key = KeyAt(root, path))
        for (auto& v : key->values) names.push_back(v.name);
    return names;
}

void DenyFullAccess(HKEY root, const std::string& path, bool deny)
{
    if (RegKeyPtr key = KeyAt(root, path)) key->denyFull = deny;
}

}  // namespace sim
