// The tool's boxes, readable whatever the machine's ANSI code page: each text
// is turned into UTF-16 from the code page it is in and shown with the wide
// call. Through the ANSI call the Chinese texts would be read in the
// machine's page, which shows them as other characters outside code page 936.
#pragma once

#include <string>

#include "platform/win32.h"

// The page of the tool's own texts: the Chinese ones are GBK, the English
// ones ASCII, which every ANSI page reads alike.
constexpr UINT ToolTextCodePage = 936;

// Shows a box with no owner window: `text` in `textCodePage` (CP_ACP for a
// name the file system or setup.log gave), `caption` one of the tool's own
// texts. Returns what the box returns. When the machine cannot convert a text
// (a Windows without the code page's table) the bytes go to the ANSI call,
// so the box still comes.
int ShowMessageBox(const std::string& text, UINT textCodePage, const char* caption, UINT style);
