// The registry key object where the machine itself must be steered: platform
// family, double-byte support, failing calls and values changed by others.
#include <gtest/gtest.h>

#include <new>
#include <string>

#include "common/clean_machine_fixture.h"
#include "common/registry_test_access.h"
#include "platform/sim/machine.h"
#include "registration/allocation_fault.h"
#include "registry/my_registry.h"

using namespace std::string_literals;
using MyRegistry::TRegistry;

namespace {

const HKEY kUser = HKEY_CURRENT_USER;
const std::string kWideName = "\xD6\xD0\xCE\xC4\xCA\xE4\xC8\xEB";  // four double-byte characters

// The module's facts are process-wide: each test gets them back as it found them.
class RegistrySimTest : public CleanMachineTest {
protected:
    void SetUp() override
    {
        CleanMachineTest::SetUp();
        savedDbcs_ = MyRegistry::DbcsEnabled;
        savedPlatform_ = MyRegistry::PlatformId;
    }

    void TearDown() override
    {
        MyRegistry::DbcsEnabled = savedDbcs_;
        MyRegistry::PlatformId = savedPlatform_;
        CleanMachineTest::TearDown();
    }

    static void StartOn(sim::Family family, bool dbcs)
    {
        sim::SetFamily(family);
        sim::SetDbcsEnabled(dbcs);
        MyRegistry::StartModule();
    }

private:
    bool savedDbcs_ = false;
    std::int32_t savedPlatform_ = 0;
};

// ---- Module start ----

TEST_F(RegistrySimTest, StartModuleRecordsDoubleByteSupportAndFamily)
{
    StartOn(sim::Family::NT, true);
    EXPECT_TRUE(MyRegistry::DbcsEnabled);
    EXPECT_EQ(MyRegistry::PlatformId, VER_PLATFORM_WIN32_NT);

    StartOn(sim::Family::Win9x, false);
    EXPECT_FALSE(MyRegistry::DbcsEnabled);
    EXPECT_EQ(MyRegistry::PlatformId, VER_PLATFORM_WIN32_WINDOWS);

    sim::FailCall("GetVersionExA", ERROR_INSUFFICIENT_BUFFER);
    StartOn(sim::Family::NT, true);
    EXPECT_EQ(MyRegistry::PlatformId, 0);
}

// ---- Key information ----

TEST_F(RegistrySimTest, QueryKeyInfoDoublesNameLengthsOnlyOnNtWithDoubleByteSupport)
{
    sim::CreateKey(kUser, "T\\" + kWideName);
    sim::SetString(kUser, "T", "abc", "x");
    struct Case {
        sim::Family family;
        bool dbcs;
        bool doubled;
    } cases[] = {{sim::Family::NT, true, true}, {sim::Family::NT, false, false}, {sim::Family::Win9x, true, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "NT " << (c.family == sim::Family::NT) << " DBCS " << c.dbcs);
        StartOn(c.family, c.dbcs);
        TRegistry registry;
        ASSERT_TRUE(registry.OpenKey("\\T", false));
        DWORD subKeyName = 0, valueName = 0;
        ASSERT_EQ(RegQueryInfoKeyA(registry.CurrentKey(), nullptr, nullptr, nullptr, nullptr, &subKeyName, nullptr,
                                   nullptr, &valueName, nullptr, nullptr, nullptr),
                  ERROR_SUCCESS);

        MyRegistry::KeyInfo info;
        ASSERT_TRUE(MyRegistry::TRegistryTestAccess::QueryKeyInfo(registry, info));
        EXPECT_EQ(info.SubKeyCount, 1u);
        EXPECT_EQ(info.ValueCount, 1u);
        EXPECT_EQ(info.LargestData, 2u);
        EXPECT_EQ(info.LongestSubKeyName, c.doubled ? 2 * subKeyName : subKeyName);
        EXPECT_EQ(info.LongestValueName, c.doubled ? 2 * valueName : valueName);
        if (c.doubled) {
            EXPECT_EQ(info.LongestSubKeyName, 8u);  // four UTF-16 characters, up to eight bytes here
            EXPECT_EQ(info.LongestValueName, 6u);
        }
    }
}

TEST_F(RegistrySimTest, EraseKeyNeedsTheDoubledLengthForDoubleByteNames)
{
    sim::CreateKey(kUser, "T\\" + kWideName);
    sim::CreateKey(kUser, "U\\" + kWideName);

    StartOn(sim::Family::NT, false);  // the name buffer is too short for eight bytes: the sub-key is skipped
    EXPECT_FALSE(TRegistry().EraseKey("\\T"));
    EXPECT_TRUE(sim::KeyExists(kUser, "T\\" + kWideName));

    StartOn(sim::Family::NT, true);
    EXPECT_TRUE(TRegistry().EraseKey("\\U"));
    EXPECT_FALSE(sim::KeyExists(kUser, "U"));
}

// ---- Erasing keys: what the platform family changes ----

TEST_F(RegistrySimTest, EraseKeyOnNtKeepsTheKeyWhenASubKeyCannotBeEnumerated)
{
    sim::SetFamily(sim::Family::NT);
    sim::CreateKey(kUser, "T\\Tree\\X\\Deep");
    sim::CreateKey(kUser, "T\\Tree\\Y");
    sim::FailCall("RegEnumKeyExA", ERROR_ACCESS_DENIED);  // the first one: index 1 of Tree, "Y"

    TRegistry registry;
    EXPECT_FALSE(registry.EraseKey("\\T\\Tree"));
    EXPECT_FALSE(sim::KeyExists(kUser, "T\\Tree\\X"));
    EXPECT_TRUE(sim::KeyExists(kUser, "T\\Tree\\Y"));
    EXPECT_EQ(registry.CurrentKey(), nullptr);
}

TEST_F(RegistrySimTest, EraseKeyOn9xDeletesWhatItCouldNotEnumerate)
{
    sim::SetFamily(sim::Family::Win9x);
    sim::CreateKey(kUser, "T\\Tree\\X\\Deep");
    sim::CreateKey(kUser, "T\\Tree\\Y");
    sim::FailCall("RegEnumKeyExA", ERROR_ACCESS_DENIED);

    EXPECT_TRUE(TRegistry().EraseKey("\\T\\Tree"));
    EXPECT_FALSE(sim::KeyExists(kUser, "T\\Tree"));
    EXPECT_TRUE(sim::KeyExists(kUser, "T"));
}

TEST_F(RegistrySimTest, EraseKeySkipsTheSubKeyPassWhenTheKeyCannotBeQueried)
{
    sim::CreateKey(kUser, "T\\Tree\\X");
    sim::CreateKey(kUser, "T\\Leaf");
    sim::FailCall("RegQueryInfoKeyA", ERROR_ACCESS_DENIED, sim::Repeat::Always);

    TRegistry registry;
    EXPECT_FALSE(registry.EraseKey("\\T\\Tree"));
    EXPECT_TRUE(sim::KeyExists(kUser, "T\\Tree\\X"));
    EXPECT_TRUE(registry.EraseKey("\\T\\Leaf"));
    EXPECT_FALSE(sim::KeyExists(kUser, "T\\Leaf"));
}

TEST_F(RegistrySimTest, EraseKeyOfTheRootItselfErasesNothing)
{
    const auto before = sim::SubKeyNames(kUser, "");
    TRegistry registry;
    EXPECT_FALSE(registry.EraseKey("\\"));
    EXPECT_FALSE(registry.EraseKey(""));
    EXPECT_EQ(sim::SubKeyNames(kUser, ""), before);
    EXPECT_TRUE(sim::KeyExists(kUser, "Keyboard Layout\\Preload"));
}

// ---- Opening keys ----

TEST_F(RegistrySimTest, RelativeOpenClosesTheOldKeyOnlyAfterTheNewOneIsOpen)
{
    sim::CreateKey(kUser, "T\\Sub");
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey("\\T", false));
    const int callsBefore = sim::CallCount();

    ASSERT_TRUE(registry.OpenKey("Sub", false));
    const auto log = sim::CallLog();
    ASSERT_EQ(log.size(), static_cast<size_t>(callsBefore + 2));
    EXPECT_EQ(log[callsBefore], "RegOpenKeyExA");
    EXPECT_EQ(log[callsBefore + 1], "RegCloseKey");
    EXPECT_EQ(sim::OpenKeyCount(), 1);
}

TEST_F(RegistrySimTest, OpeningABackslashWithCreateAllowedOpensWithoutCreating)
{
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey("\\", true));
    EXPECT_EQ(sim::CallLog(), std::vector<std::string>{"RegOpenKeyExA"});
}

TEST_F(RegistrySimTest, OpenKeyAsksForFullAccess)
{
    sim::CreateKey(kUser, "T\\Locked");
    sim::DenyFullAccess(kUser, "T\\Locked");
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey("\\T", false));

    EXPECT_FALSE(registry.OpenKey("Locked", false));
    EXPECT_FALSE(registry.OpenKey("\\T\\Locked", true));
    EXPECT_EQ(registry.CurrentPath(), "T");
    EXPECT_EQ(sim::OpenKeyCount(), 1);
}

// ---- Exhausted memory ----

// The object's own next allocation fails, while the operation runs: the
// exception leaves it, and nothing is read as "no key" or "no value".
template <typename Operation>
void ExpectExhaustedMemoryLeaves(Operation operation)
{
    allocation_fault::FailToolAllocationNumber(1);
    EXPECT_THROW(operation(), std::bad_alloc);
    allocation_fault::Disarm();
    EXPECT_TRUE(allocation_fault::Fired());
}

TEST_F(RegistrySimTest, ExhaustedMemoryLeavesTheOperationAndKeepsEverything)
{
    const std::string text = "a text longer than any short string";
    sim::SetString(kUser, "T", "v", text);
    sim::SetValue(kUser, "T", "2", REG_BINARY, std::string(40, '\x01'));
    sim::CreateKey(kUser, "T\\Tree\\X\\Deep");
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey("\\T", false));

    // The new key's path, made before anything is opened.
    const std::string below = "A sub-key with a long name";
    ExpectExhaustedMemoryLeaves([&] { registry.OpenKey(below, true); });
    EXPECT_EQ(registry.CurrentPath(), "T");
    EXPECT_FALSE(sim::KeyExists(kUser, "T\\" + below));

    // The buffer for the data, made once its size is known.
    ExpectExhaustedMemoryLeaves([&] { registry.GetText("v"); });
    EXPECT_EQ(registry.GetText("v"), text);

    // The move's buffer: the value stays under its old name.
    ExpectExhaustedMemoryLeaves([&] { registry.MoveValue("2", "1"); });
    EXPECT_EQ(sim::GetValue(kUser, "T", "2")->data, std::string(40, '\x01'));
    EXPECT_FALSE(sim::GetValue(kUser, "T", "1"));

    // The sub-key names' buffer: the tree stays, its open handle is closed.
    ExpectExhaustedMemoryLeaves([&] { registry.EraseKey("Tree"); });
    EXPECT_TRUE(sim::KeyExists(kUser, "T\\Tree\\X\\Deep"));
    EXPECT_EQ(registry.CurrentPath(), "T");
    EXPECT_EQ(sim::OpenKeyCount(), 1);
    EXPECT_TRUE(registry.EraseKey("Tree"));
}

// ---- Moving values when the machine fails ----

class MoveValueFaultTest : public RegistrySimTest {
protected:
    void SetUp() override
    {
        RegistrySimTest::SetUp();
        sim::SetValue(kUser, "T", "2", REG_BINARY, "\x01\x00\x02"s);
        ASSERT_TRUE(registry_.OpenKey("\\T", false));
    }

    void TearDown() override
    {
        registry_.SelectRoot(HKEY_LOCAL_MACHINE);  // gives the key back before the count
        RegistrySimTest::TearDown();
    }

    void ExpectNotMoved(const std::string& data = "\x01\x00\x02"s)
    {
        const auto old = sim::GetValue(kUser, "T", "2");
        ASSERT_TRUE(old);
        EXPECT_EQ(old->type, static_cast<DWORD>(REG_BINARY));
        EXPECT_EQ(old->data, data);
        EXPECT_FALSE(sim::GetValue(kUser, "T", "1"));
    }

    TRegistry registry_;
};

TEST_F(MoveValueFaultTest, AFailedWriteLeavesTheValueWhereItWas)
{
    sim::FailCall("RegSetValueExA", ERROR_ACCESS_DENIED);
    registry_.MoveValue("2", "1");
    ExpectNotMoved();

    sim::FailCall("RegSetValueExA", ERROR_DISK_FULL, sim::Repeat::Always);
    registry_.MoveValue("2", "1");
    ExpectNotMoved();
}

TEST_F(MoveValueFaultTest, AFailedDeleteTakesTheCopyBack)
{
    sim::FailCall("RegDeleteValueA", ERROR_ACCESS_DENIED, sim::Repeat::Once, "2");
    registry_.MoveValue("2", "1");
    ExpectNotMoved();
}

TEST_F(MoveValueFaultTest, AFailedReadLeavesTheValueWhereItWas)
{
    // The four queries: old exists, new is free, the size, the data.
    sim::FailCallNumber(4);
    registry_.MoveValue("2", "1");
    ExpectNotMoved();
    EXPECT_EQ(sim::CallLog().back(), "RegQueryValueExA");
}

// Another program rewrites the value between the size query (call 3) and
// the read (call 4): the move takes what the read delivers, no more.
TEST_F(MoveValueFaultTest, AValueResizedBeforeTheReadIsMovedAsRead)
{
    for (const std::string& rewritten : {"\x01\x00\x02\x03\x04"s, "\x09"s}) {
        SCOPED_TRACE(rewritten.size());
        sim::SetValue(kUser, "T", "2", REG_BINARY, "\x01\x00\x02"s);
        sim::BeforeEachCall("RegQueryValueExA", [&rewritten](int call) {
            if (call == 4) sim::SetValue(kUser, "T", "2", REG_BINARY, rewritten);
        });
        registry_.MoveValue("2", "1");
        EXPECT_FALSE(sim::GetValue(kUser, "T", "2"));
        const auto moved = sim::GetValue(kUser, "T", "1");
        ASSERT_TRUE(moved);
        EXPECT_EQ(moved->type, static_cast<DWORD>(REG_BINARY));
        EXPECT_EQ(moved->data, rewritten);
        sim::BeforeEachCall("RegQueryValueExA", nullptr);
        ASSERT_TRUE(registry_.EraseValue("1"));
    }
}

TEST_F(MoveValueFaultTest, AValueThatKeepsGrowingStaysWhereItIs)
{
    std::string data = "\x01\x00\x02"s;
    sim::BeforeEachCall("RegQueryValueExA", [&data](int call) {
        if (call < 4) return;
        data += '\x7F';
        sim::SetValue(kUser, "T", "2", REG_BINARY, data);
    });
    registry_.MoveValue("2", "1");
    ExpectNotMoved(data);
}

TEST_F(MoveValueFaultTest, GetTextOfAValueThatGrewGivesTheWholeNewText)
{
    sim::SetString(kUser, "T", "text", "abc");
    sim::BeforeEachCall("RegQueryValueExA", [](int call) {
        if (call == 2) sim::SetString(kUser, "T", "text", "abcdefgh");
    });
    EXPECT_EQ(registry_.GetText("text"), "abcdefgh");
}

}  // namespace
