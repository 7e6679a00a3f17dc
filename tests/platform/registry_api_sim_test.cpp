// The simulated registry: status codes, names, values, enumeration, deleted
// keys, the two platform families and denied access.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/clean_machine_fixture.h"
#include "platform/win32.h"

namespace {

using namespace std::string_literals;

class SimRegistryTest : public CleanMachineTest {
protected:
    void TearDown() override
    {
        if (key_) RegCloseKey(key_);
        CleanMachineTest::TearDown();
    }

    static LSTATUS Open(const char* path, HKEY* key, REGSAM sam = KEY_ALL_ACCESS, HKEY base = HKEY_CURRENT_USER)
    {
        return RegOpenKeyExA(base, path, 0, sam, key);
    }

    static LSTATUS Create(const char* path, HKEY* key, DWORD* disposition = nullptr, REGSAM sam = KEY_ALL_ACCESS)
    {
        return RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, sam, nullptr, key, disposition);
    }

    static LSTATUS OpenStatus(const char* path, REGSAM sam = KEY_ALL_ACCESS)
    {
        HKEY key = nullptr;
        LSTATUS s = Open(path, &key, sam);
        if (s == ERROR_SUCCESS) RegCloseKey(key);
        return s;
    }

    HKEY key_ = nullptr;
};

TEST_F(SimRegistryTest, OpenCreateAndClose)
{
    DWORD disposition = 0;
    ASSERT_EQ(Create("Software\\Test\\Deep\\", &key_, &disposition), ERROR_SUCCESS);  // trailing backslash
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
    EXPECT_EQ(sim::OpenKeyCount(), 1);
    HKEY again = nullptr;
    ASSERT_EQ(Create("SOFTWARE\\test\\deep", &again, &disposition), ERROR_SUCCESS);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));
    EXPECT_NE(again, key_);
    EXPECT_EQ(RegCloseKey(again), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(again), ERROR_INVALID_HANDLE);
    EXPECT_EQ(sim::SubKeyNames(HKEY_CURRENT_USER, "Software\\Test"), std::vector<std::string>{"Deep"});

    EXPECT_EQ(OpenStatus("software\\TEST\\deep\\"), ERROR_SUCCESS);
    EXPECT_EQ(OpenStatus("\\Software\\Test"), ERROR_BAD_PATHNAME);
    EXPECT_EQ(Create("\\Software\\Other", &again), ERROR_BAD_PATHNAME);
    EXPECT_EQ(OpenStatus("Software\\Missing"), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(sim::KeyExists(HKEY_CURRENT_USER, "Software\\Missing"));
    EXPECT_EQ(RegOpenKeyExA(nullptr, "Software", 0, KEY_READ, &again), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(nullptr), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(HKEY_LOCAL_MACHINE), ERROR_SUCCESS);
    EXPECT_EQ(Create("X", nullptr), ERROR_BADKEY);

    // An empty or absent path opens the key itself, under a new handle.
    for (const char* self : {"", static_cast<const char*>(nullptr)}) {
        ASSERT_EQ(RegOpenKeyExA(key_, self, 0, KEY_READ, &again), ERROR_SUCCESS);
        EXPECT_NE(again, key_);
        EXPECT_EQ(sim::OpenKeyCount(), 2);
        RegCloseKey(again);
    }
    EXPECT_EQ(sim::OpenKeyCount(), 1);
}

TEST_F(SimRegistryTest, Values)
{
    ASSERT_EQ(Create("V", &key_), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key_, "Text", 0, REG_SZ, reinterpret_cast<const BYTE*>("abc"), 4), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key_, "Bin", 0, REG_BINARY, reinterpret_cast<const BYTE*>("\0\1"), 2), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key_, "Zero", 0, REG_SZ, nullptr, 0), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key_, "", 0, REG_SZ, reinterpret_cast<const BYTE*>("d"), 2), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key_, "TEXT", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>("xyz"), 4), ERROR_SUCCESS);
    EXPECT_EQ(sim::ValueNames(HKEY_CURRENT_USER, "V"), (std::vector<std::string>{"Text", "Bin", "Zero", ""}));

    DWORD type = 0, size = 0;
    EXPECT_EQ(RegQueryValueExA(key_, "text", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_EQ(size, 4u);
    char data[8] = "-------";
    size = 3;
    EXPECT_EQ(RegQueryValueExA(key_, "Text", nullptr, &type, reinterpret_cast<BYTE*>(data), &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 4u);
    size = sizeof data;
    EXPECT_EQ(RegQueryValueExA(key_, "Bin", nullptr, &type, reinterpret_cast<BYTE*>(data), &size), ERROR_SUCCESS);
    EXPECT_EQ(std::string(data, size), "\0\1"s);
    size = 99;
    EXPECT_EQ(RegQueryValueExA(key_, "Zero", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(RegQueryValueExA(key_, nullptr, nullptr, &type, nullptr, &size), ERROR_SUCCESS);  // the default value
    EXPECT_EQ(size, 2u);
    EXPECT_EQ(RegQueryValueExA(key_, "None", nullptr, &type, nullptr, &size), ERROR_FILE_NOT_FOUND);

    EXPECT_EQ(RegDeleteValueA(key_, "BIN"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValueA(key_, "Bin"), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(sim::GetValue(HKEY_CURRENT_USER, "V", "Bin"));
    EXPECT_EQ(RegSetValueExA(nullptr, "x", 0, REG_SZ, nullptr, 0), ERROR_INVALID_HANDLE);

    // A handle opened for reading cannot write.
    HKEY reader = nullptr;
    ASSERT_EQ(Open("V", &reader, KEY_READ), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(reader, "x", 0, REG_SZ, nullptr, 0), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteValueA(reader, "Text"), ERROR_ACCESS_DENIED);
    RegCloseKey(reader);
}

TEST_F(SimRegistryTest, InfoAndEnumeration)
{
    sim::CreateKey(HKEY_CURRENT_USER, "E\\beta");
    sim::CreateKey(HKEY_CURRENT_USER, "E\\Alpha");
    sim::CreateKey(HKEY_CURRENT_USER, "E\\\xD6\xD0\xCE\xC4");  // two double-byte characters
    sim::CreateKey(HKEY_CURRENT_USER, "E\\Gamma1");
    sim::SetValue(HKEY_CURRENT_USER, "E", "LongerName", REG_BINARY, "12345");
    sim::SetValue(HKEY_CURRENT_USER, "E", "v", REG_BINARY, "1234567");
    ASSERT_EQ(Open("E", &key_), ERROR_SUCCESS);

    DWORD subKeys = 0, maxSub = 0, values = 0, maxName = 0, maxData = 0;
    FILETIME written{};
    ASSERT_EQ(RegQueryInfoKeyA(key_, nullptr, nullptr, nullptr, &subKeys, &maxSub, nullptr, &values, &maxName,
                               &maxData, nullptr, &written),
              ERROR_SUCCESS);
    EXPECT_EQ(subKeys, 4u);
    EXPECT_EQ(maxSub, 6u);  // "Gamma1"; the double-byte name counts 2 characters
    EXPECT_EQ(values, 2u);
    EXPECT_EQ(maxName, 10u);
    EXPECT_EQ(maxData, 7u);
    EXPECT_NE(written.dwHighDateTime, 0u);

    char name[16];
    std::vector<std::string> names;
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof name;
        LSTATUS s = RegEnumKeyExA(key_, i, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (s == ERROR_NO_MORE_ITEMS) break;
        ASSERT_EQ(s, ERROR_SUCCESS);
        EXPECT_EQ(length, std::strlen(name));
        names.push_back(name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Alpha", "beta", "Gamma1", "\xD6\xD0\xCE\xC4"}));

    DWORD length = 6;  // "Gamma1" needs 7 with its zero
    std::strcpy(name, "keep");
    EXPECT_EQ(RegEnumKeyExA(key_, 2, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
    EXPECT_EQ(length, 6u);
    EXPECT_STREQ(name, "keep");
}

TEST_F(SimRegistryTest, DeletedKeysAndTheTwoFamilies)
{
    sim::CreateKey(HKEY_CURRENT_USER, "D\\Child\\Grandchild");
    ASSERT_EQ(Open("D\\Child\\Grandchild", &key_), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "D"), ERROR_ACCESS_DENIED);  // NT: subkeys left
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "D\\Missing"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "D\\CHILD\\grandchild"), ERROR_SUCCESS);

    // The handle outlives its key: value calls report the deletion.
    DWORD size = 0;
    EXPECT_EQ(RegSetValueExA(key_, "v", 0, REG_SZ, nullptr, 0), ERROR_KEY_DELETED);
    EXPECT_EQ(RegQueryValueExA(key_, "v", nullptr, nullptr, nullptr, &size), ERROR_KEY_DELETED);
    EXPECT_EQ(RegDeleteValueA(key_, "v"), ERROR_KEY_DELETED);
    EXPECT_EQ(RegCloseKey(key_), ERROR_SUCCESS);
    key_ = nullptr;

    // An empty path deletes the handle's own key.
    ASSERT_EQ(Open("D\\Child", &key_), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyA(key_, ""), ERROR_SUCCESS);
    EXPECT_FALSE(sim::KeyExists(HKEY_CURRENT_USER, "D\\Child"));

    sim::CreateKey(HKEY_CURRENT_USER, "D\\Child\\Grandchild");
    sim::SetFamily(sim::Family::Win9x);
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "D"), ERROR_SUCCESS);  // 9x: the whole subtree
    EXPECT_FALSE(sim::KeyExists(HKEY_CURRENT_USER, "D"));
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, ""), ERROR_ACCESS_DENIED);  // never a root
}

TEST_F(SimRegistryTest, DeniedFullAccess)
{
    const char* layouts = "System\\CurrentControlSet\\Control\\Keyboard Layouts";
    sim::CreateKey(HKEY_LOCAL_MACHINE, std::string(layouts) + "\\E0200804");
    sim::DenyFullAccess(HKEY_LOCAL_MACHINE, layouts);
    HKEY key = nullptr;
    EXPECT_EQ(Open(layouts, &key, KEY_ALL_ACCESS, HKEY_LOCAL_MACHINE), ERROR_ACCESS_DENIED);
    EXPECT_EQ(Open(layouts, &key, KEY_WRITE, HKEY_LOCAL_MACHINE), ERROR_ACCESS_DENIED);
    EXPECT_EQ(Open((std::string(layouts) + "\\E0200804").c_str(), &key, KEY_ALL_ACCESS, HKEY_LOCAL_MACHINE),
              ERROR_ACCESS_DENIED);  // the keys below inherit the refusal
    EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, (std::string(layouts) + "\\E0200804").c_str()), ERROR_ACCESS_DENIED);
    ASSERT_EQ(Open(layouts, &key_, KEY_READ, HKEY_LOCAL_MACHINE), ERROR_SUCCESS);
    EXPECT_EQ(RegCreateKeyExA(key_, "New", 0, nullptr, 0, KEY_READ, nullptr, &key, nullptr), ERROR_ACCESS_DENIED);

    sim::SetFamily(sim::Family::Win9x);  // no registry security at all
    ASSERT_EQ(Open(layouts, &key, KEY_ALL_ACCESS, HKEY_LOCAL_MACHINE), ERROR_SUCCESS);
    RegCloseKey(key);
    sim::SetFamily(sim::Family::NT);
    sim::DenyFullAccess(HKEY_LOCAL_MACHINE, layouts, false);
    ASSERT_EQ(Open(layouts, &key, KEY_ALL_ACCESS, HKEY_LOCAL_MACHINE), ERROR_SUCCESS);
    RegCloseKey(key);
}

}  // namespace
