// Preload list as numbered values of the Preload key (NT family).
#include "registration/preload_forms.h"
#include "registration/registry_locations.h"
#include "support/helpers.h"

bool RemoveFromPreloadValues(MyRegistry::TRegistry& preload, const std::string& HklText)
{
    using RegistryLocations::PreloadLastEntry;
    for (int n = 1; n <= PreloadLastEntry; ++n) {
        const std::string name = PreloadEntryName(n);
        if (!preload.HasValue(name)) {
            return false;  // the list ends at the first missing number
        }
        if (UpperCaseAscii(preload.GetText(name)) != HklText) {
            continue;
        }
        preload.EraseValue(name);
        // Upward, so each target name has just been freed.
        for (int m = n + 1; m <= PreloadLastEntry; ++m) {
            const std::string from = PreloadEntryName(m);
            if (!preload.HasValue(from)) {
                break;
            }
            preload.MoveValue(from, PreloadEntryName(m - 1));
        }
        return true;
    }
    return false;
}
