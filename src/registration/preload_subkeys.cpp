// Preload list as numbered subkeys of the Preload key (Windows 95 family).
// Only each entry's default value moves: the texts above the match shift down
// by one number and the highest subkey is erased, so other contents of an
// entry stay with its number.
#include <string>

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

// How a text reads back once written as a string value: up to its first zero.
std::string AsWritten(const std::string& text)
{
    return text.substr(0, text.find('\0'));
}

// Entry n matched. The texts above it move down one number each, lowest
// first, and the highest entry is erased last. Each copy is read back, and an
// entry is overwritten (or erased) only while it still holds the text read
// from it for the copy below, so whichever call fails, the edit ends with
// every other entry's text still held by some entry (at worst twice), never
// carried in memory alone.
void RemoveEntry(MyRegistry::TRegistry& preload, int n, int count)
{
    std::string copied;  // the text read from entry m for entry m - 1
    for (int m = n; m < count; ++m) {
        if (!preload.OpenKey(EntryPath(m + 1), false)) {
            return;
        }
        const std::string text = preload.GetText("");
        if (!preload.OpenKey(EntryPath(m), false)) {
            return;
        }
        if (m > n && preload.GetText("") != copied) {
            return;  // the copy below may not hold entry m's text: entry m keeps it
        }
        preload.PutText("", text);
        if (preload.GetText("") != AsWritten(text)) {
            return;  // the copy did not land: entry m + 1 keeps its text
        }
        copied = text;
    }
    if (count > n && (!preload.OpenKey(EntryPath(count), false) || preload.GetText("") != copied)) {
        return;
    }
    preload.EraseKey(EntryPath(count));
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
