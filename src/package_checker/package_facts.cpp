#include "package_checker/package_facts.h"

#include <vector>

#include "driver/system_directory.h"
#include "package_checker/file_names.h"
#include "package_checker/file_source.h"
#include "package_checker/run_steps.h"
#include "package_checker/text_forms.h"
#include "package_checker/wide_folder.h"
#include "platform/win32.h"
#include "support/unique_handle.h"

namespace {

// setup.log is read whole, as the profile reader reads it, and an IME file
// where its structures lie (FileSource). A program larger than the setup
// program can be is not read at all: the folder may be a download folder
// full of installers.
constexpr std::uint64_t kWholeFile = ~std::uint64_t{0};
constexpr std::uint64_t kLongestSetupProgram = 4ULL << 20;
// A default no value can be, to tell a missing key from a key that says "0".
constexpr char kMissingKey[] = "\x7F<missing>\x7F";
constexpr char kSetupProgramFileName[] = "imesetup.exe";
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

std::optional<std::string> ReadFileBytes(const std::string& name, std::uint64_t longest)
{
    const UniqueFileHandle file(
        CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    std::string bytes;
    std::vector<char> buffer(1 << 16);
    while (bytes.size() < longest) {
        DWORD got = 0;
        if (!ReadFile(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) {
            return std::nullopt;
        }
        if (got == 0) break;
        bytes.append(buffer.data(), got);
    }
    return bytes;
}

// The file a name reaches; nothing when it cannot be opened (a pattern, a
// device, a folder, a missing file). Opened for its attributes only, which
// no other program's sharing can refuse.
std::optional<FileIdentity> IdentityOf(const std::string& name)
{
    const UniqueFileHandle file(CreateFileA(name.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file || !GetFileInformationByHandle(file.get(), &info)) return std::nullopt;
    return FileIdentity{info.dwVolumeSerialNumber,
                        (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

// The files (not folders) of the current directory that match the pattern,
// as the file search reports them.
std::vector<WIN32_FIND_DATAA> FolderFiles(const char* pattern)
{
    std::vector<WIN32_FIND_DATAA> files;
    WIN32_FIND_DATAA found{};
    const UniqueFindHandle search(FindFirstFileA(pattern, &found));
    if (!search) return files;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) files.push_back(found);
    } while (FindNextFileA(search.get(), &found));
    return files;
}

std::optional<std::uint64_t> FileSize(const std::string& name)
{
    WIN32_FIND_DATAA found{};
    const UniqueFindHandle search(FindFirstFileA(name.c_str(), &found));
    if (!search) return std::nullopt;
    return (static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
}

// The key as the program read it, or read now for the author when the
// program stops before it.
void ReadParameter(const PackageFacts& facts, const std::string& programValue, bool readByProgram,
                   ParameterReading& reading)
{
    const std::string& path = facts.Context.ParamFilePath;
    reading.Read = true;
    reading.ReadByProgram = readByProgram;
    reading.Value = readByProgram ? programValue : ReadIniString(SetupLogSection, reading.Key, AbsentValue, path);
    reading.InSection = ReadIniString(SetupLogSection, reading.Key, kMissingKey, path) != kMissingKey;
    if (facts.SetupLogBytes) reading.Place = PlaceOfKey(*facts.SetupLogBytes, reading.Key);
}

// Where the installation would put the named file, and whether that is the
// named file itself (a name that climbs out of the system directory into the
// package).
void LookAtInstalledPath(const std::string& systemDirectory, ParameterReading& reading)
{
    if (reading.Lookup.Result == FileLookup::Found) reading.Identity = IdentityOf(reading.Value);
    if (systemDirectory.empty()) return;
    reading.InstalledPath = InstalledPath(systemDirectory, reading.Value);
    reading.InstalledFolderExists = LookUpFileStamp(FolderPart(reading.InstalledPath)).Result == FileLookup::Directory;
    reading.InstalledIsPackageFile = reading.Identity && IdentityOf(reading.InstalledPath) == reading.Identity;
}

// A read the file system refuses leaves everything unknown: nothing is
// concluded from the structures then.
void LookAtImeFile(PackageFacts& facts)
{
    const FileSource file(facts.ImeFile.Value);
    if (!file.IsOpen()) return;
    facts.ImeHeaders = ReadPeHeaders(file);
    facts.ImeExportsImeInquire = ExportsName(file, "ImeInquire");
    facts.ImeVersion = ReadVersionInfo(file);
    facts.ImeSigned = HasAuthenticodeSignature(file);
    facts.ImeRead = !file.Failed();
    if (!facts.ImeRead) {
        facts.ImeHeaders.reset();
        facts.ImeExportsImeInquire = false;
        facts.ImeVersion = PeVersionInfo();
        facts.ImeSigned = false;
    }
}

// The name the input method manager registers, and the layouts that already
// carry it. The manager reads the file of that name in the system directory
// itself, whatever folder the program hands it: with folder parts that is
// not the copy the installation makes.
void LookAtRegistration(PackageFacts& facts)
{
    const std::string& installed = facts.ImeFile.InstalledPath;
    facts.ImeFileTitle = FileTitle(installed.empty() ? facts.ImeFile.Value : installed);
    const std::string& title = facts.ImeFileTitle;
    facts.ImeTitleCharacters = title.empty() ? 0 : static_cast<size_t>(MultiByteToWideChar(
                                                        CP_ACP, 0, title.data(), static_cast<int>(title.size()),
                                                        nullptr, 0));
    facts.ImeLayouts = LayoutsOfImeFile(title);
    if (facts.SystemDirectory.empty()) return;
    facts.ManagerImePath = facts.SystemDirectory + "\\" + title;
    facts.CopyIsManagerFile = SameFolder(FolderPart(installed), facts.SystemDirectory);
    facts.ManagerImeFound = IdentityOf(facts.ManagerImePath).has_value();
    const FileSource file(facts.ManagerImePath);
    if (file.IsOpen()) {
        const PeVersionInfo version = ReadVersionInfo(file);
        if (!file.Failed()) facts.ManagerImeVersion = version;
    }
}

// A file of the folder that setup.log names as the IME or the MB file.
bool IsNamedFile(const PackageFacts& facts, const std::string& name)
{
    ParameterReading found;
    found.Value = name;
    found.Identity = IdentityOf(name);
    return (facts.ImeFile.Lookup.Result == FileLookup::Found && NameOneFile(found, facts.ImeFile)) ||
           (facts.MbFile.Lookup.Result == FileLookup::Found && NameOneFile(found, facts.MbFile));
}

void LookAtFolder(PackageFacts& facts)
{
    for (const WIN32_FIND_DATAA& file : FolderFiles("*.dll")) {
        const std::string name = file.cFileName;
        // The pattern also matches longer extensions by their short names.
        if (!HasExtension(name, ".dll") || IsNamedFile(facts, name)) continue;
        facts.DllFiles.push_back(name);
    }
    for (const WIN32_FIND_DATAA& file : FolderFiles("*.exe")) {
        const std::string name = file.cFileName;
        if (!HasExtension(name, ".exe") || file.nFileSizeHigh != 0 || file.nFileSizeLow > kLongestSetupProgram) {
            continue;
        }
        const std::optional<std::string> bytes = ReadFileBytes(name, kLongestSetupProgram);
        if (!bytes) continue;
        const auto strings = VersionStrings(*bytes);
        const auto original = strings.find("OriginalFilename");
        if (original != strings.end() && FoldedFileName(original->second) == FoldedFileName(kSetupProgramFileName)) {
            facts.SetupPrograms.push_back({name, ReadPeHeaders(*bytes)});
        }
    }
}

std::string Wow64FilesDirectory()
{
    BOOL wow64 = FALSE;
    if (!IsWow64Process(GetCurrentProcess(), &wow64) || !wow64) return "";
    char buffer[MAX_PATH + 1] = "";
    const UINT length = GetSystemWow64DirectoryA(buffer, MAX_PATH + 1);
    return length > 0 && length <= MAX_PATH ? std::string(buffer, length) : "";
}

// The folder as imesetup.exe's ANSI calls have it names another folder when
// its name holds characters the code page lacks.
bool OutsideCodePage(const std::string& folder)
{
    const std::string ansi = CurrentDirectory();
    return !folder.empty() && DecodeCodePage(CP_ACP, ansi, false).value_or("") != folder;
}

}  // namespace

bool NameOneFile(const ParameterReading& a, const ParameterReading& b)
{
    if (a.Identity && b.Identity) return *a.Identity == *b.Identity;
    return FoldedFileName(a.Value) == FoldedFileName(b.Value);
}

PackageFacts GatherPackageFacts()
{
    PackageFacts facts;
    facts.ImeFile.Key = ImeFileKey;
    facts.MbFile.Key = MbFileKey;
    facts.ImeName.Key = ImeNameKey;
    facts.CodePage = GetACP();

    // The setup program's own reading, then what the checker adds.
    SetupContext& context = facts.Context;
    facts.Check = CheckSetupParameters(context);
    if (facts.Check == SetupParameterCheck::NoCurrentDirectory) return facts;
    facts.Folder = WideCurrentDirectory();
    facts.FolderOutsideCodePage = OutsideCodePage(facts.Folder);
    facts.SetupLog = LookUpFileStamp(context.ParamFilePath);
    if (facts.SetupLog.Result == FileLookup::Found) {
        facts.SetupLogBytes = ReadFileBytes(context.ParamFilePath, kWholeFile);
        // The checks stop in the order the keys are read.
        const SetupParameterCheck check = facts.Check;
        ReadParameter(facts, context.ImeFileName, check >= SetupParameterCheck::ImeFileNotFound, facts.ImeFile);
        ReadParameter(facts, context.MbFileName, check >= SetupParameterCheck::MbFileNotFound, facts.MbFile);
        ReadParameter(facts, context.ImeDisplayName, check >= SetupParameterCheck::NameIsZero, facts.ImeName);
        facts.ImeFile.Lookup = LookUpFileStamp(facts.ImeFile.Value);
        facts.MbFile.Lookup = LookUpFileStamp(facts.MbFile.Value);
    }

    if (facts.Check == SetupParameterCheck::Passed) {
        facts.PathsFilled = FillInstalledPaths(context);
        facts.SystemDirectory = context.SystemDirectory;
        facts.ImeInstalled = facts.PathsFilled && FileExistsAt(context.InstalledImePath);
        facts.MbInstalled = facts.PathsFilled && FileExistsAt(context.InstalledMbPath);
        if (facts.ImeInstalled) facts.InstalledImeAttributes = LookUpFileStamp(context.InstalledImePath).Attributes;
        if (facts.MbInstalled) facts.InstalledMbAttributes = LookUpFileStamp(context.InstalledMbPath).Attributes;
        if (facts.ImeInstalled) facts.InstalledIme = IdentityOf(context.InstalledImePath);
        if (facts.MbInstalled) facts.InstalledMb = IdentityOf(context.InstalledMbPath);
        facts.PreloadListFound = PreloadListOpens();
    } else {
        facts.SystemDirectory = QuerySystemDirectory();
    }
    if (!facts.SystemDirectory.empty()) facts.Wow64FilesDirectory = Wow64FilesDirectory();

    for (ParameterReading* reading : {&facts.ImeFile, &facts.MbFile}) {
        if (reading->Read) LookAtInstalledPath(facts.SystemDirectory, *reading);
    }
    facts.Installed = LookAtInstalledFiles(facts);
    if (facts.ImeFile.Lookup.Result == FileLookup::Found) LookAtImeFile(facts);
    if (facts.ImeFile.Read && facts.ImeFile.InSection) LookAtRegistration(facts);
    if (facts.ImeHeaders) {
        facts.Twin = LookForTwin(facts.SystemDirectory, facts.ImeFileTitle, facts.ImeHeaders->Machine);
    }
    facts.UserList = ReadUserInputList(facts.SystemDirectory);
    if (facts.MbFile.Lookup.Result == FileLookup::Found) facts.MbSize = FileSize(facts.MbFile.Value);
    facts.MbContent = LookAtMbFile(facts);
    LookAtFolder(facts);
    return facts;
}
