// A file held open as another program would hold it: opened and closed on a
// thread of its own. Windows and Wine judge share modes by handle, whichever
// thread or process opened it (measured under Wine: a handle of the test's
// own thread, of a second thread and of a second process give the same
// answers), so this stands in for another program.
#pragma once

#include <string>

#include "platform/win32.h"

class HeldFile {
public:
    HeldFile(const std::string& path, DWORD access, DWORD shareMode);
    ~HeldFile();
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;

    bool held() const { return handle_ != INVALID_HANDLE_VALUE; }
    DWORD openError() const { return error_; }

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
    DWORD error_ = ERROR_SUCCESS;
};
