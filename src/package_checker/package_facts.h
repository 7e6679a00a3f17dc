// What the checker finds in the package folder, the current directory, on
// this machine. The setup program's own routines read setup.log, look for the
// named files and build the installed paths, through the same platform calls
// in the same order; the checker only reads beyond them. Nothing here writes
// a file, a registry value or a layout.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "driver/setup_context.h"
#include "driver/setup_parameters.h"
#include "package_checker/installed_files.h"
#include "package_checker/mb_file_content.h"
#include "package_checker/pe_image.h"
#include "package_checker/registered_layouts.h"
#include "package_checker/setup_log_encoding.h"
#include "package_checker/twin_image.h"
#include "package_checker/user_input_list_facts.h"
#include "support/helpers.h"

// Which file a name reaches, as the file system tells it: every spelling of
// one file (case, trailing dots and blanks, folder parts) gives the same.
struct FileIdentity {
    std::uint32_t Volume = 0;
    std::uint64_t Index = 0;
    bool operator==(const FileIdentity& other) const { return Volume == other.Volume && Index == other.Index; }
};

// One key of setup.log.
struct ParameterReading {
    const char* Key = "";
    bool Read = false;            // setup.log was found and the key read
    bool ReadByProgram = false;   // the setup program gets as far as this key
    bool InSection = false;       // this machine's profile reader finds it in the section ImePram
    KeyPlace Place = KeyPlace::Nowhere;  // where the file holds it, as Windows reads it
    std::string Value;            // as the profile reader returns it: "0" when missing
    FileStampLookup Lookup;       // for the two file keys: what the search makes of it

    // For the two file keys, when the system directory is known.
    std::optional<FileIdentity> Identity;  // the named file, when it could be opened
    std::string InstalledPath;             // the system directory, "\" and the value
    bool InstalledFolderExists = false;    // the folder the installed path puts the file in
    bool InstalledIsPackageFile = false;   // the installed path reaches the named file itself
};

// A setup program in the folder, known by its version information (it may
// have been renamed).
struct SetupProgramFile {
    std::string Name;
    std::optional<PeHeaders> Headers;
};

struct PackageFacts {
    std::string Folder;             // the current directory, UTF-8, as the wide calls name it
    bool FolderOutsideCodePage = false;  // the ANSI calls cannot name it: '?' for some characters
    unsigned CodePage = 0;          // this machine's ANSI code page
    SetupContext Context;           // as the setup program fills it
    SetupParameterCheck Check = SetupParameterCheck::NoCurrentDirectory;
    FileStampLookup SetupLog;
    std::optional<std::string> SetupLogBytes;  // nothing when it could not be read
    ParameterReading ImeFile;
    ParameterReading MbFile;
    ParameterReading ImeName;
    std::string SystemDirectory;  // empty when the platform cannot report it
    // Under WoW64 (this 32-bit checker on 64-bit Windows) the folder where the
    // system directory's files of a 32-bit program really are; else empty.
    std::string Wow64FilesDirectory;
    bool PathsFilled = false;     // the setup program built its installed paths
    bool ImeInstalled = false;    // FileExistsAt of the installed IME file, as the mode table asks it
    bool MbInstalled = false;     // FileExistsAt of the installed MB file, as the removal asks it
    // The installed files' attributes (FILE_ATTRIBUTE_*) when they are there:
    // a copy of a read-only or hidden file carries the attribute.
    std::uint32_t InstalledImeAttributes = 0;
    std::uint32_t InstalledMbAttributes = 0;
    InstalledFiles Installed;  // what stands at the installed paths, whose it is
    // Which files the installed paths reach, when they can be opened.
    std::optional<FileIdentity> InstalledIme;
    std::optional<FileIdentity> InstalledMb;
    bool PreloadListFound = false;  // the current user's preload list, which the removal opens

    bool ImeRead = false;  // the IME file's structures could be read where they lie
    std::optional<PeHeaders> ImeHeaders;
    bool ImeExportsImeInquire = false;
    PeVersionInfo ImeVersion;  // what the input method manager reads in it
    bool ImeSigned = false;    // it carries an Authenticode signature
    // Its name without a folder, the name the manager registers, and that
    // name's length in UTF-16 characters; the layouts registered for it.
    std::string ImeFileTitle;
    size_t ImeTitleCharacters = 0;
    std::vector<RegisteredLayout> ImeLayouts;
    std::optional<TwinImage> Twin;  // the other build's IME file of that name, on 64-bit Windows
    std::optional<UserInputListFacts> UserList;  // the current user's own list, where input.dll serves it

    // The file the manager reads: the system directory's file of that name;
    // whether the installation's copy is that file; whether the file is there
    // now, and its version information when it could be read.
    std::string ManagerImePath;
    bool CopyIsManagerFile = false;
    bool ManagerImeFound = false;
    std::optional<PeVersionInfo> ManagerImeVersion;
    std::optional<std::uint64_t> MbSize;
    MbFileContent MbContent;
    std::vector<std::string> DllFiles;  // *.dll in the folder, the named files aside
    std::vector<SetupProgramFile> SetupPrograms;
};

PackageFacts GatherPackageFacts();

// ImeFile and MbFile name one file: asked of the file system when both could
// be opened, otherwise their names compared as file names.
bool NameOneFile(const ParameterReading& a, const ParameterReading& b);
