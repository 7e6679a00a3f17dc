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

// The fault replaces the global allocation functions; a form it left out would
// come from another allocator (AddressSanitizer replaces every form) than the
// release that pairs with it, and the sanitizer would end every test that
// uses that form, as GoogleTest itself does with new (std::nothrow).
TEST(AllocationFaultTest, ReplacesTheNothrowAndArrayFormsToo)
{
    allocation_fault::FailNextAllocation();
    char* refused = new (std::nothrow) char;
    EXPECT_TRUE(allocation_fault::Fired());
    EXPECT_EQ(refused, nullptr);
    allocation_fault::Disarm();

    int* single = new (std::nothrow) int(7);
    ASSERT_NE(single, nullptr);
    delete single;
    int* array = new (std::nothrow) int[3]();
    ASSERT_NE(array, nullptr);
    delete[] array;
    auto* block = static_cast<char*>(::operator new(16, std::nothrow));
    ASSERT_NE(block, nullptr);
    ::operator delete(block, std::nothrow);
}
