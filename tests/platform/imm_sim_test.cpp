// The simulated input method manager: registering an IME file as a layout,
// finding it again, the preload list in both forms, and unloading.
#include <gtest/gtest.h>

#include <string>

#include "common/clean_machine_fixture.h"
#include "package_checker/pe_image_builder.h"
#include "platform/win32.h"

namespace {

const char kLayouts[] = "System\\CurrentControlSet\\Control\\Keyboard Layouts";
const char kPreload[] = "Keyboard Layout\\Preload";

class SimImmTest : public CleanMachineTest {
protected:
    void SetUp() override
    {
        CleanMachineTest::SetUp();
        sim::PutFile("C:\\WINDOWS\\SYSTEM32\\my.ime", test_images::ImeModule());
        test_images::ImageParts korean;
        korean.translations = {{0x0412, 949}};
        sim::PutFile("C:\\WINDOWS\\SYSTEM32\\other.ime", test_images::BuildImage(korean));
    }

    static DWORD Install(const char* file, const char* text = "My IME")
    {
        return static_cast<DWORD>(reinterpret_cast<uintptr_t>(ImmInstallIMEA(file, text)));
    }

    static std::string Text(HKEY root, const std::string& path, const std::string& name)
    {
        auto v = sim::GetValue(root, path, name);
        return v ? v->data : "<none>";
    }

    static std::string Layout(const char* id) { return std::string(kLayouts) + "\\" + id; }
};

TEST_F(SimImmTest, RegistersAndFindsAgain)
{
    EXPECT_EQ(Install("C:\\WINDOWS\\SYSTEM32\\my.ime"), 0xE0200804u);
    EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, Layout("E0200804"), "Ime File"), std::string("MY.IME\0", 7));
    EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, Layout("E0200804"), "Layout Text"), std::string("My IME\0", 7));
    EXPECT_EQ(sim::GetValue(HKEY_LOCAL_MACHINE, Layout("E0200804"), "Ime File")->type, static_cast<DWORD>(REG_SZ));
    EXPECT_TRUE(sim::IsLayoutLoaded(reinterpret_cast<HKL>(static_cast<uintptr_t>(0xE0200804u))));

    // The same file by another name form: the layout it already has.
    EXPECT_EQ(Install("c:\\windows\\system32\\MY.IME", "Other text"), 0xE0200804u);
    EXPECT_EQ(Install("C:\\WINDOWS\\SYSTEM32\\sub\\..\\my.ime. ."), 0xE0200804u);  // the full path's file part
    EXPECT_EQ(sim::SubKeyNames(HKEY_LOCAL_MACHINE, kLayouts), std::vector<std::string>{"E0200804"});

    // The lowest free number, in the IME file's language.
    sim::CreateKey(HKEY_LOCAL_MACHINE, Layout("E0210411"));
    EXPECT_EQ(Install("C:\\WINDOWS\\SYSTEM32\\other.ime"), 0xE0220412u);
}

TEST_F(SimImmTest, Failures)
{
    SetLastError(0);
    EXPECT_EQ(Install("C:\\WINDOWS\\SYSTEM32\\missing.ime"), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    // A version resource without the marks: no layout, the last error as it was.
    test_images::ImageParts dll;
    dll.fileType = test_images::kVftDll;
    sim::PutFile("C:\\WINDOWS\\SYSTEM32\\dll.ime", test_images::BuildImage(dll));
    SetLastError(1234);
    EXPECT_EQ(Install("C:\\WINDOWS\\SYSTEM32\\dll.ime"), 0u);
    EXPECT_EQ(GetLastError(), 1234u);
    sim::DeleteKeyTree(HKEY_LOCAL_MACHINE, kLayouts);
    EXPECT_EQ(Install("C:\\WINDOWS\\SYSTEM32\\my.ime"), 0u);
    EXPECT_FALSE(sim::KeyExists(HKEY_LOCAL_MACHINE, kLayouts));
}

// Cut short anywhere, an IME file is read no further than its end (the asan
// preset sees any read beyond it) and registers only whole.
TEST_F(SimImmTest, CutImeFilesAreRefused)
{
    test_images::ImageParts parts;
    const std::string whole = test_images::BuildImage(parts);
    for (size_t length = 0; length < whole.size(); ++length) {
        sim::PutFile("C:\\WINDOWS\\SYSTEM32\\cut.ime", whole.substr(0, length));
        EXPECT_EQ(Install("C:\\WINDOWS\\SYSTEM32\\cut.ime"), 0u) << length;
    }
    sim::PutFile("C:\\WINDOWS\\SYSTEM32\\cut.ime", whole);
    EXPECT_EQ(Install("C:\\WINDOWS\\SYSTEM32\\cut.ime"), 0xE0200804u);
}

TEST_F(SimImmTest, PreloadListInValueForm)
{
    sim::SetString(HKEY_CURRENT_USER, kPreload, "3", "00000409");  // "2" is free
    EXPECT_EQ(Install("C:\\WINDOWS\\SYSTEM32\\my.ime"), 0xE0200804u);
    EXPECT_EQ(Text(HKEY_CURRENT_USER, kPreload, "2"), std::string("E0200804\0", 9));

    // Already listed (in any case): not listed twice.
    sim::DeleteKeyTree(HKEY_LOCAL_MACHINE, Layout("E0200804"));
    sim::SetString(HKEY_CURRENT_USER, kPreload, "2", "e0200804");
    EXPECT_EQ(Install("C:\\WINDOWS\\SYSTEM32\\my.ime"), 0xE0200804u);
    EXPECT_EQ(sim::ValueNames(HKEY_CURRENT_USER, kPreload), (std::vector<std::string>{"1", "3", "2"}));
}

TEST_F(SimImmTest, PreloadListInSubkeyForm)
{
    sim::SetFamily(sim::Family::Win9x);
    sim::DeleteKeyTree(HKEY_CURRENT_USER, kPreload);
    sim::SetString(HKEY_CURRENT_USER, std::string(kPreload) + "\\1", "", "00000804");
    EXPECT_EQ(Install("C:\\WINDOWS\\SYSTEM32\\my.ime"), 0xE0200804u);
    EXPECT_EQ(Text(HKEY_CURRENT_USER, std::string(kPreload) + "\\2", ""), std::string("E0200804\0", 9));
    EXPECT_TRUE(sim::ValueNames(HKEY_CURRENT_USER, kPreload).empty());
}

TEST_F(SimImmTest, Unload)
{
    HKL layout = ImmInstallIMEA("C:\\WINDOWS\\SYSTEM32\\my.ime", "My IME");
    ASSERT_NE(layout, nullptr);
    EXPECT_TRUE(UnloadKeyboardLayout(layout));
    EXPECT_FALSE(sim::IsLayoutLoaded(layout));
    EXPECT_FALSE(UnloadKeyboardLayout(layout));
    EXPECT_EQ(ImmInstallIMEA("C:\\WINDOWS\\SYSTEM32\\my.ime", "My IME"), layout);  // loads it again
    EXPECT_TRUE(sim::IsLayoutLoaded(layout));
}

}  // namespace
