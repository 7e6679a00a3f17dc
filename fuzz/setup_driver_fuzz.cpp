// The whole program (module start, driver, real operations) on the simulated
// machine, over arbitrary setup.log bytes and command lines. Input: one byte
// of machine state, two box answers, the command line up to the first zero
// byte, then the setup.log bytes.
//
// Every run ends with status 0, holds nothing open, shows at most the
// reinstall question and one outcome box carrying one of the operations'
// texts, and changes nothing when it ends without a box. The package folder
// is only read, unless setup.log names files with folder parts, which the
// installed paths then carry along.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>

#include "setup_program/program.h"
#include "registration/outcome_texts.h"
#include "sweep_machine.h"

namespace {

using namespace hardening;

const std::set<std::string>& OutcomeTexts()
{
    static const std::set<std::string> texts = {
        OutcomeTexts::InstallNoRights,   OutcomeTexts::AlreadyInstalled, OutcomeTexts::InstallCancelled,
        OutcomeTexts::ImeFileLocked,     OutcomeTexts::CopyFilesException, OutcomeTexts::ActivationFailed,
        OutcomeTexts::InstallSucceeded,  OutcomeTexts::NotInstalled,     OutcomeTexts::HklNotFound,
        OutcomeTexts::PreloadOpenFailed, OutcomeTexts::UnregisterFailed, OutcomeTexts::FilesLocked,
        OutcomeTexts::UninstallSucceeded,
    };
    return texts;
}

bool IsOutcome(const std::string& text)
{
    if (OutcomeTexts().count(text) != 0) return true;
    const std::string suffix = OutcomeTexts::CopyErrorSuffix;
    return text.size() > suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

int Answer(uint8_t byte)
{
    static const int answers[] = {IDYES, IDNO, IDOK, IDCANCEL, 0};
    return answers[byte % 5];
}

void Require(bool condition)
{
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const uint8_t state = input.ConsumeIntegral<uint8_t>();
    const int firstAnswer = Answer(input.ConsumeIntegral<uint8_t>());
    const int secondAnswer = Answer(input.ConsumeIntegral<uint8_t>());
    std::string commandLine = input.ConsumeRandomLengthString(512);
    const std::string setupLog = input.ConsumeRemainingBytesAsString();

    PutPackage();
    const sim::Family family = (state & 1) ? sim::Family::Win9x : sim::Family::NT;
    sim::SetFamily(family);
    if (state & 2) {
        PutInstalledIme();
        SetPreload(family, (state & 4) ? std::vector<std::string>{"00000804", kLayoutName, "00000409"}
                                       : std::vector<std::string>{"00000804"});
    }
    if (state & 8) sim::HoldFile(InstalledImePath(), FILE_SHARE_READ);
    if (state & 16) sim::DenyFullAccess(HKEY_LOCAL_MACHINE, kLayoutList);
    if (state & 32) sim::SetCodePage(1252);
    sim::MakeDirectory(std::string(kPackageDir) + "\\Folder");
    const std::string setupLogPath = std::string(kPackageDir) + "\\setup.log";
    sim::PutFile(setupLogPath, setupLog);
    sim::SetCommandLine(commandLine.substr(0, commandLine.find('\0')));
    sim::QueueAnswer(firstAnswer);
    sim::QueueAnswer(secondAnswer);
    sim::QueueAnswer(IDOK);

    const MachineState before = Snapshot(family);
    const std::string others = DumpTree(HKEY_CURRENT_USER, "") + DumpTree(HKEY_LOCAL_MACHINE, "");

    Require(RunProgram() == 0);

    Require(sim::OpenKeyCount() == 0 && sim::OpenFileCount() == 0 && sim::OpenFindCount() == 0);
    Require(sim::UnansweredBoxes() == 0);
    const auto& boxes = sim::MessageBoxes();
    Require(boxes.size() <= 2);
    if (boxes.size() == 2) {
        Require(boxes[0].text == OutcomeTexts::AlreadyInstalled && boxes[0].style == MB_YESNO &&
                boxes[0].caption == OutcomeTexts::SetupCaption);
    }
    if (!boxes.empty()) {
        const sim::MessageBoxRecord& outcome = boxes.back();
        Require(outcome.owner == nullptr && outcome.style == (MB_OK | MB_ICONINFORMATION) &&
                outcome.caption == OutcomeTexts::SetupCaption && IsOutcome(outcome.text));
    }

    if (setupLog.find_first_of("\\/") == std::string::npos) {
        Require(sim::FileContents(setupLogPath) == setupLog);
        Require(sim::FileContents(std::string(kPackageDir) + "\\" + kImeName) == kNewIme);
        Require(sim::FileContents(std::string(kPackageDir) + "\\" + kMbName) == kNewMb);
    }

    if (boxes.empty()) {  // a silent end changes nothing
        const MachineState after = Snapshot(family);
        Require(after.ime == before.ime && after.mb == before.mb && after.layouts == before.layouts &&
                after.preloadTree == before.preloadTree);
        Require(DumpTree(HKEY_CURRENT_USER, "") + DumpTree(HKEY_LOCAL_MACHINE, "") == others);
    }
    return 0;
}
