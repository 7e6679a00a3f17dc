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
#include "package_checker/pe_image.h"
#include "package_checker/registered_layouts.h"
#include "support/helpers.h"

// One key of setup.log.
struct ParameterReading {
    const char* Key = "";
    bool Read = false;            // setup.log was found and the key read
    bool ReadByProgram = false;   // the setup program gets as far as this key
    bool InSection = false;       // the section ImePram holds the key
    std::string Value;            // as the profile reader returns it: "0" when missing
    FileLookup Lookup = FileLookup::Missing;  // for the two file keys: what the search makes of it
};

// A setup program in the folder, known by its version information (it may
// have been renamed).
struct SetupProgramFile {
    std::string Name;
    std::optional<PeHeaders> Headers;
};

struct PackageFacts {
    std::string Folder;     // the current directory
    unsigned CodePage = 0;  // this machine's ANSI code page
    SetupContext Context;   // as the setup program fills it
    SetupParameterCheck Check = SetupParameterCheck::NoCurrentDirectory;
    FileLookup SetupLog = FileLookup::Missing;
    std::optional<std::string> SetupLogBytes;  // nothing when it could not be read
    ParameterReading ImeFile;
    ParameterReading MbFile;
    ParameterReading ImeName;
    std::string SystemDirectory;  // empty when the platform cannot report it
    bool PathsFilled = false;     // the setup program built its installed paths
    bool ImeInstalled = false;    // FileExistsAt of the installed IME file, as the mode table asks it

    bool ImeRead = false;  // the IME file's bytes could be read
    std::optional<PeHeaders> ImeHeaders;
    bool ImeExportsImeInquire = false;
    PeVersionInfo ImeVersion;  // what the input method manager reads in it
    bool ImeSigned = false;    // it carries an Authenticode signature
    // Its name without a folder, the name the manager registers, and that
    // name's length in UTF-16 characters; the layouts registered for it.
    std::string ImeFileTitle;
    size_t ImeTitleCharacters = 0;
    std::vector<RegisteredLayout> ImeLayouts;

    bool MbInstalled = false;  // FileExistsAt of the installed MB file, as the removal asks it
    std::optional<PeVersionInfo> InstalledImeVersion;  // the installed IME file's, when it was read
    std::optional<std::uint64_t> MbSize;
    std::vector<std::string> DllFiles;  // *.dll in the folder, the named files aside
    std::vector<SetupProgramFile> SetupPrograms;
};

PackageFacts GatherPackageFacts();
