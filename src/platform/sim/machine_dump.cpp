// The machine's whole lasting state as text: what a run that only reads
// must leave exactly as it found it.
#include <sstream>

#include "platform/sim/state.h"

using namespace sim::detail;

namespace {

void DumpKey(const RegKeyPtr& key, const std::string& shown, std::ostringstream& out)
{
    out << "key " << shown << " " << Ticks(key->lastWrite) << (key->denyFull ? " denied" : "") << "\n";
    for (const RegKey::Value& value : key->values) {
        out << "  value " << value.name << " " << value.value.type << " " << value.value.data.size() << ":"
            << value.value.data << "\n";
    }
    for (const auto& sub : key->subkeys) DumpKey(sub.second, shown + "\\" + sub.second->name, out);
}

}  // namespace

namespace sim {

std::string DumpMachine()
{
    const Machine& m = M();
    std::ostringstream out;
    for (const auto& [key, node] : m.files) {
        out << (node.directory ? "dir " : "file ") << key << " " << node.name << " " << node.attributes << " "
            << Ticks(node.lastWrite) << " " << node.contents.size() << ":" << node.contents << "\n";
    }
    out << "current " << m.currentDirectory << "\nsystem " << m.systemDirectory << "\n";
    for (const auto& [handle, root] : m.roots) DumpKey(root, root->name, out);
    for (DWORD layout : m.loadedLayouts) out << "loaded " << layout << "\n";
    out << "boxes " << m.boxes.size() << " holds " << m.holds.size() << "\n";
    return out.str();
}

std::vector<std::pair<std::string, std::string>> FilesWithContents()
{
    std::vector<std::pair<std::string, std::string>> files;
    for (const auto& [key, node] : M().files) {
        if (!node.directory) files.emplace_back(key, node.contents);
    }
    return files;
}

}  // namespace sim
