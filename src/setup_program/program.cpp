// The whole program as the entry point runs it: the registry module's start,
// then one setup run with the real registration operations. The driver knows
// the operations only through SetupOperations; they are wired in here.
#include "setup_program/program.h"

#include "driver/exit_status.h"
#include "driver/setup_driver.h"
#include "program_guard/guarded_run.h"
#include "registration/registration.h"
#include "registry/my_registry.h"

int RunProgram()
{
    return RunGuarded([] {
        MyRegistry::StartModule();
        SetupContext context;
        const SetupOperations operations{InstallIme, UninstallIme};
        return RunSetup(context, operations);
    }, SetupExitStatus);
}
