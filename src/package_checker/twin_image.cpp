#include "package_checker/twin_image.h"

#include "package_checker/text_forms.h"
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

bool Is64Bit(PeMachine machine) { return machine == PeMachine::X64 || machine == PeMachine::Arm64; }

std::string Parent(const std::string& path)
{
    const size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace

std::optional<TwinImage> LookForTwin(const std::string& systemDirectory, const std::string& title,
                                     PeMachine imeMachine)
{
    if (systemDirectory.empty() || title.empty() || (imeMachine != PeMachine::X86 && !Is64Bit(imeMachine)))
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

TwinFindings FindTwinFindings(const std::optional<TwinImage>& twin, const std::string& title, PeMachine imeMachine)
{
    TwinFindings findings;
    if (!twin || !twin->Windows64) return findings;
    const std::string name = ShownMachineText(title);
    const std::string folder = ShownMachineText(twin->ShownDirectory);
    // The twin is of the other bitness: 64-bit (x64, or ARM64 on ARM) for a 32-bit IME, x86 for a 64-bit one.
    const PeMachine twinMachine = twin->Headers ? twin->Headers->Machine : PeMachine::Other;
    if (imeMachine == PeMachine::X86 ? Is64Bit(twinMachine) : twinMachine == PeMachine::X86) return findings;
    const std::string whatIsThere =
        !twin->Found ? "" : twin->Headers ? " (" + MachineName(*twin->Headers) + ")" : " (no PE image)";
    const std::string whatIsThereChinese =
        !twin->Found ? "" : twin->Headers ? "（" + MachineName(*twin->Headers) + "）" : "（不是 PE 映像）";

    if (imeMachine == PeMachine::X86) {
        findings.Problems.push_back(
            {"IME 文件是 32 位（x86）映像，而这台 Windows 是 64 位的：64 位程序（大多数程序）从 " + folder +
                 " 加载 IME 文件，那里没有 64 位的 " + name + whatIsThereChinese +
                 "，输入法在这些程序中不能使用。请同时编译 x64 版的 IME，以同一文件名发布两个版本，各放一个包文件夹"
                 "（x64\\ 中放 x64 版 imesetup.exe 与 64 位 IME 文件，x86\\ 中放 x86 版与 32 位 IME 文件），"
                 "先运行 x64 包安装，再运行 x86 包。",
             "The IME file is a 32-bit (x86) image and this Windows is 64-bit: 64-bit programs, most of them, load "
             "IME files from " + folder + ", which holds no 64-bit " + name + whatIsThere +
                 ", so the input method will not work in them. Build the IME for x64 too and ship both builds under "
                 "this name, one package folder each (x64\\ with the x64 imesetup.exe and the 64-bit IME file, x86\\ "
                 "with the x86 one and the 32-bit IME file); install with the x64 package first, then the x86 one."});
    } else {
        findings.Notes.push_back(
            {"IME 文件是 64 位映像：32 位程序从 " + folder + " 加载 IME 文件，那里没有 32 位的 " + name +
                 whatIsThereChinese + "，输入法在 32 位程序中不能使用，除非 x86 包把 32 位版本也装到那里。",
             "The IME file is a 64-bit image: 32-bit programs load IME files from " + folder +
                 ", which holds no 32-bit " + name + whatIsThere +
                 ", so the input method will not work in 32-bit programs unless the x86 package installs the "
                 "32-bit build there as well."});
    }
    return findings;
}
