#include "program_run.h"

#include <memory>
#include <string>
#include <type_traits>

namespace e2e {
namespace {

struct HandleCloser {
    void operator()(HANDLE h) const
    {
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
};
using UniqueHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

constexpr DWORD kPollMs = 10;

// A started process, or the last error of a failed start.
struct StartedProcess {
    DWORD error = 0;
    UniqueHandle process;
    UniqueHandle thread;
    DWORD id = 0;
};

std::wstring Wide(const std::string& utf8)
{
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0], length);
    return wide;
}

// CreateProcessA, or CreateProcessW with the texts converted from UTF-8.
BOOL Create(const ProgramStart& start, STARTUPINFOA& startup, BOOL inheritHandles, PROCESS_INFORMATION& info)
{
    if (!start.utf8) {
        // CreateProcessA may write into the command line.
        std::string commandLine = start.commandLine;
        return CreateProcessA(start.application.c_str(), &commandLine[0], nullptr, nullptr, inheritHandles, 0, nullptr,
                              start.currentDirectory.c_str(), &startup, &info);
    }
    STARTUPINFOW wideStartup{};
    wideStartup.cb = sizeof wideStartup;
    wideStartup.dwFlags = startup.dwFlags;
    wideStartup.hStdInput = startup.hStdInput;
    wideStartup.hStdOutput = startup.hStdOutput;
    wideStartup.hStdError = startup.hStdError;
    std::wstring commandLine = Wide(start.commandLine);
    return CreateProcessW(Wide(start.application).c_str(), &commandLine[0], nullptr, nullptr, inheritHandles, 0,
                          nullptr, Wide(start.currentDirectory).c_str(), &wideStartup, &info);
}

// Under Wine on a busy machine a new process now and then dies in Wine's own
// start-up, before its entry point, and CreateProcessA fails with
// ERROR_INTERNAL_ERROR (1359; measured twice in some 400 starts, once with
// both cores loaded). Once the same code came from the console run's
// CreatePipe: the test ended in 132 ms, within the first pause between
// starts. Nothing of the program ran, so the call is made again, each pause
// twice the last.
template <typename Call>
bool WithRetries(Call call, DWORD& error)
{
    constexpr int kAttempts = 5;
    DWORD pauseMs = 100;
    for (int attempt = 1;; ++attempt) {
        if (call()) {
            error = 0;
            return true;
        }
        error = GetLastError();
        if (error != ERROR_INTERNAL_ERROR || attempt == kAttempts) return false;
        Sleep(pauseMs);
        pauseMs *= 2;
    }
}

StartedProcess StartProcess(const ProgramStart& start, STARTUPINFOA& startup, BOOL inheritHandles)
{
    StartedProcess started;
    PROCESS_INFORMATION info{};
    if (WithRetries([&] { return Create(start, startup, inheritHandles, info); }, started.error)) {
        started.process.reset(info.hProcess);
        started.thread.reset(info.hThread);
        started.id = info.dwProcessId;
    }
    return started;
}

// Appends what the pipe holds now, without waiting for more.
void TakeAvailable(HANDLE pipe, std::string& output)
{
    DWORD available = 0;
    while (PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
        std::string chunk(available, '\0');
        DWORD got = 0;
        if (!ReadFile(pipe, &chunk[0], available, &got, nullptr) || got == 0) return;
        output.append(chunk, 0, got);
    }
}

void EndProcess(HANDLE process)
{
    TerminateProcess(process, 1);
    WaitForSingleObject(process, 5000);
}

// Watches the process until it ends: step(ended) runs after each short wait
// and returns false to give up. True when the process ended by itself within
// the time limit, its exit code then in exitCode; otherwise it is ended.
template <typename Step>
bool WatchUntilEnd(HANDLE process, DWORD timeoutMs, Step step, DWORD& exitCode)
{
    const DWORD began = GetTickCount();
    for (;;) {
        const bool ended = WaitForSingleObject(process, kPollMs) == WAIT_OBJECT_0;
        if (!step(ended)) break;
        if (ended) return GetExitCodeProcess(process, &exitCode) != 0;
        if (GetTickCount() - began > timeoutMs) break;
    }
    EndProcess(process);
    return false;
}

}  // namespace

ConsoleRun RunConsoleProgram(const ProgramStart& start, DWORD timeoutMs)
{
    ConsoleRun run;
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!WithRetries([&] { return CreatePipe(&readEnd, &writeEnd, &inheritable, 1 << 16); }, run.startError)) {
        run.failedCall = "CreatePipe";
        return run;
    }
    UniqueHandle reader(readEnd);
    UniqueHandle writer(writeEnd);
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    UniqueHandle input(CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input.get();
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    const StartedProcess child = StartProcess(start, startup, TRUE);
    // Only the child holds the write end now. Helper processes may inherit it
    // and outlive the program, so the pipe is read until the program ends,
    // not until it closes.
    writer.reset();
    run.startError = child.error;
    run.started = child.error == 0;
    if (!run.started) return run;
    run.ended = WatchUntilEnd(
        child.process.get(), timeoutMs,
        [&](bool) {
            TakeAvailable(reader.get(), run.output);
            return true;
        },
        run.exitCode);
    return run;
}

ProgramRun RunProgram(const ProgramStart& start, const BoxAnswerer& answer, DWORD timeoutMs)
{
    ProgramRun run;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    const StartedProcess child = StartProcess(start, startup, FALSE);
    run.startError = child.error;
    run.started = child.error == 0;
    if (!run.started) return run;
    run.ended = WatchUntilEnd(
        child.process.get(), timeoutMs,
        [&](bool ended) {
            std::optional<MessageBoxView> box = ended ? std::nullopt : FindMessageBox(child.id);
            if (!box) return true;
            run.boxes.push_back(*box);
            const int button = answer(*box, run.boxes.size() - 1);
            if (!PressButton(*box, button)) PressButton(*box, DismissButton(*box));
            run.stuckBox = !WaitUntilClosed(box->window, timeoutMs);
            return !run.stuckBox;
        },
        run.exitCode);
    return run;
}

}  // namespace e2e
