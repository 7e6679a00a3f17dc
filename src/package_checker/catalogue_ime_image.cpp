// The catalogue's rows of the IME file as an image (IC3xx) and of what the
// input method manager makes of it (IC4xx).
#include "package_checker/finding_catalogue.h"

namespace {

using C = FindingCode;
constexpr Severity P = Severity::Problem;
constexpr Severity N = Severity::Note;
constexpr Severity T = Severity::Part;

const CatalogueRow kRows[] = {
    {C::NoImage, "IC301", P, "IME 文件不是 Windows 映像（PE 文件），任何程序都不能把它当作输入法加载。",
     "The IME file is no Windows image (PE file): no program can load it as an input method."},
    {C::OtherMachine, "IC302", P, "IME 文件是 {machine} 映像：没有与之匹配的 imesetup.exe（只有 x86 版和 x64 版）。",
     "The IME file is an {machine} image: there is no imesetup.exe build for it (only x86 and x64)."},
    {C::NotDll, "IC303", P, "IME 文件是一个程序，不是 DLL：输入法管理器不能加载它。",
     "The IME file is a program, not a DLL: the input method manager cannot load it."},
    {C::NoImeInquire, "IC304", P, "IME 文件没有导出 ImeInquire（每个输入法模块都导出它）：输入法管理器不会接受它。",
     "The IME file does not export ImeInquire, which every input method module exports: the input method manager will "
     "not take it."},
    {C::SetupProgramOtherBuild, "IC305", P,
     "文件夹中的安装程序 \"{program}\" 是 {build} 版，而 IME 文件是 {machine} 映像：它会把文件装到只有 {build} 程序才会查找的"
     "位置，而它们无法加载该文件。请随附 {machine} 版的 imesetup.exe。",
     "The setup program \"{program}\" in the folder is the {build} build, but the IME file is an {machine} image: it "
     "installs the file where only {build} programs look for it, and they cannot load it. Ship the {machine} build of "
     "imesetup.exe."},
    {C::Unsigned, "IC306", P,
     "IME 文件没有 Authenticode 签名。微软对第三方输入法的要求是签名，Windows 可能阻止未签名的输入法。签名方法见指南"
     "（GUIDE.zh-CN.txt）的“签名”部分。",
     "The IME file has no Authenticode signature. Microsoft's requirements for third-party IMEs ask that they be "
     "signed, and Windows may block an unsigned IME. The guides (GUIDE.en.txt, \"Signing\") say how to sign it."},
    // On 64-bit Windows each program loads the IME file of its own bitness.
    {C::NoTwinOf32BitIme, "IC320", P,
     "IME 文件是 32 位（x86）映像，而这台 Windows 是 64 位的：64 位程序（大多数程序）从 {folder} 加载 IME 文件，那里没有 64 "
     "位的 {name}{there}，输入法在这些程序中不能使用。请同时编译 x64 版的 IME，以同一文件名发布两个版本，各放一个包文件夹"
     "（x64\\ 中放 x64 版 imesetup.exe 与 64 位 IME 文件，x86\\ 中放 x86 版与 32 位 IME 文件），先运行 x64 包安装，再运行 "
     "x86 包。",
     "The IME file is a 32-bit (x86) image and this Windows is 64-bit: 64-bit programs, most of them, load IME files "
     "from {folder}, which holds no 64-bit {name}{there}, so the input method will not work in them. Build the IME for "
     "x64 too and ship both builds under this name, one package folder each (x64\\ with the x64 imesetup.exe and the "
     "64-bit IME file, x86\\ with the x86 one and the 32-bit IME file); install with the x64 package first, then the "
     "x86 one."},
    {C::NoTwinOf64BitIme, "IC321", N,
     "IME 文件是 64 位映像：32 位程序从 {folder} 加载 IME 文件，那里没有 32 位的 {name}{there}，输入法在 32 位程序中不能使用，"
     "除非 x86 包把 32 位版本也装到那里。",
     "The IME file is a 64-bit image: 32-bit programs load IME files from {folder}, which holds no 32-bit "
     "{name}{there}, so the input method will not work in 32-bit programs unless the x86 package installs the 32-bit "
     "build there as well."},

    {C::RegistrationRefused, "IC401", P,
     "Windows 不会注册这个 IME 文件：{cause}。imesetup.exe 安装时会复制两个文件，然后显示下面的消息框：",
     "Windows would not register the IME file: {cause}. Installing, imesetup.exe would copy both files and then show "
     "this box:"},
    {C::NeutralLanguage, "IC402", P,
     "IME 文件的第一个翻译是中性语言 (0000)：它的布局 E0NN0000 不属于任何语言，Windows 不会把它列在中文之下。请在版本资源的 "
     "Translation 中写 0x0804。",
     "The IME file's first translation is the neutral language (0000): its layout E0NN0000 belongs to no language, and "
     "Windows does not list it under Chinese. Give 0x0804 in the version resource's Translation."},
    {C::LayoutRefused, "IC403", P,
     "已安装的 IME 文件 {path}：Windows 不会给出它的布局：{cause}。imesetup.exe 卸载时会显示下面的消息框，不做任何更改：",
     "The installed IME file {path}: Windows would not give its layout: {cause}. Removing, imesetup.exe would show this "
     "box and change nothing:"},
    {C::CauseNoImage, "IC411", T, "IME 文件不是 PE 映像，没有版本资源（错误 1812）",
     "the IME file is no PE image and has no version resource (error 1812)"},
    {C::CauseNoResources, "IC412", T, "IME 文件没有资源节，因此没有版本资源（错误 1812）",
     "the IME file has no resources, so no version resource (error 1812)"},
    {C::CauseNoVersionResource, "IC413", T, "IME 文件没有版本资源（错误 1813）",
     "the IME file has no version resource (error 1813)"},
    {C::CauseNoFixedInfo, "IC414", T, "IME 文件的版本资源没有完整的固定文件信息（VS_FIXEDFILEINFO）",
     "the IME file's version resource has no whole fixed file information (VS_FIXEDFILEINFO)"},
    {C::CauseNotInputMethodDriver, "IC415", T,
     "IME 文件的版本资源是 FILETYPE {type}、FILESUBTYPE {subtype}，不是输入法驱动程序的 VFT_DRV (3) 和 VFT2_DRV_INPUTMETHOD "
     "(11)",
     "the IME file's version resource says FILETYPE {type} and FILESUBTYPE {subtype}, not VFT_DRV (3) and "
     "VFT2_DRV_INPUTMETHOD (11) of an input method driver"},
    {C::CauseNoTranslation, "IC416", T, "IME 文件的版本资源没有 \\VarFileInfo\\Translation（布局的语言由它决定）",
     "the IME file's version resource has no \\VarFileInfo\\Translation, which gives the layout its language"},
    {C::CauseNameTooLong, "IC417", T,
     "IME 文件名有 {count} 个字符，输入法管理器只保留 79 个（连同结尾的零共 80 个），按截短的名称找不到该文件",
     "the IME file's name has {count} characters; the input method manager keeps 79 of them (80 with the terminating "
     "zero) and finds no file by the shortened name"},
    {C::CauseNoFileInSystemDirectory, "IC418", T,
     "输入法管理器按文件名在系统目录中读取 IME 文件，即 {path}，那里没有这个文件",
     "the input method manager reads the IME file by its name in the system directory, as {path}, and there is no such "
     "file"},
    {C::CauseRegisteredOtherLanguage, "IC419", T, "IME 文件已注册为布局 {layout}，其语言 {theirs} {name} 不是 IME 文件的 {ours}",
     "the IME file is already registered as layout {layout}, whose language {theirs} ({name}) is not the IME file's "
     "{ours}"},
    // The current user's own list of input methods (Windows 8 and later).
    {C::LayoutNotInUserList, "IC430", N,
     "布局 {layout} 不在当前用户的输入法列表（Windows 8 及以后）中：卸载不改变这个列表。",
     "Layout {layout} is not in the current user's list of input methods (Windows 8 and later): the removal leaves that "
     "list as it is."},
    {C::RemovalMovesUserDefault, "IC431", N,
     "卸载会先把 {default} 设为默认输入法，再把布局 {layout} 从当前用户的输入法列表（Windows 8 及以后）中删除；其他用户的列表"
     "不会改变。",
     "The removal makes {default} the default input method, then takes layout {layout} out of the current user's list "
     "of input methods (Windows 8 and later); other users' lists are not changed."},
    {C::RemovalTakesLayoutFromUserList, "IC432", N,
     "卸载会把布局 {layout} 从当前用户的输入法列表（Windows 8 及以后）中删除；其他用户的列表不会改变。",
     "The removal takes layout {layout} out of the current user's list of input methods (Windows 8 and later); other "
     "users' lists are not changed."},
    {C::UnavailableInUserList, "IC433", P,
     "当前用户的输入法列表中有 {item}，而它的键盘布局键已不存在：这是以前的卸载留下的不可用的输入法（“不可用的输入法”），请在"
     "“设置”中删除它。",
     "The current user's list of input methods names {item}, whose keyboard layout key is gone: an unavailable input "
     "method, left by an earlier removal; remove it in Settings."},
};

}  // namespace

CatalogueSpan ImeImageCatalogue()
{
    return {kRows, sizeof kRows / sizeof kRows[0]};
}
