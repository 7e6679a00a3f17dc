// The two operations that change the machine, and the preload list edit that
// removal uses. Every outcome comes back as a text. Exhausted memory is none:
// outside the copies and the deletions, which report it, std::bad_alloc
// leaves the operation and the program's guarded run ends quietly.
#pragma once

#include <string>

#include "driver/setup_context.h"
#include "registry/my_registry.h"

std::string InstallIme(const SetupContext& context, bool ExplicitRequest);
std::string UninstallIme(const SetupContext& context, bool ExplicitRequest);

// Removes the first preload entry whose layout text matches HklText and closes
// the gap; true when an entry matched. preload has the Preload key current.
bool RemoveFromPreload(MyRegistry::TRegistry& preload, const std::string& HklText);
