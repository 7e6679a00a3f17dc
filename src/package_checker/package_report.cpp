#include "package_checker/package_report.h"

#include <utility>

#include "package_checker/language_names.h"
#include "package_checker/setup_log_encoding.h"
#include "package_checker/text_forms.h"
#include "package_checker/user_input_list_findings.h"
#include "registration/outcome_texts.h"

namespace {

// Each statement as a mark and two lines: Chinese, then English below it.
//   [ok] passed   [--] imesetup.exe stops here   [!!] a problem   [..] information
class ReportText {
public:
    void Heading(const std::string& chinese, const std::string& english)
    {
        text_ += "\n== " + chinese + " / " + english + " ==\n";
    }
    void Item(const char* mark, const std::string& chinese, const std::string& english)
    {
        text_ += std::string(mark) + " " + chinese + "\n     " + english + "\n";
    }
    void Item(const char* mark, const Bilingual& text) { Item(mark, text.Chinese, text.English); }
    void Line(const std::string& line) { text_ += line + "\n"; }
    const std::string& text() const { return text_; }

private:
    std::string text_;
};

constexpr char kPassed[] = "[ok]";
constexpr char kStops[] = "[--]";
constexpr char kProblem[] = "[!!]";
constexpr char kInformation[] = "[..]";

Bilingual EncodingName(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Ascii: return {"ASCII", "ASCII"};
    case TextEncoding::Ansi:
        return {"ANSI（代码页 936，或其他 ANSI 代码页）", "ANSI (code page 936, or another ANSI code page)"};
    case TextEncoding::AnsiOrUtf8:
        return {"ANSI（代码页 936）或无 BOM 的 UTF-8：字节按两种读法都有效",
                "ANSI (code page 936) or UTF-8 without a byte order mark: the bytes are valid read either way"};
    case TextEncoding::Utf8: return {"UTF-8（无 BOM）", "UTF-8 without a byte order mark"};
    case TextEncoding::Utf8WithMark: return {"带 BOM 的 UTF-8", "UTF-8 with a byte order mark"};
    case TextEncoding::Utf16LeWithMark: return {"带 BOM 的 UTF-16", "UTF-16 with a byte order mark"};
    case TextEncoding::Utf16BeWithMark: return {"带 BOM 的大端序 UTF-16", "big-endian UTF-16 with a byte order mark"};
    case TextEncoding::ZeroBytes: break;
    }
    return {"含零字节的文本", "text with zero bytes"};
}

Bilingual OutcomeText(const Prediction& prediction)
{
    const Bilingual& failure = prediction.Failure;
    const bool fails = !failure.English.empty();
    const Bilingual registration = fails ? Bilingual{"，但注册会失败：" + failure.Chinese,
                                                     ", and registration would fail: " + failure.English}
                                         : Bilingual{};
    switch (prediction.Outcome) {
    case RunOutcome::Install: return {"安装" + registration.Chinese, "install" + registration.English};
    case RunOutcome::AskBeforeReplacing:
        return {"先询问是否替换已安装的 IME 文件，再安装" + registration.Chinese,
                "ask before replacing the installed IME file, then install" + registration.English};
    case RunOutcome::InstallEndsLocked:
        return {"运行安装，而锁定检查立即结束它：" + prediction.Reason.Chinese + "，并显示下面的消息框：",
                "run the installation, whose lock test ends it at once: " + prediction.Reason.English +
                    ", with this box:" + BoxLines(OutcomeTexts::ImeFileLocked)};
    case RunOutcome::Remove:
        if (fails) {
            return {"卸载，但找不到布局：" + failure.Chinese, "remove, and finding the layout would fail: " +
                                                                failure.English};
        }
        return {"卸载", "remove"};
    case RunOutcome::RemoveEndsAtOnce:
        return {"运行卸载，而卸载立即以 \"" + NotInstalledText() + "\" 结束：" + prediction.Reason.Chinese,
                "run the removal, which ends at once with \"" + NotInstalledText() + "\": " +
                    prediction.Reason.English};
    case RunOutcome::RemoveCannotDelete: {
        const std::string locked = ShownOutcomeText(OutcomeTexts::FilesLocked);
        return {"卸载，但删除文件会失败，以 \"" + locked + "\" 结束：" + prediction.Reason.Chinese,
                "remove, and deleting the files would fail with \"" + locked + "\": " + prediction.Reason.English};
    }
    case RunOutcome::EndSilently: break;
    }
    return {"不显示任何消息而结束：" + prediction.Reason.Chinese,
            "end without a message: " + prediction.Reason.English};
}

const char* BuildName()
{
    return sizeof(void*) == 8 ? "x64" : "x86";
}

void Introduction(const PackageFacts& facts, ReportText& report)
{
    const std::string folder = DecodeCodePage(Utf8CodePage, facts.Folder, false).value_or(facts.Folder);
    report.Item(kInformation, "检查文件夹 " + folder + " 中的输入法安装包，不做任何更改。",
                "Checking the IME package in the folder " + folder + "; nothing is changed.");
    const std::string build = BuildName();
    report.Item(kInformation,
                "这是 " + build + " 版的检查程序：它看到的系统目录与 " + build + " 版 imesetup.exe 相同。",
                "This is the " + build + " checker: it sees the system directory as the " + build +
                    " imesetup.exe does.");
    if (facts.CodePage != ChineseCodePage) {
        const std::string page = std::to_string(facts.CodePage);
        report.Item(kInformation,
                    "本机的 ANSI 代码页是 " + page + "，不是 936：imesetup.exe 在这台机器上按代码页 " + page +
                        " 读取 setup.log 的字节；下面的值按代码页 936（中文系统）显示。",
                    "This machine's ANSI code page is " + page + ", not 936: here imesetup.exe reads setup.log's "
                    "bytes in code page " + page + "; the values below are shown as code page 936 (a Chinese "
                    "system) reads them.");
    }
}

// One key: its value, and whether the setup program accepts it.
void KeyItem(const ParameterReading& reading, bool fileKey, ReportText& report)
{
    if (!reading.Read) return;
    std::string shown = std::string(reading.Key) + " = " + ShownGbkValue(reading.Value);
    std::string shownEnglish = shown;
    if (!reading.InSection) {
        const Bilingual missing = DescribeMissingKey(reading);
        shown = missing.Chinese + "，读作 \"0\"";
        shownEnglish = missing.English + ", read as \"0\"";
    }
    Bilingual verdict;
    bool accepted = false;
    if (fileKey) {
        verdict = DescribeLookup(reading.Lookup);
        accepted = reading.Lookup.Result == FileLookup::Found;
    } else if (reading.Value == AbsentValue) {
        verdict = {"不可用（\"0\" 表示缺少这个键）", "refused (\"0\" stands for a missing key)"};
    } else if (reading.Value.empty()) {
        verdict = {"空名称不可用", "an empty name is refused"};
    } else {
        verdict = {"可用", "accepted"};
        accepted = true;
    }
    if (!reading.ReadByProgram) {
        report.Item(kInformation, shown + "：" + verdict.Chinese + "（imesetup.exe 不会读到这里）",
                    shownEnglish + ": " + verdict.English + " (imesetup.exe stops before this key)");
        return;
    }
    report.Item(accepted ? kPassed : kStops, shown + "：" + verdict.Chinese, shownEnglish + ": " + verdict.English);
}

// Bytes valid both ways where either reading could be meant: each value
// beyond ASCII as imesetup.exe reads it and as UTF-8 reads it.
void BothReadings(const std::string& bytes, ReportText& report)
{
    std::string chinese;
    std::string english;
    for (const char* key : {ImeFileKey, MbFileKey, ImeNameKey}) {
        const std::optional<std::string> value = ValueInFile(bytes, key);
        if (!value || IsAscii(*value)) continue;
        const std::string gbk = ShownGbkValue(*value);
        const std::string utf8 = "\"" + DecodeCodePage(Utf8CodePage, *value, false).value_or("") + "\"";
        chinese += std::string("；") + key + "：按代码页 936 读作 " + gbk + "，按 UTF-8 读作 " + utf8;
        english += std::string("; ") + key + ": " + gbk + " in code page 936, " + utf8 + " in UTF-8";
    }
    report.Item(kInformation,
                "imesetup.exe 在中文系统上按代码页 936 读取这些字节" + chinese +
                    "。如果本意是 UTF-8 的读法，请把 setup.log 另存为 ANSI（代码页 936）。",
                "imesetup.exe reads these bytes in code page 936 on a Chinese system" + english +
                    ". If the UTF-8 reading was meant, save setup.log as ANSI (code page 936).");
}

void OwnChecks(const PackageVerdict& verdict, ReportText& report)
{
    const PackageFacts& facts = verdict.Facts;
    report.Heading("imesetup.exe 自己的检查", "imesetup.exe's own checks");
    if (facts.Check == SetupParameterCheck::NoCurrentDirectory) {
        report.Item(kStops, "无法读取当前目录。", "The current directory cannot be read.");
        return;
    }
    if (facts.SetupLog.Result != FileLookup::Found) {
        // Not found where imesetup.exe looks, which for a folder the code page
        // cannot name is another folder.
        const Bilingual why = facts.FolderOutsideCodePage ? verdict.WithoutArgument.Reason : DescribeLookup(facts.SetupLog);
        report.Item(kStops, "setup.log：" + why.Chinese, "setup.log: " + why.English);
        return;
    }
    report.Item(kPassed, "找到 setup.log", "setup.log found");
    if (facts.SetupLogBytes) {
        const TextEncoding detected = DetectTextEncoding(*facts.SetupLogBytes);
        const Bilingual encoding = EncodingName(detected);
        report.Item(kInformation, "编码：" + encoding.Chinese, "Encoding: " + encoding.English);
        if (detected == TextEncoding::AnsiOrUtf8) BothReadings(*facts.SetupLogBytes, report);
    } else {
        report.Item(kInformation, "setup.log 无法读取，未检查其编码。", "setup.log could not be read; its encoding "
                                                                       "was not checked.");
    }
    KeyItem(facts.ImeFile, true, report);
    KeyItem(facts.MbFile, true, report);
    KeyItem(facts.ImeName, false, report);
}

void OnThisMachine(const PackageVerdict& verdict, ReportText& report)
{
    const PackageFacts& facts = verdict.Facts;
    report.Heading("在这台机器上", "On this machine");
    if (facts.SystemDirectory.empty()) {
        report.Item(kStops, "无法读取系统目录。", "The system directory cannot be read.");
    } else {
        const std::string directory = ShownMachineText(facts.SystemDirectory);
        report.Item(kInformation, "系统目录：" + directory, "System directory: " + directory);
    }
    if (!facts.Wow64FilesDirectory.empty()) {
        const std::string folder = ShownMachineText(facts.Wow64FilesDirectory);
        report.Item(kInformation,
                    "这个 32 位检查程序在 64 位 Windows 上运行（WoW64）：32 位 imesetup.exe 放进系统目录的文件实际落在 " +
                        folder + "，下面系统目录中的路径都指向那里。",
                    "This 32-bit checker runs on 64-bit Windows (WoW64): what the 32-bit imesetup.exe puts in the "
                    "system directory lands in " + folder + ", and the system directory's paths below lead there.");
    }
    if (facts.PathsFilled) {
        const std::string path = ShownMachineText(facts.Context.InstalledImePath);
        report.Item(kInformation, "已安装的 IME 文件 " + path + (facts.ImeInstalled ? "：存在" : "：不存在"),
                    "Installed IME file " + path + (facts.ImeInstalled ? ": present" : ": absent"));
    }
    const struct {
        const char* chinese;
        const char* english;
        const Prediction& prediction;
    } runs[] = {
        {"不带参数", "Without an argument", verdict.WithoutArgument},
        {"/inst", "/inst", verdict.WithInst},
        {"/uninst", "/uninst", verdict.WithUninst},
    };
    for (const auto& run : runs) {
        const Bilingual outcome = OutcomeText(run.prediction);
        report.Item(kInformation, std::string(run.chinese) + "：imesetup.exe 会" + outcome.Chinese,
                    std::string(run.english) + ": imesetup.exe would " + outcome.English);
    }
    for (const Bilingual& note : verdict.InputListNotes) report.Item(kInformation, note);
}

// The IME file's version information, the layout it would get, its signature.
void VersionItems(const PackageFacts& facts, ReportText& report)
{
    const PeVersionInfo& version = facts.ImeVersion;
    if (version.Resource == PeVersionResource::Present && version.HasFixedInfo) {
        const std::string type = "FILETYPE " + std::to_string(version.FileType);
        const std::string subtype = "FILESUBTYPE " + std::to_string(version.FileSubtype);
        report.Item(kInformation, "IME 文件的版本资源：" + type + "，" + subtype,
                    "The IME file's version resource: " + type + ", " + subtype);
    }
    if (version.Translation) {
        const std::string digits = LanguageDigits(version.Translation->Language);
        const Bilingual name = LanguageName(version.Translation->Language);
        const std::string page = std::to_string(version.Translation->CodePage);
        report.Item(kInformation, "第一个翻译：语言 " + digits + " " + name.Chinese + "，代码页 " + page,
                    "First translation: language " + digits + " (" + name.English + "), code page " + page);
    }
    const std::optional<RegistrationForecast> forecast = ForecastInstallation(facts);
    if (forecast && !forecast->Refused) {
        const std::string digits = LanguageDigits(forecast->Language);
        const Bilingual name = LanguageName(forecast->Language);
        if (forecast->ExistingLayout.empty()) {
            report.Item(kInformation, "注册后布局的语言：" + digits + " " + name.Chinese + "（键 E0NN" + digits + "）",
                        "The layout's language once registered: " + digits + " (" + name.English + "), its key E0NN" +
                            digits);
        } else {
            report.Item(kInformation, "IME 文件已注册为布局 " + forecast->ExistingLayout + "，语言 " + digits + " " +
                                          name.Chinese + "：注册时会得到这个布局",
                        "The IME file is already registered as layout " + forecast->ExistingLayout + ", language " +
                            digits + " (" + name.English + "): registering it gives that layout");
        }
    }
    if (facts.ImeSigned) {
        report.Item(kInformation, "IME 文件带有 Authenticode 签名（这里不检查签名是否有效）。",
                    "The IME file carries an Authenticode signature (whether it is valid is not checked here).");
    }
}

void ImeImage(const PackageFacts& facts, ReportText& report)
{
    if (facts.ImeFile.Lookup.Result != FileLookup::Found) return;
    if (!facts.ImeRead) {
        report.Item(kInformation, "IME 文件无法读取，未检查其内容。", "The IME file could not be read; its contents "
                                                                    "were not checked.");
        return;
    }
    if (!facts.ImeHeaders) return;  // a problem of its own
    const std::string machine = MachineName(*facts.ImeHeaders);
    if (facts.ImeHeaders->Machine == PeMachine::X86 || facts.ImeHeaders->Machine == PeMachine::X64) {
        report.Item(kInformation, "IME 文件是 " + machine + " 映像，需要 " + machine + " 版的 imesetup.exe。",
                    "The IME file is an " + machine + " image, for the " + machine + " build of imesetup.exe.");
    }
    VersionItems(facts, report);
    for (const SetupProgramFile& program : facts.SetupPrograms) {
        const std::string name = "\"" + ShownMachineText(program.Name) + "\"";
        const std::string build = program.Headers ? MachineName(*program.Headers) : "?";
        report.Item(kInformation, "文件夹中的安装程序 " + name + " 是 " + build + " 版。",
                    "The setup program " + name + " in the folder is the " + build + " build.");
    }
    if (facts.SetupPrograms.empty()) {
        report.Item(kInformation, "文件夹中没有 imesetup.exe（按版本信息查找，可能已改名）。",
                    "No imesetup.exe in the folder (looked for by its version information, whatever its name).");
    }
}

void FurtherChecks(const PackageVerdict& verdict, ReportText& report)
{
    report.Heading("安装包的其他检查", "Further checks of the package");
    ImeImage(verdict.Facts, report);
    for (const Bilingual& problem : verdict.Problems) report.Item(kProblem, problem);
    if (verdict.Problems.empty()) report.Item(kPassed, "没有发现其他问题。", "No further problems found.");
}

}  // namespace

PackageVerdict JudgePackage(PackageFacts facts)
{
    PackageVerdict verdict;
    verdict.WithoutArgument = PredictRun(facts, {});
    verdict.WithInst = PredictRun(facts, {"/inst"});
    verdict.WithUninst = PredictRun(facts, {"/uninst"});
    verdict.Problems = FindPackageProblems(facts);
    UserInputListFindings inputList = FindUserInputListFindings(facts);
    verdict.Problems.insert(verdict.Problems.end(), inputList.Problems.begin(), inputList.Problems.end());
    verdict.InputListNotes = std::move(inputList.Notes);
    verdict.ExitStatus = CheckerExitStatus(verdict.WithoutArgument, verdict.Problems.size());
    verdict.Facts = std::move(facts);
    return verdict;
}

std::string PackageReport(const PackageVerdict& verdict)
{
    ReportText report;
    Introduction(verdict.Facts, report);
    OwnChecks(verdict, report);
    OnThisMachine(verdict, report);
    FurtherChecks(verdict, report);
    report.Heading("结果", "Result");
    const std::string count = std::to_string(verdict.Problems.size());
    const std::string status = std::to_string(verdict.ExitStatus);
    report.Item(kInformation, "发现 " + count + " 个问题；退出状态 " + status + "。",
                count + " problem(s) found; exit status " + status + ".");
    report.Line(PredictionLine(verdict.WithoutArgument));
    return report.text();
}
