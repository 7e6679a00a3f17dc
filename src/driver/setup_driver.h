// The setup driver: reads setup.log, builds the installed paths, chooses the
// mode from the command line and shows the operation's outcome in one box.
#pragma once

#include <functional>
#include <string>

#include "driver/setup_context.h"

// The two registration operations, as the driver calls them. Each returns its
// outcome text and leaves the context's names and paths alone.
struct SetupOperations {
    std::function<std::string(const SetupContext&, bool ExplicitRequest)> InstallIme;
    std::function<std::string(const SetupContext&, bool ExplicitRequest)> UninstallIme;
};

// Runs one setup from start to end and returns the process exit status.
int RunSetup(SetupContext& context, const SetupOperations& operations);
