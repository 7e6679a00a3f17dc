// The current user's own list of enabled input methods. Since Windows 8 the
// settings, the language bar and Win+Space show this list beside the older
// preload list; input.dll's documented functions (Windows Vista and later)
// read and change it. Where the DLL or one of its functions is missing
// (Windows XP, Wine), there is no such list to read or change.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/input_dll.h"
#include "support/unique_handle.h"

struct InputListItem {
    std::string Id;  // "0804:E0200804", or "0804:{clsid}{profile}" for a text service
    WORD Language = 0;
    bool IsDefault = false;
};

class UserInputList {
public:
    // Loads input.dll by full path from SystemDirectory and nowhere else.
    explicit UserInputList(const std::string& SystemDirectory);

    // input.dll and all three functions are there.
    bool Available() const;
    // The enabled items in the list's order; empty when it cannot be read.
    std::vector<InputListItem> Items() const;
    bool MakeDefault(const std::string& Id) const;
    bool TakeOut(const std::string& Id) const;

private:
    UniqueModule module_;
    input_dll::EnumEnabledLayoutOrTipFunction enumEnabled_ = nullptr;
    input_dll::InstallLayoutOrTipFunction install_ = nullptr;
    input_dll::SetDefaultLayoutOrTipFunction setDefault_ = nullptr;
};

// "LLLL:KKKKKKKK": the layout's language (the handle's low word) and the
// layout's identifier, in upper-case hexadecimal.
std::string LayoutItemId(HKL layout);
std::string LayoutItemId(std::uint32_t layout);

// What the removal does to the list for one item.
struct ListRemovalPlan {
    bool Listed = false;     // the list holds the item: it is taken out
    bool WasDefault = false;
    // The item made the default first when it was the default: the first
    // other enabled item of the same language, else the first other one;
    // empty when there is no other item.
    std::string NewDefault;
};
ListRemovalPlan PlanListRemoval(const std::vector<InputListItem>& items, const std::string& id);

// The removal's step: takes the layout out of the current user's list, the
// default moved to another item first. What fails here is not reported and
// stops nothing: the list is the user's setting, not the installation.
void TakeOutOfUserInputList(const std::string& SystemDirectory, HKL layout);
