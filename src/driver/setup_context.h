// The process-wide record of the setup parameters, the installed paths and the
// outcome. Only the driver writes it; the registration operations read it.
#pragma once

#include <string>

struct SetupContext {
    std::string ParamFilePath;
    std::string SystemDirectory;  // the system directory text the paths are built from
    std::string ImeFileName;
    std::string MbFileName;
    std::string ImeDisplayName;
    std::string InstalledImePath;
    std::string InstalledMbPath;
    std::string OutcomeText;
};
