// The registry key object over random trees below HKEY_CURRENT_USER\Fuzz:
// a random tree, then a random series of OpenKey, EraseKey and MoveValue on
// one object, each checked against a model of the tree. Names are compared as
// the registry compares them: a..z folded, the trail byte of a double-byte
// character never.
//
// EraseKey of an existing key removes it with everything below it and is
// true; of a missing one is false; neither changes anything else, nor the
// object's current key and path. MoveValue renames a value with data, keeping
// its type and bytes, and never overwrites.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/sim/machine.h"
#include "registry/my_registry.h"

namespace {

const char kTop[] = "Fuzz";

bool doubleByte = true;

std::string Fold(const std::string& name)
{
    std::string folded = name;
    for (size_t i = 0; i < folded.size(); ++i) {
        const auto c = static_cast<unsigned char>(folded[i]);
        if (doubleByte && c >= 0x81 && c <= 0xFE && i + 1 < folded.size()) {
            ++i;
            continue;
        }
        if (c >= 'a' && c <= 'z') folded[i] = static_cast<char>(c - 'a' + 'A');
    }
    return folded;
}

struct Node {
    std::map<std::string, std::unique_ptr<Node>> keys;  // by folded name
    std::map<std::string, sim::RegValue> values;         // by folded name
};

bool Same(const sim::RegValue& a, const sim::RegValue& b) { return a.type == b.type && a.data == b.data; }

bool Same(const Node& a, const Node& b)
{
    if (a.keys.size() != b.keys.size() || a.values.size() != b.values.size()) return false;
    for (const auto& [name, value] : a.values) {
        const auto it = b.values.find(name);
        if (it == b.values.end() || !Same(value, it->second)) return false;
    }
    for (const auto& [name, key] : a.keys) {
        const auto it = b.keys.find(name);
        if (it == b.keys.end() || !Same(*key, *it->second)) return false;
    }
    return true;
}

std::unique_ptr<Node> Read(const std::string& path)
{
    auto node = std::make_unique<Node>();
    for (const std::string& name : sim::ValueNames(HKEY_CURRENT_USER, path))
        node->values[Fold(name)] = *sim::GetValue(HKEY_CURRENT_USER, path, name);
    for (const std::string& name : sim::SubKeyNames(HKEY_CURRENT_USER, path))
        node->keys[Fold(name)] = Read(path + "\\" + name);
    return node;
}

// A path below the top as a list of names; the model's node for it, or null.
Node* Walk(Node& top, const std::vector<std::string>& names)
{
    Node* node = &top;
    for (const std::string& name : names) {
        const auto it = node->keys.find(Fold(name));
        if (it == node->keys.end()) return nullptr;
        node = it->second.get();
    }
    return node;
}

std::string Join(const std::vector<std::string>& names)
{
    std::string path;
    for (const std::string& name : names) path += (path.empty() ? "" : "\\") + name;
    return path;
}

std::string PickName(FuzzedDataProvider& input)
{
    static const std::string ascii[] = {"a", "A", "b", "Key", "x y", "1", "2", "10"};
    static const std::string gbk[] = {"\xB2\xE2", "\xB2\xE2\xCA\xD4", "\x81\x61", "\x81\x41", "\xD7\xD3"};
    const size_t pick = input.ConsumeIntegralInRange<size_t>(0, 14);
    if (pick < 8) return ascii[pick];
    if (pick < 13) return doubleByte ? gbk[pick - 8] : ascii[pick - 8];
    if (pick == 13) return std::string(input.ConsumeIntegralInRange<size_t>(1, 200), 'n');
    // A few characters of the fuzzer's own, without the path separator or zero.
    std::string name = input.ConsumeRandomLengthString(6);
    std::string clean;
    for (char c : name) {
        const auto b = static_cast<unsigned char>(c);
        if (c != '\\' && b >= 0x20 && b < 0x7F) clean += c;
    }
    return clean.empty() ? "z" : clean;
}

std::string PickValueName(FuzzedDataProvider& input)
{
    static const std::string names[] = {"", "v", "V", "1", "2", "Ime File", "\xB2\xE2", "\x81\x61"};
    const size_t pick = input.ConsumeIntegralInRange<size_t>(0, doubleByte ? 7 : 5);
    return names[pick];
}

std::vector<std::string> PickPath(FuzzedDataProvider& input)
{
    std::vector<std::string> names;
    const int depth = input.ConsumeIntegralInRange<int>(0, 4);
    for (int i = 0; i < depth; ++i) names.push_back(PickName(input));
    return names;
}

void Require(bool condition)
{
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const uint8_t machine = input.ConsumeIntegral<uint8_t>();
    doubleByte = (machine & 1) == 0;

    sim::Reset();
    sim::SetCodePage(doubleByte ? 936 : 1252);
    sim::SetDbcsEnabled(doubleByte);
    sim::SetFamily((machine & 2) ? sim::Family::Win9x : sim::Family::NT);
    sim::CreateKey(HKEY_CURRENT_USER, kTop);

    // The tree: keys along random paths, a chain some levels deep, values.
    const int keys = input.ConsumeIntegralInRange<int>(0, 24);
    for (int i = 0; i < keys; ++i) sim::CreateKey(HKEY_CURRENT_USER, Join({kTop, Join(PickPath(input))}));
    if (machine & 4) {
        std::vector<std::string> chain{kTop};
        const int depth = input.ConsumeIntegralInRange<int>(1, 64);
        for (int i = 0; i < depth; ++i) chain.push_back(i % 2 ? "a" : "A");
        sim::CreateKey(HKEY_CURRENT_USER, Join(chain));
    }
    const int values = input.ConsumeIntegralInRange<int>(0, 16);
    for (int i = 0; i < values; ++i) {
        static const DWORD types[] = {REG_SZ, REG_EXPAND_SZ, REG_BINARY, REG_DWORD, REG_NONE, REG_MULTI_SZ};
        const std::string path = Join({kTop, Join(PickPath(input))});
        if (!sim::KeyExists(HKEY_CURRENT_USER, path)) continue;
        const DWORD type = types[input.ConsumeIntegralInRange<size_t>(0, 5)];
        sim::SetValue(HKEY_CURRENT_USER, path, PickValueName(input), type, input.ConsumeRandomLengthString(16));
    }

    MyRegistry::StartModule();
    std::unique_ptr<Node> model = Read(kTop);
    MyRegistry::TRegistry registry;
    std::vector<std::string> current;  // the current key below HKEY_CURRENT_USER, when there is one
    bool hasCurrent = false;
    bool currentDeleted = false;

    for (int step = 0; step < 16 && input.remaining_bytes() > 0; ++step) {
        const int operation = input.ConsumeIntegralInRange<int>(0, 2);
        const bool relative = input.ConsumeBool();
        std::vector<std::string> names = PickPath(input);
        // The key a path names: relative ones below the current key (or the root).
        std::vector<std::string> target;
        if (relative && hasCurrent) target = current;
        if (!relative) target.push_back(kTop);
        target.insert(target.end(), names.begin(), names.end());
        const std::string path = relative ? Join(names) : "\\" + Join(target);
        // The model holds only the tree below the top key.
        const bool belowTop = !target.empty() && Fold(target[0]) == Fold(kTop);
        std::vector<std::string> inTop(target.begin() + (belowTop ? 1 : 0), target.end());
        Node* node = belowTop && !(relative && currentDeleted) ? Walk(*model, inTop) : nullptr;

        if (operation == 0) {  // OpenKey
            // Keep to the fuzzing tree. An empty relative path reopens the current key
            // under its path with a backslash added, as the object defines it.
            if (!belowTop || (relative && names.empty())) continue;
            const bool opened = registry.OpenKey(path, false);
            Require(opened == (node != nullptr));
            if (opened) {
                current = target;
                hasCurrent = true;
                currentDeleted = false;
                Require(registry.CurrentPath() == Join(target));
            }
        } else if (operation == 1) {  // EraseKey
            if (!belowTop || inTop.empty() || names.empty()) continue;  // never the top or the root itself
            const HKEY key = registry.CurrentKey();
            const std::string keyPath = registry.CurrentPath();
            const bool erased = registry.EraseKey(path);
            Require(erased == (node != nullptr));
            Require(registry.CurrentKey() == key && registry.CurrentPath() == keyPath);
            if (node != nullptr) {
                Node* parent = Walk(*model, std::vector<std::string>(inTop.begin(), inTop.end() - 1));
                parent->keys.erase(Fold(inTop.back()));
                // The current key is gone when it lay in the erased tree.
                if (hasCurrent && current.size() >= target.size() &&
                    Fold(Join(std::vector<std::string>(current.begin(), current.begin() + target.size()))) ==
                        Fold(Join(target)))
                    currentDeleted = true;
            }
        } else {  // MoveValue on the current key
            const std::string from = PickValueName(input);
            const std::string to = PickValueName(input);
            registry.MoveValue(from, to);
            if (hasCurrent && !currentDeleted && Fold(current[0]) == Fold(kTop)) {
                Node* key = Walk(*model, std::vector<std::string>(current.begin() + 1, current.end()));
                Require(key != nullptr);
                const auto old = key->values.find(Fold(from));
                if (old != key->values.end() && key->values.count(Fold(to)) == 0 && !old->second.data.empty()) {
                    key->values[Fold(to)] = old->second;
                    key->values.erase(Fold(from));
                }
            }
        }
        Require(Same(*Read(kTop), *model));
        Require(sim::OpenKeyCount() == (registry.CurrentKey() != nullptr ? 1 : 0));
    }
    return 0;
}
