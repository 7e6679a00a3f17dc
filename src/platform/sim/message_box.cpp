// Message boxes: each one is recorded and answered from the test's queue. A
// box with no answer waiting returns 0 at once and is counted, so that a test
// never hangs on a question it did not expect.
#include "platform/sim/state.h"

using namespace sim::detail;

int WINAPI MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType)
{
    Hit hit = Enter("MessageBoxA", {Str(lpText), Str(lpCaption)});
    if (hit.fail) {
        SetLastError(hit.error);
        return 0;
    }
    Machine& m = M();
    // A NULL caption shows the system's "Error".
    m.boxes.push_back(sim::MessageBoxRecord{hWnd, Str(lpText), lpCaption ? lpCaption : "Error", uType});
    if (m.answers.empty()) {
        ++m.unanswered;
        return 0;
    }
    int answer = m.answers.front();
    m.answers.pop_front();
    return answer;
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
