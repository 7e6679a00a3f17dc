// The Windows entry point: a GUI program without a window of its own.
#include "platform/win32.h"

#include "platform/dll_search.h"
#include "platform/program.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    // Before anything that can load a DLL.
    RestrictDllSearch();
    return RunProgram();
}
