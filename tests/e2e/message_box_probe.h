// Finding, reading and answering the message boxes of another process, the
// way a user meets them: a visible dialog window with a text, buttons and
// perhaps an icon.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace e2e {

struct MessageBoxView {
    HWND window = nullptr;
    std::string caption;  // code page 936 bytes
    std::string text;     // code page 936 bytes
    std::wstring wideText;  // as the box holds it: what the user reads
    bool hasOk = false;
    bool hasYes = false;
    bool hasNo = false;
    bool hasCancel = false;
    bool hasIcon = false;
};

// The first visible message box (dialog class "#32770" with its text control)
// that a thread of the process owns, or nothing. A box is reported only once
// it is visible: the dialog window exists a moment before it is filled in.
std::optional<MessageBoxView> FindMessageBox(DWORD processId);

// Presses the button with this id (IDOK, IDYES, IDNO...), as a click does.
bool PressButton(const MessageBoxView& box, int buttonId);

// The button a user would press to get rid of an unexpected box.
int DismissButton(const MessageBoxView& box);

// Waits until the box is closed or hidden.
bool WaitUntilClosed(HWND window, DWORD timeoutMs);

}  // namespace e2e
