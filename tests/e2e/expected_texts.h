// What the user must read in the tool's boxes, written as UTF-8 (see
// gbk_text.h for why they are not taken from the tool's own sources).
#pragma once

namespace e2e::texts {

inline const char kCaption[] = " Setup My IME ";

// Installation.
inline const char kInstallSucceeded[] = u8"\u5B89\u88C5\u6210\u529F\u3002\u606D\u559C\uFF01";
inline const char kNoRights[] = u8"\u5B89\u88C5\u5931\u8D25\uFF1A\u6743\u9650\u4E0D\u591F......";
inline const char kAlreadyInstalled[] =
    u8"\u7CFB\u7EDF\u4E2D\u5DF2\u5B89\u88C5\u6709\u8BE5\u8F93\u5165\u6CD5\u3002";
inline const char kInstallCancelled[] = u8"\u5B89\u88C5\u5DF2\u53D6\u6D88\uFF01";
inline const char kImeFileLocked[] =
    u8"\u5B89\u88C5\u5931\u8D25\uFF1A\u8F93\u5165\u6CD5\u6587\u4EF6\u5DF2\u88AB\u9501\u5B9A\u3002\u8BF7  \r\n"
    u8"\u5173\u95ED\u6240\u6709\u4F7F\u7528\u8F93\u5165\u6CD5\u6587\u4EF6\u7684\u7A0B\u5E8F\u540E\u518D\u8BD5"
    u8"\u3002  \r\n"
    u8"\u5982\u4ECD\u5F39\u51FA\u672C\u63D0\u793A\uFF0C\u8BF7\u6CE8\u9500\u6216\u91CD\u542F\u8BA1\u7B97\u673A"
    u8"\u3002";
inline const char kCopyErrorSuffix[] = " Copy to %SystemDir% Error ";
inline const char kActivationFailed[] =
    u8"\u5B89\u88C5\u5931\u8D25\uFF1A\u6FC0\u6D3B\u8F93\u5165\u6CD5\u51FA\u9519\u3002\u8BF7\u6CE8\u9500\u6216"
    u8"\u91CD\u542F\u8BA1\u7B97\u673A\u540E\u518D\u8BD5\u3002\r\n"
    u8"\u5982\u679C\u4ECD\u4E0D\u80FD\u5B89\u88C5\uFF0C\u8BD5\u8BD5\u5220\u9664\u591A\u4F59\u7684 Keyboard layouts ";

// Uninstallation.
inline const char kNotInstalled[] =
    u8"\u8BE5\u8F93\u5165\u6CD5\u672A\u5B89\u88C5\u6216\u6587\u4EF6\u5B89\u88C5\u4E0D\u5168\uFF0C\u4E0D\u80FD"
    u8"\u6B63\u5E38\u5378\u8F7D\u3002";
inline const char kHklNotFound[] =
    u8"\u672A\u627E\u5230\u8BE5\u8F93\u5165\u6CD5HKL\uFF0C\u4E0D\u80FD\u6B63\u5E38\u5378\u8F7D\u3002";
inline const char kPreloadOpenFailed[] =
    u8"\u6253\u5F00\u6CE8\u518C\u8868\uFF08OpenKey\uFF09\u51FA\u9519\uFF0C\u4E0D\u80FD\u5378\u8F7D\u3002";
inline const char kUnregisterFailed[] =
    u8"\u5378\u8F7D\u5931\u8D25\uFF1A\u6CE8\u9500\u8F93\u5165\u6CD5\u51FA\u9519\uFF08\u53F3\u4E0B\u89D2\u56FE"
    u8"\u6807\uFF09";
inline const char kFilesLocked[] =
    u8"IME\u6587\u4EF6\u6216MB\u6587\u4EF6\u53EF\u80FD\u88AB\u5176\u5B83\u7A0B\u5E8F\u9501\u5B9A\uFF0C\u4E0D"
    u8"\u80FD\u5220\u9664.";
inline const char kUninstallSucceeded[] = u8"\u5378\u8F7D\u6210\u529F\u3002";

// The package's display name: "test input method".
inline const char kDisplayName[] = u8"\u6D4B\u8BD5\u8F93\u5165\u6CD5";

}  // namespace e2e::texts
