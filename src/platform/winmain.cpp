// The Windows entry point: a GUI program without a window of its own.
#include "platform/win32.h"

#include "driver/setup_driver.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return RunProgram();
}
