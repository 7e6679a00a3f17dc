// The checker's console (Windows only): the report legible on any console,
// whatever its code page, and in UTF-8 wherever it is redirected to.
#pragma once

#include <string>

#include "platform/win32.h"

class ConsoleReport {
public:
    ConsoleReport() noexcept;

    // Writes UTF-8 text: as UTF-16 through WriteConsoleW on a console, as
    // UTF-8 bytes with CR LF line ends when the output is redirected.
    void Write(const std::string& utf8);

    // Writes UTF-8 bytes as they are, console or not: a JSON document is
    // UTF-8 whatever the console's code page.
    void WriteBytes(const std::string& utf8);

    // Waits for a key when the console is the checker's alone (it was started
    // by a double click, and the window would close at once) and its input is
    // a console; never when the input is redirected.
    void WaitForKeyOnOwnConsole() noexcept;

private:
    HANDLE output_;
    bool console_ = false;
};
