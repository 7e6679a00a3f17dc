#include "support/message_box_text.h"

#include <optional>
#include <vector>

namespace {

// The text in UTF-16 with its terminating zero, or nothing when the page
// cannot be read here.
std::optional<std::vector<WCHAR>> Utf16(const char* bytes, UINT codePage)
{
    // -1: up to and with the terminating zero, so the result is never empty.
    const int needed = MultiByteToWideChar(codePage, 0, bytes, -1, nullptr, 0);
    if (needed <= 0) {
        return std::nullopt;
    }
    std::vector<WCHAR> wide(static_cast<size_t>(needed), 0);
    if (MultiByteToWideChar(codePage, 0, bytes, -1, wide.data(), needed) != needed) {
        return std::nullopt;
    }
    return wide;
}

}  // namespace

int ShowMessageBox(const std::string& text, UINT textCodePage, const char* caption, UINT style)
{
    const std::optional<std::vector<WCHAR>> wideText = Utf16(text.c_str(), textCodePage);
    const std::optional<std::vector<WCHAR>> wideCaption = Utf16(caption, ToolTextCodePage);
    if (!wideText || !wideCaption) {
        return MessageBoxA(nullptr, text.c_str(), caption, style);
    }
    return MessageBoxW(nullptr, wideText->data(), wideCaption->data(), style);
}
