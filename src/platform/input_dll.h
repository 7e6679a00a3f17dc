// The user's list of enabled input methods, served by input.dll (Windows Vista
// and later). No header and no import library declare it: the structure,
// flags and signatures are those of Microsoft's Text Services Framework
// reference, and the functions are looked up by name in the loaded DLL.
#pragma once

#include "platform/win32.h"

// One item of the user's list: a keyboard layout or a text service.
struct LAYOUTORTIPPROFILE {
    DWORD dwProfileType;  // LOTP_INPUTPROCESSOR or LOTP_KEYBOARDLAYOUT
    LANGID langid;
    CLSID clsid;
    GUID guidProfile;
    GUID catid;
    DWORD dwSubstituteLayout;
    DWORD dwFlags;        // LOT_DEFAULT on the user's default item
    WCHAR szId[MAX_PATH];  // "LLLL:KKKKKKKK" for a layout
};

#define LOTP_INPUTPROCESSOR 1
#define LOTP_KEYBOARDLAYOUT 2
#define LOT_DEFAULT 0x0001
#define LOT_DISABLED 0x0002
#define ILOT_UNINSTALL 0x00000001
#define ILOT_DEFPROFILE 0x00000002
// Never passed: it disables every other input method of the user.
#define ILOT_CLEANINSTALL 0x00000040

namespace input_dll {

constexpr char kFileName[] = "input.dll";
constexpr char kEnumEnabled[] = "EnumEnabledLayoutOrTip";
constexpr char kInstall[] = "InstallLayoutOrTip";
constexpr char kSetDefault[] = "SetDefaultLayoutOrTip";

// With a NULL buffer the count of enabled items; otherwise the count copied
// into the buffer of uBufLength items. NULL roots: the current user's list.
typedef UINT(WINAPI* EnumEnabledLayoutOrTipFunction)(LPCWSTR pszUserReg, LPCWSTR pszSystemReg,
                                                     LPCWSTR pszSoftwareReg, LAYOUTORTIPPROFILE* pLayoutOrTipProfile,
                                                     UINT uBufLength);
typedef BOOL(WINAPI* InstallLayoutOrTipFunction)(LPCWSTR psz, DWORD dwFlags);
typedef BOOL(WINAPI* SetDefaultLayoutOrTipFunction)(LPCWSTR psz, DWORD dwFlags);

}  // namespace input_dll
