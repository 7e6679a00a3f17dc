// Test control of the simulated file system.
#include "platform/sim/state.h"

namespace sim {
namespace detail {

void ResetFiles()
{
    Machine& m = M();
    m.files.clear();
    m.currentDirectory = "C:\\";
    MakeDirectories("C:\\");
    m.windowsDirectory = "C:\\WINDOWS";
    MakeDirectories(m.windowsDirectory);
    m.systemDirectory = "C:\\WINDOWS\\SYSTEM32";
    MakeDirectories(m.systemDirectory);
    m.tempDirectory = "C:\\WINDOWS\\TEMP";
    MakeDirectories(m.tempDirectory);
    m.wow64Directory.clear();
    m.underWow64 = false;
}

}  // namespace detail

using namespace detail;

namespace {

FileNode* NodeAt(const std::string& path)
{
    ResolvedPath r = Resolve(path);
    return r.ok ? FindNode(r.key) : nullptr;
}

}  // namespace

void SetCurrentDirectory(const std::string& directory)
{
    ResolvedPath r = Resolve(directory);
    if (!r.ok) return;
    MakeDirectories(r.full);
    M().currentDirectory = r.full;
}

void SetSystemDirectory(const std::string& directory)
{
    ResolvedPath r = Resolve(directory);
    if (!r.ok) return;
    MakeDirectories(r.full);
    M().systemDirectory = r.full;
}

void SetWow64Directory(const std::string& directory)
{
    if (!directory.empty()) MakeDirectories(directory);
    M().wow64Directory = directory;
    M().underWow64 = !directory.empty();
}

void SetNativeWow64Directory(const std::string& directory)
{
    SetWow64Directory(directory);
    M().underWow64 = false;
}

void MakeDirectory(const std::string& path)
{
    MakeDirectories(path);
}

std::string WidePath(const std::u16string& path)
{
    return NameFromUtf16(path);
}

void PutFile(const std::string& path, const std::string& contents)
{
    ResolvedPath r = Resolve(path);
    if (!r.ok || r.lastName.empty()) return;
    std::string parent = r.full.substr(0, r.full.size() - r.lastName.size());
    MakeDirectories(parent);
    FileNode& node = M().files[r.key];
    if (node.name.empty()) {
        node.name = r.lastName;
        node.parentKey = r.parentKey;
        node.attributes = FILE_ATTRIBUTE_ARCHIVE;
    }
    node.directory = false;
    node.attributes &= ~static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY);
    if (node.attributes == 0) node.attributes = FILE_ATTRIBUTE_ARCHIVE;
    node.contents = contents;
    node.lastWrite = Now();
}

void SetLastWriteTime(const std::string& path, FILETIME utc)
{
    if (FileNode* node = NodeAt(path)) node->lastWrite = utc;
}

void SetReadOnly(const std::string& path, bool readOnly)
{
    FileNode* node = NodeAt(path);
    if (!node) return;
    if (readOnly)
        node->attributes |= FILE_ATTRIBUTE_READONLY;
    else
        node->attributes &= ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
}

bool FileExists(const std::string& path)
{
    FileNode* node = NodeAt(path);
    return node && !node->directory;
}

bool DirectoryExists(const std::string& path)
{
    FileNode* node = NodeAt(path);
    return node && node->directory;
}

std::string FileContents(const std::string& path)
{
    FileNode* node = NodeAt(path);
    return node && !node->directory ? node->contents : std::string();
}

bool IsReadOnly(const std::string& path)
{
    FileNode* node = NodeAt(path);
    return node && (node->attributes & FILE_ATTRIBUTE_READONLY);
}

FILETIME LastWriteTime(const std::string& path)
{
    FileNode* node = NodeAt(path);
    return node ? node->lastWrite : FILETIME{};
}

int HoldFile(const std::string& path, DWORD shareMode)
{
    return HoldFile(path, shareMode, GENERIC_READ);
}

int HoldFile(const std::string& path, DWORD shareMode, DWORD access)
{
    ResolvedPath r = Resolve(path);
    int token = M().nextHold++;
    M().holds[token] = FileOpen{r.ok ? r.key : path, access, shareMode};
    return token;
}

void ReleaseFile(int holdToken)
{
    M().holds.erase(holdToken);
}

}  // namespace sim
