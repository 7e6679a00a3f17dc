// The mode table: which operation the command line asks for.
#pragma once

#include <functional>
#include <string>
#include <vector>

enum class SetupMode { None, Install, Uninstall };

struct SetupChoice {
    SetupMode Mode = SetupMode::None;  // None: the run ends without a word
    bool ExplicitRequest = false;      // the command line named the operation
};

// Rows, first fit wins: two or more arguments -> None; "/inst" -> Install,
// explicit; "/uninst" -> Uninstall, explicit; otherwise (no argument or any
// other one) Uninstall when imeFileInstalled() is true, else Install, neither
// explicit. Arguments are compared byte for byte. imeFileInstalled is asked
// only when the arguments leave the choice to it.
SetupChoice ChooseSetupMode(const std::vector<std::string>& arguments, const std::function<bool()>& imeFileInstalled);
