#include "package_checker/twin_image.h"

#include "platform/win32.h"
#include "support/helpers.h"
#include "support/unique_handle.h"

namespace {

// The headers sit at the start; a larger first page is not needed to tell the machine.
constexpr DWORD kHeaderBytes = 64 * 1024;

std::optional<std::string> ReadStart(const std::string& path)
{
    const UniqueFileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    std::string bytes(kHeaderBytes, '\0');
    DWORD read = 0;
    if (!ReadFile(file.get(), &bytes[0], kHeaderBytes, &read, nullptr)) return std::nullopt;
    bytes.resize(read);
    return bytes;
}

std::string Parent(const std::string& path)
{
    const size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace

std::optional<TwinImage> LookForTwin(const std::string& systemDirectory, const std::string& title,
                                     PeMachine imeMachine)
{
    if (systemDirectory.empty() || title.empty() || (imeMachine != PeMachine::X86 && !Is64BitMachine(imeMachine)))
        return std::nullopt;
    TwinImage twin;
    BOOL wow64 = FALSE;
    if (!IsWow64Process(GetCurrentProcess(), &wow64)) return std::nullopt;
    char buffer[MAX_PATH + 1] = "";
    const UINT length = GetSystemWow64DirectoryA(buffer, MAX_PATH + 1);
    const std::string wow64Directory = length > 0 && length <= MAX_PATH ? std::string(buffer, length) : "";
    twin.Windows64 = wow64 || !wow64Directory.empty();
    if (!twin.Windows64) return twin;

    if (imeMachine == PeMachine::X86) {
        // The 64-bit twin in System32: from a 32-bit process through Sysnative.
        twin.ShownDirectory = systemDirectory;
        twin.OtherDirectory = wow64 ? Parent(systemDirectory) + "\\Sysnative" : systemDirectory;
    } else {
        // The 32-bit twin in SysWOW64, which a 64-bit process names as it is.
        if (wow64Directory.empty()) return std::nullopt;
        twin.ShownDirectory = wow64Directory;
        twin.OtherDirectory = wow64 ? systemDirectory : wow64Directory;
    }
    const std::string path = twin.OtherDirectory + "\\" + title;
    twin.Found = FileExistsAt(path);
    if (twin.Found) {
        if (const std::optional<std::string> bytes = ReadStart(path)) twin.Headers = ReadPeHeaders(*bytes);
    }
    return twin;
}

bool Is64BitMachine(PeMachine machine)
{
    return machine == PeMachine::X64 || machine == PeMachine::Arm64;
}
