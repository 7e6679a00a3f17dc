// The tests' way to the registry key object's key information, which the tool
// itself asks for only while it erases a tree.
#pragma once

#include "registry/my_registry.h"

namespace MyRegistry {

struct TRegistryTestAccess {
    static bool QueryKeyInfo(TRegistry& registry, KeyInfo& info) { return registry.QueryKeyInfo(info); }
};

}  // namespace MyRegistry
