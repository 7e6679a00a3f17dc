// The input method manager and the keyboard layouts, where a portable test
// can reach them without installing an IME: what happens to a file that does
// not exist, and to a layout that is not loaded. (Registering a real IME
// needs an IME file; Wine's differences there, a new layout on every call and
// an UnloadKeyboardLayout that always fails, are shown by the end-to-end
// suite.)
#include <string>

#include "common/wine_deviation.h"
#include "platform/platform_test.h"

namespace {

const char kLayouts[] = "System\\CurrentControlSet\\Control\\Keyboard Layouts\\";

std::string LayoutKeyOf(HKL layout)
{
    char name[9];
    wsprintfA(name, "%08X", static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(layout) & 0xFFFFFFFFu));
    return std::string(kLayouts) + name;
}

bool KeyExists(const std::string& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// A layout key made by the test's call goes again, whatever the test found.
class LayoutKeyRemoved {
public:
    explicit LayoutKeyRemoved(HKL layout) : layout_(layout) {}
    ~LayoutKeyRemoved()
    {
        if (layout_) RegDeleteKeyA(HKEY_LOCAL_MACHINE, LayoutKeyOf(layout_).c_str());
    }
    LayoutKeyRemoved(const LayoutKeyRemoved&) = delete;
    LayoutKeyRemoved& operator=(const LayoutKeyRemoved&) = delete;

private:
    HKL layout_;
};

using ImmTest = PlatformTest;

// An IME file that does not exist cannot be registered: Windows reads the
// file's version resource first and gives no layout. Wine 8 checks nothing
// and registers a layout for the name.
TEST_F(ImmTest, MissingImeFileGetsNoLayout)
{
    const std::string missing = Path("missing.ime");
    const HKL layout = ImmInstallIMEA(missing.c_str(), "Missing IME");
    LayoutKeyRemoved removed(layout);
    if (RunningOnWine()) {
        ASSERT_NE(layout, nullptr);
        EXPECT_TRUE(KeyExists(LayoutKeyOf(layout)));
        ReportWineDeviation("ImmInstallIMEA: registers a layout for an IME file that does not exist");
    } else {
        EXPECT_EQ(layout, nullptr);
    }
}

// A layout that was never loaded cannot be unloaded.
TEST_F(ImmTest, UnloadingALayoutThatIsNotLoadedFails)
{
    const HKL layout = reinterpret_cast<HKL>(static_cast<ULONG_PTR>(0xE0FF0804u));
    ASSERT_FALSE(KeyExists(LayoutKeyOf(layout)));  // no IME of that number on this machine
    EXPECT_FALSE(UnloadKeyboardLayout(layout));
}

}  // namespace
