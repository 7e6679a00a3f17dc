// The current user's own list of input methods (Windows 8 and later), read
// through input.dll and never changed, and the unavailable input methods it
// names: IME layouts whose keyboard layout key is gone, as removals that
// erased only the key left them.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "registration/user_input_list.h"

struct UserInputListFacts {
    std::vector<InputListItem> Items;
    std::vector<std::string> Unavailable;  // the items' ids ("0804:E0210804") whose layout key is gone
};

// Nothing where input.dll or one of its functions is missing.
std::optional<UserInputListFacts> ReadUserInputList(const std::string& systemDirectory);
