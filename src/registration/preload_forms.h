// The two shapes of the current user's preload list. Both take the object
// with the Preload key current, remove the first entry whose layout text,
// upper-cased, equals HklText, and close the gap. True when an entry matched.
#pragma once

#include <string>

#include "registry/my_registry.h"

// NT family: entry n is the value named n of the Preload key.
bool RemoveFromPreloadValues(MyRegistry::TRegistry& preload, const std::string& HklText);

// Windows 95 family: entry n is the subkey named n, its default value the text.
bool RemoveFromPreloadSubkeys(MyRegistry::TRegistry& preload, const std::string& HklText);

// The name of entry n: its decimal number without leading zeros.
std::string PreloadEntryName(int n);
