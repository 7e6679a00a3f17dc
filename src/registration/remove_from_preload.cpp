#include "platform/win32.h"
#include "registration/preload_forms.h"
#include "registration/registration.h"
#include "support/helpers.h"

std::string PreloadEntryName(int n)
{
    return IntToDecimal(n);
}

bool RemoveFromPreload(MyRegistry::TRegistry& preload, const std::string& HklText)
{
    // The high bit of the version marks the Windows 95 family, whose preload
    // entries are subkeys rather than values.
    if ((GetVersion() & 0x80000000u) == 0) {
        return RemoveFromPreloadValues(preload, HklText);
    }
    return RemoveFromPreloadSubkeys(preload, HklText);
}
