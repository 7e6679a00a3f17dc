#include "package_checker/checker.h"

#include <vector>

#include "driver/command_line.h"
#include "package_checker/checker_options.h"
#include "package_checker/package_report.h"
#include "package_checker/report_json.h"
#include "package_checker/wide_folder.h"

namespace {

constexpr char kUsage[] =
    "用法：imecheck.exe [--format text|json] [--lang zh|en] [--ignore 代码[,代码...]] [文件夹]\n"
    "     检查文件夹（默认为当前目录）中的输入法安装包：imesetup.exe 在那里会做什么，"
    "以及会让安装包在用户机器上出错的问题。不做任何更改。\n"
    "Usage: imecheck.exe [--format text|json] [--lang zh|en] [--ignore CODE[,CODE...]] [FOLDER]\n"
    "     Checks the IME package in FOLDER (by default the current directory): what imesetup.exe would do there, "
    "and what would make the package go wrong on a user's machine. Changes nothing.\n"
    "退出状态 / Exit status: 0 imesetup.exe 会执行操作，没有发现问题 / would run an operation, no problem found; "
    "1 会执行操作，但发现了问题 / would run one, problems found; 2 会不显示任何消息而结束 / would end without a "
    "message; 3 命令行有误 / bad command line.\n";

int BadCommandLine(const ParsedOptions& parsed, const ReportWriter& write, const ReportWriter& writeJson)
{
    if (parsed.Options.Format == ReportFormat::Json) {
        writeJson(JsonCommandLineError(*parsed.Error, parsed.Options));
    } else {
        const Bilingual error = RenderBoth(*parsed.Error);
        write("[--] " + error.Chinese + "\n     " + error.English + "\n\n" + kUsage);
    }
    return CheckerBadCommandLine;
}

}  // namespace

int RunChecker(const std::string& commandLine, const ReportWriter& write, const ReportWriter& writeJson)
{
    const ReportWriter& json = writeJson ? writeJson : write;
    std::vector<std::string> arguments = SplitUtf8CommandLine(commandLine);
    ParsedOptions parsed = ParseCheckerOptions(arguments);
    if (parsed.Error) return BadCommandLine(parsed, write, json);
    // Where imesetup.exe would be started: its current directory is the
    // package. A folder whose name the ANSI code page cannot hold is entered
    // all the same, to tell why imesetup.exe cannot work there.
    const std::vector<std::string>& folders = parsed.Options.Folders;
    if (folders.size() == 1 && !EnterFolder(folders[0])) {
        parsed.Error = Statement{FindingCode::CannotOpenFolder, {TextValue("folder", ShownUtf8Text(folders[0]))}};
        return BadCommandLine(parsed, write, json);
    }
    const PackageVerdict verdict = JudgePackage(GatherPackageFacts(), parsed.Options.Ignored);
    if (parsed.Options.Format == ReportFormat::Json) {
        json(JsonReport(verdict, parsed.Options));
    } else {
        write(PackageReport(verdict, parsed.Options));
    }
    return verdict.ExitStatus;
}
