/* A tiny input method module for the end-to-end cases: a DLL that exports
   ImeInquire, as every input method module does, or, built with NOT_AN_IME,
   a DLL that exports something else; linked with the version resource of
   test_ime.rc, which Windows' input method manager reads when it registers
   the file. Nothing ever calls it: the checker only reads the file, and the
   input method manager does not load it to register it. */
#include <windows.h>

#ifndef NOT_AN_IME
__declspec(dllexport) BOOL WINAPI ImeInquire(void* info, char* uiClass, DWORD flags)
{
    (void)info;
    (void)uiClass;
    (void)flags;
    return FALSE;
}
#else
__declspec(dllexport) int WINAPI NotAnIme(void)
{
    return 0;
}
#endif
