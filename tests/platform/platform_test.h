// The fixture of the portable platform tests: a machine to start from and a
// scratch folder of the test's own, removed again on every way out.
#pragma once

#include <gtest/gtest.h>

#include "common/scratch_folder.h"

// Host: the simulated machine starts clean, in a time zone eight hours east
// of UTC (as the Wine runs are), so that local times differ from UTC.
// Windows: the machine is what it is.
struct PlatformTestMachine {
    PlatformTestMachine();
};

class PlatformTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(scratch_.made()) << "no scratch folder under the temporary directory"; }

    std::string Path(const std::string& name) const { return scratch_ / name; }

    PlatformTestMachine machine_;  // first, so the scratch folder is made on the machine as prepared
    ScratchFolder scratch_;
};
