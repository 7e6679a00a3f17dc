#include "package_checker/package_facts.h"

#include <vector>

#include "driver/system_directory.h"
#include "package_checker/file_names.h"
#include "platform/win32.h"
#include "support/unique_handle.h"

namespace {

// Large enough for any setup.log or IME file; a larger file is read to this
// size. A program larger than the setup program can be is not read at all:
// the folder may be a download folder full of installers.
constexpr std::uint64_t kLongestSetupLog = 1 << 20;
constexpr std::uint64_t kLongestImage = 64ULL << 20;
constexpr std::uint64_t kLongestSetupProgram = 4ULL << 20;
// A default no value can be, to tell a missing key from a key that says "0".
constexpr char kMissingKey[] = "\x7F<missing>\x7F";
constexpr char kSetupProgramFileName[] = "imesetup.exe";

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

bool SameName(const std::string& a, const std::string& b)
{
    return FoldedFileName(a) == FoldedFileName(b);
}

// The key as the program read it, or read now for the author when the
// program stops before it.
void ReadParameter(const SetupContext& context, const std::string& programValue, bool readByProgram,
                   ParameterReading& reading)
{
    reading.Read = true;
    reading.ReadByProgram = readByProgram;
    reading.Value = readByProgram ? programValue
                                  : ReadIniString(SetupLogSection, reading.Key, AbsentValue, context.ParamFilePath);
    reading.InSection = ReadIniString(SetupLogSection, reading.Key, kMissingKey, context.ParamFilePath) != kMissingKey;
}

void LookAtImeFile(PackageFacts& facts)
{
    const std::optional<std::string> bytes = ReadFileBytes(facts.ImeFile.Value, kLongestImage);
    facts.ImeRead = bytes.has_value();
    if (!bytes) return;
    facts.ImeHeaders = ReadPeHeaders(*bytes);
    facts.ImeExportsImeInquire = ExportsName(*bytes, "ImeInquire");
    facts.ImeVersion = ReadVersionInfo(*bytes);
    facts.ImeSigned = HasAuthenticodeSignature(*bytes);
}

// The name the input method manager registers, and the layouts that already
// carry it; the installed copy, which the removal asks for its layout.
void LookAtRegistration(PackageFacts& facts)
{
    facts.ImeFileTitle = NamePart(facts.ImeFile.Value);
    const std::string& title = facts.ImeFileTitle;
    facts.ImeTitleCharacters = title.empty() ? 0 : static_cast<size_t>(MultiByteToWideChar(
                                                        CP_ACP, 0, title.data(), static_cast<int>(title.size()),
                                                        nullptr, 0));
    facts.ImeLayouts = LayoutsOfImeFile(title);
    if (!facts.PathsFilled) return;
    facts.MbInstalled = FileExistsAt(facts.Context.InstalledMbPath);
    if (!facts.ImeInstalled) return;
    if (const std::optional<std::string> bytes = ReadFileBytes(facts.Context.InstalledImePath, kLongestImage)) {
        facts.InstalledImeVersion = ReadVersionInfo(*bytes);
    }
}

void LookAtFolder(PackageFacts& facts)
{
    for (const WIN32_FIND_DATAA& file : FolderFiles("*.dll")) {
        const std::string name = file.cFileName;
        // The pattern also matches longer extensions by their short names.
        if (!HasExtension(name, ".dll") || SameName(name, facts.ImeFile.Value) || SameName(name, facts.MbFile.Value)) {
            continue;
        }
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
        if (original != strings.end() && SameName(original->second, kSetupProgramFileName)) {
            facts.SetupPrograms.push_back({name, ReadPeHeaders(*bytes)});
        }
    }
}

}  // namespace

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
    facts.Folder = CurrentDirectory();
    facts.SetupLog = LookUpFileStamp(context.ParamFilePath).Result;
    if (facts.SetupLog == FileLookup::Found) {
        facts.SetupLogBytes = ReadFileBytes(context.ParamFilePath, kLongestSetupLog);
        // The checks stop in the order the keys are read.
        const SetupParameterCheck check = facts.Check;
        ReadParameter(context, context.ImeFileName, check >= SetupParameterCheck::ImeFileNotFound, facts.ImeFile);
        ReadParameter(context, context.MbFileName, check >= SetupParameterCheck::MbFileNotFound, facts.MbFile);
        ReadParameter(context, context.ImeDisplayName, check >= SetupParameterCheck::NameIsZero, facts.ImeName);
        facts.ImeFile.Lookup = LookUpFileStamp(facts.ImeFile.Value).Result;
        facts.MbFile.Lookup = LookUpFileStamp(facts.MbFile.Value).Result;
    }

    if (facts.Check == SetupParameterCheck::Passed) {
        facts.PathsFilled = FillInstalledPaths(context);
        facts.SystemDirectory = context.SystemDirectory;
        facts.ImeInstalled = facts.PathsFilled && FileExistsAt(context.InstalledImePath);
    } else {
        facts.SystemDirectory = QuerySystemDirectory();
    }

    if (facts.ImeFile.Lookup == FileLookup::Found) LookAtImeFile(facts);
    if (facts.ImeFile.Read && facts.ImeFile.InSection) LookAtRegistration(facts);
    if (facts.MbFile.Lookup == FileLookup::Found) facts.MbSize = FileSize(facts.MbFile.Value);
    LookAtFolder(facts);
    return facts;
}
