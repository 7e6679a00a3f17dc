// boxwatch: starts a program the way a user does and reports each message box
// it shows, for a script that looks on (the demo).
//
//   boxwatch --program=PATH [--dir=DIR] [--args=TEXT] [--answers=ok,yes,no...] [--wait]
//
// The program is started with the command line "PATH" TEXT in DIR. For each
// box boxwatch prints, in UTF-8:
//   BOX n
//   CAPTION <caption>
//   TEXT <one line of the text>        (one line for each line of the text)
//   BUTTONS <OK YES NO CANCEL present> ICON <yes|no>
//   RECT <left> <top> <width> <height>
//   READY n
// With --wait it then reads one line from its standard input (the script
// takes its screenshot meanwhile) before pressing the n-th answer (OK when
// the list is shorter). At the end it prints "EXIT <status>" and returns 0
// when the program ended by itself, 1 otherwise.
#include "gbk_text.h"
#include "program_run.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string Option(int argc, char** argv, const char* name)
{
    const size_t n = std::strlen(name);
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], name, n) == 0) return argv[i] + n;
    return "";
}

bool Flag(int argc, char** argv, const char* name)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], name) == 0) return true;
    return false;
}

std::vector<int> Answers(const std::string& list)
{
    std::vector<int> answers;
    size_t start = 0;
    while (start <= list.size() && !list.empty()) {
        const size_t end = list.find(',', start);
        const std::string word = list.substr(start, end == std::string::npos ? std::string::npos : end - start);
        answers.push_back(word == "yes" ? IDYES : word == "no" ? IDNO : IDOK);
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return answers;
}

void WaitForGoAhead()
{
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    char c = 0;
    DWORD got = 0;
    while (ReadFile(input, &c, 1, &got, nullptr) && got == 1 && c != '\n') {
    }
}

void PrintBox(const e2e::MessageBoxView& box, size_t index)
{
    std::printf("BOX %zu\n", index + 1);
    std::printf("CAPTION %s\n", e2e::Utf8FromGbk(box.caption).c_str());
    std::string text = e2e::Utf8FromGbk(box.text);
    size_t start = 0;
    for (;;) {
        const size_t end = text.find('\n', start);
        std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::printf("TEXT %s\n", line.c_str());
        if (end == std::string::npos) break;
        start = end + 1;
    }
    std::printf("BUTTONS%s%s%s%s ICON %s\n", box.hasOk ? " OK" : "", box.hasYes ? " YES" : "",
                box.hasNo ? " NO" : "", box.hasCancel ? " CANCEL" : "", box.hasIcon ? "yes" : "no");
    RECT rect{};
    GetWindowRect(box.window, &rect);
    std::printf("RECT %ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    std::printf("READY %zu\n", index + 1);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string program = Option(argc, argv, "--program=");
    if (program.empty()) {
        std::fprintf(stderr, "usage: boxwatch --program=PATH [--dir=DIR] [--args=TEXT] [--answers=ok,yes,no] [--wait]\n");
        return 2;
    }
    const std::string arguments = Option(argc, argv, "--args=");
    std::string dir = Option(argc, argv, "--dir=");
    if (dir.empty()) {
        char current[MAX_PATH + 1] = "";
        GetCurrentDirectoryA(MAX_PATH, current);
        dir = current;
    }
    const std::vector<int> answers = Answers(Option(argc, argv, "--answers="));
    const bool wait = Flag(argc, argv, "--wait");

    const e2e::BoxAnswerer answer = [&](const e2e::MessageBoxView& box, size_t index) {
        PrintBox(box, index);
        if (wait) WaitForGoAhead();
        return index < answers.size() ? answers[index] : IDOK;
    };
    const std::string commandLine = "\"" + program + "\"" + (arguments.empty() ? "" : " " + arguments);
    const e2e::ProgramRun run = e2e::RunProgram({program, commandLine, dir}, answer, 120000);
    if (!run.started) {
        std::printf("START FAILED %lu\n", run.startError);
        return 1;
    }
    if (!run.ended) {
        std::printf("TIMEOUT\n");
        return 1;
    }
    std::printf("EXIT %lu\n", run.exitCode);
    return 0;
}
