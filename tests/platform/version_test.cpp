// The platform family as the preload list editing (GetVersion's high bit) and
// the registry module's start (GetVersionExA) read it: the NT family, told
// the same way by both calls.
#include <gtest/gtest.h>

#include "platform/win32.h"

namespace {

TEST(VersionTest, BothCallsTellTheNtFamily)
{
    const DWORD version = GetVersion();
    EXPECT_EQ(version & 0x80000000u, 0u);  // clear on the NT family: the preload list holds values

    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    ASSERT_TRUE(GetVersionExA(&info));
    EXPECT_EQ(info.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_NT));
    EXPECT_EQ(info.dwMajorVersion, version & 0xFFu);
    EXPECT_EQ(info.dwMinorVersion, (version >> 8) & 0xFFu);
    EXPECT_EQ(info.dwBuildNumber & 0x7FFFu, (version >> 16) & 0x7FFFu);

    // A structure of another size is refused.
    info.dwOSVersionInfoSize = sizeof info - 1;
    SetLastError(0xDEADBEEF);
    EXPECT_FALSE(GetVersionExA(&info));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
}

}  // namespace
