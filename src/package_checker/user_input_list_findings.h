// The current user's own list of input methods (Windows 8 and later), read
// through input.dll and never changed: what imesetup.exe's removal will do to
// it for the IME's layouts, and the unavailable input methods it already
// names (IME layouts whose key is gone, as removals that erased only the key
// left them).
#pragma once

#include <vector>

#include "package_checker/bilingual.h"
#include "package_checker/package_facts.h"

struct UserInputListFindings {
    std::vector<Bilingual> Notes;
    std::vector<Bilingual> Problems;
};

// Nothing at all where input.dll or one of its functions is missing.
UserInputListFindings FindUserInputListFindings(const PackageFacts& facts);
