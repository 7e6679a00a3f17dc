// Preload list as numbered subkeys of the Preload key (Windows 95 family).
// Only each entry's default value moves: the highest subkey is erased and the
// texts above the match shift down by one number, so other contents of an
// entry stay with its number.
#include <string>
#include <utility>

#include "registration/preload_forms.h"
#include "registration/registry_locations.h"
#include "support/helpers.h"

namespace {

std::string EntryPath(int n)
{
    return RegistryLocations::Preload + PreloadEntryName(n);
}

int CountEntries(MyRegistry::TRegistry& preload)
{
    int count = 0;
    while (count < RegistryLocations::PreloadLastEntry && preload.OpenKey(EntryPath(count + 1), false)) {
        ++count;
    }
    return count;
}

bool Matches(MyRegistry::TRegistry& entry, const std::string& HklText)
{
    return UpperCaseAscii(entry.GetText("")) == HklText;
}

// Entry n matched: erase the last entry and carry each text down to the
// entry below it, down to n, whose own text is dropped.
void RemoveEntry(MyRegistry::TRegistry& preload, int n, int count)
{
    if (!preload.OpenKey(EntryPath(count), false)) {
        return;
    }
    std::string carried = preload.GetText("");
    preload.EraseKey(EntryPath(count));
    for (int m = count; m > n; --m) {
        if (!preload.OpenKey(EntryPath(m - 1), false)) {
            // No entry holds the carried text any more. The matched entry's
            // text is the one being removed, so the carried text takes its
            // place there rather than being lost (nothing to do when the
            // matched entry itself is the one that cannot be opened).
            if (m - 1 != n && preload.OpenKey(EntryPath(n), false)) {
                preload.PutText("", carried);
            }
            return;
        }
        std::string text = preload.GetText("");
        preload.PutText("", carried);
        carried = std::move(text);
    }
}

}  // namespace

bool RemoveFromPreloadSubkeys(MyRegistry::TRegistry& preload, const std::string& HklText)
{
    const int count = CountEntries(preload);
    for (int n = 1; n <= count; ++n) {
        if (!preload.OpenKey(EntryPath(n), false)) {
            return false;
        }
        if (Matches(preload, HklText)) {
            RemoveEntry(preload, n, count);
            return true;
        }
    }
    return false;
}
