// The planted-DLL test's canary: a program without the DLL defence, started
// from the package folder as the tool is. It loads each DLL named on its
// command line by name, the way system DLLs load what they need, so that the
// test sees a planted copy taken where nothing defends against it.
//
//   undefended_loader NAME...
#include <windows.h>

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) LoadLibraryA(argv[i]);
    return 0;
}
