// Installation: rights test, presence and lock test with the reinstall
// question, the two copies, and registration with the input method manager.
// Nothing is rolled back: a later run without arguments sees the IME file and
// offers removal.
#include <string>

#include "platform/win32.h"
#include "registration/guarded_step.h"
#include "registration/layout_list_access.h"
#include "registration/outcome_texts.h"
#include "registration/registration.h"
#include "support/helpers.h"
#include "support/message_box_text.h"
#include "support/unique_handle.h"

namespace {

enum class ImeFileUse { Free, Locked, Unknown };

// Opens the installed IME file exclusively for reading and writing. The handle
// is closed before this returns, so the file is never held during the question.
ImeFileUse ProbeInstalledImeFile(const std::string& installedImePath)
{
    const UniqueFileHandle file(CreateFileA(installedImePath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) {
        return ImeFileUse::Free;
    }
    const DWORD error = GetLastError();
    if (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION) {
        return ImeFileUse::Locked;
    }
    return ImeFileUse::Unknown;  // not a sign of use: copy without asking
}

bool UserDeclinesReinstall()
{
    return ShowMessageBox(OutcomeTexts::AlreadyInstalled, ToolTextCodePage, OutcomeTexts::SetupCaption, MB_YESNO) ==
           IDNO;
}

// Empty when both files were copied. A failed copy is named by its source as
// setup.log wrote it; the IME file stays when only the MB copy fails.
std::string CopyImeFiles(const SetupContext& context)
{
    return RunGuardedStep(OutcomeTexts::CopyFilesException, [&context]() -> std::string {
        if (!CopyFileA(context.ImeFileName.c_str(), context.InstalledImePath.c_str(), FALSE)) {
            return context.ImeFileName + OutcomeTexts::CopyErrorSuffix;
        }
        if (!CopyFileA(context.MbFileName.c_str(), context.InstalledMbPath.c_str(), FALSE)) {
            return context.MbFileName + OutcomeTexts::CopyErrorSuffix;
        }
        return std::string();
    });
}

}  // namespace

std::string InstallIme(const SetupContext& context, bool ExplicitRequest)
{
    if (!MayChangeLayoutList()) {
        return OutcomeTexts::InstallNoRights;
    }

    if (FileExistsAt(context.InstalledImePath)) {
        if (!ExplicitRequest) {
            return OutcomeTexts::AlreadyInstalled;
        }
        switch (ProbeInstalledImeFile(context.InstalledImePath)) {
        case ImeFileUse::Locked:
            return OutcomeTexts::ImeFileLocked;
        case ImeFileUse::Free:
            if (UserDeclinesReinstall()) {
                return OutcomeTexts::InstallCancelled;
            }
            break;
        case ImeFileUse::Unknown:
            break;
        }
    }

    const std::string copyFailure = CopyImeFiles(context);
    if (!copyFailure.empty()) {
        return copyFailure;
    }

    if (ImmInstallIMEA(context.InstalledImePath.c_str(), context.ImeDisplayName.c_str()) == nullptr) {
        return OutcomeTexts::ActivationFailed;
    }
    return OutcomeTexts::InstallSucceeded;
}
