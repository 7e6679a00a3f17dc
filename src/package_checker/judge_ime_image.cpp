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
