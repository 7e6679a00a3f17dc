// The registry key object against the platform's registry, below a private
// key HKCU\Software\ImeSetupTests that each test makes and removes.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "registry/my_registry.h"
#include "registry/registry_test_machine.h"

using namespace std::string_literals;
using MyRegistry::TRegistry;

namespace {

const std::string kTestKey = "Software\\ImeSetupTests";
const std::string kAbsTestKey = "\\" + kTestKey;

std::string Below(const std::string& sub)
{
    return sub.empty() ? kTestKey : kTestKey + "\\" + sub;
}

std::string Abs(const std::string& sub)
{
    return "\\" + Below(sub);
}

void MakeKey(const std::string& sub)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, Below(sub).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

bool KeyExists(const std::string& sub)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, Below(sub).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

void PutValue(const std::string& sub, const std::string& name, DWORD type, const std::string& data)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, Below(sub).c_str(), 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                             static_cast<DWORD>(data.size())),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

struct Stored {
    DWORD type;
    std::string data;
    bool operator==(const Stored& other) const { return type == other.type && data == other.data; }
};

std::optional<Stored> ReadValue(const std::string& sub, const std::string& name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, Below(sub).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
    std::optional<Stored> result;
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
        std::vector<BYTE> buffer(size + 1);
        if (RegQueryValueExA(key, name.c_str(), nullptr, &type, buffer.data(), &size) == ERROR_SUCCESS)
            result = Stored{type, std::string(buffer.begin(), buffer.begin() + size)};
    }
    RegCloseKey(key);
    return result;
}

void DeleteTree(HKEY parent, const std::string& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(parent, path.c_str(), 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        char name[MAX_PATH];
        DWORD length = sizeof name;
        while (RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS) {
            DeleteTree(key, name);
            length = sizeof name;
        }
        RegCloseKey(key);
    }
    RegDeleteKeyA(parent, path.c_str());
}

DWORD SubKeyCount(HKEY key)
{
    DWORD count = 0;
    EXPECT_EQ(RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr),
              ERROR_SUCCESS);
    return count;
}

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetRegistryTestMachine();
        MyRegistry::StartModule();
        DeleteTree(HKEY_CURRENT_USER, kTestKey);  // what an aborted run left
        MakeKey("");
    }

    void TearDown() override
    {
        DeleteTree(HKEY_CURRENT_USER, kTestKey);
        ExpectOpenKeys(0);
    }

    static void ExpectOpenKeys(int count)
    {
        const int open = OpenRegistryKeysOrUnknown();
        if (open >= 0) {
            EXPECT_EQ(open, count) << "registry keys held open";
        }
    }
};

// ---- Opening keys ----

TEST_F(RegistryTest, NewObjectHasNoCurrentKeyAndValueOperationsFail)
{
    TRegistry registry;
    EXPECT_EQ(registry.CurrentKey(), nullptr);
    EXPECT_EQ(registry.Root(), HKEY_CURRENT_USER);
    EXPECT_EQ(registry.CurrentPath(), "");
    EXPECT_FALSE(registry.HasValue(""));
    EXPECT_FALSE(registry.HasValue("ImeSetupTestsStray"));
    EXPECT_EQ(registry.GetText("ImeSetupTestsStray"), "");
    EXPECT_FALSE(registry.EraseValue("ImeSetupTestsStray"));

    // Without a current key a write goes nowhere, not to the root.
    registry.PutText("ImeSetupTestsStray", "x");
    EXPECT_EQ(RegQueryValueExA(HKEY_CURRENT_USER, "ImeSetupTestsStray", nullptr, nullptr, nullptr, nullptr),
              ERROR_FILE_NOT_FOUND);
    RegDeleteValueA(HKEY_CURRENT_USER, "ImeSetupTestsStray");
}

TEST_F(RegistryTest, AbsoluteAndRelativeOpensBuildTheKeyPath)
{
    MakeKey("Alpha\\Beta\\Gamma");
    TRegistry registry;

    ASSERT_TRUE(registry.OpenKey("Software\\ImeSetupTests", false));  // relative, no key current: below the root
    EXPECT_EQ(registry.CurrentPath(), kTestKey);

    ASSERT_TRUE(registry.OpenKey(Abs("Alpha\\Beta"), false));  // absolute: the current key plays no part
    EXPECT_EQ(registry.CurrentPath(), Below("Alpha\\Beta"));

    ASSERT_TRUE(registry.OpenKey("Gamma", false));
    EXPECT_EQ(registry.CurrentPath(), Below("Alpha\\Beta\\Gamma"));
    ExpectOpenKeys(1);
    registry.PutText("where", "gamma");
    EXPECT_EQ(ReadValue("Alpha\\Beta\\Gamma", "where"), (Stored{REG_SZ, "gamma\0"s}));

    ASSERT_TRUE(registry.OpenKey(Abs("Alpha\\"), false));  // the trailing backslash stays in the path
    EXPECT_EQ(registry.CurrentPath(), Below("Alpha\\"));
}

TEST_F(RegistryTest, OpenKeyCreatesOnlyWhenAllowed)
{
    MakeKey("Old");
    PutValue("Old", "keep", REG_SZ, "k\0"s);
    TRegistry registry;

    EXPECT_FALSE(registry.OpenKey(Abs("New\\Deeper"), false));
    EXPECT_FALSE(KeyExists("New"));

    ASSERT_TRUE(registry.OpenKey(Abs("New\\Deeper"), true));
    EXPECT_TRUE(KeyExists("New\\Deeper"));
    EXPECT_EQ(registry.CurrentPath(), Below("New\\Deeper"));

    ASSERT_TRUE(registry.OpenKey(Abs("Old"), true));  // an existing key is just opened
    EXPECT_TRUE(registry.HasValue("keep"));
}

TEST_F(RegistryTest, FailedOpenKeepsThePreviousKeyCurrent)
{
    MakeKey("Alpha");
    PutValue("Alpha", "v", REG_SZ, "x\0"s);
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(Abs("Alpha"), false));
    const HKEY before = registry.CurrentKey();

    EXPECT_FALSE(registry.OpenKey(Abs("Missing"), false));
    EXPECT_FALSE(registry.OpenKey("Missing", false));

    EXPECT_EQ(registry.CurrentKey(), before);
    EXPECT_EQ(registry.CurrentPath(), Below("Alpha"));
    EXPECT_TRUE(registry.HasValue("v"));
    registry.PutText("w", "y");
    EXPECT_EQ(ReadValue("Alpha", "w"), (Stored{REG_SZ, "y\0"s}));
    ExpectOpenKeys(1);
}

TEST_F(RegistryTest, OpeningABackslashWithCreateAllowedOpensTheRoot)
{
    const DWORD rootSubKeys = SubKeyCount(HKEY_CURRENT_USER);
    TRegistry registry;

    ASSERT_TRUE(registry.OpenKey("\\", true));
    EXPECT_NE(registry.CurrentKey(), nullptr);
    EXPECT_EQ(registry.CurrentPath(), "");
    EXPECT_EQ(SubKeyCount(HKEY_CURRENT_USER), rootSubKeys);

    // The root is current: a relative path resolves below it.
    ASSERT_TRUE(registry.OpenKey("Software\\ImeSetupTests", false));
    registry.PutText("here", "1");
    EXPECT_EQ(ReadValue("", "here"), (Stored{REG_SZ, "1\0"s}));
}

TEST_F(RegistryTest, SelectRootKeepsTheKeyForTheSameRootOnly)
{
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(kAbsTestKey, false));
    const HKEY before = registry.CurrentKey();

    registry.SelectRoot(HKEY_CURRENT_USER);
    EXPECT_EQ(registry.CurrentKey(), before);
    EXPECT_EQ(registry.CurrentPath(), kTestKey);

    registry.SelectRoot(HKEY_LOCAL_MACHINE);
    EXPECT_EQ(registry.Root(), HKEY_LOCAL_MACHINE);
    EXPECT_EQ(registry.CurrentKey(), nullptr);
    EXPECT_EQ(registry.CurrentPath(), "");
    ExpectOpenKeys(0);
    EXPECT_FALSE(registry.OpenKey(kAbsTestKey, false));  // now resolved below HKLM

    registry.SelectRoot(HKEY_CURRENT_USER);
    EXPECT_TRUE(registry.OpenKey(kAbsTestKey, false));
}

// ---- Erasing keys ----

TEST_F(RegistryTest, EraseKeyRemovesEveryLevelAndKeepsTheCurrentKey)
{
    MakeKey("Tree\\A\\A1\\A1x");
    MakeKey("Tree\\A\\A2");
    MakeKey("Tree\\B");
    PutValue("Tree\\A\\A1\\A1x", "v", REG_SZ, "deep\0"s);
    MakeKey("Rel\\X\\Y");
    MakeKey("Other");
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(kAbsTestKey, false));
    const HKEY before = registry.CurrentKey();

    EXPECT_TRUE(registry.EraseKey(Abs("Tree")));
    EXPECT_FALSE(KeyExists("Tree"));
    EXPECT_TRUE(registry.EraseKey("Rel"));  // relative: below the current key
    EXPECT_FALSE(KeyExists("Rel"));

    EXPECT_TRUE(KeyExists("Other"));
    EXPECT_EQ(registry.CurrentKey(), before);
    EXPECT_EQ(registry.CurrentPath(), kTestKey);
    ExpectOpenKeys(1);
}

TEST_F(RegistryTest, EraseKeyOfAMissingKeyChangesNothing)
{
    MakeKey("Other\\Child");
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(kAbsTestKey, false));

    EXPECT_FALSE(registry.EraseKey(Abs("Missing")));
    EXPECT_FALSE(registry.EraseKey("Missing\\Child"));
    EXPECT_TRUE(KeyExists("Other\\Child"));
    EXPECT_EQ(registry.CurrentPath(), kTestKey);
}

TEST_F(RegistryTest, EraseKeyOfTheCurrentKeyLeavesItsHandleCurrent)
{
    MakeKey("Current\\Sub");
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(Abs("Current"), false));
    const HKEY before = registry.CurrentKey();

    EXPECT_TRUE(registry.EraseKey(Abs("Current")));
    EXPECT_FALSE(KeyExists("Current"));
    EXPECT_EQ(registry.CurrentKey(), before);
    EXPECT_EQ(registry.CurrentPath(), Below("Current"));
}

TEST_F(RegistryTest, EraseKeyWithAnEmptyPathErasesNothing)
{
    MakeKey("Keep\\Child");
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(kAbsTestKey, false));

    EXPECT_FALSE(registry.EraseKey(""));
    EXPECT_TRUE(KeyExists("Keep\\Child"));
}

// ---- Reading and writing values ----

TEST_F(RegistryTest, GetTextEndsTextsAtTheirFirstZero)
{
    PutValue("", "terminated", REG_SZ, "abc\0"s);
    PutValue("", "bare", REG_SZ, "abc");
    PutValue("", "embedded", REG_SZ, "ab\0cd\0"s);
    PutValue("", "expandable", REG_EXPAND_SZ, "%SystemRoot%\\x\0"s);
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(kAbsTestKey, false));

    EXPECT_EQ(registry.GetText("terminated"), "abc");
    EXPECT_EQ(registry.GetText("bare"), "abc");
    EXPECT_EQ(registry.GetText("embedded"), "ab");
    EXPECT_EQ(registry.GetText("expandable"), "%SystemRoot%\\x");  // not expanded
}

TEST_F(RegistryTest, GetTextGivesOtherDataRawAndEmptyForNoData)
{
    PutValue("", "number", REG_DWORD, "\x04\x03\x02\x01");
    PutValue("", "bytes", REG_BINARY, "a\0b\0"s);
    PutValue("", "emptyText", REG_SZ, "");
    PutValue("", "emptyBytes", REG_BINARY, "");
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(kAbsTestKey, false));

    EXPECT_EQ(registry.GetText("number"), "\x04\x03\x02\x01");
    EXPECT_EQ(registry.GetText("bytes"), "a\0b\0"s);
    EXPECT_TRUE(registry.HasValue("emptyText"));
    EXPECT_EQ(registry.GetText("emptyText"), "");
    EXPECT_TRUE(registry.HasValue("emptyBytes"));
    EXPECT_EQ(registry.GetText("emptyBytes"), "");
    EXPECT_FALSE(registry.HasValue("missing"));
    EXPECT_EQ(registry.GetText("missing"), "");
}

TEST_F(RegistryTest, PutTextWritesRegSzWithItsTerminator)
{
    PutValue("", "number", REG_DWORD, "\x01\x00\x00\x00"s);
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(kAbsTestKey, false));

    registry.PutText("", "abc");
    EXPECT_EQ(ReadValue("", ""), (Stored{REG_SZ, "abc\0"s}));
    registry.PutText("empty", "");
    EXPECT_EQ(ReadValue("", "empty"), (Stored{REG_SZ, "\0"s}));
    registry.PutText("number", "7");
    EXPECT_EQ(ReadValue("", "number"), (Stored{REG_SZ, "7\0"s}));
}

TEST_F(RegistryTest, EraseValueSaysWhetherItDeleted)
{
    PutValue("", "v", REG_SZ, "x\0"s);
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(kAbsTestKey, false));

    EXPECT_TRUE(registry.EraseValue("v"));
    EXPECT_FALSE(ReadValue("", "v"));
    EXPECT_FALSE(registry.EraseValue("v"));
}

// ---- Moving values ----

TEST_F(RegistryTest, MoveValueKeepsDataAndTypeOfEveryKind)
{
    const Stored kinds[] = {
        {REG_SZ, "abc\0"s},
        {REG_EXPAND_SZ, "%TEMP%\\a\0"s},
        {REG_DWORD, "\x01\x00\x00\x80"s},
        {REG_BINARY, "\x00\xFF\x00"s},
        {REG_MULTI_SZ, "one\0two\0\0"s},  // a type without a kind of its own keeps its type too
    };
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(kAbsTestKey, false));
    for (const Stored& kind : kinds) {
        SCOPED_TRACE(kind.type);
        PutValue("", "2", kind.type, kind.data);
        registry.MoveValue("2", "1");
        EXPECT_FALSE(ReadValue("", "2"));
        EXPECT_EQ(ReadValue("", "1"), kind);
        ExpectOpenKeys(1);
        ASSERT_TRUE(registry.EraseValue("1"));
    }
}

TEST_F(RegistryTest, MoveValueLeavesExistingTargetsZeroLengthAndMissingValues)
{
    PutValue("", "1", REG_SZ, "A\0"s);
    PutValue("", "2", REG_SZ, "B\0"s);
    PutValue("", "empty", REG_BINARY, "");
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(kAbsTestKey, false));

    registry.MoveValue("2", "1");
    EXPECT_EQ(ReadValue("", "1"), (Stored{REG_SZ, "A\0"s}));
    EXPECT_EQ(ReadValue("", "2"), (Stored{REG_SZ, "B\0"s}));

    registry.MoveValue("empty", "moved");
    EXPECT_EQ(ReadValue("", "empty"), (Stored{REG_BINARY, ""}));
    EXPECT_FALSE(ReadValue("", "moved"));

    registry.MoveValue("missing", "3");
    EXPECT_FALSE(ReadValue("", "3"));
}

// ---- Value kinds ----

// The kinds are numbered 0 to 4; Number (3) and Bytes (4) cross over with the
// registry's numbers, REG_DWORD being 4 and REG_BINARY 3.
TEST(ValueKindTest, KindsAndRegistryTypesMapBothWays)
{
    using MyRegistry::ValueKind;
    const struct {
        ValueKind kind;
        int number;
        DWORD type;
    } rows[] = {
        {ValueKind::Other, 0, REG_NONE},
        {ValueKind::Text, 1, REG_SZ},
        {ValueKind::ExpandableText, 2, REG_EXPAND_SZ},
        {ValueKind::Number, 3, REG_DWORD},
        {ValueKind::Bytes, 4, REG_BINARY},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.number);
        EXPECT_EQ(static_cast<int>(row.kind), row.number);
        EXPECT_EQ(MyRegistry::KindToRegType(row.kind), row.type);
        EXPECT_EQ(MyRegistry::RegTypeToKind(row.type), row.kind);
    }
    EXPECT_EQ(MyRegistry::KindToRegType(ValueKind::Number), 4u);
    EXPECT_EQ(MyRegistry::KindToRegType(ValueKind::Bytes), 3u);
    EXPECT_EQ(MyRegistry::KindToRegType(static_cast<ValueKind>(5)), static_cast<DWORD>(REG_NONE));
    const DWORD others[] = {REG_DWORD_BIG_ENDIAN, REG_LINK, REG_MULTI_SZ, REG_QWORD, 0xFFFFFFFFu};
    for (const DWORD type : others) {
        EXPECT_EQ(MyRegistry::RegTypeToKind(type), ValueKind::Other) << type;
    }
}

}  // namespace
