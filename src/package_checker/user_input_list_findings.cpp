#include "package_checker/user_input_list_findings.h"

#include <cstdlib>
#include <string>

#include "registration/user_input_list.h"
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

Bilingual RemovalNote(const std::string& id, const ListRemovalPlan& plan)
{
    const std::string others = "其他用户的列表不会改变。";
    const std::string othersEnglish = " other users' lists are not changed.";
    if (!plan.Listed) {
        return {"布局 " + id + " 不在当前用户的输入法列表（Windows 8 及以后）中：卸载不改变这个列表。",
                "Layout " + id + " is not in the current user's list of input methods (Windows 8 and later): the "
                "removal leaves that list as it is."};
    }
    if (plan.WasDefault && !plan.NewDefault.empty()) {
        return {"卸载会先把 " + plan.NewDefault + " 设为默认输入法，再把布局 " + id +
                    " 从当前用户的输入法列表（Windows 8 及以后）中删除；" + others,
                "The removal makes " + plan.NewDefault + " the default input method, then takes layout " + id +
                    " out of the current user's list of input methods (Windows 8 and later);" + othersEnglish};
    }
    return {"卸载会把布局 " + id + " 从当前用户的输入法列表（Windows 8 及以后）中删除；" + others,
            "The removal takes layout " + id + " out of the current user's list of input methods (Windows 8 and "
            "later);" + othersEnglish};
}

}  // namespace

UserInputListFindings FindUserInputListFindings(const PackageFacts& facts)
{
    UserInputListFindings findings;
    const UserInputList list(facts.SystemDirectory);
    if (!list.Available()) return findings;
    const std::vector<InputListItem> items = list.Items();

    for (const RegisteredLayout& layout : facts.ImeLayouts) {
        const std::string id =
            LayoutItemId(static_cast<std::uint32_t>(std::strtoul(layout.KeyName.c_str(), nullptr, 16)));
        findings.Notes.push_back(RemovalNote(id, PlanListRemoval(items, id)));
    }
    for (const InputListItem& item : items) {
        const std::string layout = ImeLayoutOf(item);
        if (layout.empty() || LayoutKeyExists(layout)) continue;
        findings.Problems.push_back(
            {"当前用户的输入法列表中有 " + item.Id + "，而它的键盘布局键已不存在：这是以前的卸载留下的不可用的输入法"
                                                     "（“不可用的输入法”），请在“设置”中删除它。",
             "The current user's list of input methods names " + item.Id + ", whose keyboard layout key is gone: "
             "an unavailable input method, left by an earlier removal; remove it in Settings."});
    }
    return findings;
}
