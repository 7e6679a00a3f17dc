// The owned file handle gives back every handle it held, whichever way it
// lets go.
#include <gtest/gtest.h>

#include <utility>

#include "common/clean_machine_fixture.h"
#include "support/unique_handle.h"

namespace {

HANDLE OpenTestFile()
{
    return CreateFileA("C:\\held.txt", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

class UniqueHandleTest : public CleanMachineTest {
protected:
    void SetUp() override
    {
        CleanMachineTest::SetUp();
        sim::PutFile("C:\\held.txt", "x");
    }
};

TEST_F(UniqueHandleTest, EveryWayOfLettingGoClosesTheFileItHeld)
{
    {
        UniqueFileHandle held(OpenTestFile());
        ASSERT_TRUE(held);
        UniqueFileHandle other(OpenTestFile());
        ASSERT_EQ(sim::OpenFileCount(), 2);

        held = std::move(other);  // the target's own handle goes
        EXPECT_EQ(sim::OpenFileCount(), 1);
        EXPECT_FALSE(other);

        UniqueFileHandle& self = held;
        held = std::move(self);  // moving into itself keeps the handle
        EXPECT_TRUE(held);

        held.reset(OpenTestFile());
        EXPECT_EQ(sim::OpenFileCount(), 1);

        UniqueFileHandle moved(std::move(held));
        EXPECT_FALSE(held);
        EXPECT_EQ(sim::OpenFileCount(), 1);
    }
    EXPECT_EQ(sim::OpenFileCount(), 0);
}

}  // namespace
