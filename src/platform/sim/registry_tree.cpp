// The registry's keys and the handles the tool holds to them. Subkeys are kept
// sorted case-insensitively, as Windows stores them; values in the order they
// were first set.
#include "platform/sim/registry_tree.h"

namespace sim {
namespace detail {

namespace {

struct RootName {
    uintptr_t handle;
    const char* name;
};
const RootName kRoots[] = {
    {0x80000000u, "HKEY_CLASSES_ROOT"},
    {0x80000001u, "HKEY_CURRENT_USER"},
    {0x80000002u, "HKEY_LOCAL_MACHINE"},
    {0x80000003u, "HKEY_USERS"},
};

uintptr_t HandleValue(HKEY key)
{
    // Only the low 32 bits of a predefined handle count, as on 64-bit Windows.
    uintptr_t v = reinterpret_cast<uintptr_t>(key);
    uintptr_t low = v & 0xFFFFFFFFu;
    return (low >= 0x80000000u && low <= 0x80000006u) ? low : v;
}

}  // namespace

void ResetRegistry()
{
    Machine& m = M();
    m.roots.clear();
    m.keyHandles.clear();
    for (const RootName& r : kRoots) {
        auto key = std::make_shared<RegKey>();
        key->name = r.name;
        key->path = r.name;
        key->lastWrite = Now();
        key->isRoot = true;
        m.roots[r.handle] = key;
    }
    CreateKey(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Keyboard Layouts");
    SetString(HKEY_CURRENT_USER, "Keyboard Layout\\Preload", "1", "00000804");
}

RegKeyPtr RootKey(HKEY root)
{
    auto it = M().roots.find(HandleValue(root));
    return it == M().roots.end() ? nullptr : it->second;
}

bool SplitKeyPath(const std::string& path, std::vector<std::string>& parts)
{
    parts.clear();
    if (!path.empty() && path[0] == '\\') return false;
    std::string cur;
    for (size_t i = 0; i < path.size(); ++i) {
        char c = path[i];
        if (IsLead(static_cast<BYTE>(c)) && i + 1 < path.size()) {
            cur += c;
            cur += path[++i];
        } else if (c == '\\') {
            if (!cur.empty()) parts.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.empty()) parts.push_back(cur);
    return true;
}

RegKeyPtr ChildOf(const RegKeyPtr& key, const std::string& name)
{
    auto it = key->subkeys.find(Fold(name));
    return it == key->subkeys.end() ? nullptr : it->second;
}

RegKeyPtr AddChild(const RegKeyPtr& key, const std::string& name)
{
    auto child = std::make_shared<RegKey>();
    child->name = name;
    child->path = key->path + "\\" + name;
    child->parent = key;
    child->lastWrite = Now();
    key->subkeys[Fold(name)] = child;
    key->lastWrite = Now();
    return child;
}

RegKeyPtr WalkKey(const RegKeyPtr& from, const std::string& path, bool create)
{
    std::vector<std::string> parts;
    if (!from || !SplitKeyPath(path, parts)) return nullptr;
    RegKeyPtr key = from;
    for (const std::string& p : parts) {
        RegKeyPtr next = ChildOf(key, p);
        if (!next) {
            if (!create) return nullptr;
            next = AddChild(key, p);
        }
        key = next;
    }
    return key;
}

void MarkDeleted(RegKey& key)
{
    key.deleted = true;
    for (auto& s : key.subkeys) MarkDeleted(*s.second);
}

void Unlink(const RegKeyPtr& key)
{
    MarkDeleted(*key);
    if (RegKeyPtr parent = key->parent.lock()) {
        parent->subkeys.erase(Fold(key->name));
        parent->lastWrite = Now();
    }
}

bool FullAccessDenied(const RegKey* key)
{
    if (!key) return false;
    if (key->denyFull) return true;
    for (RegKeyPtr up = key->parent.lock(); up; up = up->parent.lock())
        if (up->denyFull) return true;
    return false;
}

bool IsRoot(const RegKey* key)
{
    return key->isRoot;
}

KeyRef Lookup(HKEY handle)
{
    KeyRef ref;
    if (!handle) return ref;
    if (RegKeyPtr root = RootKey(handle)) {
        ref.key = root;
        // A predefined handle carries what the user may do at the root.
        ref.access = FullAccessDenied(root.get()) ? KEY_READ : KEY_ALL_ACCESS;
        ref.status = ERROR_SUCCESS;
        return ref;
    }
    auto it = M().keyHandles.find(reinterpret_cast<uintptr_t>(handle));
    if (it == M().keyHandles.end()) return ref;
    ref.key = it->second.key;
    ref.access = it->second.access;
    ref.status = ref.key->deleted ? ERROR_KEY_DELETED : ERROR_SUCCESS;
    return ref;
}

bool Allowed(const KeyRef& ref, REGSAM needed)
{
    // The 9x family has no registry security at all.
    return M().family == Family::Win9x || (ref.access & needed) == needed;
}

HKEY NewHandle(const RegKeyPtr& key, REGSAM access)
{
    uintptr_t value = M().nextHandle;
    M().nextHandle += 4;
    M().keyHandles[value] = RegHandle{key, access};
    return reinterpret_cast<HKEY>(value);
}

LPCSTR HandlePath(HKEY handle)
{
    // The handle's entry keeps the key, and with it the text, alive.
    const KeyRef ref = Lookup(handle);
    return ref.key ? ref.key->path.c_str() : "";
}

RegKey::Value* FindValue(RegKey& key, const std::string& name)
{
    for (auto& v : key.values)
        if (EqualNoCase(v.name, name)) return &v;
    return nullptr;
}

}  // namespace detail
}  // namespace sim
