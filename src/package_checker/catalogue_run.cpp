// The catalogue's rows of what a run would do (IC0xx), of this machine
// (IC5xx) and of the checker's own command line (IC9xx).
#include "package_checker/finding_catalogue.h"

namespace {

using C = FindingCode;
constexpr Severity O = Severity::Outcome;

const CatalogueRow kRun[] = {
    {C::RunInstall, "IC001", O, "安装", "install", "imesetup.exe would install"},
    {C::RunInstallRegistrationFails, "IC002", O, "安装，但注册会失败：{cause}",
     "install, and registration would fail: {cause}", "imesetup.exe would install, and registration would fail: {cause}"},
    {C::RunAskBeforeReplacing, "IC003", O, "先询问是否替换已安装的 IME 文件，再安装",
     "ask before replacing the installed IME file, then install", "imesetup.exe would install"},
    {C::RunAskBeforeReplacingRegistrationFails, "IC004", O, "先询问是否替换已安装的 IME 文件，再安装，但注册会失败：{cause}",
     "ask before replacing the installed IME file, then install, and registration would fail: {cause}",
     "imesetup.exe would install, and registration would fail: {cause}"},
    {C::RunInstallEndsLocked, "IC005", O, "运行安装，而锁定检查立即结束它：{reason}，并显示下面的消息框：",
     "run the installation, whose lock test ends it at once: {reason}, with this box:",
     "imesetup.exe would install, and end at once at its lock test: {reason}"},
    {C::RunRemove, "IC006", O, "卸载", "remove", "imesetup.exe would remove"},
    {C::RunRemoveLayoutFails, "IC007", O, "卸载，但找不到布局：{cause}", "remove, and finding the layout would fail: {cause}",
     "imesetup.exe would remove, and finding the layout would fail: {cause}"},
    {C::RunRemoveEndsAtOnce, "IC008", O, "运行卸载，而卸载立即以 \"{text}\" 结束：{reason}",
     "run the removal, which ends at once with \"{text}\": {reason}",
     "imesetup.exe would remove, and end at once with \"{text}\": {reason}"},
    {C::RunRemoveCannotDelete, "IC009", O, "卸载，但删除文件会失败，以 \"{text}\" 结束：{reason}",
     "remove, and deleting the files would fail with \"{text}\": {reason}",
     "imesetup.exe would remove, and deleting the files would fail with \"{text}\": {reason}"},
    {C::RunEndsSilently, "IC010", O, "不显示任何消息而结束：{reason}", "end without a message: {reason}",
     "imesetup.exe would end without a message: {reason}"},
    {C::RunInstallCopyFails, "IC011", O, "安装，但{reason}", "install, and {reason}",
     "imesetup.exe would install, and {reason}"},
    {C::RunAskThenCopyFails, "IC012", O, "先询问是否替换已安装的 IME 文件，再安装，但{reason}",
     "ask before replacing the installed IME file, then install, and {reason}", "imesetup.exe would install, and {reason}"},
    {C::RunRemoveNoPreload, "IC013", O, "卸载，但打开预加载列表会失败，以 \"{text}\" 结束：{reason}",
     "remove, and opening the preload list would fail with \"{text}\": {reason}",
     "imesetup.exe would remove, and opening the preload list would fail with \"{text}\": {reason}"},
};

constexpr Severity S = Severity::SilentEnd;
constexpr Severity L = Severity::CommandLine;
constexpr Severity N = Severity::Note;

const CatalogueRow kMachine[] = {
    {C::NoCurrentDirectory, "IC501", S, "无法读取当前目录", "the current directory cannot be read"},
    {C::FolderOutsideCodePage, "IC502", S,
     "文件夹的路径中有本机 ANSI 代码页（{page}）没有的字符：GetCurrentDirectoryA 把它们作为 \"?\" 交给 imesetup.exe，"
     "它就在一个不存在的文件夹里找 setup.log",
     "the folder's path holds characters that this machine's ANSI code page ({page}) lacks: GetCurrentDirectoryA hands "
     "them to imesetup.exe as \"?\", so it looks for setup.log in a folder that does not exist"},
    {C::NoSystemDirectory, "IC503", S, "无法读取系统目录", "the system directory cannot be read"},
    {C::TwoOrMoreArguments, "IC504", S, "命令行有两个或更多参数", "two or more arguments"},
    {C::NoPreloadKey, "IC505", Severity::Part, "当前用户没有 Keyboard Layout\\Preload 键",
     "the current user has no Keyboard Layout\\Preload key"},
    // A machine whose ANSI code page is not 936 reads setup.log's names in its own page.
    {C::FileNameInCodePage, "IC520", N,
     "{key} {value} 在这台机器上（代码页 {page}）读作 \"{here}\"：imesetup.exe 查找的是这个名字的文件。请用 ASCII 字符命名文件。",
     "{key} {value} reads as \"{here}\" on this machine (code page {page}): imesetup.exe looks for a file of that "
     "name. Name the files in ASCII."},
    {C::FileNameInCodePageMissing, "IC521", N,
     "{key} {value} 在这台机器上（代码页 {page}）读作 \"{here}\"：imesetup.exe 查找的是这个名字的文件，找不到，于是不显示任何"
     "消息而结束。请用 ASCII 字符命名文件。",
     "{key} {value} reads as \"{here}\" on this machine (code page {page}): imesetup.exe looks for a file of that "
     "name, finds none and ends without a message. Name the files in ASCII."},
    {C::DisplayNameInCodePage, "IC522", N,
     "这台机器上的 Windows 会把布局显示为 \"{here}\"，而不是 {value}：显示名称经 ANSI 调用交给输入法管理器，按代码页 {page} "
     "解读。",
     "Windows here will show the layout as \"{here}\", not {value}: the display name reaches the input method manager "
     "through the ANSI call, read in code page {page}."},

    {C::UnknownOption, "IC901", L, "未知选项：{option}", "Unknown option: {option}"},
    {C::OneFolderAtMost, "IC902", L, "只能指定一个文件夹。", "Give one folder at most."},
    {C::CannotOpenFolder, "IC903", L, "无法打开文件夹 {folder}", "Cannot open the folder {folder}"},
    {C::UnknownCode, "IC904", L, "--ignore 中有未知的发现代码：{code}", "Unknown finding code in --ignore: {code}"},
    {C::BadOptionValue, "IC905", L, "选项 {option} 需要以下值之一：{allowed}", "The option {option} takes one of: {allowed}"},
};

}  // namespace

CatalogueSpan RunCatalogue()
{
    return {kRun, sizeof kRun / sizeof kRun[0]};
}

CatalogueSpan MachineCatalogue()
{
    return {kMachine, sizeof kMachine / sizeof kMachine[0]};
}
