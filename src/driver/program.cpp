// The whole program as the entry point runs it: the registry module's start,
// then one setup run with the real registration operations.
#include "driver/guarded_run.h"
#include "driver/setup_driver.h"
#include "registration/registration.h"
#include "registry/my_registry.h"

int RunProgram()
{
    return RunGuarded([] {
        MyRegistry::StartModule();
        SetupContext context;
        const SetupOperations operations{InstallIme, UninstallIme};
        return RunSetup(context, operations);
    });
}
