// The whole program (module start, driver, real operations) on the simulated
// machine, over arbitrary setup.log bytes and command lines. Input: one byte
// of machine state, two box answers, the command line up to the first zero
// byte, then the setup.log bytes.
//
// Every run ends with status 0, holds nothing open, shows at most the
// reinstall question and one outcome box carrying one of the operations'
// texts, read in Chinese on a machine of any code page, and changes nothing
// when it ends without a box. The package folder
// is only read, unless setup.log names files with folder parts, which the
// installed paths then carry along.
#include <fuzzer/FuzzedDataProvider.h>
#include <iconv.h>

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

// One of the tool's texts (code page 936) as a wide box shows it, whatever
// the machine's page.
std::u16string Shown(const std::string& gbk)
{
    const iconv_t converter = iconv_open("UTF-16LE", "GBK");
    std::string in = gbk;
    std::string out(in.size() * 2 + 2, '\0');
    char* inPtr = &in[0];
    size_t inLeft = in.size();
    char* outPtr = &out[0];
    size_t outLeft = out.size();
    iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(converter);
    std::u16string wide;
    for (size_t i = 0; i + 1 < out.size() - outLeft; i += 2)
        wide += static_cast<char16_t>(static_cast<unsigned char>(out[i]) | static_cast<unsigned char>(out[i + 1]) << 8);
    return wide;
}

bool IsOutcome(const std::u16string& text)
{
    for (const std::string& outcome : OutcomeTexts())
        if (text == Shown(outcome)) return true;
    const std::u16string suffix = Shown(OutcomeTexts::CopyErrorSuffix);
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
        Require(boxes[0].wide && boxes[0].wideText == Shown(OutcomeTexts::AlreadyInstalled) &&
                boxes[0].style == MB_YESNO && boxes[0].wideCaption == Shown(OutcomeTexts::SetupCaption));
    }
    if (!boxes.empty()) {
        const sim::MessageBoxRecord& outcome = boxes.back();
        Require(outcome.wide && outcome.owner == nullptr && outcome.style == (MB_OK | MB_ICONINFORMATION) &&
                outcome.wideCaption == Shown(OutcomeTexts::SetupCaption) && IsOutcome(outcome.wideText));
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
