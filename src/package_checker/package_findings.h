// The checker's conclusions from what it found: what imesetup.exe would do
// here with each command line, what else would make the package go wrong on
// a user's machine, and the checker's exit status.
#pragma once

#include <string>
#include <vector>

#include "package_checker/bilingual.h"
#include "package_checker/package_facts.h"
#include "package_checker/registration_forecast.h"

enum class RunOutcome {
    Install,
    AskBeforeReplacing,
    InstallEndsLocked,   // the lock test cannot open the installed IME file for writing and ends with its text
    InstallCopyFails,    // a copy fails and ends the installation with its text
    AskThenCopyFails,    // the same after the question before replacing the installed IME file
    Remove,
    RemoveEndsAtOnce,    // the removal's first step finds a file not installed and ends with its text
    RemoveNoPreload,     // the removal cannot open the preload list and ends with its text
    RemoveCannotDelete,  // the removal gets as far as deleting the files and cannot delete one
    EndSilently,
};

struct Prediction {
    RunOutcome Outcome = RunOutcome::EndSilently;
    // Why the run ends without a message, the removal at once, the lock test
    // at once, a copy fails or the deletion fails.
    Bilingual Reason;

    // Why its call of the input method manager would fail: the installation's
    // registration, or the removal's asking for the layout. Empty when it
    // would not, or when that cannot be told.
    Bilingual Failure;
};

// What imesetup.exe started in the folder with these arguments would do,
// by its mode table and the presence of the installed IME file.
Prediction PredictRun(const PackageFacts& facts, const std::vector<std::string>& arguments);

// What the input method manager would make of the file it reads, the
// system directory's file of the IME file's name: after the installation's
// copy, and when the removal asks for the layout. Nothing when the run never
// calls it (a copy that fails, a removal that ends at once) or the file
// could not be read.
std::optional<RegistrationForecast> ForecastInstallation(const PackageFacts& facts);
std::optional<RegistrationForecast> ForecastRemoval(const PackageFacts& facts);

// Why a file name counts as no file, for the report.
Bilingual DescribeLookup(const FileStampLookup& lookup);

// Why the program reads a key as "0": where setup.log has it, if anywhere.
Bilingual DescribeMissingKey(const ParameterReading& reading);

// The text a run ends with when the removal finds the IME not installed, in UTF-8.
std::string NotInstalledText();

// An outcome text of the setup program (code page 936), in UTF-8.
std::string ShownOutcomeText(const char* outcomeText);

// An outcome text as its box shows it, a line of the report for each of its
// lines, to follow a statement.
std::string BoxLines(const std::string& outcomeText);

// What would make the package go wrong beyond the setup program's own checks.
std::vector<Bilingual> FindPackageProblems(const PackageFacts& facts);

// The checker's exit status.
constexpr int CheckerSoundPackage = 0;    // the run would do its work, nothing found
constexpr int CheckerProblemsFound = 1;   // the run would do its work, but problems were found
constexpr int CheckerSilentEnd = 2;       // the run would end without a message
constexpr int CheckerBadCommandLine = 3;  // more than one folder, an unknown option, no such folder
constexpr int CheckerFailed = 4;          // the check itself could not be finished (no memory)
int CheckerExitStatus(const Prediction& withoutArgument, size_t problemCount);

// The report's last line, in English: "imesetup.exe would install", "...
// would remove" (followed by ", and end at once with ..." when the removal
// finds the files not installed, or ", and deleting the files would fail
// with ..." when it cannot delete them) or "... would end without a message:
// <reason>"; an installation or removal that would fail at the input method
// manager adds ", and registration would fail: <cause>" or ", and finding
// the layout would fail: <cause>".
std::string PredictionLine(const Prediction& withoutArgument);
