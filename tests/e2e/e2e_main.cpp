// The end-to-end suite: e2e_tests --tool=PATH\imesetup.exe [gtest options]
#include "tool_case.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace {

// A path as Windows takes it; a Unix path (as CTest gives it under Wine) is
// reached through Wine's drive Z:.
std::string WindowsPath(std::string path)
{
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

// Under Wine without a window manager every closed box waits two seconds for
// one; on a Wine virtual desktop boxes close at once and carry captions.
void UseWineVirtualDesktop()
{
    if (!e2e::RunningOnWine()) return;
    e2e::SetText(HKEY_CURRENT_USER, "Software\\Wine\\Explorer", "Desktop", "Default");
    if (!e2e::GetText(HKEY_CURRENT_USER, "Software\\Wine\\Explorer\\Desktops", "Default"))
        e2e::SetText(HKEY_CURRENT_USER, "Software\\Wine\\Explorer\\Desktops", "Default", "800x600");
}

}  // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--tool=", 7) == 0) e2e::SetToolPath(WindowsPath(argv[i] + 7));
    }
    UseWineVirtualDesktop();
    return RUN_ALL_TESTS();
}
