#include "test_machine.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace e2e {

const char kLayoutsPath[] = "System\\CurrentControlSet\\Control\\Keyboard Layouts";
const char kPreloadPath[] = "Keyboard Layout\\Preload";

const char* BuildName() { return sizeof(void*) == 8 ? "x64" : "x86"; }
const char* OtherBuildName() { return sizeof(void*) == 8 ? "x86" : "x64"; }

namespace {

std::string Answer(UINT (WINAPI *call)(LPSTR, UINT))
{
    char buffer[MAX_PATH + 1] = "";
    const UINT n = call(buffer, MAX_PATH);
    return std::string(buffer, n <= MAX_PATH ? n : 0);
}

bool UnderWow64()
{
    BOOL wow64 = FALSE;
    return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

}  // namespace

std::string SystemDirectory() { return Answer(GetSystemDirectoryA); }

std::string SystemFilesDirectory() { return UnderWow64() ? Answer(GetSystemWow64DirectoryA) : SystemDirectory(); }

std::string OtherBuildSystemDirectory()
{
    if (UnderWow64()) return Answer(GetWindowsDirectoryA) + "\\Sysnative";
    // Empty where there is no 32-bit side (the call fails).
    return sizeof(void*) == 8 ? Answer(GetSystemWow64DirectoryA) : "";
}

REGSAM OtherBuildView() { return sizeof(void*) == 8 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY; }

// ---- Files ----

bool WriteBytes(const std::string& path, const std::string& bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

std::optional<std::string> ReadBytes(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

bool IsFile(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsDirectory(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void RemovePath(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
        return;
    }
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name != "." && name != "..") RemovePath(path + "\\" + name);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

HeldFile::HeldFile(const std::string& path, DWORD shareMode)
    : handle_(CreateFileA(path.c_str(), GENERIC_READ, shareMode, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr))
{
}

HeldFile::~HeldFile()
{
    if (held()) CloseHandle(handle_);
}

// ---- Registry ----

UniqueKey OpenKey(HKEY root, const std::string& path, REGSAM access)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, access, &key) != ERROR_SUCCESS) return nullptr;
    return UniqueKey(key);
}

UniqueKey CreateKey(HKEY root, const std::string& path)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return nullptr;
    return UniqueKey(key);
}

bool KeyExists(HKEY root, const std::string& path) { return OpenKey(root, path) != nullptr; }

bool DeleteKeyTree(HKEY root, const std::string& path)
{
    const LONG status = RegDeleteTreeA(root, path.c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

bool SetText(HKEY root, const std::string& path, const std::string& name, const std::string& text)
{
    UniqueKey key = CreateKey(root, path);
    return key && RegSetValueExA(key.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                 static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
}

std::optional<std::string> GetText(HKEY root, const std::string& path, const std::string& name, REGSAM view)
{
    UniqueKey key = OpenKey(root, path, KEY_READ | view);
    if (!key) return std::nullopt;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    std::string data(size, '\0');
    if (size > 0 &&
        RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data[0]), &size) !=
            ERROR_SUCCESS)
        return std::nullopt;
    data.resize(size);
    while (!data.empty() && data.back() == '\0') data.pop_back();
    return data;
}

namespace {

std::vector<std::string> SubkeyNames(HKEY key)
{
    std::vector<std::string> names;
    char name[512];
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.emplace_back(name, length);
    }
    return names;
}

std::vector<KeySnapshot::Value> Values(HKEY key)
{
    std::vector<KeySnapshot::Value> values;
    DWORD maxName = 0;
    DWORD maxData = 0;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &maxName, &maxData,
                     nullptr, nullptr);
    // Name lengths may be counted in UTF-16 units: room for double-byte text.
    std::vector<char> name(maxName * 2 + 2);
    std::vector<BYTE> data(maxData + 2);
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD dataLength = static_cast<DWORD>(data.size());
        DWORD type = 0;
        if (RegEnumValueA(key, i, name.data(), &nameLength, nullptr, &type, data.data(), &dataLength) !=
            ERROR_SUCCESS)
            break;
        values.push_back({std::string(name.data(), nameLength), type,
                          std::string(reinterpret_cast<const char*>(data.data()), dataLength)});
    }
    return values;
}

bool SameName(const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }

}  // namespace

std::optional<KeySnapshot> TakeSnapshot(HKEY root, const std::string& path)
{
    UniqueKey key = OpenKey(root, path);
    if (!key) return std::nullopt;
    KeySnapshot snapshot;
    snapshot.values = Values(key.get());
    for (const std::string& name : SubkeyNames(key.get())) {
        if (std::optional<KeySnapshot> sub = TakeSnapshot(root, path + "\\" + name))
            snapshot.subkeys.emplace_back(name, std::move(*sub));
    }
    return snapshot;
}

void RestoreSnapshot(HKEY root, const std::string& path, const std::optional<KeySnapshot>& snapshot)
{
    if (!snapshot) {
        DeleteKeyTree(root, path);
        return;
    }
    // Only what differs is changed, so that a key nobody touched stays as it is.
    UniqueKey key = CreateKey(root, path);
    if (!key) return;
    for (const KeySnapshot::Value& now : Values(key.get())) {
        const bool kept = std::any_of(snapshot->values.begin(), snapshot->values.end(),
                                      [&](const KeySnapshot::Value& v) { return SameName(v.name, now.name); });
        if (!kept) RegDeleteValueA(key.get(), now.name.c_str());
    }
    for (const KeySnapshot::Value& v : snapshot->values)
        RegSetValueExA(key.get(), v.name.c_str(), 0, v.type, reinterpret_cast<const BYTE*>(v.data.data()),
                       static_cast<DWORD>(v.data.size()));
    for (const std::string& now : SubkeyNames(key.get())) {
        const bool kept = std::any_of(snapshot->subkeys.begin(), snapshot->subkeys.end(),
                                      [&](const auto& sub) { return SameName(sub.first, now); });
        if (!kept) DeleteKeyTree(root, path + "\\" + now);
    }
    for (const auto& sub : snapshot->subkeys) RestoreSnapshot(root, path + "\\" + sub.first, sub.second);
}

KeyGuard::KeyGuard(HKEY root, std::string path)
    : root_(root), path_(std::move(path)), saved_(TakeSnapshot(root_, path_))
{
}

KeyGuard::~KeyGuard() { RestoreSnapshot(root_, path_, saved_); }

DeniedKey::DeniedKey(HKEY root, const std::string& path)
    : key_(OpenKey(root, path, READ_CONTROL | WRITE_DAC))
{
    if (!key_) return;
    DWORD size = 0;
    RegGetKeySecurity(key_.get(), DACL_SECURITY_INFORMATION, nullptr, &size);
    saved_.resize(size);
    if (size == 0 ||
        RegGetKeySecurity(key_.get(), DACL_SECURITY_INFORMATION, saved_.data(), &size) != ERROR_SUCCESS)
        return;
    // An access list without entries grants nothing to anybody.
    ACL empty;
    SECURITY_DESCRIPTOR descriptor;
    if (!InitializeAcl(&empty, sizeof empty, ACL_REVISION) ||
        !InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) ||
        !SetSecurityDescriptorDacl(&descriptor, TRUE, &empty, FALSE))
        return;
    denied_ = RegSetKeySecurity(key_.get(), DACL_SECURITY_INFORMATION, &descriptor) == ERROR_SUCCESS;
}

DeniedKey::~DeniedKey()
{
    if (denied_) RegSetKeySecurity(key_.get(), DACL_SECURITY_INFORMATION, saved_.data());
}

// ---- Keyboard layouts ----

std::vector<Layout> Layouts(REGSAM view)
{
    std::vector<Layout> layouts;
    UniqueKey key = OpenKey(HKEY_LOCAL_MACHINE, kLayoutsPath, KEY_READ | view);
    if (!key) return layouts;
    for (const std::string& name : SubkeyNames(key.get())) {
        const std::string path = std::string(kLayoutsPath) + "\\" + name;
        layouts.push_back({name, GetText(HKEY_LOCAL_MACHINE, path, "Ime File", view).value_or(""),
                           GetText(HKEY_LOCAL_MACHINE, path, "Layout Text", view).value_or("")});
    }
    return layouts;
}

std::vector<Layout> LayoutsOfImeFile(const std::string& imeFile)
{
    std::vector<Layout> found;
    for (Layout& layout : Layouts())
        if (SameName(layout.imeFile, imeFile)) found.push_back(std::move(layout));
    return found;
}

bool WineImmAsWine8()
{
    static const bool wine8 = [] {
        HMODULE ntdll = GetModuleHandleA("ntdll.dll");
        using Version = const char*(__cdecl*)();
        const auto version = ntdll ? reinterpret_cast<Version>(GetProcAddress(ntdll, "wine_get_version")) : nullptr;
        return version != nullptr && std::atoi(version()) < 10;
    }();
    return wine8;
}

std::string NextWineLayoutName()
{
    const unsigned language = LANGIDFROMLCID(GetUserDefaultLCID());
    char name[16];
    for (unsigned n = WineImmAsWine8() ? 2 : 0x20; n <= 0xFFF; ++n) {
        std::snprintf(name, sizeof name, "E0%02X%04X", n, language);
        if (!KeyExists(HKEY_LOCAL_MACHINE, std::string(kLayoutsPath) + "\\" + name)) return name;
    }
    return "";
}

std::map<std::string, std::string> PreloadValues(REGSAM view)
{
    std::map<std::string, std::string> list;
    if (UniqueKey key = OpenKey(HKEY_CURRENT_USER, kPreloadPath, KEY_READ | view)) {
        for (KeySnapshot::Value& v : Values(key.get())) {
            while (!v.data.empty() && v.data.back() == '\0') v.data.pop_back();
            list[v.name] = v.data;
        }
    }
    return list;
}

std::map<std::string, std::string> PreloadSubkeys()
{
    std::map<std::string, std::string> list;
    if (UniqueKey key = OpenKey(HKEY_CURRENT_USER, kPreloadPath)) {
        for (const std::string& name : SubkeyNames(key.get()))
            list[name] = GetText(HKEY_CURRENT_USER, std::string(kPreloadPath) + "\\" + name, "").value_or("");
    }
    return list;
}

Win98Program::Win98Program(const std::string& exeName)
    : path_("Software\\Wine\\AppDefaults\\" + exeName), saved_(TakeSnapshot(HKEY_CURRENT_USER, path_))
{
    SetText(HKEY_CURRENT_USER, path_, "Version", "win98");
}

Win98Program::~Win98Program() { RestoreSnapshot(HKEY_CURRENT_USER, path_, saved_); }

}  // namespace e2e
