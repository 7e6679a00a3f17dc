// The loader: every DLL the tool loads at run time, the system directory's
// own (a table of exports) and any other file (a foreign module that exports
// nothing), as machine.h describes.
#include "platform/sim/state.h"

using namespace sim::detail;

namespace {

std::string BaseName(const std::string& path)
{
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The folded name of the system's DLL that the file is, or empty.
std::string SystemLibraryAt(const ResolvedPath& file)
{
    const std::string folder = Fold(M().systemDirectory) + "\\";
    if (!file.ok || file.key.compare(0, folder.size(), folder) != 0) return std::string();
    const std::string name = file.key.substr(folder.size());
    return M().systemLibraries.count(name) != 0 ? name : std::string();
}

bool Loadable(const ResolvedPath& file)
{
    if (!file.ok) return false;
    const FileNode* node = FindNode(file.key);
    return (node != nullptr && !node->directory) || !SystemLibraryAt(file).empty();
}

// A loaded module of that file name, for a load by bare name.
uintptr_t LoadedByName(const std::string& name)
{
    for (const auto& module : M().modules) {
        if (BaseName(module.second.key) == Fold(name)) return module.first;
    }
    return 0;
}

// Where a name leads: a path with a folder as it is; a bare name in the
// current directory (the program's), the system and the Windows directory.
ResolvedPath Locate(const std::string& name)
{
    if (name.find('\\') != std::string::npos || name.find('/') != std::string::npos) return ResolveArgument(name);
    for (const std::string& folder : {M().currentDirectory, M().systemDirectory, M().windowsDirectory}) {
        const ResolvedPath candidate = Resolve(folder + "\\" + name);
        if (Loadable(candidate)) return candidate;
    }
    ResolvedPath missing;
    missing.error = ERROR_MOD_NOT_FOUND;
    return missing;
}

}  // namespace

namespace sim {
namespace detail {

void PutSystemLibrary(const std::string& fileName, const std::map<std::string, FARPROC>& exports)
{
    M().systemLibraries[Fold(fileName)] = exports;
}

}  // namespace detail

void RemoveSystemLibrary(const std::string& fileName)
{
    M().systemLibraries.erase(Fold(fileName));
}

void RemoveExport(const std::string& fileName, const std::string& function)
{
    const auto library = M().systemLibraries.find(Fold(fileName));
    if (library != M().systemLibraries.end()) library->second.erase(function);
}

std::vector<std::string> LoadedLibraries()
{
    return M().moduleLoads;
}

}  // namespace sim

HMODULE WINAPI LoadLibraryExA(LPCSTR lpLibFileName, HANDLE /*hFile*/, DWORD /*dwFlags*/)
{
    const Hit hit = Enter("LoadLibraryExA", {Str(lpLibFileName)});
    if (hit.fail) {
        SetLastError(hit.error);
        return nullptr;
    }
    if (lpLibFileName == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const std::string name = lpLibFileName;
    const bool bare = name.find_first_of("\\/") == std::string::npos;
    uintptr_t handle = bare ? LoadedByName(name) : 0;
    if (handle == 0) {
        const ResolvedPath file = Locate(name);
        if (!Loadable(file)) {
            SetLastError(ERROR_MOD_NOT_FOUND);
            return nullptr;
        }
        for (const auto& module : M().modules) {
            if (module.second.key == file.key) handle = module.first;
        }
        if (handle == 0) {
            handle = M().nextModule += 0x10000;
            M().modules[handle] = LoadedModule{file.key, file.full, SystemLibraryAt(file), 0};
        }
    }
    LoadedModule& module = M().modules[handle];
    M().moduleLoads.push_back(module.full);
    ++module.references;
    return reinterpret_cast<HMODULE>(handle);
}

FARPROC WINAPI GetProcAddress(HMODULE hModule, LPCSTR lpProcName)
{
    const Hit hit = Enter("GetProcAddress", {Str(lpProcName)});
    if (hit.fail) {
        SetLastError(hit.error);
        return nullptr;
    }
    const auto module = M().modules.find(reinterpret_cast<uintptr_t>(hModule));
    if (module == M().modules.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    const auto library = M().systemLibraries.find(module->second.systemName);
    if (library != M().systemLibraries.end() && lpProcName != nullptr) {
        // Exported names compare exactly.
        const auto found = library->second.find(lpProcName);
        if (found != library->second.end()) return found->second;
    }
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
}

BOOL WINAPI FreeLibrary(HMODULE hLibModule)
{
    const Hit hit = Enter("FreeLibrary");
    const auto module = M().modules.find(reinterpret_cast<uintptr_t>(hLibModule));
    const bool loaded = module != M().modules.end();
    // Even a failed free undoes the load, so that fault sweeps see no false leak.
    if (loaded && --module->second.references == 0) M().modules.erase(module);
    if (hit.fail || !loaded) {
        SetLastError(hit.fail ? hit.error : ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}
