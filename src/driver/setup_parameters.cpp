// The parameter file: section "ImePram", keys "ImeFile", "MbFile", "ImeName".
// Whatever the reader does not find comes back as "0" and is refused below.
#include "driver/setup_parameters.h"

#include "support/helpers.h"

namespace {

constexpr char kParamFileName[] = "\\setup.log";
constexpr char kSection[] = "ImePram";
constexpr char kAbsent[] = "0";

std::string ReadParameter(const SetupContext& context, const char* key)
{
    return ReadIniString(kSection, key, kAbsent, context.ParamFilePath);
}

}  // namespace

bool ReadSetupParameters(SetupContext& context)
{
    const std::string directory = CurrentDirectory();
    if (directory.empty()) {
        return false;  // no directory to look in: never read setup.log from the drive's root
    }
    // Joined as plain text: the directory's last character is not examined.
    context.ParamFilePath = directory + kParamFileName;
    if (!FileExistsAt(context.ParamFilePath)) {
        return false;
    }

    // A missing file key arrives as "0", looked up as a file named 0.
    context.ImeFileName = ReadParameter(context, "ImeFile");
    if (!FileExistsAt(context.ImeFileName)) {
        return false;
    }
    context.MbFileName = ReadParameter(context, "MbFile");
    if (!FileExistsAt(context.MbFileName)) {
        return false;
    }

    context.ImeDisplayName = ReadParameter(context, "ImeName");
    if (context.ImeDisplayName == kAbsent) {
        return false;
    }
    return !context.ImeDisplayName.empty();
}
