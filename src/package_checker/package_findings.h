// The checker's conclusions from what it found, as records: what imesetup.exe
// would do here with each command line, what else would make the package go
// wrong on a user's machine, and the checker's exit status. Their sentences
// are the catalogue's; judging only picks codes and values.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "package_checker/package_facts.h"
#include "package_checker/registration_forecast.h"
#include "package_checker/statement.h"

// A finding: what was found, what it concerns (the key, the file, the
// folder), and whether the command line asked for it to be ignored.
struct Finding {
    Statement What;
    std::string Subject;
    bool Ignored = false;
};

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
    std::optional<Statement> Reason;
    // Why its call of the input method manager would fail: the installation's
    // registration, or the removal's asking for the layout. Nothing when it
    // would not, or when that cannot be told.
    std::optional<Statement> Failure;
};

// What imesetup.exe started in the folder with these arguments would do,
// by its mode table and the presence of the installed IME file.
Prediction PredictRun(const PackageFacts& facts, const std::vector<std::string>& arguments);

// The prediction as a coded statement: its outcome with the reason, the
// cause, the outcome text and the box it needs.
Statement OutcomeStatement(const Prediction& prediction);

// What the input method manager would make of the file it reads, the
// system directory's file of the IME file's name: after the installation's
// copy, and when the removal asks for the layout. Nothing when the run never
// calls it (a copy that fails, a removal that ends at once) or the file
// could not be read.
std::optional<RegistrationForecast> ForecastInstallation(const PackageFacts& facts);
std::optional<RegistrationForecast> ForecastRemoval(const PackageFacts& facts);

// Why a file name counts as no file (not for a file found).
Statement DescribeLookup(const FileStampLookup& lookup);

// Why the program reads a key as "0": where setup.log has it, if anywhere.
Statement DescribeMissingKey(const ParameterReading& reading);

// An outcome text of the setup program (code page 936), in UTF-8.
std::string ShownOutcomeText(const char* outcomeText);

// What would make the package go wrong beyond the setup program's own checks
// (problems), and advice (notes), in the report's order.
std::vector<Finding> FindPackageFindings(const PackageFacts& facts);

// The checker's exit status.
constexpr int CheckerSoundPackage = 0;    // the run would end in its success, nothing found
constexpr int CheckerProblemsFound = 1;   // problems were found, or the run ends with any other box
constexpr int CheckerSilentEnd = 2;       // the run would end without a message
constexpr int CheckerBadCommandLine = 3;  // more than one folder, an unknown option, no such folder
constexpr int CheckerFailed = 4;          // the check itself could not be finished (no memory)

// Problems that count: those not ignored.
size_t CountedProblems(const std::vector<Finding>& findings);
int CheckerExitStatus(const Prediction& withoutArgument, const std::vector<Finding>& findings);
