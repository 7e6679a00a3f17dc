// The current user's own list of input methods: what imesetup.exe's removal
// will do to it for the IME's layouts, and the unavailable input methods it
// already names.
#include <cstdlib>

#include "package_checker/judging.h"

namespace {

using C = FindingCode;

Statement RemovalStatement(const std::string& id, const ListRemovalPlan& plan)
{
    const Value layout = TextValue("layout", id);
    if (!plan.Listed) return {C::LayoutNotInUserList, {layout}};
    if (plan.WasDefault && !plan.NewDefault.empty()) {
        return {C::RemovalMovesUserDefault, {TextValue("default", plan.NewDefault), layout}};
    }
    return {C::RemovalTakesLayoutFromUserList, {layout}};
}

}  // namespace

void JudgeUserInputList(const PackageFacts& facts, std::vector<Finding>& findings)
{
    if (!facts.UserList) return;
    for (const RegisteredLayout& layout : facts.ImeLayouts) {
        const std::string id =
            LayoutItemId(static_cast<std::uint32_t>(std::strtoul(layout.KeyName.c_str(), nullptr, 16)));
        findings.push_back({RemovalStatement(id, PlanListRemoval(facts.UserList->Items, id)), id, false});
    }
    for (const std::string& id : facts.UserList->Unavailable) {
        findings.push_back({{C::UnavailableInUserList, {TextValue("item", id)}}, id, false});
    }
}
