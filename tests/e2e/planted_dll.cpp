// A DLL planted in a package folder under the name of a system DLL, as an
// attacker would put it into a download folder. Once loaded it notes that it
// was, and into which process, as a line "DLL-PATH<TAB>PROGRAM-PATH" in
// planted-loads.txt beside itself, and lets the load succeed.
#include <windows.h>

namespace {

// The folder part of a path, with its backslash.
void CutToFolder(char* path)
{
    char* end = path;
    for (char* p = path; *p; ++p)
        if (*p == '\\' || *p == '/') end = p + 1;
    *end = '\0';
}

void RecordLoad(HINSTANCE self)
{
    char dll[MAX_PATH + 1] = "";
    char program[MAX_PATH + 1] = "";
    char marker[MAX_PATH + 32] = "";
    GetModuleFileNameA(self, dll, MAX_PATH);
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    lstrcpynA(marker, dll, MAX_PATH);
    CutToFolder(marker);
    lstrcatA(marker, "planted-loads.txt");

    char line[2 * MAX_PATH + 8] = "";
    lstrcpyA(line, dll);
    lstrcatA(line, "\t");
    lstrcatA(line, program);
    lstrcatA(line, "\r\n");
    HANDLE file = CreateFileA(marker, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, line, static_cast<DWORD>(lstrlenA(line)), &written, nullptr);
    CloseHandle(file);
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) RecordLoad(self);
    return TRUE;
}
