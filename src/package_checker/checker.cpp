#include "package_checker/checker.h"

#include <vector>

#include "driver/command_line.h"
#include "package_checker/package_report.h"
#include "package_checker/text_forms.h"
#include "package_checker/wide_folder.h"

namespace {

// A command-line argument as the report shows it.
std::string ShownUtf8Text(const std::string& argument)
{
    return DecodeCodePage(Utf8CodePage, argument, false).value_or(argument);
}

constexpr char kUsage[] =
    "用法：imecheck.exe [文件夹]\n"
    "     检查文件夹（默认为当前目录）中的输入法安装包：imesetup.exe 在那里会做什么，"
    "以及会让安装包在用户机器上出错的问题。不做任何更改。\n"
    "Usage: imecheck.exe [FOLDER]\n"
    "     Checks the IME package in FOLDER (by default the current directory): what imesetup.exe would do there, "
    "and what would make the package go wrong on a user's machine. Changes nothing.\n"
    "退出状态 / Exit status: 0 imesetup.exe 会执行操作，没有发现问题 / would run an operation, no problem found; "
    "1 会执行操作，但发现了问题 / would run one, problems found; 2 会不显示任何消息而结束 / would end without a "
    "message; 3 命令行有误 / bad command line.\n";

// An argument that starts like an option: the checker has none.
bool IsOption(const std::string& argument)
{
    return argument[0] == '/' || argument[0] == '-';
}

int BadCommandLine(const ReportWriter& write, const std::string& chinese, const std::string& english)
{
    write("[--] " + chinese + "\n     " + english + "\n\n" + kUsage);
    return CheckerBadCommandLine;
}

}  // namespace

int RunChecker(const std::string& commandLine, const ReportWriter& write)
{
    const std::vector<std::string> arguments = SplitUtf8CommandLine(commandLine);
    for (const std::string& argument : arguments) {
        if (IsOption(argument)) {
            const std::string shown = ShownUtf8Text(argument);
            return BadCommandLine(write, "未知选项：" + shown, "Unknown option: " + shown);
        }
    }
    if (arguments.size() > 1) {
        return BadCommandLine(write, "只能指定一个文件夹。", "Give one folder at most.");
    }
    // Where imesetup.exe would be started: its current directory is the
    // package. A folder whose name the ANSI code page cannot hold is entered
    // all the same, to tell why imesetup.exe cannot work there.
    if (arguments.size() == 1 && !EnterFolder(arguments[0])) {
        const std::string shown = ShownUtf8Text(arguments[0]);
        return BadCommandLine(write, "无法打开文件夹 " + shown, "Cannot open the folder " + shown);
    }
    const PackageVerdict verdict = JudgePackage(GatherPackageFacts());
    write(PackageReport(verdict));
    return verdict.ExitStatus;
}
