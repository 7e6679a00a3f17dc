#include "package_checker/user_input_list_facts.h"

#include "registry/unique_hkey.h"

namespace {

constexpr char kLayoutList[] = "System\\CurrentControlSet\\Control\\Keyboard Layouts\\";

// The layout part of an item that names an input method's layout ("E..."),
// or empty for a text service or another layout.
std::string ImeLayoutOf(const InputListItem& item)
{
    const std::size_t colon = item.Id.find(':');
    if (colon == std::string::npos || item.Id.find('{') != std::string::npos) return "";
    const std::string layout = item.Id.substr(colon + 1);
    return layout.size() == 8 && (layout[0] == 'E' || layout[0] == 'e') ? layout : "";
}

bool LayoutKeyExists(const std::string& layout)
{
    MyRegistry::unique_hkey key;
    return RegOpenKeyExA(HKEY_LOCAL_MACHINE, (kLayoutList + layout).c_str(), 0, KEY_QUERY_VALUE, key.put()) ==
           ERROR_SUCCESS;
}

}  // namespace

std::optional<UserInputListFacts> ReadUserInputList(const std::string& systemDirectory)
{
    const UserInputList list(systemDirectory);
    if (!list.Available()) return std::nullopt;
    UserInputListFacts facts;
    facts.Items = list.Items();
    for (const InputListItem& item : facts.Items) {
        const std::string layout = ImeLayoutOf(item);
        if (!layout.empty() && !LayoutKeyExists(layout)) facts.Unavailable.push_back(item.Id);
    }
    return facts;
}
