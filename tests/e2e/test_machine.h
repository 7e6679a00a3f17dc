// What the machine's owner does around the tool: put files in place, hold
// them open, shape the registry, take away rights, and look at the result,
// all through the ordinary Win32 calls.
#pragma once

#include "common/wine_deviation.h"

#include <windows.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace e2e {

// The suite is built with the program it tests: "x64" or "x86", and the other.
const char* BuildName();
const char* OtherBuildName();

// The system directory as programs name it (GetSystemDirectoryA).
std::string SystemDirectory();
// Where file calls on that name land: a 32-bit process on 64-bit Windows
// (WoW64) names System32 and reaches SysWOW64.
std::string SystemFilesDirectory();
// The other build's system directory as this process reaches it: System32
// through its alias Sysnative from a 32-bit process under WoW64, SysWOW64 from
// a 64-bit process; empty on 32-bit Windows, which has one.
std::string OtherBuildSystemDirectory();
// The registry view of the other build's programs (KEY_WOW64_64KEY or
// KEY_WOW64_32KEY); 32-bit Windows has one view and ignores it.
REGSAM OtherBuildView();

// ---- Files ----
bool WriteBytes(const std::string& path, const std::string& bytes);
std::optional<std::string> ReadBytes(const std::string& path);  // nothing when it cannot be read
bool IsFile(const std::string& path);
bool IsDirectory(const std::string& path);
// Deletes a file or a folder with everything in it; a missing path is fine.
void RemovePath(const std::string& path);

// A file held open by this process, as another program holding it would:
// with no sharing, other Wine or Windows processes can neither open,
// overwrite nor delete it; sharing reading, as a program that has the IME
// loaded, they can read it (the input method manager reads its version) but
// neither overwrite nor delete it.
class HeldFile {
public:
    explicit HeldFile(const std::string& path, DWORD shareMode = 0);
    ~HeldFile();
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;
    bool held() const { return handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_;
};

// ---- Registry ----
struct KeyCloser {
    void operator()(HKEY key) const { RegCloseKey(key); }
};
using UniqueKey = std::unique_ptr<std::remove_pointer_t<HKEY>, KeyCloser>;

// A view (KEY_WOW64_64KEY, KEY_WOW64_32KEY) may be added to the access.
UniqueKey OpenKey(HKEY root, const std::string& path, REGSAM access = KEY_READ);
UniqueKey CreateKey(HKEY root, const std::string& path);
bool KeyExists(HKEY root, const std::string& path);
bool DeleteKeyTree(HKEY root, const std::string& path);
bool SetText(HKEY root, const std::string& path, const std::string& name, const std::string& text);
std::optional<std::string> GetText(HKEY root, const std::string& path, const std::string& name, REGSAM view = 0);

// A key with all its values and subkeys, kept in memory.
struct KeySnapshot {
    struct Value {
        std::string name;
        DWORD type;
        std::string data;
    };
    std::vector<Value> values;
    std::vector<std::pair<std::string, KeySnapshot>> subkeys;
};
std::optional<KeySnapshot> TakeSnapshot(HKEY root, const std::string& path);
// Makes the key exactly what the snapshot holds (removes it when there is none).
void RestoreSnapshot(HKEY root, const std::string& path, const std::optional<KeySnapshot>& snapshot);

// Puts a key back as it was when the guard was made.
class KeyGuard {
public:
    KeyGuard(HKEY root, std::string path);
    ~KeyGuard();
    KeyGuard(const KeyGuard&) = delete;
    KeyGuard& operator=(const KeyGuard&) = delete;

private:
    HKEY root_;
    std::string path_;
    std::optional<KeySnapshot> saved_;
};

// Gives a key an empty access list (nobody may open it for anything) and puts
// the old list back when it ends.
class DeniedKey {
public:
    DeniedKey(HKEY root, const std::string& path);
    ~DeniedKey();
    DeniedKey(const DeniedKey&) = delete;
    DeniedKey& operator=(const DeniedKey&) = delete;
    bool denied() const { return denied_; }

private:
    UniqueKey key_;
    std::vector<BYTE> saved_;
    bool denied_ = false;
};

// ---- Keyboard layouts ----
extern const char kLayoutsPath[];   // under HKEY_LOCAL_MACHINE
extern const char kPreloadPath[];   // under HKEY_CURRENT_USER

struct Layout {
    std::string keyName;
    std::string imeFile;     // "Ime File"
    std::string layoutText;  // "Layout Text"
};
std::vector<Layout> Layouts(REGSAM view = 0);  // in this process's registry view, or the one given
std::vector<Layout> LayoutsOfImeFile(const std::string& imeFile);  // "Ime File" equal, ignoring case

// Which input method manager of Wine's runs the suite. Measured: Wine 8.0's
// writes the IME file's path as given into "Ime File" and numbers its
// layouts from E002; Wine 10.0's writes the file name in capitals and numbers
// from E020. Both make a new layout on every call. False on Windows.
bool WineImmAsWine8();
// The name Wine gives the next layout that its ImmInstallIMEA makes: it never
// reuses a layout and takes the lowest free "E0NN" + user language, from 02.
std::string NextWineLayoutName();

// The preload list as name -> layout text: values of the Preload key (the
// Windows NT form) or default values of its numbered subkeys (the 95/98 form).
std::map<std::string, std::string> PreloadValues(REGSAM view = 0);
std::map<std::string, std::string> PreloadSubkeys();

// Makes a program see the Windows 95/98 family (Wine's per-program version),
// for as long as the object lives.
class Win98Program {
public:
    explicit Win98Program(const std::string& exeName);
    ~Win98Program();
    Win98Program(const Win98Program&) = delete;
    Win98Program& operator=(const Win98Program&) = delete;

private:
    std::string path_;
    std::optional<KeySnapshot> saved_;
};

}  // namespace e2e
