// The simulated machine's internal state, shared by the files that serve the
// Win32 calls and the test control. Not for use outside src/platform/sim/.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/sim/machine.h"
#include "platform/sim/win32_api.h"

namespace sim {
namespace detail {

// ---- Text in the machine's ANSI code page ----
bool IsLead(BYTE c);                                // lead byte in the current code page
std::string Fold(const std::string& s);             // upper case as names compare (case_table.cpp)
bool EqualNoCase(const std::string& a, const std::string& b);
bool ContainsNoCase(const std::string& haystack, const std::string& needle);
size_t CharCount(const std::string& s);             // characters, a double-byte pair counting one
size_t CharacterWidth(const std::string& s, size_t i);  // bytes of the character at s[i]
// UTF-16 text in the code page, as WideCharToMultiByte(CP_ACP, 0, ...) writes
// it: a character the page lacks becomes '?'.
std::string AnsiFromUtf16(const std::u16string& text);
// Names of files and folders that the wide calls gave, as the machine keeps
// them: in the code page, and a character the page lacks as kOutsidePage,
// its code point in upper-case hexadecimal and kOutsidePage again, one
// character for the file system, which the ANSI calls see as '?'. (The mark
// is a control character, which no name given to an ANSI call may hold.)
constexpr char kOutsidePage = '\x01';
std::string NameFromUtf16(const std::u16string& text);
std::u16string Utf16FromName(const std::string& name);
std::string AnsiFromName(const std::string& name);  // as the ANSI calls hand it out

// ---- Files ----
struct FileNode {
    std::string name;  // last component, case as created
    bool directory = false;
    std::string contents;
    DWORD attributes = FILE_ATTRIBUTE_ARCHIVE;
    FILETIME lastWrite{};
    std::string parentKey;  // "" for a drive root
    bool protectedBySystem = false;  // ProtectFile
};

struct FileOpen {  // an open of a file, by the tool or by another process
    std::string key;  // folded full path
    DWORD access = 0;
    DWORD share = 0;
    size_t position = 0;  // where the next ReadFile or WriteFile starts
};

// A search's matches as FindFirstFileA found them, handed out by FindNextFileA.
struct FindEntry {
    std::string name;
    FileNode node;
};
struct FindSearch {
    std::vector<FindEntry> matches;
    size_t next = 0;
};

// A resolved path: the folded key and the full path as written.
struct ResolvedPath {
    bool ok = false;
    DWORD error = 0;            // when !ok
    std::string full;           // "C:\DIR\NAME"
    std::string key;            // Fold(full)
    std::string parentKey;      // "" for a drive root
    std::string lastName;       // last component as written ("" for a root)
    std::vector<std::string> parts;  // "C:" then the components
    bool trailingSlash = false;
};

// ---- Registry ----
struct RegKey;
using RegKeyPtr = std::shared_ptr<RegKey>;
struct RegKey {
    std::string name;
    std::string path;  // full path below its root, for fault filters
    std::map<std::string, RegKeyPtr> subkeys;  // by folded name: case-insensitive order
    struct Value {
        std::string name;
        RegValue value;
    };
    std::vector<Value> values;  // insertion order
    FILETIME lastWrite{};
    bool deleted = false;
    bool denyFull = false;
    bool isRoot = false;
    std::weak_ptr<RegKey> parent;  // weak: a handle may outlive a deleted parent
};

struct RegHandle {
    RegKeyPtr key;
    REGSAM access = 0;
};

// ---- The whole machine ----
struct LoadedModule {  // a module the tool loaded
    std::string key;         // folded full path of its file
    std::string full;        // that path as the first load resolved it
    std::string systemName;  // folded file name when it is one of the system's DLLs, else empty
    int references = 0;      // loads not yet freed
};

struct Machine {
    // system
    Family family = Family::NT;
    bool dbcs = true;
    UINT codePage = 936;
    DWORD ntMajor = 5, ntMinor = 1, ntBuild = 2600;
    std::string commandLine;
    std::vector<char> commandLineBuffer;
    std::optional<std::u16string> wideCommandLine;  // none: the ANSI line read in the code page
    std::vector<WCHAR> wideCommandLineBuffer;
    DWORD lastError = 0;
    int biasMinutes = 0;
    FILETIME clock{};

    // files
    std::map<std::string, FileNode> files;  // by folded full path
    std::string currentDirectory;           // full path as written
    std::string systemDirectory;
    std::string windowsDirectory;
    std::string wow64Directory;  // empty: 32-bit Windows, or a process that does not run under WoW64
    bool underWow64 = false;     // a 32-bit process on 64-bit Windows
    std::string tempDirectory;  // GetTempPathA's answer, without the final backslash
    std::map<uintptr_t, FileOpen> fileHandles;  // the tool's CreateFileA handles
    std::map<int, FileOpen> holds;               // other processes
    std::map<uintptr_t, FindSearch> findHandles;
    bool protectionAnswers = true;  // SfcIsFileProtected tells protected files
    uintptr_t nextHandle = 0x1000;
    int nextHold = 1;

    // registry
    std::map<uintptr_t, RegKeyPtr> roots;  // by predefined handle value
    std::map<uintptr_t, RegHandle> keyHandles;

    // input method manager
    std::set<DWORD> loadedLayouts;

    // libraries: the system directory's own DLLs (folded file name: its
    // exports by name), and the modules the tool has loaded (modules.cpp)
    std::map<std::string, std::map<std::string, FARPROC>> systemLibraries;
    std::map<uintptr_t, LoadedModule> modules;  // by handle
    std::vector<std::string> moduleLoads;       // every load's module, by its file's full path
    uintptr_t nextModule = 0x7F000000;

    // the user's list of input methods that the system's input.dll serves
    std::vector<std::string> inputItems;  // enabled items, "LLLL:KKKKKKKK", in order
    std::string inputDefault;             // one of them, or empty

    // boxes
    std::deque<int> answers;
    std::vector<MessageBoxRecord> boxes;
    int unanswered = 0;

    // faults and accounting
    struct Fault {
        std::string function;
        DWORD error = 0;
        Repeat repeat = Repeat::Once;
        std::string filter;
    };
    std::vector<Fault> faults;
    int failAtCall = 0;  // absolute call number that fails, 0 = none
    std::vector<std::string> callLog;
    std::vector<CallRecord> callRecords;  // the same calls with their text arguments
};

Machine& M();

// Marks the machine as serving a call for as long as it lives (see
// sim::ServingACall). Moved, the mark goes with it.
class ServingMark {
public:
    ServingMark();
    ~ServingMark();
    ServingMark(ServingMark&& other) noexcept : owned_(other.owned_) { other.owned_ = false; }
    ServingMark(const ServingMark&) = delete;
    ServingMark& operator=(const ServingMark&) = delete;
    ServingMark& operator=(ServingMark&&) = delete;

private:
    bool owned_ = true;
};

// A text argument as the call was given it. It becomes a std::string only
// where it is used, so that nothing is allocated for it before Enter.
class ArgText {
public:
    explicit ArgText(LPCSTR text) : text_(text != nullptr ? text : "") {}
    operator std::string() const { return text_; }

private:
    LPCSTR text_;
};
inline ArgText Str(LPCSTR s) { return ArgText(s); }

// Every simulated call starts here: logs the call and tells whether a fault
// set by the test hits it. `subjects` are the path and name arguments the
// filter is matched against. The call keeps the Hit to its end: from Enter to
// the call's return the machine counts as serving it.
struct [[nodiscard]] Hit {
    bool fail = false;
    DWORD error = 0;
    ServingMark serving;
};
Hit Enter(const char* function, std::initializer_list<ArgText> subjects = {});

// Time
FILETIME Now();
ULONGLONG Ticks(const FILETIME& ft);
FILETIME FromTicks(ULONGLONG t);

// Files (files.cpp / paths.cpp / find.cpp)
ResolvedPath Resolve(const std::string& path, bool allowWildcards = false);
ResolvedPath ResolveArgument(const std::string& path, bool allowWildcards = false);  // a Win32 call's name
FileNode* FindNode(const std::string& key);
std::string ParentKey(const std::string& key);
void MakeDirectories(const std::string& fullPath);  // full path with its parents
// The file at the key is one Windows Resource Protection keeps (protection.cpp).
bool ProtectedBySystem(const std::string& key);
// Puts one of the system directory's DLLs with its exports in the module
// table (modules.cpp); sfc.dll's and input.dll's are in protection.cpp and
// input_list.cpp.
void PutSystemLibrary(const std::string& fileName, const std::map<std::string, FARPROC>& exports);
void PutSfcLibrary();
bool ShareConflict(const std::string& key, DWORD access, DWORD share, const FileOpen* ignore = nullptr);

// Search names (dos_wildcards.cpp): a pattern as the file system receives it.
struct DosToken {
    enum Kind { Literal, Star, DosStar, DosQm, DosDot };
    Kind kind = Literal;
    std::string text;  // a literal character, folded
};
using DosPattern = std::vector<DosToken>;
bool HasWildcards(const std::string& name);           // '*', '?', '<', '>' or '"'
DosPattern DosPatternOf(const std::string& written);  // the last component as the caller wrote it
bool MatchDosPattern(const DosPattern& pattern, const std::string& name);  // case aside

// Registry (registry.cpp)
RegKeyPtr RootKey(HKEY root);
RegKeyPtr WalkKey(const RegKeyPtr& from, const std::string& path, bool create);
void ResetRegistry();
void ResetFiles();

}  // namespace detail
}  // namespace sim
