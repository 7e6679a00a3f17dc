#include "package_checker/package_findings.h"

#include <algorithm>

#include "driver/setup_mode.h"
#include "driver/system_directory.h"
#include "package_checker/file_names.h"
#include "package_checker/language_names.h"
#include "package_checker/setup_log_encoding.h"
#include "package_checker/text_forms.h"
#include "platform/win32.h"
#include "registration/outcome_texts.h"
#include "support/helpers.h"

namespace {

constexpr char kSaveAsAnsiChinese[] = "请把 setup.log 另存为 ANSI（代码页 936）。";
constexpr char kSaveAsAnsiEnglish[] = "Save setup.log as ANSI (code page 936).";

Prediction Silent(const std::string& chinese, const std::string& english)
{
    return {RunOutcome::EndSilently, {chinese, english}, {}};
}

bool ReadOnly(std::uint32_t attributes)
{
    return (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

bool Hidden(std::uint32_t attributes)
{
    return (attributes & FILE_ATTRIBUTE_HIDDEN) != 0;
}

// Which of the installed files are read-only.
Bilingual InstalledReadOnly(bool ime, bool mb)
{
    if (ime && mb) return {"已安装的 IME 文件和 MB 文件是只读文件", "the installed IME and MB files are read-only"};
    if (ime) return {"已安装的 IME 文件是只读文件", "the installed IME file is read-only"};
    return {"已安装的 MB 文件是只读文件", "the installed MB file is read-only"};
}

// Why the removal cannot delete an installed file: read-only, or kept by
// Windows Resource Protection (DeleteFileA is refused either way).
std::optional<Bilingual> Undeletable(const PackageFacts& facts)
{
    const bool ime = ReadOnly(facts.InstalledImeAttributes);
    const bool mb = ReadOnly(facts.InstalledMbAttributes);
    if (ime || mb) return InstalledReadOnly(ime, mb);
    if (facts.Installed.Ime.Protected) return Bilingual{"已安装的 IME 文件受 Windows 保护", "the installed IME file is protected by Windows"};
    if (facts.Installed.Mb.Protected) return Bilingual{"已安装的 MB 文件受 Windows 保护", "the installed MB file is protected by Windows"};
    return std::nullopt;
}

// The year of a local FILETIME (100 ns ticks since 1601), Gregorian.
int YearOf(std::uint64_t ticks)
{
    long long days = static_cast<long long>(ticks / (10000000ULL * 86400));
    int year = 1601;
    for (;;) {
        const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
        const int length = leap ? 366 : 365;
        if (days < length) return year;
        days -= length;
        ++year;
    }
}

// A last-write time that Windows has no MS-DOS form for, while the search
// found the file: after 2107 in local time (FileTimeToDosDateTime covers 1980
// to 2107; Wine wraps a later date round instead of failing).
bool AfterDosTime(const FileStampLookup& lookup)
{
    // A time before 1601 west of UTC wraps round to one far beyond any file's.
    constexpr std::uint64_t kYear30000 = 0x7FFFFFFFFFFFFFFFULL / 2;
    return lookup.LocalWriteTime < kYear30000 && YearOf(lookup.LocalWriteTime) > 2107;
}

// "ImeFile \"my.ime\" is a folder, not a file", or the key missing.
Bilingual FileReason(const ParameterReading& reading)
{
    if (!reading.InSection) {
        const Bilingual missing = DescribeMissingKey(reading);
        return {missing.Chinese + "（读作 \"0\"）", missing.English + " (read as \"0\")"};
    }
    const Bilingual why = DescribeLookup(reading.Lookup);
    const std::string shown = std::string(reading.Key) + " " + ShownGbkValue(reading.Value);
    return {shown + "：" + why.Chinese, shown + ": " + why.English};
}

Prediction ParameterStop(const PackageFacts& facts)
{
    switch (facts.Check) {
    case SetupParameterCheck::NoCurrentDirectory:
        return Silent("无法读取当前目录", "the current directory cannot be read");
    case SetupParameterCheck::NoSetupLog:
        if (facts.FolderOutsideCodePage) {
            const std::string page = std::to_string(facts.CodePage);
            return Silent("文件夹的路径中有本机 ANSI 代码页（" + page + "）没有的字符：GetCurrentDirectoryA 把它们作为 "
                          "\"?\" 交给 imesetup.exe，它就在一个不存在的文件夹里找 setup.log",
                          "the folder's path holds characters that this machine's ANSI code page (" + page +
                              ") lacks: GetCurrentDirectoryA hands them to imesetup.exe as \"?\", so it looks for "
                              "setup.log in a folder that does not exist");
        }
        if (facts.SetupLog.Result == FileLookup::Missing) {
            return Silent("文件夹中没有 setup.log", "no setup.log in the folder");
        }
        return Silent("setup.log " + DescribeLookup(facts.SetupLog).Chinese,
                      "setup.log " + DescribeLookup(facts.SetupLog).English);
    case SetupParameterCheck::ImeFileNotFound: {
        const Bilingual why = FileReason(facts.ImeFile);
        return Silent(why.Chinese, why.English);
    }
    case SetupParameterCheck::MbFileNotFound: {
        const Bilingual why = FileReason(facts.MbFile);
        return Silent(why.Chinese, why.English);
    }
    case SetupParameterCheck::NameIsZero:
        if (!facts.ImeName.InSection) {
            const Bilingual missing = DescribeMissingKey(facts.ImeName);
            return Silent(missing.Chinese, missing.English);
        }
        return Silent("ImeName 为 \"0\"", "ImeName is \"0\"");
    case SetupParameterCheck::NameIsEmpty:
        return Silent("ImeName 为空", "ImeName is empty");
    case SetupParameterCheck::Passed:
        break;
    }
    return Silent("无法读取系统目录", "the system directory cannot be read");
}

// ---- Encoding ----

std::string JoinedKeys(const std::vector<std::string>& keys, const char* separator)
{
    std::string joined;
    for (const std::string& key : keys) joined += (joined.empty() ? "" : separator) + key;
    return joined;
}

void ByteOrderMarkProblem(const std::string& bytes, std::vector<Bilingual>& problems)
{
    const std::vector<std::string> lost = KeysLostToByteOrderMark(bytes);
    const std::string intro =
        "setup.log 保存为带字节顺序标记（BOM）的 UTF-8。Windows 把标记的三个字节当作第一行的一部分";
    const std::string introEnglish =
        "setup.log is saved as UTF-8 with a byte order mark. Windows keeps the mark's three bytes as part of the "
        "first line";
    if (lost.empty()) {
        problems.push_back({intro + "；第一行不是 [ImePram] 节标题，没有键丢失，但 ANSI 文件中不应有这个标记。" +
                                kSaveAsAnsiChinese,
                            introEnglish + "; the first line is no [ImePram] header, so no key is lost, but the mark "
                                           "has no place in an ANSI file. " + kSaveAsAnsiEnglish});
        return;
    }
    problems.push_back(
        {intro + "，第一行上的节标题 [ImePram] 因此失效，这些键找不到：" + JoinedKeys(lost, "、") +
             "。imesetup.exe 在 Windows 上会不显示任何消息而结束（Wine 会跳过这个标记，在 Wine 下看不出问题）。" +
             kSaveAsAnsiChinese,
         introEnglish + ", which spoils the section header [ImePram] on it, and these keys are lost: " +
             JoinedKeys(lost, ", ") +
             ". On Windows imesetup.exe then ends without a message (Wine skips the mark: the package works under "
             "Wine). " + kSaveAsAnsiEnglish});
}

// Values written in UTF-8 reach the input method manager read as code page
// 936, and what is no character there is lost on the way. Keys that a byte
// order mark loses are not passed at all. Behind a mark Windows still reads
// the file byte for byte, where Wine converts it from UTF-8: what Windows
// passes is then the file's own bytes, not what this machine's reader gave.
void Utf8ValuesProblem(const PackageFacts& facts, const std::vector<std::string>& lostKeys, bool behindMark,
                       std::vector<Bilingual>& problems)
{
    std::string chinese;
    std::string english;
    for (const ParameterReading* reading : {&facts.ImeFile, &facts.MbFile, &facts.ImeName}) {
        if (!reading->Read || !reading->InSection) continue;
        if (std::find(lostKeys.begin(), lostKeys.end(), reading->Key) != lostKeys.end()) continue;
        const std::optional<std::string> written = ValueInFile(*facts.SetupLogBytes, reading->Key);
        if (!written || IsAscii(*written) || !IsUtf8(*written)) continue;
        const std::string passed = ShownGbkValue(behindMark ? *written : reading->Value);
        const std::string meant = "\"" + DecodeCodePage(Utf8CodePage, *written).value_or("") + "\"";
        chinese += std::string("；") + reading->Key + " 会作为 " + passed + " 传递，而本意是 " + meant;
        english += std::string("; ") + reading->Key + " is passed on as " + passed + ", where " + meant + " was meant";
    }
    if (english.empty()) return;
    problems.push_back({"setup.log 保存为 UTF-8。imesetup.exe 按系统的 ANSI 代码页逐字节读取它，"
                        "中文系统上即代码页 936" + chinese + "。" + kSaveAsAnsiChinese,
                        "setup.log is saved as UTF-8. imesetup.exe reads it byte for byte in the system's ANSI code "
                        "page, 936 on a Chinese system" + english + ". " + kSaveAsAnsiEnglish});
}

void EncodingProblems(const PackageFacts& facts, std::vector<Bilingual>& problems)
{
    if (!facts.SetupLogBytes) return;
    switch (DetectTextEncoding(*facts.SetupLogBytes)) {
    case TextEncoding::Utf8WithMark:
        ByteOrderMarkProblem(*facts.SetupLogBytes, problems);
        Utf8ValuesProblem(facts, KeysLostToByteOrderMark(*facts.SetupLogBytes), true, problems);
        break;
    case TextEncoding::Utf8:
        Utf8ValuesProblem(facts, {}, false, problems);
        break;
    case TextEncoding::Utf16LeWithMark:
        problems.push_back(
            {std::string("setup.log 保存为 UTF-16（带 BOM）。Windows 按 Unicode 读取它，再用系统的 ANSI "
                         "代码页转换每个值：该代码页没有的字符会变成问号（例如代码页不是 936 的系统上的中文名称）。") +
                 kSaveAsAnsiChinese,
             std::string("setup.log is saved as UTF-16 with a byte order mark. Windows reads it as Unicode and "
                         "converts each value through the system's ANSI code page: characters that code page lacks "
                         "become question marks (a Chinese name on a system whose code page is not 936). ") +
                 kSaveAsAnsiEnglish});
        break;
    case TextEncoding::Utf16BeWithMark:
        problems.push_back(
            {std::string("setup.log 保存为大端序 UTF-16（带 BOM）。Windows 的配置文件读取函数在其中什么也找不到（Wine "
                         "能读取），imesetup.exe 在 Windows 上会不显示任何消息而结束。") + kSaveAsAnsiChinese,
             std::string("setup.log is saved as big-endian UTF-16 with a byte order mark. Windows' profile reader "
                         "finds nothing in it (Wine reads it), so on Windows imesetup.exe ends without a message. ") +
                 kSaveAsAnsiEnglish});
        break;
    case TextEncoding::ZeroBytes:
        problems.push_back({std::string("setup.log 含有零字节，就像没有 BOM 的 UTF-16 文本；imesetup.exe 需要 ANSI "
                                        "文本。") + kSaveAsAnsiChinese,
                            std::string("setup.log holds zero bytes, as text saved as UTF-16 without a byte order "
                                        "mark does; imesetup.exe expects ANSI text. ") + kSaveAsAnsiEnglish});
        break;
    case TextEncoding::Ascii:
    case TextEncoding::Ansi:
    case TextEncoding::AnsiOrUtf8:  // both readings are shown with the encoding
        break;
    }
}

// ---- Where Windows differs from the machine the checker runs on ----

// Found here, but not on Windows: Wine gives a date after 2107 an MS-DOS form.
void WindowsTimeProblems(const PackageFacts& facts, std::vector<Bilingual>& problems)
{
    const struct {
        std::string name;
        const FileStampLookup& lookup;
    } files[] = {
        {"setup.log", facts.SetupLog},
        {std::string(ImeFileKey) + " " + ShownGbkValue(facts.ImeFile.Value), facts.ImeFile.Lookup},
        {std::string(MbFileKey) + " " + ShownGbkValue(facts.MbFile.Value), facts.MbFile.Lookup},
    };
    for (const auto& file : files) {
        if (file.lookup.Result != FileLookup::Found || !AfterDosTime(file.lookup)) continue;
        problems.push_back({file.name + " 的最后修改时间晚于 2107 年（本地时间）：在 Windows 上这个时间没有 MS-DOS 形式，"
                                        "文件被当作不存在，imesetup.exe 会不显示任何消息而结束（Wine 把日期回绕，"
                                        "在 Wine 下看不出问题）。请给文件一个当前的时间。",
                            file.name + " was last written after 2107 in local time: on Windows that time has no "
                                        "MS-DOS form, the file counts as missing and imesetup.exe ends without a "
                                        "message (Wine wraps the date round: the package works under Wine). Give "
                                        "the file a current time."});
    }
}

// ---- The file names ----

// A name with folder parts: where the installation puts the file, and for
// the IME file where the input method manager reads it instead.
Bilingual FolderPartsProblem(const PackageFacts& facts, const ParameterReading& reading, const std::string& key)
{
    const std::string installed = ShownMachineText(reading.InstalledPath);
    const std::string bare = "请只写文件名，并把文件放在 setup.log 旁边。";
    const std::string bareEnglish = "Give the bare file name and put the file beside setup.log.";
    const bool ime = reading.Key == std::string(ImeFileKey);
    if (reading.InstalledIsPackageFile && ime) {
        return {key + " 含有文件夹部分，安装路径 " + installed + " 就是安装包自己的这个文件：imesetup.exe 以为输入法已经"
                      "安装，不带参数时会卸载而不是安装（卸载若进行到删除文件，删除的是安装包自己的文件）；/inst 先询问"
                      "是否替换，再把文件复制到它自身上，复制失败。" + bare,
                key + " has folder parts, and its installed path " + installed + " is this package's own file: "
                      "imesetup.exe takes the IME for installed, so without an argument it removes instead of "
                      "installing (a removal that gets as far as deleting the files deletes the package's own), and "
                      "/inst asks before replacing it and then copies the file onto itself, which fails. " +
                      bareEnglish};
    }
    if (reading.InstalledIsPackageFile) {
        const std::string failure = "\"" + ShownMachineText(reading.Value) + OutcomeTexts::CopyErrorSuffix + "\"";
        return {key + " 含有文件夹部分，安装路径 " + installed + " 就是安装包自己的这个文件：安装时把文件复制到它自身上，"
                      "复制失败（" + failure + "）；卸载若进行到删除文件，删除的是安装包自己的文件。" + bare,
                key + " has folder parts, and its installed path " + installed + " is this package's own file: the "
                      "installation copies the file onto itself, which fails (" + failure + "), and a removal that "
                      "gets as far as deleting the files deletes the package's own. " + bareEnglish};
    }
    // The manager reads the IME file in the system directory, not the copy.
    const std::string manager = ShownMachineText(facts.ManagerImePath);
    const Bilingual managerReads =
        ime ? Bilingual{"输入法管理器只按文件名在系统目录本身中读取 IME 文件，即 " + manager + "，而不是这个副本。",
                        "The input method manager reads the IME file by its name in the system directory itself, as " +
                            manager + ", not this copy. "}
            : Bilingual{};
    if (reading.InstalledFolderExists && SameFolder(FolderPart(reading.InstalledPath), facts.SystemDirectory)) {
        return {key + " 含有文件夹部分。imesetup.exe 把它原样接在系统目录后面，安装到 " + installed +
                    "，绕了一圈仍是系统目录本身。" + bare,
                key + " has folder parts. imesetup.exe joins it to the system directory as it is and installs to " +
                    installed + ", the system directory itself by a roundabout path. " + bareEnglish};
    }
    if (reading.InstalledFolderExists) {
        return {key + " 含有文件夹部分。imesetup.exe 把它原样接在系统目录后面，安装到系统目录以外的 " + installed +
                    "。" + managerReads.Chinese + bare,
                key + " has folder parts. imesetup.exe joins it to the system directory as it is and installs to " +
                    installed + ", outside the system directory. " + managerReads.English + bareEnglish};
    }
    const Bilingual wereItThere =
        ime ? Bilingual{"即使那个文件夹存在，输入法管理器也只按文件名在系统目录本身中读取 IME 文件，即 " + manager +
                            "，而不是副本。",
                        "Were it there, the input method manager would still read the IME file by its name in the "
                        "system directory itself, as " + manager + ", not the copy. "}
            : Bilingual{};
    return {key + " 含有文件夹部分。imesetup.exe 把它原样接在系统目录后面，安装到 " + installed +
                "；这台机器上没有那个文件夹，复制就会失败。" + wereItThere.Chinese + bare,
            key + " has folder parts. imesetup.exe joins it to the system directory as it is and installs to " +
                installed + ": that folder does not exist on this machine, and the copy fails. " +
                wereItThere.English + bareEnglish};
}

// A read-only file: the copy carries the attribute, and DeleteFileA refuses
// the installed file. Where the registration fails, the copies stay behind
// and the removal ends before it even tries.
Bilingual ReadOnlyProblem(const PackageFacts& facts, const std::string& key)
{
    const std::string intro = key + " 是只读文件（FILE_ATTRIBUTE_READONLY）：复制会把这个属性带到系统目录中的文件上。";
    const std::string introEnglish = key + " is read-only (FILE_ATTRIBUTE_READONLY): the copy carries the attribute to "
                                           "the installed file in the system directory. ";
    const std::string clear = "请去掉只读属性。";
    const std::string clearEnglish = "Clear the read-only attribute.";
    const std::optional<RegistrationForecast> forecast = ForecastInstallation(facts);
    if (forecast && forecast->Refused) {
        const std::string noLayout = "\"" + ShownOutcomeText(OutcomeTexts::HklNotFound) + "\"";
        return {intro + "注册会失败（见最后一行），复制的文件留在系统目录中：卸载以 " + noLayout +
                    " 结束，而 DeleteFileA 本来也删不掉只读文件，imesetup.exe 永远无法卸载它。" + clear,
                introEnglish + "The registration would fail (see the last line) and leave the copies there: the "
                               "removal ends with " + noLayout + ", and DeleteFileA could not delete a read-only file "
                               "in any case, so imesetup.exe can never remove it. " + clearEnglish};
    }
    const std::string locked = "\"" + ShownOutcomeText(OutcomeTexts::FilesLocked) + "\"";
    return {intro + "安装能成功，但 DeleteFileA 删不掉只读文件，imesetup.exe 永远无法卸载它（卸载以 " + locked + " 结束）。" +
                clear,
            introEnglish + "The installation works, but DeleteFileA cannot delete a read-only file, so imesetup.exe can "
                           "never remove it (the removal ends with " + locked + "). " + clearEnglish};
}

// The installation's copies fail before the manager is called: a pattern, a
// folder that does not exist, the file copied onto itself, a path of
// MAX_PATH or more.
bool CopyFails(const ParameterReading& reading)
{
    return HoldsWildcard(reading.Value) || reading.InstalledIsPackageFile ||
           (HasDirectoryPart(reading.Value) && !reading.InstalledFolderExists) ||
           CharacterCount(reading.InstalledPath) >= MAX_PATH;
}

void FileNameProblems(const PackageFacts& facts, const ParameterReading& reading, std::vector<Bilingual>& problems)
{
    if (!reading.Read || !reading.InSection) return;
    const std::string key = std::string(reading.Key) + " " + ShownGbkValue(reading.Value);
    if (HasDirectoryPart(reading.Value) && !reading.InstalledPath.empty()) {
        problems.push_back(FolderPartsProblem(facts, reading, key));
    }
    if (HoldsWildcard(reading.Value)) {
        problems.push_back({key + " 含有文件搜索的通配符（*、?、<、> 或 \"）。imesetup.exe 的检查接受第一个匹配的文件，"
                                  "但复制需要真实的文件名，会失败。",
                            key + " holds a wildcard of the file search (*, ?, <, > or \"). imesetup.exe's check "
                                  "takes its first match, but the copy needs the file's real name and fails."});
    }
    const size_t length = CharacterCount(reading.InstalledPath);
    if (length >= MAX_PATH) {
        const std::string installed = ShownMachineText(reading.InstalledPath);
        const std::string count = std::to_string(length);
        const std::string failure = "\"" + ShownMachineText(reading.Value) + OutcomeTexts::CopyErrorSuffix + "\"";
        problems.push_back({key + " 使安装路径 " + installed + " 长达 " + count + " 个字符，达到或超过 MAX_PATH（260）："
                                  "imesetup.exe 的 ANSI 文件函数在 Windows 上到不了这样的路径，复制失败（" + failure +
                                  "）。（在 Wine 下复制会生成文件，但存在检查再也找不到它，于是每次运行都重新安装。）"
                                  "请用短一些的文件名。",
                            key + " makes the installed path " + installed + " " + count + " characters long, "
                                  "MAX_PATH (260) or more: on Windows the ANSI file calls of imesetup.exe do not "
                                  "reach such a path, and the copy fails (" + failure + "). (Under Wine the copy "
                                  "makes the file, but the presence test never finds it again, so every run installs "
                                  "once more.) Give a shorter name."});
    }
    if (reading.Lookup.Result == FileLookup::Found && Hidden(reading.Lookup.Attributes)) {
        const std::string failure = "\"" + ShownMachineText(reading.Value) + OutcomeTexts::CopyErrorSuffix + "\"";
        problems.push_back({key + " 是隐藏文件（FILE_ATTRIBUTE_HIDDEN）：复制会把这个属性带到系统目录中的文件上。第一次复制"
                                  "能成功，但 CopyFileA 不覆盖隐藏的文件，在 Windows 上重新安装（/inst）会复制失败（" +
                                  failure + "）。请去掉隐藏属性。",
                            key + " is hidden (FILE_ATTRIBUTE_HIDDEN): the copy carries the attribute to the installed "
                                  "file in the system directory. The first copy works, but CopyFileA does not "
                                  "overwrite a hidden file, so on Windows a reinstallation (/inst) fails to copy (" +
                                  failure + "). Clear the hidden attribute."});
    }
    if (reading.Lookup.Result == FileLookup::Found && ReadOnly(reading.Lookup.Attributes)) {
        problems.push_back(ReadOnlyProblem(facts, key));
    }
}

// Whether a removal would get as far as deleting the files: the manager
// must hand it a layout for the IME file installed now, or else for the one
// this package installs.
bool RemovalReachesTheFiles(const PackageFacts& facts)
{
    const std::optional<RegistrationForecast> forecast =
        facts.ImeInstalled ? ForecastRemoval(facts) : ForecastInstallation(facts);
    return !forecast || !forecast->Refused;
}

void SameFileProblem(const PackageFacts& facts, std::vector<Bilingual>& problems)
{
    if (!facts.ImeFile.InSection || !facts.MbFile.InSection || !NameOneFile(facts.ImeFile, facts.MbFile)) return;
    const std::string names = ShownGbkValue(facts.ImeFile.Value) +
                              (facts.ImeFile.Value == facts.MbFile.Value ? "" : " / " + ShownGbkValue(facts.MbFile.Value));
    const std::string intro = "ImeFile 和 MbFile 指向同一个文件 " + names + "：输入法没有自己的码表文件";
    const std::string introEnglish = "ImeFile and MbFile name the same file " + names +
                                     ": the input method gets no code table of its own";
    if (!RemovalReachesTheFiles(facts)) {
        problems.push_back({intro + "。（卸载若进行到删除文件，第二次删除会找不到文件而报告文件被锁定；这里输入法管理器会"
                                    "先使它失败，见上面的预测。）",
                            introEnglish + ". (A removal that got as far as deleting the files would find nothing the "
                                           "second time and report them as locked; here the input method manager "
                                           "stops it first, as predicted above.)"});
        return;
    }
    problems.push_back({intro + "，卸载时第二次删除找不到文件，结果报告文件被锁定。",
                        introEnglish + ", and the removal's second deletion finds nothing, so it reports the files as "
                                       "locked."});
}

// Installed files that a copy of a read-only or hidden file left so: the
// removal cannot delete a read-only one, /inst's lock test refuses a
// read-only IME file, and a copy onto either kind fails on Windows.
void InstalledFilesProblems(const PackageFacts& facts, std::vector<Bilingual>& problems)
{
    const struct {
        bool installed;
        std::uint32_t attributes;
        const std::string& path;
        const std::string& source;
        bool ime;
    } files[] = {
        {facts.ImeInstalled, facts.InstalledImeAttributes, facts.Context.InstalledImePath, facts.ImeFile.Value, true},
        {facts.MbInstalled, facts.InstalledMbAttributes, facts.Context.InstalledMbPath, facts.MbFile.Value, false},
    };
    const std::string locked = "\"" + ShownOutcomeText(OutcomeTexts::FilesLocked) + "\"";
    for (const auto& file : files) {
        const bool readOnly = ReadOnly(file.attributes);
        if (!file.installed || (!readOnly && !Hidden(file.attributes))) continue;
        const std::string copyFails = "\"" + ShownMachineText(file.source) + OutcomeTexts::CopyErrorSuffix + "\"";
        Bilingual effects;
        if (readOnly && file.ime) {
            effects = {"只读文件：/inst 的锁定检查以写方式打开它被拒绝，安装立即结束并显示输入法文件已被锁定的消息框（见上面的 "
                       "/inst）；DeleteFileA 删不掉它，卸载以 " + locked + " 结束。",
                       "read-only: /inst's lock test cannot open it for writing and ends the installation at once "
                       "with the box saying the IME file is locked (see /inst above), and DeleteFileA cannot delete "
                       "it, so the removal ends with " + locked + "."};
        } else if (readOnly) {
            effects = {"只读文件：CopyFileA 不覆盖它，安装时复制会失败（" + copyFails + "）；DeleteFileA 删不掉它，卸载以 " +
                           locked + " 结束。",
                       "read-only: CopyFileA does not overwrite it, so an installation's copy fails (" + copyFails +
                           "), and DeleteFileA cannot delete it, so the removal ends with " + locked + "."};
        } else {
            effects = {"隐藏文件：在 Windows 上 CopyFileA 不覆盖它，安装时复制会失败（" + copyFails + "；Wine 会覆盖它）。",
                       "hidden: on Windows CopyFileA does not overwrite it, so an installation's copy fails (" +
                           copyFails + "; Wine overwrites it)."};
        }
        const std::string path = ShownMachineText(file.path);
        const Bilingual kind = file.ime ? Bilingual{"IME 文件", "IME file"} : Bilingual{"MB 文件", "MB file"};
        problems.push_back({"已安装的 " + kind.Chinese + " " + path + " 是" + effects.Chinese +
                                "请去掉系统目录中这个文件的这个属性。",
                            "The installed " + kind.English + " " + path + " is " + effects.English +
                                " Clear that attribute of the file in the system directory."});
    }
}

// ---- The files themselves ----

void ImeImageProblems(const PackageFacts& facts, std::vector<Bilingual>& problems)
{
    if (!facts.ImeRead) return;
    if (!facts.ImeHeaders) {
        problems.push_back({"IME 文件不是 Windows 映像（PE 文件），任何程序都不能把它当作输入法加载。",
                            "The IME file is no Windows image (PE file): no program can load it as an input method."});
        return;
    }
    const PeHeaders& ime = *facts.ImeHeaders;
    const std::string machine = MachineName(ime);
    if (ime.Machine != PeMachine::X86 && ime.Machine != PeMachine::X64) {
        problems.push_back({"IME 文件是 " + machine + " 映像：没有与之匹配的 imesetup.exe（只有 x86 版和 x64 版）。",
                            "The IME file is an " + machine + " image: there is no imesetup.exe build for it (only "
                                                              "x86 and x64)."});
    }
    if (!ime.IsDll) {
        problems.push_back({"IME 文件是一个程序，不是 DLL：输入法管理器不能加载它。",
                            "The IME file is a program, not a DLL: the input method manager cannot load it."});
    }
    if (!facts.ImeExportsImeInquire) {
        problems.push_back({"IME 文件没有导出 ImeInquire（每个输入法模块都导出它）：输入法管理器不会接受它。",
                            "The IME file does not export ImeInquire, which every input method module exports: the "
                            "input method manager will not take it."});
    }
    for (const SetupProgramFile& program : facts.SetupPrograms) {
        if (!program.Headers || program.Headers->Machine == ime.Machine) continue;
        const std::string build = MachineName(*program.Headers);
        const std::string name = "\"" + ShownMachineText(program.Name) + "\"";
        problems.push_back({"文件夹中的安装程序 " + name + " 是 " + build + " 版，而 IME 文件是 " + machine +
                                " 映像：它会把文件装到只有 " + build + " 程序才会查找的位置，而它们无法加载该文件。"
                                "请随附 " + machine + " 版的 imesetup.exe。",
                            "The setup program " + name + " in the folder is the " + build +
                                " build, but the IME file is an " + machine + " image: it installs the file where "
                                "only " + build + " programs look for it, and they cannot load it. Ship the " +
                                machine + " build of imesetup.exe."});
    }
}

void RegistrationProblems(const PackageFacts& facts, std::vector<Bilingual>& problems)
{
    if (const std::optional<RegistrationForecast> install = ForecastInstallation(facts)) {
        if (install->Refused) {
            problems.push_back({"Windows 不会注册这个 IME 文件：" + install->Cause.Chinese +
                                    "。imesetup.exe 安装时会复制两个文件，然后显示下面的消息框：",
                                "Windows would not register the IME file: " + install->Cause.English +
                                    ". Installing, imesetup.exe would copy both files and then show this box:" +
                                    BoxLines(OutcomeTexts::ActivationFailed)});
        } else if (install->Language == NeutralLanguage) {
            problems.push_back({"IME 文件的第一个翻译是中性语言 (0000)：它的布局 E0NN0000 不属于任何语言，"
                                "Windows 不会把它列在中文之下。请在版本资源的 Translation 中写 0x0804。",
                                "The IME file's first translation is the neutral language (0000): its layout "
                                "E0NN0000 belongs to no language, and Windows does not list it under Chinese. Give "
                                "0x0804 in the version resource's Translation."});
        }
    }
    const std::optional<RegistrationForecast> removal = ForecastRemoval(facts);
    if (removal && removal->Refused) {
        const std::string path = ShownMachineText(facts.Context.InstalledImePath);
        problems.push_back({"已安装的 IME 文件 " + path + "：Windows 不会给出它的布局：" + removal->Cause.Chinese +
                                "。imesetup.exe 卸载时会显示下面的消息框，不做任何更改：",
                            "The installed IME file " + path + ": Windows would not give its layout: " +
                                removal->Cause.English +
                                ". Removing, imesetup.exe would show this box and change nothing:" +
                                BoxLines(OutcomeTexts::HklNotFound)});
    }
}

void SignatureProblem(const PackageFacts& facts, std::vector<Bilingual>& problems)
{
    if (!facts.ImeHeaders || facts.ImeSigned) return;
    problems.push_back({"IME 文件没有 Authenticode 签名。微软对第三方输入法的要求是签名，Windows 可能阻止未签名的"
                        "输入法。签名方法见指南（GUIDE.zh-CN.txt）的“签名”部分。",
                        "The IME file has no Authenticode signature. Microsoft's requirements for third-party IMEs "
                        "ask that they be signed, and Windows may block an unsigned IME. The guides (GUIDE.en.txt, "
                        "\"Signing\") say how to sign it."});
}

void FolderProblems(const PackageFacts& facts, std::vector<Bilingual>& problems)
{
    if (facts.MbSize && *facts.MbSize == 0) {
        problems.push_back({"MB 文件是空的（0 字节）：输入法没有码表可用。",
                            "The MB file is empty (0 bytes): the input method gets no code table."});
    }
    if (!facts.DllFiles.empty()) {
        std::vector<std::string> names;
        for (const std::string& name : facts.DllFiles) names.push_back(ShownMachineText(name));
        problems.push_back({"文件夹中有 DLL 文件：" + JoinedKeys(names, "、") +
                                "。安装包不需要任何 DLL；以管理员权限运行的 imesetup.exe 旁边的 DLL，正是它的 DLL "
                                "防护所要防范的。请从安装包中删除它们。",
                            "The folder holds DLL files: " + JoinedKeys(names, ", ") +
                                ". The package needs none; a DLL beside imesetup.exe, which runs with administrator "
                                "rights, is what its DLL defence guards against. Remove them from the package."});
    }
}

}  // namespace

Bilingual DescribeLookup(const FileStampLookup& lookup)
{
    switch (lookup.Result) {
    case FileLookup::Found:
        return {"找到文件", "file found"};
    case FileLookup::Missing:
        return {"找不到", "not found"};
    case FileLookup::Directory:
        return {"是文件夹，不是文件", "is a folder, not a file"};
    case FileLookup::WildcardDirectory:
        return {"含通配符，第一个匹配项是文件夹", "holds a wildcard whose first match is a folder"};
    case FileLookup::Device:
        return {"是设备名（如 CON、NUL），不是文件：文件搜索报告这个设备，但它没有任何时间，因此被当作不存在",
                "is a device name (such as CON or NUL), not a file: the file search reports the device with no "
                "time at all, so it counts as missing"};
    case FileLookup::NoDosTime:
        break;
    }
    if (AfterDosTime(lookup)) {
        return {"最后修改时间晚于 2107 年（本地时间），没有 MS-DOS 时间形式，因此被当作不存在",
                "its last-write time is after 2107 in local time and has no MS-DOS form, so it counts as missing"};
    }
    return {"最后修改时间早于 1980 年（本地时间），没有 MS-DOS 时间形式，因此被当作不存在",
            "its last-write time is before 1980 in local time and has no MS-DOS form, so it counts as missing"};
}

Bilingual DescribeMissingKey(const ParameterReading& reading)
{
    const std::string key = reading.Key;
    switch (reading.Place) {
    case KeyPlace::LaterSection:
        return {key + " 在 Windows 不读取的节中：后一个 [ImePram] 节（Windows 只读取第一个）",
                key + " is in a section Windows does not read: a later [ImePram] section (Windows reads the first "
                      "one only)"};
    case KeyPlace::SpoiltSection:
        return {key + " 在 Windows 不读取的节中：它的 [ImePram] 节标题在第一行，被字节顺序标记破坏",
                key + " is in a section Windows does not read: its [ImePram] header on the first line is spoilt by "
                      "the byte order mark"};
    case KeyPlace::FirstSection:
    case KeyPlace::Nowhere:
        break;
    }
    return {key + " 不在 [ImePram] 节中", key + " is not in section [ImePram]"};
}

std::string NotInstalledText()
{
    return ShownOutcomeText(OutcomeTexts::NotInstalled);
}

std::string ShownOutcomeText(const char* outcomeText)
{
    return DecodeCodePage(ChineseCodePage, outcomeText).value_or(outcomeText);
}

std::string BoxLines(const std::string& outcomeText)
{
    std::string lines;
    size_t start = 0;
    while (start <= outcomeText.size()) {
        size_t end = outcomeText.find("\r\n", start);
        if (end == std::string::npos) end = outcomeText.size();
        lines += "\n       | " +
                 DecodeCodePage(ChineseCodePage, outcomeText.substr(start, end - start), false).value_or("");
        start = end + 2;
    }
    return lines;
}

std::optional<RegistrationForecast> ForecastInstallation(const PackageFacts& facts)
{
    if (!facts.ImeRead || facts.ManagerImePath.empty() || CopyFails(facts.ImeFile) || CopyFails(facts.MbFile) ||
        facts.Installed.Ime.Protected || facts.Installed.Mb.Protected) {
        return std::nullopt;
    }
    // After the copy the manager reads the package's file, unless folder
    // parts put the copy elsewhere: then what the system directory holds.
    const std::optional<PeVersionInfo> read =
        facts.CopyIsManagerFile ? std::optional<PeVersionInfo>(facts.ImeVersion) : facts.ManagerImeVersion;
    if (!facts.CopyIsManagerFile && facts.ManagerImeFound && !read) return std::nullopt;  // there, but unreadable
    return ForecastRegistration(read, facts.ImeTitleCharacters, facts.ImeLayouts, ShownMachineText(facts.ManagerImePath));
}

std::optional<RegistrationForecast> ForecastRemoval(const PackageFacts& facts)
{
    // The removal asks for the layout only when both installed files are there.
    if (!facts.ImeInstalled || !facts.MbInstalled || facts.ManagerImePath.empty()) return std::nullopt;
    if (facts.ManagerImeFound && !facts.ManagerImeVersion) return std::nullopt;  // there, but unreadable
    return ForecastRegistration(facts.ManagerImeVersion, facts.ImeTitleCharacters, facts.ImeLayouts,
                                ShownMachineText(facts.ManagerImePath));
}

Prediction PredictRun(const PackageFacts& facts, const std::vector<std::string>& arguments)
{
    if (facts.Check != SetupParameterCheck::Passed || !facts.PathsFilled) return ParameterStop(facts);
    const SetupChoice choice = ChooseSetupMode(arguments, [&facts] { return facts.ImeInstalled; });
    Prediction prediction;
    std::optional<RegistrationForecast> forecast;
    switch (choice.Mode) {
    case SetupMode::Install:
        // Asked for, over an installed IME file: the lock test opens it for
        // writing, which a read-only file refuses; then the question.
        if (choice.ExplicitRequest && facts.ImeInstalled && ReadOnly(facts.InstalledImeAttributes)) {
            return {RunOutcome::InstallEndsLocked, InstalledReadOnly(true, false), {}};
        }
        if (choice.ExplicitRequest && facts.ImeInstalled && facts.Installed.Ime.Protected) {
            return {RunOutcome::InstallEndsLocked,
                    {"已安装的 IME 文件受 Windows 保护", "the installed IME file is protected by Windows"},
                    {}};
        }
        prediction.Outcome =
            choice.ExplicitRequest && facts.ImeInstalled ? RunOutcome::AskBeforeReplacing : RunOutcome::Install;
        forecast = ForecastInstallation(facts);
        break;
    case SetupMode::Uninstall:
        // The removal's first step: both installed files must be there.
        if (!facts.ImeInstalled && !facts.MbInstalled) {
            return {RunOutcome::RemoveEndsAtOnce, {"什么都没有安装", "nothing is installed"}, {}};
        }
        if (!facts.ImeInstalled) {
            return {RunOutcome::RemoveEndsAtOnce, {"IME 文件没有安装", "the IME file is not installed"}, {}};
        }
        if (!facts.MbInstalled) {
            return {RunOutcome::RemoveEndsAtOnce, {"MB 文件没有安装", "the MB file is not installed"}, {}};
        }
        prediction.Outcome = RunOutcome::Remove;
        forecast = ForecastRemoval(facts);
        // Given the layout, it takes it off the machine and then deletes the
        // files, which DeleteFileA refuses for a read-only one.
        if (const std::optional<Bilingual> why = Undeletable(facts); why && (!forecast || !forecast->Refused)) {
            prediction.Outcome = RunOutcome::RemoveCannotDelete;
            prediction.Reason = *why;
        }
        break;
    case SetupMode::None:
        return Silent("命令行有两个或更多参数", "two or more arguments");
    }
    if (forecast && forecast->Refused) prediction.Failure = forecast->Cause;
    return prediction;
}

std::vector<Bilingual> FindPackageProblems(const PackageFacts& facts)
{
    std::vector<Bilingual> problems;
    EncodingProblems(facts, problems);
    WindowsTimeProblems(facts, problems);
    FileNameProblems(facts, facts.ImeFile, problems);
    FileNameProblems(facts, facts.MbFile, problems);
    SameFileProblem(facts, problems);
    InstalledFilesProblems(facts, problems);
    for (Bilingual& problem : FindInstalledFileProblems(facts)) problems.push_back(std::move(problem));
    for (Bilingual& problem : FindMbFileProblems(facts)) problems.push_back(std::move(problem));
    ImeImageProblems(facts, problems);
    RegistrationProblems(facts, problems);
    SignatureProblem(facts, problems);
    FolderProblems(facts, problems);
    if (facts.ImeHeaders) {
        const TwinFindings twin = FindTwinFindings(facts.Twin, facts.ImeFileTitle, facts.ImeHeaders->Machine);
        problems.insert(problems.end(), twin.Problems.begin(), twin.Problems.end());
    }
    return problems;
}

int CheckerExitStatus(const Prediction& withoutArgument, size_t problemCount)
{
    if (withoutArgument.Outcome == RunOutcome::EndSilently) return CheckerSilentEnd;
    return problemCount == 0 ? CheckerSoundPackage : CheckerProblemsFound;
}

std::string PredictionLine(const Prediction& withoutArgument)
{
    const std::string failure = withoutArgument.Failure.English;
    switch (withoutArgument.Outcome) {
    case RunOutcome::Install:
    case RunOutcome::AskBeforeReplacing:
        return "imesetup.exe would install" + (failure.empty() ? "" : ", and registration would fail: " + failure);
    case RunOutcome::InstallEndsLocked:
        return "imesetup.exe would install, and end at once at its lock test: " + withoutArgument.Reason.English;
    case RunOutcome::Remove:
        return "imesetup.exe would remove" + (failure.empty() ? "" : ", and finding the layout would fail: " + failure);
    case RunOutcome::RemoveEndsAtOnce:
        return "imesetup.exe would remove, and end at once with \"" + NotInstalledText() +
               "\": " + withoutArgument.Reason.English;
    case RunOutcome::RemoveCannotDelete:
        return "imesetup.exe would remove, and deleting the files would fail with \"" +
               ShownOutcomeText(OutcomeTexts::FilesLocked) + "\": " + withoutArgument.Reason.English;
    case RunOutcome::EndSilently:
        break;
    }
    return "imesetup.exe would end without a message: " + withoutArgument.Reason.English;
}
