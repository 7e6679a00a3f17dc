// The owned key handle gives back every handle it held, whichever way it lets go.
#include <gtest/gtest.h>

#include <utility>

#include "common/clean_machine_fixture.h"
#include "registry/unique_hkey.h"

namespace {

using MyRegistry::unique_hkey;

HKEY OpenTestKey()
{
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Keyboard Layout", 0, KEY_READ, &key), ERROR_SUCCESS);
    return key;
}

using UniqueHkeyTest = CleanMachineTest;

TEST_F(UniqueHkeyTest, EveryWayOfLettingGoClosesTheHandleItHeld)
{
    {
        unique_hkey held(OpenTestKey());
        ASSERT_EQ(sim::OpenKeyCount(), 1);

        *held.put() = OpenTestKey();  // put() closes the old handle first
        EXPECT_EQ(sim::OpenKeyCount(), 1);

        unique_hkey other(OpenTestKey());
        held = std::move(other);  // the target's own handle goes
        EXPECT_EQ(sim::OpenKeyCount(), 1);
        EXPECT_FALSE(other);

        unique_hkey& self = held;
        held = std::move(self);  // moving into itself keeps the handle
        EXPECT_TRUE(held);
        EXPECT_EQ(sim::OpenKeyCount(), 1);
    }
    EXPECT_EQ(sim::OpenKeyCount(), 0);
}

}  // namespace
