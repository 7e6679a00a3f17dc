// The holder's thread opens the file and, when the object ends, closes it.
#include "common/held_file.h"

#include <thread>

HeldFile::HeldFile(const std::string& path, DWORD access, DWORD shareMode)
{
    std::thread holder([&] {
        handle_ = CreateFileA(path.c_str(), access, shareMode, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        error_ = handle_ == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
    });
    holder.join();
}

HeldFile::~HeldFile()
{
    if (!held()) return;
    std::thread holder([this] { CloseHandle(handle_); });
    holder.join();
}
