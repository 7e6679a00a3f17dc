// A step whose every exception, std::bad_alloc included, becomes one outcome
// text instead of leaving the operation.
#pragma once

#include <string>

// step() returns its own outcome text, empty when it passed. The guard's text
// is made before the step runs, so reporting exhausted memory needs no memory.
template <typename Step>
std::string RunGuardedStep(const char* failureText, Step step)
{
    std::string failure;
    try {
        failure = failureText;
        return step();
    } catch (...) {
        if (failure.empty()) {
            return std::string(failureText);  // making the text was what failed
        }
        return failure;
    }
}
