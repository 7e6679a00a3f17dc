// Runs a GUI program as a user starts it (exact command line, current
// directory) and deals with every message box it shows until it ends.
#pragma once

#include "message_box_probe.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace e2e {

struct ProgramStart {
    std::string application;       // path of the .exe
    std::string commandLine;       // passed to the process exactly as written
    std::string currentDirectory;
    // The three texts are UTF-8 and the process is started with the wide call
    // (for paths the ANSI code page cannot hold); otherwise they are ANSI.
    bool utf8 = false;
};

struct ProgramRun {
    bool started = false;
    DWORD startError = 0;          // GetLastError of a failed start
    bool ended = false;            // false: still running at the time limit, then killed
    DWORD exitCode = 0;
    std::vector<MessageBoxView> boxes;  // in the order they appeared
    bool stuckBox = false;         // a box did not close after it was answered
};

// A console program's run: what it wrote to its standard output and error.
struct ConsoleRun {
    bool started = false;
    DWORD startError = 0;
    const char* failedCall = "CreateProcessA";  // the call that gave startError
    bool ended = false;            // false: still running at the time limit, then killed
    DWORD exitCode = 0;
    std::string output;            // standard output and error, as written
};

// Starts a console program with its standard output and error going into a
// pipe that is read as it runs, and its standard input the NUL device, and
// waits until it ends or timeoutMs has passed.
ConsoleRun RunConsoleProgram(const ProgramStart& start, DWORD timeoutMs);

// Called for each box, in order (index from 0); returns the button to press.
using BoxAnswerer = std::function<int(const MessageBoxView& box, size_t index)>;

// Starts the program, answers its boxes and waits until it ends or timeoutMs
// has passed; a program still running then is terminated.
ProgramRun RunProgram(const ProgramStart& start, const BoxAnswerer& answer, DWORD timeoutMs);

}  // namespace e2e
