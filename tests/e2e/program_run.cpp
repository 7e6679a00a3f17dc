#include "program_run.h"

#include <memory>
#include <type_traits>

namespace e2e {
namespace {

struct HandleCloser {
    void operator()(HANDLE h) const { CloseHandle(h); }
};
using UniqueHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

constexpr DWORD kPollMs = 10;

}  // namespace

ProgramRun RunProgram(const ProgramStart& start, const BoxAnswerer& answer, DWORD timeoutMs)
{
    ProgramRun run;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    // Under Wine on a busy machine a new process now and then dies in Wine's
    // own start-up, before its entry point, and CreateProcessA fails with
    // ERROR_INTERNAL_ERROR (1359; measured twice in some 400 starts, once with
    // both cores loaded). Nothing of the program ran, so it is started again.
    constexpr int kStartAttempts = 3;
    for (int attempt = 1;; ++attempt) {
        // CreateProcessA may write into the command line.
        std::string commandLine = start.commandLine;
        if (CreateProcessA(start.application.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                           start.currentDirectory.c_str(), &startup, &info)) {
            break;
        }
        run.startError = GetLastError();
        if (run.startError != ERROR_INTERNAL_ERROR || attempt == kStartAttempts) return run;
        Sleep(100);
    }
    run.startError = 0;
    run.started = true;
    UniqueHandle process(info.hProcess);
    UniqueHandle thread(info.hThread);

    const DWORD began = GetTickCount();
    for (;;) {
        if (WaitForSingleObject(process.get(), kPollMs) == WAIT_OBJECT_0) break;
        if (GetTickCount() - began > timeoutMs) {
            TerminateProcess(process.get(), 1);
            WaitForSingleObject(process.get(), 5000);
            return run;
        }
        std::optional<MessageBoxView> box = FindMessageBox(info.dwProcessId);
        if (!box) continue;
        run.boxes.push_back(*box);
        const int button = answer(*box, run.boxes.size() - 1);
        if (!PressButton(*box, button)) PressButton(*box, DismissButton(*box));
        if (!WaitUntilClosed(box->window, timeoutMs)) {
            run.stuckBox = true;
            TerminateProcess(process.get(), 1);
            WaitForSingleObject(process.get(), 5000);
            return run;
        }
    }
    run.ended = true;
    GetExitCodeProcess(process.get(), &run.exitCode);
    return run;
}

}  // namespace e2e
