// Message boxes: each one is recorded and answered from the test's queue. A
// box with no answer waiting returns 0 at once and is counted, so that a test
// never hangs on a question it did not expect.
#include "platform/sim/state.h"

using namespace sim::detail;

namespace {

int Answer(sim::MessageBoxRecord record)
{
    Machine& m = M();
    m.boxes.push_back(std::move(record));
    if (m.answers.empty()) {
        ++m.unanswered;
        return 0;
    }
    int answer = m.answers.front();
    m.answers.pop_front();
    return answer;
}

std::u16string Utf16(LPCWSTR text)
{
    std::u16string out;
    for (; text != nullptr && *text != 0; ++text) out += static_cast<char16_t>(*text);
    return out;
}

}  // namespace

int WINAPI MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType)
{
    Hit hit = Enter("MessageBoxA", {Str(lpText), Str(lpCaption)});
    if (hit.fail) {
        SetLastError(hit.error);
        return 0;
    }
    sim::MessageBoxRecord record;
    record.owner = hWnd;
    record.text = Str(lpText);
    record.caption = lpCaption ? lpCaption : "Error";  // a NULL caption shows the system's "Error"
    record.style = uType;
    return Answer(std::move(record));
}

int WINAPI MessageBoxW(HWND hWnd, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType)
{
    sim::MessageBoxRecord record;
    record.owner = hWnd;
    record.style = uType;
    record.wideText = Utf16(lpText);
    record.wideCaption = lpCaption ? Utf16(lpCaption) : u"Error";
    record.wide = true;
    // What a reader of the machine's ANSI code page sees: the texts faults
    // are matched against, and the record's byte forms.
    record.text = AnsiFromUtf16(record.wideText);
    record.caption = AnsiFromUtf16(record.wideCaption);
    Hit hit = Enter("MessageBoxW", {Str(record.text.c_str()), Str(record.caption.c_str())});
    if (hit.fail) {
        SetLastError(hit.error);
        return 0;
    }
    return Answer(std::move(record));
}

namespace sim {

void QueueAnswer(int answer)
{
    M().answers.push_back(answer);
}

const std::vector<MessageBoxRecord>& MessageBoxes()
{
    return M().boxes;
}

int UnansweredBoxes()
{
    return M().unanswered;
}

}  // namespace sim
