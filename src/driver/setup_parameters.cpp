// The parameter file: section "ImePram", keys "ImeFile", "MbFile", "ImeName".
// Whatever the reader does not find comes back as "0" and is refused below.
#include "driver/setup_parameters.h"

#include "support/helpers.h"

namespace {

std::string ReadParameter(const SetupContext& context, const char* key)
{
    return ReadIniString(SetupLogSection, key, AbsentValue, context.ParamFilePath);
}

}  // namespace

SetupParameterCheck CheckSetupParameters(SetupContext& context)
{
    const std::string directory = CurrentDirectory();
    if (directory.empty()) {
        // No directory to look in: never read setup.log from the drive's root.
        return SetupParameterCheck::NoCurrentDirectory;
    }
    // Joined as plain text: the directory's last character is not examined.
    context.ParamFilePath = directory + "\\" + SetupLogName;
    if (!FileExistsAt(context.ParamFilePath)) {
        return SetupParameterCheck::NoSetupLog;
    }

    // A missing file key arrives as "0", looked up as a file named 0.
    context.ImeFileName = ReadParameter(context, ImeFileKey);
    if (!FileExistsAt(context.ImeFileName)) {
        return SetupParameterCheck::ImeFileNotFound;
    }
    context.MbFileName = ReadParameter(context, MbFileKey);
    if (!FileExistsAt(context.MbFileName)) {
        return SetupParameterCheck::MbFileNotFound;
    }

    context.ImeDisplayName = ReadParameter(context, ImeNameKey);
    if (context.ImeDisplayName == AbsentValue) {
        return SetupParameterCheck::NameIsZero;
    }
    if (context.ImeDisplayName.empty()) {
        return SetupParameterCheck::NameIsEmpty;
    }
    return SetupParameterCheck::Passed;
}

bool ReadSetupParameters(SetupContext& context)
{
    return CheckSetupParameters(context) == SetupParameterCheck::Passed;
}
