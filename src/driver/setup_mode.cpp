#include "driver/setup_mode.h"

SetupChoice ChooseSetupMode(const std::vector<std::string>& arguments, const std::function<bool()>& imeFileInstalled)
{
    if (arguments.size() >= 2) {
        return {SetupMode::None, false};
    }
    if (arguments.size() == 1) {
        if (arguments[0] == "/inst") {
            return {SetupMode::Install, true};
        }
        if (arguments[0] == "/uninst") {
            return {SetupMode::Uninstall, true};
        }
    }
    // Installed means exactly: the IME file is in the system directory under its own name.
    return {imeFileInstalled() ? SetupMode::Uninstall : SetupMode::Install, false};
}
