#include "driver/system_directory.h"

#include "platform/win32.h"
#include "support/platform_text.h"

std::string QuerySystemDirectory()
{
    return QueryPlatformText(MAX_PATH, [](char* buffer, std::size_t size) {
        return GetSystemDirectoryA(buffer, static_cast<UINT>(size));
    });
}

std::string InstalledPath(const std::string& directory, const std::string& name)
{
    return directory + "\\" + name;
}

bool FillInstalledPaths(SetupContext& context)
{
    context.SystemDirectory = QuerySystemDirectory();
    if (context.SystemDirectory.empty()) {
        return false;
    }
    context.InstalledImePath = InstalledPath(context.SystemDirectory, context.ImeFileName);
    context.InstalledMbPath = InstalledPath(context.SystemDirectory, context.MbFileName);
    return true;
}
