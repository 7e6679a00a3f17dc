// What the tool's own code holds open: leaks show up here.
#include "platform/sim/state.h"

namespace sim {

int OpenKeyCount()
{
    return static_cast<int>(detail::M().keyHandles.size());
}

int OpenFileCount()
{
    return static_cast<int>(detail::M().fileHandles.size());
}

int OpenFindCount()
{
    return static_cast<int>(detail::M().findHandles.size());
}

int LoadedModuleCount()
{
    int loads = 0;
    for (const auto& module : detail::M().modules) loads += module.second.references;
    return loads;
}

}  // namespace sim
