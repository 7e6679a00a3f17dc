#include "sweep_machine.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <sstream>

namespace hardening {

namespace {

std::string Text(const std::optional<sim::RegValue>& value)
{
    if (!value) return std::string();
    return value->data.substr(0, value->data.find('\0'));
}

std::string UpperAscii(std::string text)
{
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

// A positive decimal number written without leading zeros, else 0.
int EntryNumber(const std::string& name)
{
    if (name.empty() || name.size() > 9 || name[0] == '0') return 0;
    for (char c : name) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return 0;
    }
    return std::atoi(name.c_str());
}

std::string Below(const std::string& path, const std::string& name)
{
    return path.empty() ? name : path + "\\" + name;
}

// The tree at path, leaving out the tree at skip.
void Dump(HKEY root, const std::string& path, const std::string& shown, std::ostringstream& out,
          const std::string& skip = std::string())
{
    out << "[" << shown << "]\n";
    for (const std::string& name : sim::ValueNames(root, path)) {
        const auto value = sim::GetValue(root, path, name);
        out << "  " << name << " (" << value->type << ") =";
        for (unsigned char c : value->data) out << ' ' << static_cast<int>(c);
        out << "\n";
    }
    for (const std::string& sub : sim::SubKeyNames(root, path)) {
        if (UpperAscii(Below(path, sub)) == UpperAscii(skip)) continue;
        Dump(root, Below(path, sub), Below(shown, sub), out, skip);
    }
}

}  // namespace

void PutPackage()
{
    sim::Reset();
    PutPackageFiles();
}

void PutInstalledIme()
{
    sim::PutFile(InstalledImePath(), kOldIme);
    sim::PutFile(InstalledMbPath(), kOldMb);
    sim::SetString(HKEY_LOCAL_MACHINE, LayoutKeyPath(), "Ime File", "MYIME.IME");
    sim::SetString(HKEY_LOCAL_MACHINE, LayoutKeyPath(), "Layout Text", kDisplayName);
    sim::SetString(HKEY_LOCAL_MACHINE, LayoutKeyPath() + "\\\xD7\xD3\\Deeper", "", "x");
    sim::SetLayoutLoaded(LayoutHandle(), true);
}

void SetPreload(sim::Family family, const std::vector<std::string>& texts)
{
    sim::DeleteKeyTree(HKEY_CURRENT_USER, kPreload);
    sim::CreateKey(HKEY_CURRENT_USER, kPreload);
    for (size_t i = 0; i < texts.size(); ++i) {
        const std::string number = std::to_string(i + 1);
        if (family == sim::Family::NT) {
            sim::SetString(HKEY_CURRENT_USER, kPreload, number, texts[i]);
        } else {
            sim::SetString(HKEY_CURRENT_USER, std::string(kPreload) + "\\" + number, "", texts[i]);
        }
    }
}

bool PreloadList::Gapless() const
{
    for (size_t i = 0; i < numbers.size(); ++i) {
        if (numbers[i] != static_cast<int>(i) + 1) return false;
    }
    return numbers.size() == texts.size();
}

PreloadList ReadPreload(sim::Family family)
{
    PreloadList list;
    const std::vector<std::string> names = family == sim::Family::NT ? sim::ValueNames(HKEY_CURRENT_USER, kPreload)
                                                                     : sim::SubKeyNames(HKEY_CURRENT_USER, kPreload);
    for (const std::string& name : names) {
        if (const int n = EntryNumber(name)) list.numbers.push_back(n);
    }
    std::sort(list.numbers.begin(), list.numbers.end());
    for (int n = 1;; ++n) {
        const std::string number = std::to_string(n);
        if (family == sim::Family::NT) {
            const auto value = sim::GetValue(HKEY_CURRENT_USER, kPreload, number);
            if (!value) break;
            list.texts.push_back(Text(value));
        } else {
            const std::string entry = std::string(kPreload) + "\\" + number;
            if (!sim::KeyExists(HKEY_CURRENT_USER, entry)) break;
            list.texts.push_back(Text(sim::GetValue(HKEY_CURRENT_USER, entry, "")));
        }
    }
    return list;
}

std::string DumpTree(HKEY root, const std::string& path)
{
    std::ostringstream out;
    if (sim::KeyExists(root, path)) Dump(root, path, path, out);
    return out.str();
}

std::string DumpOutsidePreload()
{
    std::ostringstream out;
    Dump(HKEY_LOCAL_MACHINE, "", "HKLM", out);
    Dump(HKEY_CURRENT_USER, "", "HKCU", out, kPreload);
    for (const std::string& path : {InstalledImePath(), InstalledMbPath()}) {
        out << path << ": " << (sim::FileExists(path) ? "\"" + sim::FileContents(path) + "\"" : "(missing)") << "\n";
    }
    out << "layout loaded: " << sim::IsLayoutLoaded(LayoutHandle()) << "\n";
    return out.str();
}

std::vector<std::string> StoredPreloadTexts(sim::Family family)
{
    std::vector<std::string> texts;
    if (family == sim::Family::NT) {
        for (const std::string& name : sim::ValueNames(HKEY_CURRENT_USER, kPreload)) {
            texts.push_back(Text(sim::GetValue(HKEY_CURRENT_USER, kPreload, name)));
        }
    } else {
        for (const std::string& name : sim::SubKeyNames(HKEY_CURRENT_USER, kPreload)) {
            texts.push_back(Text(sim::GetValue(HKEY_CURRENT_USER, std::string(kPreload) + "\\" + name, "")));
        }
    }
    return texts;
}

MachineState Snapshot(sim::Family family)
{
    MachineState state;
    if (sim::FileExists(InstalledImePath())) state.ime = sim::FileContents(InstalledImePath());
    if (sim::FileExists(InstalledMbPath())) state.mb = sim::FileContents(InstalledMbPath());
    state.layouts = DumpTree(HKEY_LOCAL_MACHINE, kLayoutList);
    state.preload = ReadPreload(family);
    state.preloadTree = DumpTree(HKEY_CURRENT_USER, kPreload);
    state.loaded = sim::IsLayoutLoaded(LayoutHandle());
    return state;
}

std::vector<std::string> LayoutsOfIme()
{
    std::vector<std::string> found;
    for (const std::string& name : sim::SubKeyNames(HKEY_LOCAL_MACHINE, kLayoutList)) {
        const auto file = sim::GetValue(HKEY_LOCAL_MACHINE, std::string(kLayoutList) + "\\" + name, "Ime File");
        if (UpperAscii(Text(file)) == UpperAscii(kImeName)) found.push_back(name);
    }
    return found;
}

std::vector<std::string> WithoutFirstMatch(std::vector<std::string> texts)
{
    for (auto it = texts.begin(); it != texts.end(); ++it) {
        if (UpperAscii(*it) == kLayoutName) {
            texts.erase(it);
            break;
        }
    }
    return texts;
}

std::string Describe(const std::optional<std::string>& file)
{
    return file ? "\"" + *file + "\"" : std::string("(missing)");
}

std::string Join(const std::vector<std::string>& texts)
{
    std::string joined = "[";
    for (size_t i = 0; i < texts.size(); ++i) {
        if (i != 0) joined += ", ";
        joined += "\"" + texts[i] + "\"";
    }
    return joined + "]";
}

}  // namespace hardening
