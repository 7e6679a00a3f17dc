// Fault sweep: every machine state that the outcome tables name, run once to
// count the platform calls the whole program makes (RunProgram, as the entry
// point runs it) and the allocations of its own code, then once more for each
// call k with that call failing as it would in real life, and once more for
// each allocation k with memory running out there. Every run must end with one
// of the outcome texts of the operation it ran (or end silently: when a call
// made before the command line was read failed, or at once when memory ran out
// outside the steps that guard against it), hold nothing open, leave no box
// unanswered, and leave the machine in a state its outcome allows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "setup_program/program.h"
#include "registration/allocation_fault.h"
#include "registration/outcome_texts.h"
#include "registry/my_registry.h"
#include "sweep_machine.h"

namespace hardening {
namespace {

using sim::Family;

// The operation whose outcome the run showed; Either for the rights failure,
// which both report alike; Unknown for a text neither reports.
enum class Operation { None, Install, Uninstall, Either, Unknown };

struct Scenario {
    const char* name;
    Family family;
    std::function<void()> arrange;  // after the package is in place
    const char* arguments;          // after the program's name
    std::vector<int> answers;       // for the boxes before the outcome box, in order
    const char* outcome;            // of the run without a fault
    bool editsPreload = false;      // the run without a fault edits the preload list
};
void PrintTo(const Scenario& scenario, std::ostream* os) { *os << scenario.name; }

// What fails in a run: platform call number `call`, or the tool's own
// allocation number `allocation` (counted as allocation_fault counts them).
struct Fault {
    int call = 0;
    int allocation = 0;
};

struct SweepRun {
    Operation operation = Operation::None;
    int commandLineRead = 0;  // the number of the call that read the command line, 0 when none did
    // The preload list edit: from its first call up to the first call after
    // its key object was released (0 when it did not run / did not end), and
    // everything outside the Preload key at its start and at its end.
    int preloadEditStart = 0;
    int preloadEditEnd = 0;
    std::string outsideAtEditStart, outsideAtEditEnd;
    std::string outcome;  // the text of the last box the program asked for
    int status = -1;
    int calls = 0;
    int allocations = 0;           // of the tool's own code
    bool allocationFailed = false;  // the failing allocation came
    int callsBeforeAllocationFailed = 0;
    std::vector<std::string> log;
    std::vector<sim::MessageBoxRecord> boxes;
    MachineState before, after;
};

std::string CopyError(const char* name) { return std::string(name) + OutcomeTexts::CopyErrorSuffix; }

const std::set<std::string>& InstallOutcomes()
{
    static const std::set<std::string> texts = {
        OutcomeTexts::InstallNoRights,    OutcomeTexts::AlreadyInstalled, OutcomeTexts::InstallCancelled,
        OutcomeTexts::ImeFileLocked,      CopyError(kImeName),            CopyError(kMbName),
        OutcomeTexts::CopyFilesException, OutcomeTexts::ActivationFailed, OutcomeTexts::InstallSucceeded,
    };
    return texts;
}

const std::set<std::string>& UninstallOutcomes()
{
    static const std::set<std::string> texts = {
        OutcomeTexts::NotInstalled,     OutcomeTexts::InstallNoRights, OutcomeTexts::HklNotFound,
        OutcomeTexts::PreloadOpenFailed, OutcomeTexts::UnregisterFailed, OutcomeTexts::FilesLocked,
        OutcomeTexts::UninstallSucceeded,
    };
    return texts;
}

Operation OperationOf(const std::string& outcome)
{
    const bool install = InstallOutcomes().count(outcome) != 0;
    const bool uninstall = UninstallOutcomes().count(outcome) != 0;
    if (install && uninstall) return Operation::Either;
    if (install) return Operation::Install;
    if (uninstall) return Operation::Uninstall;
    return Operation::Unknown;
}

// The module's facts are process-wide: each run starts without them, so that
// only the program's own module start can set them, and the test gives them
// back as it found them.
class ModuleFactsSaved {
public:
    ModuleFactsSaved() : dbcs_(MyRegistry::DbcsEnabled), platform_(MyRegistry::PlatformId) {}
    ~ModuleFactsSaved()
    {
        MyRegistry::DbcsEnabled = dbcs_;
        MyRegistry::PlatformId = platform_;
    }
    static void Forget()
    {
        MyRegistry::DbcsEnabled = false;
        MyRegistry::PlatformId = 0;
    }

private:
    bool dbcs_;
    std::int32_t platform_;
};

// How a run is watched: the machine before it, when a run without a fault
// has already taken it (the scenario sets the machine up the same way each
// time), and whether the machine outside the Preload key is taken at the
// edit's start and end.
struct Watch {
    const MachineState* before = nullptr;
    bool outsideTheEdit = false;
};

// The boxes are wide; the ANSI call is their way out when a text cannot be
// converted.
bool IsBoxCall(const std::string& function)
{
    return function == "MessageBoxW" || function == "MessageBoxA";
}

// The whole program from its entry on the scenario's machine, with the
// calls it made, the command line's reading, the preload edit and the last
// box it asked for recorded from the machine's call log.
SweepRun RunProgramOnce(const Scenario& scenario, Fault fault, Watch watch = Watch())
{
    const bool watchEdit = watch.outsideTheEdit;
    PutPackage();
    sim::SetFamily(scenario.family);
    scenario.arrange();
    sim::SetCommandLine(std::string("imesetup.exe") + scenario.arguments);
    for (int answer : scenario.answers) sim::QueueAnswer(answer);
    sim::QueueAnswer(IDOK);  // the outcome box
    ModuleFactsSaved::Forget();

    SweepRun run;
    run.before = watch.before != nullptr ? *watch.before : Snapshot(scenario.family);
    const int mark = sim::CallCount();
    if (fault.call > 0) sim::FailCallNumber(fault.call);

    // The edit's first call is the version query that picks the list's form;
    // it ends when the tool next calls with no key open.
    auto next = [mark] { return sim::CallCount() - mark + 1; };
    sim::BeforeEachCall("GetVersion", [&run, next, watchEdit](int) {
        if (run.preloadEditStart != 0) return;
        run.preloadEditStart = next();
        if (watchEdit) run.outsideAtEditStart = DumpOutsidePreload();
    });
    auto endOfEdit = [&run, next, watchEdit](int) {
        if (run.preloadEditStart == 0 || run.preloadEditEnd != 0 || sim::OpenKeyCount() != 0) return;
        run.preloadEditEnd = next();
        if (watchEdit) run.outsideAtEditEnd = DumpOutsidePreload();
    };
    sim::BeforeEachCall("RegOpenKeyExA", endOfEdit);
    sim::BeforeEachCall("UnloadKeyboardLayout", endOfEdit);

    allocation_fault::FailToolAllocationNumber(fault.allocation);  // 0 counts them only
    run.status = RunProgram();
    allocation_fault::Disarm();
    run.allocations = allocation_fault::ToolAllocationCount();
    run.allocationFailed = fault.allocation > 0 && allocation_fault::Fired();
    run.callsBeforeAllocationFailed = allocation_fault::FiredAfterCall() - mark;

    for (const char* function : {"GetVersion", "RegOpenKeyExA", "UnloadKeyboardLayout"})
        sim::BeforeEachCall(function, nullptr);
    if (run.preloadEditStart != 0 && run.preloadEditEnd == 0) {
        run.preloadEditEnd = sim::CallCount() - mark + 1;
        if (watchEdit) run.outsideAtEditEnd = DumpOutsidePreload();
    }

    const std::vector<sim::CallRecord>& records = sim::CallRecords();
    run.log.reserve(records.size() - static_cast<size_t>(mark));
    for (size_t i = static_cast<size_t>(mark); i < records.size(); ++i) {
        const sim::CallRecord& call = records[i];
        run.log.push_back(call.function);
        if (call.function == "GetCommandLineA" && run.commandLineRead == 0) {
            run.commandLineRead = static_cast<int>(run.log.size());
        }
        if (IsBoxCall(call.function)) run.outcome = call.arguments.at(0);
    }
    // A box that was asked for shows the outcome: the question comes only
    // before it, and every run that reaches an operation ends with it.
    if (std::any_of(run.log.begin(), run.log.end(), IsBoxCall)) {
        run.operation = OperationOf(run.outcome);
    }
    run.calls = static_cast<int>(run.log.size());
    run.boxes = sim::MessageBoxes();
    run.after = Snapshot(scenario.family);
    return run;
}

// Collects what a run did wrong, one line each.
class Findings {
public:
    void Check(bool ok, const std::string& what)
    {
        if (!ok) lines_.push_back(what);
    }
    bool Empty() const { return lines_.empty(); }
    std::string Text() const
    {
        std::string text;
        for (const std::string& line : lines_) text += "  " + line + "\n";
        return text;
    }

private:
    std::vector<std::string> lines_;
};

std::string Files(const MachineState& s) { return "ime " + Describe(s.ime) + ", mb " + Describe(s.mb); }

void CheckUnchanged(const SweepRun& run, Findings& f)
{
    f.Check(run.after.ime == run.before.ime && run.after.mb == run.before.mb,
            "files changed: " + Files(run.before) + " -> " + Files(run.after));
    f.Check(run.after.layouts == run.before.layouts, "layout list changed:\n" + run.after.layouts);
    f.Check(run.after.preloadTree == run.before.preloadTree, "preload list changed:\n" + run.after.preloadTree);
}

// What a run did wrong: to the preload list (its entries, their numbering,
// the layout left loaded because its entry was not found), and everything else.
struct Verdict {
    Findings general;
    Findings preload;
};

void CheckPreload(const SweepRun& run, const std::vector<std::string>& expected, Findings& f)
{
    f.Check(run.after.preload.texts == expected,
            "preload list " + Join(run.after.preload.texts) + ", expected " + Join(expected));
}

void CheckInstall(const SweepRun& run, Findings& f)
{
    const std::string& outcome = run.outcome;
    if (outcome == OutcomeTexts::InstallNoRights || outcome == OutcomeTexts::AlreadyInstalled ||
        outcome == OutcomeTexts::InstallCancelled || outcome == OutcomeTexts::ImeFileLocked) {
        CheckUnchanged(run, f);
        return;
    }
    // Installation registers through the input method manager only; it never edits the lists itself.
    if (outcome != OutcomeTexts::InstallSucceeded) {
        f.Check(run.after.layouts == run.before.layouts, "layout list changed:\n" + run.after.layouts);
        f.Check(run.after.preloadTree == run.before.preloadTree, "preload list changed");
    }
    if (outcome == CopyError(kImeName)) {
        f.Check(run.after.ime == run.before.ime && run.after.mb == run.before.mb, "files: " + Files(run.after));
    } else if (outcome == CopyError(kMbName)) {
        f.Check(run.after.ime == std::string(kNewIme) && run.after.mb == run.before.mb, "files: " + Files(run.after));
    } else if (outcome == OutcomeTexts::ActivationFailed || outcome == OutcomeTexts::InstallSucceeded) {
        f.Check(run.after.ime == std::string(kNewIme) && run.after.mb == std::string(kNewMb),
                "files: " + Files(run.after));
    }
    if (outcome == OutcomeTexts::InstallSucceeded) {
        f.Check(!LayoutsOfIme().empty(), "reported installed, but no layout names the IME file");
    }
}

void CheckUninstall(const SweepRun& run, Verdict& v)
{
    Findings& f = v.general;
    const std::string& outcome = run.outcome;
    if (outcome == OutcomeTexts::NotInstalled || outcome == OutcomeTexts::InstallNoRights ||
        outcome == OutcomeTexts::HklNotFound || outcome == OutcomeTexts::PreloadOpenFailed) {
        CheckUnchanged(run, f);
        return;
    }
    // From here on the preload entry has been taken out.
    const std::vector<std::string> expected = WithoutFirstMatch(run.before.preload.texts);
    const bool listed = expected.size() != run.before.preload.texts.size();
    CheckPreload(run, expected, v.preload);
    const bool layoutKey = sim::KeyExists(HKEY_LOCAL_MACHINE, LayoutKeyPath());

    if (outcome == OutcomeTexts::UnregisterFailed) {
        f.Check(layoutKey, "reported failed, but the layout key is gone");
        f.Check(run.after.ime == run.before.ime && run.after.mb == run.before.mb, "files: " + Files(run.after));
    } else if (outcome == OutcomeTexts::FilesLocked) {
        f.Check(!layoutKey, "the layout key is still there");
        f.Check(run.after.mb == run.before.mb, "the MB file changed: " + Files(run.after));
    } else if (outcome == OutcomeTexts::UninstallSucceeded) {
        f.Check(!layoutKey, "reported removed, but the layout key is still there");
        f.Check(!run.after.ime && !run.after.mb, "reported removed, but " + Files(run.after));
        if (listed) v.preload.Check(!run.after.loaded, "reported removed, but the layout is still loaded");
    }
}

void CheckNothingHeld(const SweepRun& run, Findings& f)
{
    f.Check(run.status == 0, "exit status " + std::to_string(run.status));
    f.Check(sim::OpenKeyCount() == 0, std::to_string(sim::OpenKeyCount()) + " registry keys left open");
    f.Check(sim::OpenFileCount() == 0, std::to_string(sim::OpenFileCount()) + " files left open");
    f.Check(sim::OpenFindCount() == 0, std::to_string(sim::OpenFindCount()) + " file searches left open");
    f.Check(sim::LoadedModuleCount() == 0, std::to_string(sim::LoadedModuleCount()) + " libraries left loaded");
    f.Check(sim::UnansweredBoxes() == 0, "a box was shown with no answer");
}

// The one box that may come before the outcome: installation's question.
void CheckQuestions(const std::vector<sim::MessageBoxRecord>& questions, bool installing, Findings& f)
{
    f.Check(questions.size() <= 1, std::to_string(questions.size()) + " boxes before the outcome");
    for (const sim::MessageBoxRecord& box : questions) {
        f.Check(installing && box.text == OutcomeTexts::AlreadyInstalled &&
                    box.caption == OutcomeTexts::SetupCaption && box.style == MB_YESNO,
                "an unexpected box before the outcome: \"" + box.text + "\"");
    }
}

// What every run must do, whatever failed.
Verdict Examine(const SweepRun& run, int failingCall, const SweepRun& clean)
{
    Verdict v;
    Findings& f = v.general;
    CheckNothingHeld(run, f);

    // Silent only when a call made before the command line was read failed:
    // from there on one operation runs and its outcome is shown.
    if (run.operation == Operation::None) {
        f.Check(failingCall > 0 && failingCall < clean.commandLineRead,
                "ended silently though the fault hit after the command line was read");
        f.Check(run.boxes.empty(), "a silent end showed a box");
        CheckUnchanged(run, f);
        return v;
    }

    // The question (only before a reinstallation), then the outcome box,
    // unless the call that shows it was the one that failed.
    const bool outcomeBoxFailed = failingCall == run.calls && IsBoxCall(run.log.back());
    std::vector<sim::MessageBoxRecord> questions = run.boxes;
    if (!outcomeBoxFailed) {
        f.Check(!questions.empty(), "no outcome box");
        if (!questions.empty()) {
            const sim::MessageBoxRecord& box = questions.back();
            f.Check(box.text == run.outcome && box.caption == OutcomeTexts::SetupCaption &&
                        box.style == (MB_OK | MB_ICONINFORMATION) && box.owner == nullptr,
                    "the outcome box does not carry the outcome: \"" + box.text + "\"");
            questions.pop_back();
        }
    }
    CheckQuestions(questions, run.operation == Operation::Install, f);

    v.preload.Check(run.after.preload.Gapless(), "the preload list is no longer numbered from 1 without gaps:\n" +
                                             run.after.preloadTree);
    // A layout is never left registered for files that are not both there
    // (unless the machine was so before the run).
    if (!LayoutsOfIme().empty() && run.before.ime && run.before.mb) {
        f.Check(run.after.ime && run.after.mb, "a layout names the IME file, but " + Files(run.after));
    }

    switch (run.operation) {
    case Operation::Install:
    case Operation::Either:  // the rights failure: nothing changed, as both operations promise
        CheckInstall(run, f);
        break;
    case Operation::Uninstall:
        CheckUninstall(run, v);
        break;
    case Operation::Unknown:
    case Operation::None:
        f.Check(false, "not an outcome of either operation: \"" + run.outcome + "\"");
        break;
    }
    return v;
}

std::string Around(const SweepRun& run, int call)
{
    std::ostringstream text;
    text << "call " << call << " of " << run.calls << " (" << (call <= run.calls ? run.log[call - 1] : "?")
         << ") failed; operation "
         << (run.operation == Operation::Install     ? "InstallIme"
             : run.operation == Operation::Uninstall ? "UninstallIme"
             : run.operation == Operation::None      ? "none"
                                                     : "either")
         << ", outcome \"" << run.outcome << "\"";
    return text.str();
}

// ---- The machine states ----

void Fresh() {}

void Installed(Family family, const std::vector<std::string>& preload)
{
    PutInstalledIme();
    SetPreload(family, preload);
}

const Scenario kScenarios[] = {
    // Installation.
    {"FreshMachine", Family::NT, Fresh, "", {}, OutcomeTexts::InstallSucceeded},
    {"FreshMachineOnRequest", Family::NT, Fresh, " /inst", {}, OutcomeTexts::InstallSucceeded},
    {"FreshMachine9x", Family::Win9x, Fresh, "", {}, OutcomeTexts::InstallSucceeded},
    {"ReinstallAnsweredYes", Family::NT, [] { Installed(Family::NT, {"00000804", kLayoutName}); }, " /inst",
     {IDYES}, OutcomeTexts::InstallSucceeded},
    {"ReinstallAnsweredNo", Family::NT, [] { Installed(Family::NT, {"00000804", kLayoutName}); }, " /inst",
     {IDNO}, OutcomeTexts::InstallCancelled},
    {"ReinstallFileHeld", Family::NT,
     [] {
         Installed(Family::NT, {"00000804", kLayoutName});
         sim::HoldFile(InstalledImePath(), FILE_SHARE_READ);
     },
     " /inst", {IDYES}, OutcomeTexts::ImeFileLocked},
    {"InstallWithoutRights", Family::NT, [] { sim::DenyFullAccess(HKEY_LOCAL_MACHINE, kLayoutList); }, "", {},
     OutcomeTexts::InstallNoRights},
    {"InstallOnlyMbLeftOver", Family::NT, [] { sim::PutFile(InstalledMbPath(), kOldMb); }, "", {},
     OutcomeTexts::InstallSucceeded},

    // Removal, preload list as values.
    {"RemoveListedInTheMiddle", Family::NT,
     [] { Installed(Family::NT, {"00000804", kLayoutName, "00000409", "00000411"}); }, "", {},
     OutcomeTexts::UninstallSucceeded, true},
    {"RemoveListedFirstOnRequest", Family::NT,
     [] { Installed(Family::NT, {kLayoutName, "00000409", "00000804"}); }, " /uninst", {},
     OutcomeTexts::UninstallSucceeded, true},
    {"RemoveListedLastInLowerCase", Family::NT, [] { Installed(Family::NT, {"00000804", "e0200804"}); }, "", {},
     OutcomeTexts::UninstallSucceeded, true},
    {"RemoveListedTwice", Family::NT,
     [] { Installed(Family::NT, {kLayoutName, "00000804", kLayoutName}); }, "", {},
     OutcomeTexts::UninstallSucceeded, true},
    {"RemoveNotListed", Family::NT, [] { Installed(Family::NT, {"00000804", "00000409"}); }, "", {},
     OutcomeTexts::UninstallSucceeded, true},
    {"RemoveImeFileHeld", Family::NT,
     [] {
         Installed(Family::NT, {"00000804", kLayoutName, "00000409"});
         sim::HoldFile(InstalledImePath(), FILE_SHARE_READ);
     },
     "", {}, OutcomeTexts::FilesLocked, true},
    {"RemoveLayoutKeyDenied", Family::NT,
     [] {
         Installed(Family::NT, {"00000804", kLayoutName, "00000409"});
         sim::DenyFullAccess(HKEY_LOCAL_MACHINE, LayoutKeyPath());
     },
     "", {}, OutcomeTexts::UnregisterFailed, true},
    {"RemovePreloadKeyMissing", Family::NT,
     [] {
         Installed(Family::NT, {});
         sim::DeleteKeyTree(HKEY_CURRENT_USER, kPreload);
     },
     "", {}, OutcomeTexts::PreloadOpenFailed},
    {"RemoveWithoutRights", Family::NT,
     [] {
         Installed(Family::NT, {"00000804", kLayoutName});
         sim::DenyFullAccess(HKEY_LOCAL_MACHINE, kLayoutList);
     },
     " /uninst", {}, OutcomeTexts::InstallNoRights},
    {"RemoveMbFileMissing", Family::NT,
     [] {
         Installed(Family::NT, {"00000804", kLayoutName});
         DeleteFileA(InstalledMbPath().c_str());
     },
     "", {}, OutcomeTexts::NotInstalled},

    // Removal, preload list as sub-keys.
    {"RemoveListedInTheMiddle9x", Family::Win9x,
     [] { Installed(Family::Win9x, {"00000804", kLayoutName, "00000409", "00000411"}); }, "", {},
     OutcomeTexts::UninstallSucceeded, true},
    {"RemoveListedOnly9x", Family::Win9x, [] { Installed(Family::Win9x, {kLayoutName}); }, " /uninst", {},
     OutcomeTexts::UninstallSucceeded, true},
    {"RemoveNotListed9x", Family::Win9x, [] { Installed(Family::Win9x, {"00000804"}); }, "", {},
     OutcomeTexts::UninstallSucceeded, true},
};

bool InsidePreloadEdit(const SweepRun& clean, int call)
{
    return clean.preloadEditStart != 0 && call >= clean.preloadEditStart && call < clean.preloadEditEnd;
}

class FaultSweep : public ::testing::TestWithParam<Scenario> {
protected:
    void SetUp() override
    {
        const Scenario& scenario = GetParam();
        clean = RunProgramOnce(scenario, Fault{});
        SCOPED_TRACE("without a fault");
        const Verdict verdict = Examine(clean, 0, clean);
        ASSERT_TRUE(verdict.general.Empty() && verdict.preload.Empty())
            << verdict.general.Text() << verdict.preload.Text();
        ASSERT_EQ(clean.outcome, scenario.outcome);
        ASSERT_GT(clean.commandLineRead, 0);
    }

    ModuleFactsSaved moduleFacts;
    SweepRun clean;
};

TEST_P(FaultSweep, EveryFailingCallEndsInAnAllowedState)
{
    int failing = 0;
    for (int k = 1; k <= clean.calls; ++k) {
        const SweepRun run = RunProgramOnce(GetParam(), Fault{k, 0}, Watch{&clean.before, false});
        const Verdict verdict = Examine(run, k, clean);
        // The preload edit's own faults are the next test's.
        const bool preloadToo = !InsidePreloadEdit(clean, k);
        if (!verdict.general.Empty() || (preloadToo && !verdict.preload.Empty())) {
            ++failing;
            ADD_FAILURE() << Around(run, k) << "\n"
                          << verdict.general.Text() << (preloadToo ? verdict.preload.Text() : "");
        }
    }
    EXPECT_EQ(failing, 0) << "of " << clean.calls << " calls";
}

// What the preload edit guarantees when one of its own calls fails. It does
// not look at the results of its registry calls, so such a run may keep the
// layout's entry, cut the list short, leave a gap or store a text twice (and
// the removal goes on). But no other entry's text is lost: each is still
// stored under the Preload key, as often as before; nothing outside the key
// changes while the edit runs; and the run's other promises hold (nothing left
// open, one of the removal's outcome texts shown, a state that text allows).
void CheckNothingLost(const SweepRun& run, sim::Family family, Findings& f)
{
    std::vector<std::string> kept = WithoutFirstMatch(run.before.preload.texts);
    std::vector<std::string> stored = StoredPreloadTexts(family);
    std::sort(kept.begin(), kept.end());
    std::sort(stored.begin(), stored.end());
    std::vector<std::string> lost;
    std::set_difference(kept.begin(), kept.end(), stored.begin(), stored.end(), std::back_inserter(lost));
    f.Check(lost.empty(), "entries lost: " + Join(lost) + ", stored now:\n" + run.after.preloadTree);
    f.Check(run.outsideAtEditStart == run.outsideAtEditEnd,
            "the edit changed the machine outside the Preload key:\n" + run.outsideAtEditStart + "->\n" +
                run.outsideAtEditEnd);
}

using PreloadEditFaults = FaultSweep;

TEST_P(PreloadEditFaults, FailingCallInsidePreloadEditLosesNoOtherEntry)
{
    ASSERT_NE(clean.preloadEditStart, 0) << "no preload list edit in this state";
    ASSERT_LT(clean.preloadEditStart, clean.preloadEditEnd);
    int imperfect = 0;  // runs whose list is not exactly the one a run without a fault leaves
    for (int k = clean.preloadEditStart; k < clean.preloadEditEnd; ++k) {
        const SweepRun run = RunProgramOnce(GetParam(), Fault{k, 0}, Watch{&clean.before, true});
        Verdict verdict = Examine(run, k, clean);
        verdict.general.Check(run.operation == Operation::Uninstall, "not a removal outcome");
        CheckNothingLost(run, GetParam().family, verdict.general);
        if (!verdict.general.Empty()) ADD_FAILURE() << Around(run, k) << "\n" << verdict.general.Text();
        if (!verdict.preload.Empty()) ++imperfect;
    }
    // The canary: the faults reach the edit. Where the layout is listed some
    // of them leave the list imperfect, so the checks above meet real damage.
    const std::vector<std::string>& before = clean.before.preload.texts;
    if (WithoutFirstMatch(before).size() != before.size()) {
        EXPECT_GT(imperfect, 0) << "no failing call inside the edit changed its result";
    }
}

// The calls a run may still make once memory has run out: the handles it
// holds go back as the exception leaves each step.
bool GivesBack(const std::string& function)
{
    return function == "RegCloseKey" || function == "CloseHandle" || function == "FindClose" ||
           function == "FreeLibrary";
}

// Where a failing allocation of the tool's own code may lead. Exhausted
// memory is never read as an answer of the machine ("no such key", "no
// value"): the run ends at once, giving back only what it holds and showing
// no box, unless one of the two steps that guard against it was running (the
// copies, the deletions), whose outcome text then says so. The usual checks
// judge the state such an outcome leaves. Any other outcome shown after the
// allocation failed reports what did not happen.
Verdict ExamineAllocationFault(const SweepRun& run, const SweepRun& clean, sim::Family family)
{
    Verdict v;
    const int failedAfter = run.callsBeforeAllocationFailed;
    // Silent unless the outcome box came: the question alone does not count.
    const bool outcomeShown = std::any_of(run.boxes.begin(), run.boxes.end(), [](const sim::MessageBoxRecord& box) {
        return box.style == (MB_OK | MB_ICONINFORMATION);
    });
    if (outcomeShown) {
        v = Examine(run, 0, clean);
        const auto box = std::find_if(run.log.rbegin(), run.log.rend(), IsBoxCall);
        const bool afterTheBox = failedAfter >= static_cast<int>(run.log.rend() - box);
        v.general.Check(afterTheBox || run.outcome == OutcomeTexts::CopyFilesException ||
                            run.outcome == OutcomeTexts::FilesLocked,
                        "an outcome shown though memory ran out outside the guarded steps");
    } else {
        Findings& f = v.general;
        CheckNothingHeld(run, f);
        CheckQuestions(run.boxes, true, f);
        CheckNothingLost(run, family, f);  // an edit cut short keeps every other entry
        for (int call = failedAfter; call < run.calls; ++call) {
            f.Check(GivesBack(run.log[call]), "after memory ran out: call " + std::to_string(call + 1) + " " +
                                                  run.log[call]);
        }
    }
    v.general.Check(run.allocationFailed, "the failing allocation never came");
    return v;
}

std::string AroundAllocation(const SweepRun& run, int allocation)
{
    std::ostringstream text;
    text << "allocation " << allocation << " of " << run.allocations << " failed after call "
         << run.callsBeforeAllocationFailed << " of " << run.calls << "; outcome \"" << run.outcome << "\"";
    return text.str();
}

// The allocation sweep. Its canary: where the preload list is edited as
// sub-keys, some allocations fail inside the edit, in the registry steps that
// once read exhausted memory as "no such entry". (The edit of values makes
// none: its names and texts are short.)
TEST_P(FaultSweep, EveryFailingAllocationEndsAtOnceOrInItsGuardedStep)
{
    ASSERT_GT(clean.allocations, 0);
    int failing = 0;
    int insideTheEdit = 0;
    for (int k = 1; k <= clean.allocations; ++k) {
        const SweepRun run = RunProgramOnce(GetParam(), Fault{0, k}, Watch{&clean.before, false});
        const Verdict verdict = ExamineAllocationFault(run, clean, GetParam().family);
        if (!verdict.general.Empty() || !verdict.preload.Empty()) {
            ++failing;
            ADD_FAILURE() << AroundAllocation(run, k) << "\n" << verdict.general.Text() << verdict.preload.Text();
        }
        const int failedAfter = run.callsBeforeAllocationFailed;
        if (clean.preloadEditStart != 0 && failedAfter >= clean.preloadEditStart &&
            failedAfter + 1 < clean.preloadEditEnd) {
            ++insideTheEdit;
        }
    }
    EXPECT_EQ(failing, 0) << "of " << clean.allocations << " allocations";
    if (GetParam().editsPreload && GetParam().family == Family::Win9x) {
        EXPECT_GT(insideTheEdit, 0) << "no allocation failed inside the preload edit";
    }
}

std::vector<Scenario> EditingPreload()
{
    std::vector<Scenario> editing;
    for (const Scenario& scenario : kScenarios) {
        if (scenario.editsPreload) editing.push_back(scenario);
    }
    return editing;
}

std::string NameOf(const ::testing::TestParamInfo<Scenario>& info) { return info.param.name; }

// Every state again on Windows 8 and later: the system directory has
// input.dll, and the IME's layout is the default of the user's own list.
std::vector<Scenario> WithTheUsersList()
{
    std::vector<Scenario> scenarios(std::begin(kScenarios), std::end(kScenarios));
    for (Scenario& scenario : scenarios) {
        scenario.arrange = [arrange = scenario.arrange] {
            arrange();
            sim::SetUserInputList({"0409:00000409", "0804:E0200804", "0804:00000804"}, "0804:E0200804");
        };
    }
    return scenarios;
}

INSTANTIATE_TEST_SUITE_P(States, FaultSweep, ::testing::ValuesIn(kScenarios), NameOf);
INSTANTIATE_TEST_SUITE_P(StatesWithTheUsersList, FaultSweep, ::testing::ValuesIn(WithTheUsersList()), NameOf);
INSTANTIATE_TEST_SUITE_P(States, PreloadEditFaults, ::testing::ValuesIn(EditingPreload()), NameOf);

}  // namespace
}  // namespace hardening
