// The preload list edit over random lists in both forms, checked against a
// small model: exactly the first matching entry among 1..100 is removed, the
// entries behind it move down by one number, and nothing else changes:
// entries above 100, entries behind a gap, other values and sub-keys.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/sim/machine.h"
#include "registration/registration.h"
#include "registry/my_registry.h"

namespace {

const char kPreload[] = "Keyboard Layout\\Preload";
constexpr int kLastEntry = 100;

using Values = std::map<std::string, sim::RegValue>;  // by name

// One sub-key entry (subkey form): its values (the default one under "")
// and the names of its own sub-keys.
struct Entry {
    Values values;
    std::vector<std::string> subKeys;
};
using Entries = std::map<std::string, Entry>;

bool Same(const Values& a, const Values& b)
{
    if (a.size() != b.size()) return false;
    for (auto i = a.begin(), j = b.begin(); i != a.end(); ++i, ++j) {
        if (i->first != j->first || i->second.type != j->second.type || i->second.data != j->second.data) return false;
    }
    return true;
}

bool Same(const Entries& a, const Entries& b)
{
    if (a.size() != b.size()) return false;
    for (auto i = a.begin(), j = b.begin(); i != a.end(); ++i, ++j) {
        if (i->first != j->first || !Same(i->second.values, j->second.values) || i->second.subKeys != j->second.subKeys)
            return false;
    }
    return true;
}

std::string Upper(std::string text)
{
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

// A value's text as the registry object reads it: REG_SZ and REG_EXPAND_SZ
// end at their first zero byte, other data comes back whole.
std::string TextOf(const std::optional<sim::RegValue>& value)
{
    if (!value || value->data.empty()) return std::string();
    if (value->type == REG_SZ || value->type == REG_EXPAND_SZ) return value->data.substr(0, value->data.find('\0'));
    return value->data;
}

std::optional<sim::RegValue> Find(const Values& values, const std::string& name)
{
    const auto it = values.find(name);
    if (it == values.end()) return std::nullopt;
    return it->second;
}

sim::RegValue SzOf(const std::string& text) { return sim::RegValue{REG_SZ, text + '\0'}; }

// ---- The model ----

bool ModelValues(Values& values, const std::string& hkl)
{
    for (int n = 1; n <= kLastEntry; ++n) {
        const auto entry = Find(values, std::to_string(n));
        if (!entry) return false;
        if (Upper(TextOf(entry)) != hkl) continue;
        values.erase(std::to_string(n));
        for (int m = n + 1; m <= kLastEntry; ++m) {
            const auto it = values.find(std::to_string(m));
            // A zero-length value keeps its name, and every later move then finds its target taken.
            if (it == values.end() || it->second.data.empty()) break;
            values[std::to_string(m - 1)] = it->second;
            values.erase(it);
        }
        return true;
    }
    return false;
}

bool ModelSubKeys(Entries& entries, const std::string& hkl)
{
    int count = 0;
    while (count < kLastEntry && entries.count(std::to_string(count + 1)) != 0) ++count;
    for (int n = 1; n <= count; ++n) {
        if (Upper(TextOf(Find(entries[std::to_string(n)].values, ""))) != hkl) continue;
        // Only the default values move: the last entry goes, each text moves down by one.
        std::string carried = TextOf(Find(entries[std::to_string(count)].values, ""));
        entries.erase(std::to_string(count));
        for (int m = count; m > n; --m) {
            Values& below = entries[std::to_string(m - 1)].values;
            const std::string text = TextOf(Find(below, ""));
            below[""] = SzOf(carried);
            carried = text;
        }
        return true;
    }
    return false;
}

// ---- The machine ----

Values ReadValues(const std::string& path)
{
    Values values;
    for (const std::string& name : sim::ValueNames(HKEY_CURRENT_USER, path)) {
        values[name] = *sim::GetValue(HKEY_CURRENT_USER, path, name);
    }
    return values;
}

Entries ReadEntries()
{
    Entries entries;
    for (const std::string& name : sim::SubKeyNames(HKEY_CURRENT_USER, kPreload)) {
        const std::string path = std::string(kPreload) + "\\" + name;
        entries[name] = Entry{ReadValues(path), sim::SubKeyNames(HKEY_CURRENT_USER, path)};
    }
    return entries;
}

// One entry from one byte (zero, what an exhausted input gives, is a plain
// entry that does not match, so short inputs still make long lists):
// bits 0-3 the text, 4-5 the value's type, 6-7 a gap or a name that only
// looks like the number.
struct EntryShape {
    bool present = true;
    std::string name;
    std::string text;
    DWORD type = REG_SZ;
};

EntryShape ShapeOf(uint8_t byte, int number, FuzzedDataProvider& input)
{
    static const std::string texts[] = {
        "00000409", "E0200804", "e0200804", "00000804", "E0200804 ", " E0200804", std::string("E0200804\0tail", 13),
        "",         "     804", std::string("e0200804\0", 9), "00000411",
    };
    static const DWORD types[] = {REG_SZ, REG_EXPAND_SZ, REG_BINARY, REG_DWORD};
    EntryShape shape;
    const int text = byte & 0x0F;
    shape.text = text < 11 ? texts[text] : input.ConsumeRandomLengthString(12);
    shape.type = types[(byte >> 4) & 3];
    switch (byte >> 6) {
    case 1: shape.present = false; break;
    case 2: shape.name = "0" + std::to_string(number); break;
    case 3: shape.name = "x" + std::to_string(number); break;
    default: break;
    }
    if (shape.name.empty()) shape.name = std::to_string(number);
    return shape;
}

void Require(bool condition)
{
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const bool subKeyForm = input.ConsumeBool();
    std::string hkl;
    switch (input.ConsumeIntegralInRange<int>(0, 3)) {
    case 0: hkl = "E0200804"; break;
    case 1: hkl = "     804"; break;
    case 2: hkl = "00000804"; break;
    default: hkl = input.ConsumeBytesAsString(8); break;
    }
    const int count = input.ConsumeIntegralInRange<int>(0, 110);  // beyond the 100 that are read

    sim::Reset();
    sim::SetFamily(subKeyForm ? sim::Family::Win9x : sim::Family::NT);
    sim::DeleteKeyTree(HKEY_CURRENT_USER, kPreload);
    sim::CreateKey(HKEY_CURRENT_USER, kPreload);
    for (int n = 1; n <= count; ++n) {
        const EntryShape entry = ShapeOf(input.ConsumeIntegral<uint8_t>(), n, input);
        if (!entry.present) continue;
        if (!subKeyForm) {
            sim::SetValue(HKEY_CURRENT_USER, kPreload, entry.name, entry.type, entry.text);
            continue;
        }
        // Bit 0: no default value; 1: another value; 2: a sub-key of its own.
        const uint8_t extras = input.ConsumeIntegral<uint8_t>();
        const std::string path = std::string(kPreload) + "\\" + entry.name;
        sim::CreateKey(HKEY_CURRENT_USER, path);
        if (!(extras & 1)) sim::SetValue(HKEY_CURRENT_USER, path, "", entry.type, entry.text);
        if (extras & 2) sim::SetString(HKEY_CURRENT_USER, path, "Other", "kept with its number");
        if (extras & 4) sim::SetString(HKEY_CURRENT_USER, path + "\\Inner\\Deeper", "", "x");
    }
    if (input.ConsumeBool()) sim::SetString(HKEY_CURRENT_USER, kPreload, "Name", "not an entry");

    Values values = ReadValues(kPreload);
    Entries entries = ReadEntries();
    const bool expected = subKeyForm ? ModelSubKeys(entries, hkl) : ModelValues(values, hkl);
    if (subKeyForm) values = ReadValues(kPreload);  // the Preload key's own values stay as they are
    else entries = ReadEntries();                    // and so do its sub-keys in the value form

    MyRegistry::StartModule();
    bool found = false;
    {
        MyRegistry::TRegistry preload;
        preload.SelectRoot(HKEY_CURRENT_USER);
        Require(preload.OpenKey("\\Keyboard Layout\\Preload\\", false));
        found = RemoveFromPreload(preload, hkl);
    }

    Require(found == expected);
    Require(Same(ReadValues(kPreload), values));
    Require(Same(ReadEntries(), entries));
    Require(sim::OpenKeyCount() == 0);
    return 0;
}
