// The checker against the setup program over generated packages and
// machines: a fixed seed, so that every run tries the same cases; the fuzz
// target checker_against_program explores beyond them.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <random>
#include <sstream>
#include <vector>

#include "common/clean_machine_fixture.h"
#include "package_checker/checker_against_program_sim.h"

namespace {

using namespace generated_package;

class CheckerAgainstProgram : public CleanMachineTest {};

TEST_F(CheckerAgainstProgram, AgreesOverGeneratedPackages)
{
    constexpr int kCases = 3000;
    std::mt19937 random(20261209);
    std::map<std::string, std::pair<int, std::string>> kinds;  // kind: count, first example
    for (int i = 0; i < kCases; ++i) {
        std::vector<std::uint8_t> bytes(32);
        for (std::uint8_t& byte : bytes) byte = static_cast<std::uint8_t>(random());
        const Choices choices = DecodeChoices(bytes.data(), bytes.size());
        for (const Disagreement& found : CheckAgainstProgram(choices)) {
            auto& entry = kinds[found.kind];
            if (entry.first++ == 0) entry.second = found.detail + "\n" + Describe(choices);
        }
    }
    std::ostringstream summary;
    for (const auto& [kind, entry] : kinds) {
        summary << entry.first << " x " << kind << "\n    " << entry.second << "\n";
    }
    EXPECT_TRUE(kinds.empty()) << summary.str();
}

}  // namespace
