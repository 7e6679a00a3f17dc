#include "package_checker/installed_files.h"

#include <optional>

#include "package_checker/file_names.h"
#include "package_checker/file_source.h"
#include "package_checker/package_facts.h"
#include "platform/win32.h"
#include "support/unique_handle.h"

namespace {

using SfcIsFileProtectedFunction = BOOL(WINAPI*)(HANDLE, LPCWSTR);

// Files of the system directory that Windows has protected since Windows
// File Protection began, for where SfcIsFileProtected gives no answers.
const char* const kWindowsFiles[] = {
    "ADVAPI32.DLL", "GDI32.DLL",  "IMM32.DLL",  "KERNEL32.DLL", "MSCTF.DLL", "MSVCRT.DLL", "NTDLL.DLL",
    "OLE32.DLL",    "SHELL32.DLL", "USER32.DLL", "VERSION.DLL",  "CMD.EXE",   "NOTEPAD.EXE",
};

// Windows Resource Protection as this machine tells it. sfc.dll is loaded
// by its full path in the system directory (no import: the checker imports
// KnownDLLs only) and freed when the question is answered.
class Protection {
public:
    explicit Protection(const std::string& systemDirectory) : systemDirectory_(systemDirectory)
    {
        const std::string path = systemDirectory + "\\sfc.dll";
        module_.reset(LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
        const FARPROC found = module_ ? GetProcAddress(module_.get(), "SfcIsFileProtected") : nullptr;
        // Through void(*)() to tell the compiler the signature change is meant.
        ask_ = reinterpret_cast<SfcIsFileProtectedFunction>(reinterpret_cast<void (*)()>(found));
        // Every Windows protects its kernel32.dll; an answer of no says that
        // the answers mean nothing here (Wine 8 says no for every file).
        answers_ = ask_ != nullptr && Ask(systemDirectory + "\\kernel32.dll");
    }

    bool Answers() const { return answers_; }

    bool Protects(const std::string& path) const
    {
        if (answers_) return Ask(path);
        if (!SameFolder(FolderPart(path), systemDirectory_)) return false;
        const std::string name = FoldedFileName(FileTitle(path));
        for (const char* file : kWindowsFiles) {
            if (name == file) return true;
        }
        return false;
    }

private:
    bool Ask(const std::string& path) const
    {
        const int length = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
        if (length <= 0) return false;
        std::basic_string<WCHAR> wide(static_cast<size_t>(length), 0);
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, &wide[0], length);
        return ask_(nullptr, wide.c_str()) != FALSE;
    }

    std::string systemDirectory_;
    UniqueModule module_;
    SfcIsFileProtectedFunction ask_ = nullptr;
    bool answers_ = false;
};

// A file (not a folder) at the path: one that can be opened.
bool FileAt(const std::string& path)
{
    const UniqueFileHandle file(CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.is_valid();
}

InstalledFileState LookAt(const Protection& protection, const ParameterReading& reading, const std::string& path)
{
    InstalledFileState state;
    if (path.empty() || reading.InstalledIsPackageFile || !FileAt(path)) return state;
    state.Present = true;
    state.Protected = protection.Protects(path);
    state.PackageContent = SameContents(reading.Value, path).value_or(false);
    return state;
}

}  // namespace

InstalledFiles LookAtInstalledFiles(const PackageFacts& facts)
{
    InstalledFiles files;
    if (!facts.PathsFilled) return files;
    const Protection protection(facts.SystemDirectory);
    files.ProtectionAsked = protection.Answers();
    files.Ime = LookAt(protection, facts.ImeFile, facts.Context.InstalledImePath);
    files.Mb = LookAt(protection, facts.MbFile, facts.Context.InstalledMbPath);
    return files;
}
