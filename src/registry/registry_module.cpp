// The module's start-up facts and the mapping between value kinds and
// registry types.
#include "registry/my_registry.h"

namespace MyRegistry {

bool DbcsEnabled = false;
std::int32_t PlatformId = 0;

namespace {

void DetectPlatform()
{
    // A failed query leaves the family unknown (0), which never matches NT.
    PlatformId = 0;
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);  // 148: the plain form, not the extended one
    if (GetVersionExA(&version) != 0) PlatformId = static_cast<std::int32_t>(version.dwPlatformId);
}

}  // namespace

void StartModule()
{
    DbcsEnabled = GetSystemMetrics(SM_DBCSENABLED) != 0;
    DetectPlatform();
}

// Number and Bytes cross over: kind 3 is REG_DWORD (4), kind 4 is REG_BINARY (3).
DWORD KindToRegType(ValueKind kind)
{
    switch (kind) {
    case ValueKind::Text: return REG_SZ;
    case ValueKind::ExpandableText: return REG_EXPAND_SZ;
    case ValueKind::Number: return REG_DWORD;
    case ValueKind::Bytes: return REG_BINARY;
    case ValueKind::Other: break;
    }
    return REG_NONE;
}

ValueKind RegTypeToKind(DWORD regType)
{
    switch (regType) {
    case REG_SZ: return ValueKind::Text;
    case REG_EXPAND_SZ: return ValueKind::ExpandableText;
    case REG_DWORD: return ValueKind::Number;
    case REG_BINARY: return ValueKind::Bytes;
    default: return ValueKind::Other;
    }
}

}  // namespace MyRegistry
