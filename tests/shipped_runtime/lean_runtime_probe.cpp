// Meets the shipped programs' lean runtime where the tool's code never goes:
//   library-error  a failed std::string precondition inside RunGuarded: the
//                  exception is caught with the library's message, and the
//                  run ends with the usual status
//   escape         an exception leaves a noexcept function: std::terminate
// Built twice, with the lean runtime and (the canary) with the C++ runtime's
// own parts; check_lean_runtime.cmake reads what each run prints.
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "driver/exit_status.h"
#include "program_guard/guarded_run.h"

namespace {

int PastTheEnd()
{
    const std::string text("ab");
    return static_cast<int>(text.substr(3).size());
}

void Escape() noexcept
{
    std::puts("escaping");
    std::fflush(stdout);
    PastTheEnd();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "library-error") == 0) {
        return RunGuarded([] {
            try {
                return PastTheEnd();
            } catch (const std::exception& error) {
                std::printf("caught: %s\n", error.what());
                std::fflush(stdout);
                throw;
            }
        }, SetupExitStatus);
    }
    if (argc == 2 && std::strcmp(argv[1], "escape") == 0) {
        Escape();
        return 0;
    }
    std::fputs("usage: lean_runtime_probe library-error|escape\n", stderr);
    return 2;
}
