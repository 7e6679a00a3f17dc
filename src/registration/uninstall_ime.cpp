// Uninstallation: the layout handle from the input method manager, the preload
// entry, the loaded layout, the user's own list of input methods, the layout's
// key, then both files, in this order.
// Each registry key object lives for its own step only.
#include <cstdint>
#include <string>

#include "platform/win32.h"
#include "registration/guarded_step.h"
#include "registration/layout_list_access.h"
#include "registration/outcome_texts.h"
#include "registration/registration.h"
#include "registration/registry_locations.h"
#include "registration/user_input_list.h"
#include "support/helpers.h"

namespace {

// The eight-character key name of the layout: blank-filled, upper-case hex.
std::string HklTextOf(HKL layout)
{
    const auto value = static_cast<std::int32_t>(reinterpret_cast<std::uintptr_t>(layout));
    return UpperCaseAscii(IntToHex8(value));
}

// Removes the layout's key with everything below it. False when the key cannot
// be opened or cannot be erased: either way it is still registered.
bool EraseLayoutKey(const std::string& HklText)
{
    const std::string path = RegistryLocations::LayoutList + HklText;
    MyRegistry::TRegistry layouts;
    layouts.SelectRoot(HKEY_LOCAL_MACHINE);
    if (!layouts.OpenKey(path, false)) {
        return false;
    }
    return layouts.EraseKey(path);
}

// Empty when both files are gone. The MB file is not tried when the IME file
// stays, so a later run still finds the IME and can finish the removal.
std::string DeleteInstalledFiles(const SetupContext& context)
{
    return RunGuardedStep(OutcomeTexts::FilesLocked, [&context]() -> std::string {
        if (!DeleteFileA(context.InstalledImePath.c_str()) || !DeleteFileA(context.InstalledMbPath.c_str())) {
            return OutcomeTexts::FilesLocked;
        }
        return std::string();
    });
}

}  // namespace

std::string UninstallIme(const SetupContext& context, bool /*ExplicitRequest: both modes remove alike*/)
{
    if (!FileExistsAt(context.InstalledImePath) || !FileExistsAt(context.InstalledMbPath)) {
        return OutcomeTexts::NotInstalled;
    }
    if (!MayChangeLayoutList()) {
        return OutcomeTexts::InstallNoRights;
    }

    const HKL layout = ImmInstallIMEA(context.InstalledImePath.c_str(), context.ImeDisplayName.c_str());
    if (layout == nullptr) {
        return OutcomeTexts::HklNotFound;
    }
    const std::string HklText = HklTextOf(layout);

    bool found = false;
    {
        MyRegistry::TRegistry preload;
        preload.SelectRoot(HKEY_CURRENT_USER);
        if (!preload.OpenKey(RegistryLocations::Preload, false)) {
            return OutcomeTexts::PreloadOpenFailed;
        }
        found = RemoveFromPreload(preload, HklText);
    }

    // A layout that no preload entry names is not unloaded.
    if (found && !UnloadKeyboardLayout(layout)) {
        return OutcomeTexts::UnregisterFailed;
    }

    // Windows 8 and later keep the user's own list beside the preload list;
    // an entry left there for an erased layout shows as unusable.
    TakeOutOfUserInputList(context.SystemDirectory, layout);

    if (!EraseLayoutKey(HklText)) {
        return OutcomeTexts::UnregisterFailed;
    }

    const std::string deleteFailure = DeleteInstalledFiles(context);
    if (!deleteFailure.empty()) {
        return deleteFailure;
    }
    return OutcomeTexts::UninstallSucceeded;
}
