#include "message_box_probe.h"

#include "gbk_text.h"

#include <vector>

namespace e2e {
namespace {

// Control ids inside a message box: the text and the icon.
constexpr int kTextControlId = 0xFFFF;
constexpr int kIconControlId = 1088;

// The wide text: what the box shows does not depend on this process's own
// ANSI code page.
std::wstring WideWindowText(HWND window)
{
    std::vector<wchar_t> buffer(static_cast<size_t>(GetWindowTextLengthW(window)) + 2);
    const int n = GetWindowTextW(window, buffer.data(), static_cast<int>(buffer.size()));
    return std::wstring(buffer.data(), n > 0 ? static_cast<size_t>(n) : 0);
}

std::string WindowText(HWND window)
{
    return GbkFromWide(WideWindowText(window));
}

struct Search {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK VisitTopLevel(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<Search*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !IsWindowVisible(window)) return TRUE;
    char className[16] = "";
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpA(className, "#32770") != 0 || !GetDlgItem(window, kTextControlId)) return TRUE;
    search->found = window;
    return FALSE;
}

}  // namespace

std::optional<MessageBoxView> FindMessageBox(DWORD processId)
{
    Search search{processId, nullptr};
    EnumWindows(VisitTopLevel, reinterpret_cast<LPARAM>(&search));
    if (!search.found) return std::nullopt;

    MessageBoxView box;
    box.window = search.found;
    box.caption = WindowText(search.found);
    box.wideText = WideWindowText(GetDlgItem(search.found, kTextControlId));
    box.text = GbkFromWide(box.wideText);
    box.hasOk = GetDlgItem(search.found, IDOK) != nullptr;
    box.hasYes = GetDlgItem(search.found, IDYES) != nullptr;
    box.hasNo = GetDlgItem(search.found, IDNO) != nullptr;
    box.hasCancel = GetDlgItem(search.found, IDCANCEL) != nullptr;
    // Some systems keep an empty icon control in boxes without an icon: an
    // icon is there when the control holds one.
    if (HWND icon = GetDlgItem(search.found, kIconControlId))
        box.hasIcon = IsWindowVisible(icon) && SendMessageA(icon, STM_GETICON, 0, 0) != 0;
    return box;
}

bool PressButton(const MessageBoxView& box, int buttonId)
{
    HWND button = GetDlgItem(box.window, buttonId);
    if (!button) return false;
    // Posted, not sent: the box ends its modal loop on its own thread and
    // this one never waits on it.
    return PostMessageA(box.window, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                        reinterpret_cast<LPARAM>(button)) != 0;
}

int DismissButton(const MessageBoxView& box)
{
    if (box.hasOk) return IDOK;
    if (box.hasCancel) return IDCANCEL;
    if (box.hasNo) return IDNO;
    return IDYES;
}

bool WaitUntilClosed(HWND window, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (IsWindow(window) && IsWindowVisible(window)) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(5);
    }
    return true;
}

}  // namespace e2e
