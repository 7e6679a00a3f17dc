#include "package_checker/checker_against_program_sim.h"

#include <map>
#include <optional>

#include "package_checker/checker.h"
#include "package_checker/package_findings.h"
#include "platform/sim/iconv_converter.h"
#include "platform/sim/machine.h"
#include "registration/outcome_texts.h"
#include "setup_program/program.h"

namespace generated_package {

namespace {

// What a run ended with: no box at all, or the outcome box's text; and
// whether the reinstall question came first.
struct RunResult {
    bool asked = false;
    std::optional<std::string> text;  // none: ended without a message
};

// What a line of the report says a run ends with.
struct Claim {
    bool understood = true;
    bool asks = false;
    std::optional<std::string> text;     // none: without a message
    std::optional<std::string> afterNo;  // when it asks
};

const std::string kCopyError = "<copy error>";

std::string Name(const std::optional<std::string>& text)
{
    if (!text) return "no message";
    static const std::map<std::string, std::string> names = {
        {OutcomeTexts::InstallNoRights, "no rights"},      {OutcomeTexts::AlreadyInstalled, "already installed"},
        {OutcomeTexts::InstallCancelled, "cancelled"},     {OutcomeTexts::ImeFileLocked, "IME file locked"},
        {OutcomeTexts::CopyFilesException, "copy exception"}, {OutcomeTexts::ActivationFailed, "activation failed"},
        {OutcomeTexts::InstallSucceeded, "installed"},     {OutcomeTexts::NotInstalled, "not installed"},
        {OutcomeTexts::HklNotFound, "no HKL"},             {OutcomeTexts::PreloadOpenFailed, "preload not opened"},
        {OutcomeTexts::UnregisterFailed, "unregister failed"}, {OutcomeTexts::FilesLocked, "files locked"},
        {OutcomeTexts::UninstallSucceeded, "removed"},     {kCopyError, "copy error"},
    };
    const auto found = names.find(*text);
    return found != names.end() ? found->second : "\"" + *text + "\"";
}

bool StartsWith(const std::string& text, const std::string& start)
{
    return text.compare(0, start.size(), start) == 0;
}

// The outcome text, a copy error's source name left out.
std::string Kind(const std::string& text)
{
    const std::string suffix = OutcomeTexts::CopyErrorSuffix;
    if (text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0) {
        return kCopyError;
    }
    return text;
}

// What a box showed, as the tool's own text (code page 936, whatever the
// machine's page): a wide box is read back through 936.
std::string ShownKind(const sim::MessageBoxRecord& box)
{
    if (!box.wide) return Kind(box.text);
    std::string text;
    sim::detail::Converter toGbk("CP936", "UTF-16LE");
    const char* in = reinterpret_cast<const char*>(box.wideText.data());
    size_t left = box.wideText.size() * sizeof(char16_t);
    while (left > 0 && toGbk.Step(in, left, text)) {
    }
    if (left > 0) {  // a file name of the copy error that 936 lacks: only its kind counts
        std::u16string suffix;  // ASCII
        for (const char c : std::string(OutcomeTexts::CopyErrorSuffix)) suffix += static_cast<char16_t>(c);
        const std::u16string& wide = box.wideText;
        return wide.size() >= suffix.size() && wide.compare(wide.size() - suffix.size(), suffix.size(), suffix) == 0
                   ? kCopyError
                   : "(not in code page 936)";
    }
    return Kind(text);
}

// What follows "imesetup.exe would " in a line of the report.
Claim ClaimOf(const std::string& said)
{
    Claim claim;
    const bool fails = said.find(", and registration would fail: ") != std::string::npos;
    const bool copyFails = said.find("install, and copying the ") != std::string::npos;
    const std::string install =
        copyFails ? kCopyError : fails ? OutcomeTexts::ActivationFailed : OutcomeTexts::InstallSucceeded;
    if (StartsWith(said, "end without a message")) return claim;
    if (StartsWith(said, "ask before replacing the installed IME file, then install")) {
        claim.asks = true;
        claim.text = install;
        claim.afterNo = OutcomeTexts::InstallCancelled;
    } else if (StartsWith(said, "run the installation, whose lock test ends it at once") ||
               StartsWith(said, "install, and end at once at its lock test")) {
        claim.text = OutcomeTexts::ImeFileLocked;
    } else if (StartsWith(said, "install")) {
        claim.text = install;
    } else if (StartsWith(said, "run the removal, which ends at once with") ||
               StartsWith(said, "remove, and end at once with")) {
        claim.text = OutcomeTexts::NotInstalled;
    } else if (StartsWith(said, "remove, and deleting the files would fail with")) {
        claim.text = OutcomeTexts::FilesLocked;
    } else if (StartsWith(said, "remove, and finding the layout would fail")) {
        claim.text = OutcomeTexts::HklNotFound;
    } else if (StartsWith(said, "remove, and opening the preload list would fail")) {
        claim.text = OutcomeTexts::PreloadOpenFailed;
    } else if (said == "remove") {
        claim.text = OutcomeTexts::UninstallSucceeded;
    } else {
        claim.understood = false;
    }
    return claim;
}

// The English line of the report that begins with the prefix, without it.
std::optional<std::string> LineAfter(const std::string& report, const std::string& prefix)
{
    const size_t at = report.find("\n" + prefix);
    if (at == std::string::npos) return std::nullopt;
    const size_t start = at + 1 + prefix.size();
    return report.substr(start, report.find('\n', start) - start);
}

RunResult RunProgramOn(const Choices& choices, const char* commandLine, int answer,
                       std::vector<std::pair<std::string, std::string>>* filesBefore = nullptr,
                       std::vector<std::pair<std::string, std::string>>* filesAfter = nullptr)
{
    PutMachine(choices);
    sim::SetCommandLine(commandLine);
    sim::QueueAnswer(answer);
    sim::QueueAnswer(IDOK);
    if (filesBefore) *filesBefore = sim::FilesWithContents();
    RunProgram();
    if (filesAfter) *filesAfter = sim::FilesWithContents();
    RunResult result;
    for (const sim::MessageBoxRecord& box : sim::MessageBoxes()) {
        if (box.style == MB_YESNO) {
            result.asked = true;
        } else {
            result.text = ShownKind(box);
        }
    }
    return result;
}

// Files that the run changed or deleted and that were not the package's to change.
std::string LostFiles(const Choices& choices, const std::vector<std::pair<std::string, std::string>>& before,
                      const std::vector<std::pair<std::string, std::string>>& after)
{
    const std::map<std::string, std::string> now(after.begin(), after.end());
    std::string lost;
    for (const auto& [path, contents] : before) {
        if (!MustSurvive(choices, path)) continue;
        const auto found = now.find(path);
        if (found == now.end()) lost += " " + path + " (deleted)";
        else if (found->second != contents) lost += " " + path + " (overwritten)";
    }
    return lost;
}

// The installation (/inst, the question answered Yes), then the removal
// (/uninst) on the machine it left: what each ended with.
std::pair<RunResult, RunResult> InstallThenRemove(const Choices& choices)
{
    const RunResult install = RunProgramOn(choices, kCommandLines[1], IDYES);
    sim::SetCommandLine(kCommandLines[2]);
    sim::QueueAnswer(IDOK);
    const size_t shown = sim::MessageBoxes().size();
    RunProgram();
    RunResult removal;
    if (sim::MessageBoxes().size() > shown) removal.text = ShownKind(sim::MessageBoxes().back());
    return {install, removal};
}

// Sentences of the report about a later removal, and the two runs they
// speak of: the installation's text, then the removal's.
struct RemovalSentence {
    const char* says;
    const char* installation;
    const char* removal;
};
const RemovalSentence kRemovalSentences[] = {
    {"and the removal's second deletion finds nothing, so it reports the files as locked",
     OutcomeTexts::InstallSucceeded, OutcomeTexts::FilesLocked},
    {"The installation works, but DeleteFileA cannot delete a read-only file, so imesetup.exe can never remove it",
     OutcomeTexts::InstallSucceeded, OutcomeTexts::FilesLocked},
    {"The registration would fail (see the last line) and leave the copies there: the removal ends with",
     OutcomeTexts::ActivationFailed, OutcomeTexts::HklNotFound},
    {"; the installation copies it to two files, ", OutcomeTexts::InstallSucceeded,
     OutcomeTexts::UninstallSucceeded},
};

class Comparison {
public:
    explicit Comparison(const Choices& choices) : choices_(choices) {}

    // The line's claim against the run it is about.
    void Compare(const std::string& run, const std::optional<std::string>& line)
    {
        if (!line) {
            Add(run + ": no line", "");
            return;
        }
        const Claim claim = ClaimOf(*line);
        if (!claim.understood) {
            Add(run + ": a line that names no outcome", *line);
            return;
        }
        const RunResult met = Run(run, IDYES);
        if (claim.asks != met.asked || claim.text != met.text) {
            Add(run + ": predicted " + (claim.asks ? "a question, then " : "") + Name(claim.text) + ", met " +
                    (met.asked ? "a question, then " : "") + Name(met.text),
                *line);
        }
        if (met.asked && claim.asks) {
            const RunResult no = Run(run, IDNO);
            if (claim.afterNo != no.text) Add(run + " answered No: predicted " + Name(claim.afterNo) + ", met " +
                                                  Name(no.text), *line);
        }
    }

    const RunResult& Run(const std::string& run, int answer)
    {
        const std::string key = run + (answer == IDYES ? "" : " no");
        auto found = runs_.find(key);
        if (found == runs_.end()) {
            const char* commandLine = run == "/inst" ? kCommandLines[1] : run == "/uninst" ? kCommandLines[2]
                                                                                           : kCommandLines[0];
            found = runs_.emplace(key, RunProgramOn(choices_, commandLine, answer)).first;
        }
        return found->second;
    }

    void Add(const std::string& kind, const std::string& detail) { found_.push_back({kind, detail}); }
    std::vector<Disagreement>& Found() { return found_; }

private:
    const Choices& choices_;
    std::map<std::string, RunResult> runs_;
    std::vector<Disagreement> found_;
};

}  // namespace

std::vector<Disagreement> CheckAgainstProgram(const Choices& choices)
{
    Comparison comparison(choices);

    PutMachine(choices);
    sim::SetCommandLine("imecheck.exe");
    const std::string before = sim::DumpMachine();
    std::string report;
    const int status = RunChecker("imecheck.exe", [&report](const std::string& text) { report += text; });
    if (sim::DumpMachine() != before) comparison.Add("the checker changed the machine", "");
    report = "\n" + report;

    comparison.Compare("no argument", LineAfter(report, "     Without an argument: imesetup.exe would "));
    comparison.Compare("/inst", LineAfter(report, "     /inst: imesetup.exe would "));
    comparison.Compare("/uninst", LineAfter(report, "     /uninst: imesetup.exe would "));
    const size_t last = report.rfind('\n', report.size() - 2);
    const std::string lastLine = report.substr(last + 1, report.size() - last - 2);
    const std::string would = "imesetup.exe would ";
    comparison.Compare("no argument (last line)",
                       StartsWith(lastLine, would) ? std::optional<std::string>(lastLine.substr(would.size()))
                                                   : std::nullopt);

    // Each sentence about a later removal, where the installation it
    // follows gets as far as the sentence says.
    for (const RemovalSentence& sentence : kRemovalSentences) {
        if (report.find(sentence.says) == std::string::npos) continue;
        const auto [install, removal] = InstallThenRemove(choices);
        if (install.text != std::string(sentence.installation)) continue;
        if (removal.text != std::string(sentence.removal)) {
            comparison.Add(std::string("a removal sentence: predicted ") + Name(std::string(sentence.removal)) +
                               ", met " + Name(removal.text),
                           sentence.says);
        }
    }

    const RunResult& plain = comparison.Run("no argument", IDYES);
    if ((status == CheckerSilentEnd) != !plain.text) {
        comparison.Add("exit status " + std::to_string(status) + " for a run that met " + Name(plain.text), "");
    }
    if (status == CheckerSoundPackage) {
        std::vector<std::pair<std::string, std::string>> filesBefore;
        std::vector<std::pair<std::string, std::string>> filesAfter;
        const RunResult run = RunProgramOn(choices, kCommandLines[0], IDYES, &filesBefore, &filesAfter);
        if (run.text != std::string(OutcomeTexts::InstallSucceeded) &&
            run.text != std::string(OutcomeTexts::UninstallSucceeded)) {
            comparison.Add("exit status 0 for a run that met " + Name(run.text), "");
        }
        const std::string lost = LostFiles(choices, filesBefore, filesAfter);
        if (!lost.empty()) comparison.Add("exit status 0 for a run that lost files", lost);
    }
    std::vector<Disagreement>& found = comparison.Found();
    for (Disagreement& disagreement : found) {
        if (disagreement.detail.empty()) disagreement.detail = lastLine;
    }
    return found;
}

}  // namespace generated_package
