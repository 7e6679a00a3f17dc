// Control of the simulated Windows machine, for host tests only.
//
// Tests set the machine up through these functions, run the tool's code (which
// sees only the Win32 calls of win32_api.h), and read the machine back here.
// Paths are Windows paths ("C:\\DIR\\FILE"); registry paths are given without a
// leading backslash, below HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "win32_api.h"

namespace sim {

// A clean machine: NT family, double-byte support on, code page 936,
// time-zone bias 0. Drive C: with directories C:\, C:\WINDOWS,
// the system directory C:\WINDOWS\SYSTEM32 and the temporary folder
// C:\WINDOWS\TEMP; current directory C:\.
// HKLM\System\CurrentControlSet\Control\Keyboard Layouts exists (empty);
// HKCU\Keyboard Layout\Preload exists with "1" = "00000804"; layout 08040804
// is loaded. Clock 2024-06-01 12:00:00 UTC.
// No boxes, no answers, no faults, no open handles; command line "imesetup.exe".
void Reset();

// ---- Files ----
void SetCurrentDirectory(const std::string& directory);  // created when missing
void SetSystemDirectory(const std::string& directory);   // created when missing
void MakeDirectory(const std::string& path);             // with its parents
// A path with characters the ANSI code page lacks, as a wide call gives it,
// in the form the functions here take (see detail::NameFromUtf16). The ANSI
// calls see each such character as '?'.
std::string WidePath(const std::u16string& path);
// Creates or replaces the file's contents (parents created); last write time
// becomes the machine's clock, attributes are kept.
void PutFile(const std::string& path, const std::string& contents);
void SetLastWriteTime(const std::string& path, FILETIME utc);
FILETIME MakeFileTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
void SetReadOnly(const std::string& path, bool readOnly);
void SetTimeZoneBiasMinutes(int bias);  // local time = UTC - bias
bool FileExists(const std::string& path);       // a file, not a directory
bool DirectoryExists(const std::string& path);
std::string FileContents(const std::string& path);  // "" when missing
// Another process opens the file with this share mode and keeps it open until
// ReleaseFile. Not counted among the tool's open handles. Opening, copying
// onto or deleting a held file then fails with ERROR_SHARING_VIOLATION as the
// share modes decide; deleting succeeds only past holders that share delete.
int HoldFile(const std::string& path, DWORD shareMode = 0);
// The same with the holder's access given; the one above holds for reading.
int HoldFile(const std::string& path, DWORD shareMode, DWORD access);
void ReleaseFile(int holdToken);
// Windows Resource Protection: only the system's installer may change the
// file, so opening it for writing or deletion, copying onto it, deleting it
// and setting its attributes fail with ERROR_ACCESS_DENIED, for an
// administrator too. A file in the system directory named as one of
// Windows' own (kernel32.dll, imm32.dll, notepad.exe, ...) is protected from
// the start; ProtectFile protects any other existing file.
// SfcIsFileProtected (sfc.dll, see Libraries below) answers for both, unless
// its answers are switched off: then it says FALSE for every file, as Wine 8
// does.
void ProtectFile(const std::string& path);
void SetFileProtectionAnswers(bool answered);
// Profiles named without a directory are looked for in C:\WINDOWS.
bool IsReadOnly(const std::string& path);
FILETIME LastWriteTime(const std::string& path);  // zero when missing
// Files and keys that change are stamped with the machine's clock, fixed at
// 2024-06-01 12:00:00 UTC.

// ---- Registry ----
struct RegValue {
    DWORD type = REG_NONE;
    std::string data;  // raw bytes, as stored
};
void CreateKey(HKEY root, const std::string& path);  // with its parents
bool KeyExists(HKEY root, const std::string& path);
void DeleteKeyTree(HKEY root, const std::string& path);
void SetValue(HKEY root, const std::string& path, const std::string& name, DWORD type, const std::string& data);
// REG_SZ with the terminating zero counted, as Windows programs write text.
void SetString(HKEY root, const std::string& path, const std::string& name, const std::string& text);
std::optional<RegValue> GetValue(HKEY root, const std::string& path, const std::string& name);
std::vector<std::string> SubKeyNames(HKEY root, const std::string& path);  // enumeration order
std::vector<std::string> ValueNames(HKEY root, const std::string& path);   // insertion order
// An open asking for KEY_ALL_ACCESS is refused with ERROR_ACCESS_DENIED, as for
// a user without rights to change the key: any access beyond KEY_READ is
// refused, on the key and on the keys below it (inherited, as an ACL is), and
// so are creating a subkey and deleting. The 9x family ignores it.
void DenyFullAccess(HKEY root, const std::string& path, bool deny = true);

// ---- System ----
enum class Family { NT, Win9x };
void SetFamily(Family family);
void SetDbcsEnabled(bool enabled);
void SetCodePage(UINT codePage);  // 936 (double-byte) or a single-byte page such as 1252
void SetCommandLine(const std::string& commandLine);
// The line as GetCommandLineW hands it out; GetCommandLineA has it in the code
// page, a character the page lacks as '?'.
void SetWideCommandLine(const std::u16string& commandLine);
// The NT family reports version 5.1 build 2600.
// The process runs under WoW64, its system directory's files in this folder
// (C:\WINDOWS\SysWOW64); empty: a process of the machine's own bitness.
// Only the answers of IsWow64Process and GetSystemWow64DirectoryA change:
// the file calls are not redirected.
void SetWow64Directory(const std::string& directory);
// A 64-bit process on 64-bit Windows: IsWow64Process answers FALSE and
// GetSystemWow64DirectoryA names this folder.
void SetNativeWow64Directory(const std::string& directory);

// ---- Input method manager ----
// ImmInstallIMEA needs the Keyboard Layouts key and reads the IME file of the
// name it is given (its folder aside) in the system directory, the name cut
// to 79 characters: missing, ERROR_FILE_NOT_FOUND; no PE image or no resource
// section, ERROR_RESOURCE_DATA_NOT_FOUND; no version resource,
// ERROR_RESOURCE_TYPE_NOT_FOUND; a version resource whose fixed information
// is not FILETYPE VFT_DRV with FILESUBTYPE VFT2_DRV_INPUTMETHOD, or without
// \VarFileInfo\Translation, no layout and the last error left as it was.
// A file already registered (by the "Ime File" value, case aside) gets its
// layout back, or no layout when that layout's language is not the file's
// first translation's; otherwise the layout "E0NNxxxx" is made (NN the lowest
// free from 20, xxxx that language) and put on the preload list: NT a value
// "n", 9x a subkey "n" with the default value. Either way the layout is loaded.
bool IsLayoutLoaded(HKL layout);
void SetLayoutLoaded(HKL layout, bool loaded);

// ---- Libraries and the user's list of input methods ----
// One loader for every DLL the tool loads at run time. LoadLibraryExA takes a
// path with a folder as it is; a bare name is first matched against the
// modules already loaded (by file name), then looked for in the current
// directory (where the setup program runs, standing for the program's own
// folder), the system directory and the Windows directory, as an undefended
// search would. Loading a file already loaded gives the same handle again and
// counts one more load; FreeLibrary undoes one load (a failed one too, so that
// fault sweeps see no false leak).
//
// The system directory's own DLLs are a table of file names and exports,
// apart from the files: after Reset it holds sfc.dll (SfcIsFileProtected)
// and no input.dll (Windows XP; Wine 8), and nothing is loaded. Any other
// existing file loads as a foreign module that exports nothing (a planted
// DLL); a missing one fails with ERROR_MOD_NOT_FOUND, and so does an export
// that is not there with ERROR_PROC_NOT_FOUND.
//
// The system directory without this DLL of its table ("sfc.dll", "input.dll").
void RemoveSystemLibrary(const std::string& fileName);
// The system's DLL without this export (an older version).
void RemoveExport(const std::string& fileName, const std::string& function);
// Every load of a module by the tool, as its file's full path, in order.
std::vector<std::string> LoadedLibraries();

// SetUserInputList gives the machine the system's input.dll (Windows 8 and
// later) and the current user's enabled items ("0804:E0200804" for a layout,
// "0804:{clsid}{profile}" for a text service) with the default among them.
// Its functions, as Microsoft documents them, on that list only (the roots
// must be NULL; another user's list is empty here):
// - EnumEnabledLayoutOrTip: with a NULL buffer the count, otherwise up to
//   uBufLength items copied, LOT_DEFAULT on the default; 0 when it fails.
// - SetDefaultLayoutOrTip: makes an enabled item the default; an item that is
//   not enabled is refused (FALSE).
// - InstallLayoutOrTip: enables the item (ILOT_DEFPROFILE: and makes it the
//   default); ILOT_UNINSTALL takes it out, TRUE also when it was not there;
//   ILOT_CLEANINSTALL first disables every other item. Which item becomes
//   the default when the default is taken out is not documented: here the
//   first one left.
// Items are compared with a-z folded, as the texts are hexadecimal.
void SetUserInputList(const std::vector<std::string>& items, const std::string& defaultItem);
std::vector<std::string> UserInputList();
std::string DefaultInputItem();  // empty when there is none

// ---- Message boxes ----
// A wide box (MessageBoxW) keeps its UTF-16 texts as given, and as text and
// caption their form in the machine's ANSI code page ('?' for a character
// the page lacks); an ANSI box keeps its bytes.
struct MessageBoxRecord {
    HWND owner = nullptr;
    std::string text;
    std::string caption;
    UINT style = 0;
    std::u16string wideText;
    std::u16string wideCaption;
    bool wide = false;
};
void QueueAnswer(int answer);  // answers the boxes in order
const std::vector<MessageBoxRecord>& MessageBoxes();
int UnansweredBoxes();  // boxes shown with no answer queued (each returned 0)

// ---- Faults ----
enum class Repeat { Once, Always };
// The named call (Win32 name, "RegOpenKeyExA") fails with the error; with a
// filter, only when its path or name argument contains the filter
// (case-insensitively); for registry calls the path of the key the handle
// refers to counts as well. Registry calls return the error as their status;
// others return their failure value and set the last error. A failed call
// changes nothing, except that a failed close still releases its handle (so
// fault sweeps show no false leaks) and a failed GetPrivateProfileStringA
// gives the default, as for a profile that cannot be read. Calls that cannot
// fail on Windows (GetVersion, GetACP, CharNextA, wsprintfA, ...) ignore faults.
void FailCall(const std::string& function, DWORD error, Repeat repeat = Repeat::Once, const std::string& filter = "");
// Counting from now (1 = the next call), call number k of any simulated
// function fails with the error that function typically gives in real life.
void FailCallNumber(int k);
// Every call of a win32_api.h function counts except GetLastError and
// SetLastError, which only read and write the thread's error value.
int CallCount();                     // calls made since Reset
std::vector<std::string> CallLog();  // their function names, in order
// The same calls with the texts each was given, the ones a fault's filter is
// matched against: ImmInstallIMEA the IME file name, then the layout text;
// MessageBoxA the text, then the caption; file calls their paths; registry
// calls the sub-key or value name, then the path of the key the handle refers
// to. A call without such texts has none.
struct CallRecord {
    std::string function;
    std::vector<std::string> arguments;
};
const std::vector<CallRecord>& CallRecords();
// True while the machine serves a call, from the call's entry (its argument
// texts included) to its return. What is allocated then is the machine's,
// as a real system's work is done in its own heap; everything else is the
// caller's. Allocates nothing.
bool ServingACall();

// ---- Other processes ----
// Just before each later call of the named function (Win32 name), the action
// runs with that call's number (1 = the next one) and may change the machine
// through the functions above, as another program would between two calls of
// the tool. Setting another action replaces it; an empty one removes it, and
// so does Reset.
void BeforeEachCall(const std::string& function, std::function<void(int callNumber)> action);

// ---- The whole state ----
// Files (contents, attributes, times), the current and system directories,
// both registry roots, the loaded layouts and the boxes shown, as text: two
// dumps are equal when nothing lasting changed in between.
std::string DumpMachine();
// Every file by its full path folded as names compare (upper case), with its contents.
std::vector<std::pair<std::string, std::string>> FilesWithContents();

// ---- Accounting: what the tool's own code holds open ----
int OpenKeyCount();   // registry handles, predefined roots excluded
int OpenFileCount();  // CreateFileA handles
int OpenFindCount();  // FindFirstFileA handles
int LoadedModuleCount();  // LoadLibraryExA loads not yet freed

}  // namespace sim
