#include "registration/layout_list_access.h"

#include "registration/registry_locations.h"
#include "registry/my_registry.h"

bool MayChangeLayoutList()
{
    MyRegistry::TRegistry layouts;
    layouts.SelectRoot(HKEY_LOCAL_MACHINE);
    return layouts.OpenKey(RegistryLocations::LayoutList, false);
}
