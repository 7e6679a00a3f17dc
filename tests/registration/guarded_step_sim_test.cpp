// The exception guard of the copy and delete steps: every exception becomes
// the step's own text, even when memory runs out while making that text.
#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>

#include "allocation_fault.h"
#include "registration/guarded_step.h"

namespace {

constexpr char kFailure[] = "the step's own failure text, long enough for the heap";

class GuardedStepTest : public ::testing::Test {
protected:
    void TearDown() override { allocation_fault::Disarm(); }
};

TEST_F(GuardedStepTest, PassesTheStepsOwnResultThrough)
{
    EXPECT_EQ(RunGuardedStep(kFailure, [] { return std::string(); }), "");
    EXPECT_EQ(RunGuardedStep(kFailure, [] { return std::string("copy failed"); }), "copy failed");
}

TEST_F(GuardedStepTest, TurnsEveryKindOfExceptionIntoTheFailureText)
{
    EXPECT_EQ(RunGuardedStep(kFailure, []() -> std::string { throw std::bad_alloc(); }), kFailure);
    EXPECT_EQ(RunGuardedStep(kFailure, []() -> std::string { throw std::runtime_error("x"); }), kFailure);
    EXPECT_EQ(RunGuardedStep(kFailure, []() -> std::string { throw 42; }), kFailure);
}

TEST_F(GuardedStepTest, ReportsWhenMemoryRunsOutInsideTheStep)
{
    const std::string result = RunGuardedStep(kFailure, [] {
        allocation_fault::FailNextAllocation();
        return std::string(200, 'x');
    });
    EXPECT_TRUE(allocation_fault::Fired());
    EXPECT_EQ(result, kFailure);
}

TEST_F(GuardedStepTest, ReportsWhenMemoryRunsOutMakingItsOwnText)
{
    bool stepRan = false;
    allocation_fault::FailNextAllocation();
    const std::string result = RunGuardedStep(kFailure, [&stepRan] {
        stepRan = true;
        return std::string();
    });
    EXPECT_TRUE(allocation_fault::Fired());
    EXPECT_FALSE(stepRan);
    EXPECT_EQ(result, kFailure);
}

}  // namespace
