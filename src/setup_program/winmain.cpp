// The Windows entry point: a GUI program without a window of its own.
#include "platform/win32.h"

#include "setup_program/dll_search.h"
#include "setup_program/program.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    // Before anything that can load a DLL.
    RestrictDllSearch();
    return RunProgram();
}
