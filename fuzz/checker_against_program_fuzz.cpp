// The package checker against the setup program over generated packages and
// machines (tests/package_checker/generated_package_sim.h: every input byte
// picks one choice of setup.log, the named files or what the machine holds).
// Any disagreement (the checker changing the machine, a line about a run that
// is not what the program then meets, exit status 0 for a run that fails or
// loses a file) aborts with the case described.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "package_checker/checker_against_program_sim.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace generated_package;
    const Choices choices = DecodeChoices(data, size);
    const std::vector<Disagreement> found = CheckAgainstProgram(choices);
    if (found.empty()) return 0;
    for (const Disagreement& disagreement : found) {
        std::fprintf(stderr, "%s\n    %s\n", disagreement.kind.c_str(), disagreement.detail.c_str());
    }
    std::fprintf(stderr, "%s\n", Describe(choices).c_str());
    std::abort();
}
