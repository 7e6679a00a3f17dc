// Host tests start from a clean simulated machine and must leave nothing
// behind: no open file, search or registry handle, no module loaded, no box
// left unanswered.
#pragma once

#include <gtest/gtest.h>

#include "platform/sim/machine.h"

class CleanMachineTest : public ::testing::Test {
protected:
    void SetUp() override { sim::Reset(); }

    void TearDown() override
    {
        EXPECT_EQ(sim::OpenFileCount(), 0) << "file handles left open";
        EXPECT_EQ(sim::OpenFindCount(), 0) << "file searches left open";
        EXPECT_EQ(sim::OpenKeyCount(), 0) << "registry keys left open";
        EXPECT_EQ(sim::LoadedModuleCount(), 0) << "modules left loaded";
        EXPECT_EQ(sim::UnansweredBoxes(), 0) << "boxes shown with no answer";
    }
};
