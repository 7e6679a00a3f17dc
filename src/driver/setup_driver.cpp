// The tool's main sequence: parameters, installed paths, mode, one operation,
// one information box. Every way out ends the process with status 0.
#include "driver/setup_driver.h"

#include "driver/command_line.h"
#include "driver/exit_status.h"
#include "driver/setup_caption.h"
#include "driver/setup_mode.h"
#include "driver/setup_parameters.h"
#include "driver/system_directory.h"
#include "platform/win32.h"
#include "registration/outcome_texts.h"
#include "support/helpers.h"
#include "support/message_box_text.h"

namespace {

std::vector<std::string> CommandLineArguments()
{
    const char* commandLine = GetCommandLineA();
    return SplitCommandLine(commandLine != nullptr ? commandLine : "");
}

}  // namespace

int RunSetup(SetupContext& context, const SetupOperations& operations)
{
    if (!ReadSetupParameters(context)) {
        return SetupExitStatus;
    }

    if (!FillInstalledPaths(context)) {
        return SetupExitStatus;
    }

    // The command line is looked at only now, after the parameters have passed.
    const SetupChoice choice = ChooseSetupMode(CommandLineArguments(),
                                               [&context] { return FileExistsAt(context.InstalledImePath); });
    switch (choice.Mode) {
    case SetupMode::Install:
        context.OutcomeText = operations.InstallIme(context, choice.ExplicitRequest);
        break;
    case SetupMode::Uninstall:
        context.OutcomeText = operations.UninstallIme(context, choice.ExplicitRequest);
        break;
    case SetupMode::None:
        return SetupExitStatus;
    }

    // The button that closes the box does not matter. A copy failure starts
    // with the file name as setup.log wrote it, which the copy read in the
    // ANSI code page; every other outcome is one of the tool's own texts.
    const UINT codePage = OutcomeTexts::StartsWithFileName(context.OutcomeText) ? CP_ACP : ToolTextCodePage;
    ShowMessageBox(context.OutcomeText, codePage, SetupCaption, MB_OK | MB_ICONINFORMATION);
    return SetupExitStatus;
}
