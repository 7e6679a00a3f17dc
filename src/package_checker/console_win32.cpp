#include "package_checker/console_win32.h"

#include <algorithm>

#include "package_checker/text_forms.h"

namespace {

// Older consoles refuse a single WriteConsoleW of more than about 64 KiB.
constexpr size_t kConsoleChunk = 8192;

void WriteAll(HANDLE output, const char* bytes, size_t size)
{
    while (size > 0) {
        DWORD written = 0;
        if (!WriteFile(output, bytes, static_cast<DWORD>(size), &written, nullptr) || written == 0) return;
        bytes += written;
        size -= written;
    }
}

}  // namespace

ConsoleReport::ConsoleReport() noexcept : output_(GetStdHandle(STD_OUTPUT_HANDLE))
{
    DWORD mode = 0;
    console_ = output_ != nullptr && output_ != INVALID_HANDLE_VALUE && GetConsoleMode(output_, &mode);
}

void ConsoleReport::Write(const std::string& utf8)
{
    if (output_ == nullptr || output_ == INVALID_HANDLE_VALUE) return;
    if (!console_) {
        std::string bytes;
        for (const char c : utf8) {
            if (c == '\n') bytes += '\r';
            bytes += c;
        }
        WriteAll(output_, bytes.data(), bytes.size());
        return;
    }
    const std::u16string text = Utf16FromUtf8(utf8);
    for (size_t at = 0; at < text.size(); at += kConsoleChunk) {
        const size_t count = std::min(kConsoleChunk, text.size() - at);
        DWORD written = 0;
        WriteConsoleW(output_, reinterpret_cast<const wchar_t*>(text.data() + at), static_cast<DWORD>(count),
                      &written, nullptr);
    }
}

void ConsoleReport::WriteBytes(const std::string& utf8)
{
    if (output_ == nullptr || output_ == INVALID_HANDLE_VALUE) return;
    WriteAll(output_, utf8.data(), utf8.size());
}

void ConsoleReport::WaitForKeyOnOwnConsole() noexcept
{
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    if (!console_ || input == nullptr || input == INVALID_HANDLE_VALUE || !GetConsoleMode(input, &mode)) return;
    // Another process on the console (a command prompt) keeps the window open.
    DWORD processes[2] = {};
    if (GetConsoleProcessList(processes, 2) != 1) return;

    static const wchar_t kPrompt[] = L"\r\n按任意键关闭窗口。 / Press any key to close this window.\r\n";
    DWORD written = 0;
    WriteConsoleW(output_, kPrompt, static_cast<DWORD>(sizeof kPrompt / sizeof kPrompt[0] - 1), &written, nullptr);
    FlushConsoleInputBuffer(input);
    INPUT_RECORD record{};
    DWORD read = 0;
    while (ReadConsoleInputW(input, &record, 1, &read) && read == 1) {
        if (record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown) return;
    }
}
