// The IME file as an image: its machine, its kind, its exports, its
// signature, and the setup programs beside it.
#include "package_checker/judging.h"
#include "package_checker/text_forms.h"

namespace {

using C = FindingCode;

}  // namespace

void JudgeImeImage(const PackageFacts& facts, std::vector<Finding>& findings)
{
    if (!facts.ImeRead) return;
    const std::string subject = ShownGbkValue(facts.ImeFile.Value);
    const auto add = [&](Statement statement) { findings.push_back({std::move(statement), subject, false}); };
    if (!facts.ImeHeaders) {
        add({C::NoImage, {}});
        return;
    }
    const PeHeaders& ime = *facts.ImeHeaders;
    const std::string machine = MachineName(ime);
    if (ime.Machine != PeMachine::X86 && ime.Machine != PeMachine::X64) {
        add({C::OtherMachine, {TextValue("machine", machine)}});
    }
    if (!ime.IsDll) add({C::NotDll, {}});
    if (!facts.ImeExportsImeInquire) add({C::NoImeInquire, {}});
    for (const SetupProgramFile& program : facts.SetupPrograms) {
        if (!program.Headers || program.Headers->Machine == ime.Machine) continue;
        const std::string name = ShownMachineText(program.Name);
        findings.push_back({{C::SetupProgramOtherBuild,
                             {TextValue("program", name), TextValue("build", MachineName(*program.Headers)),
                              TextValue("machine", machine)}},
                            name,
                            false});
    }
}

void JudgeSignature(const PackageFacts& facts, std::vector<Finding>& findings)
{
    if (!facts.ImeHeaders || facts.ImeSigned) return;
    findings.push_back({{C::Unsigned, {}}, ShownGbkValue(facts.ImeFile.Value), false});
}

void JudgeTwin(const PackageFacts& facts, std::vector<Finding>& findings)
{
    if (!facts.ImeHeaders || !facts.Twin || !facts.Twin->Windows64) return;
    const TwinImage& twin = *facts.Twin;
    const PeMachine imeMachine = facts.ImeHeaders->Machine;
    // The twin is of the other bitness: 64-bit (x64, or ARM64 on ARM) for a 32-bit IME, x86 for a 64-bit one.
    const PeMachine twinMachine = twin.Headers ? twin.Headers->Machine : PeMachine::Other;
    if (imeMachine == PeMachine::X86 ? Is64BitMachine(twinMachine) : twinMachine == PeMachine::X86) return;
    Bilingual there;
    if (twin.Found && twin.Headers) {
        const std::string machine = MachineName(*twin.Headers);
        there = {"（" + machine + "）", " (" + machine + ")"};
    } else if (twin.Found) {
        there = {"（不是 PE 映像）", " (no PE image)"};
    }
    const std::string name = ShownMachineText(facts.ImeFileTitle);
    findings.push_back({{imeMachine == PeMachine::X86 ? C::NoTwinOf32BitIme : C::NoTwinOf64BitIme,
                         {TextValue("folder", ShownMachineText(twin.ShownDirectory)), TextValue("name", name),
                          LocalizedValue("there", there)}},
                        name,
                        false});
}
