// The catalogue's rows of the files setup.log names, as the package holds
// them and as the system directory holds them once installed (IC2xx).
#include "package_checker/finding_catalogue.h"

namespace {

using C = FindingCode;
constexpr Severity S = Severity::SilentEnd;
constexpr Severity P = Severity::Problem;
constexpr Severity T = Severity::Part;

const CatalogueRow kRows[] = {
    {C::LookupMissing, "IC201", T, "找不到", "not found"},
    {C::LookupFolder, "IC202", T, "是文件夹，不是文件", "is a folder, not a file"},
    {C::LookupWildcardFolder, "IC203", T, "含通配符，第一个匹配项是文件夹", "holds a wildcard whose first match is a folder"},
    {C::LookupDevice, "IC204", T,
     "是设备名（如 CON、NUL），不是文件：文件搜索报告这个设备，但它没有任何时间，因此被当作不存在",
     "is a device name (such as CON or NUL), not a file: the file search reports the device with no time at all, so it "
     "counts as missing"},
    {C::LookupAfter2107, "IC205", T, "最后修改时间晚于 2107 年（本地时间），没有 MS-DOS 时间形式，因此被当作不存在",
     "its last-write time is after 2107 in local time and has no MS-DOS form, so it counts as missing"},
    {C::LookupBefore1980, "IC206", T, "最后修改时间早于 1980 年（本地时间），没有 MS-DOS 时间形式，因此被当作不存在",
     "its last-write time is before 1980 in local time and has no MS-DOS form, so it counts as missing"},
    {C::FileKeyNoFile, "IC207", S, "{key} {value}：{why}", "{key} {value}: {why}"},
    {C::WrittenAfter2107OnWindows, "IC208", P,
     "{file} 的最后修改时间晚于 2107 年（本地时间）：在 Windows 上这个时间没有 MS-DOS 形式，文件被当作不存在，imesetup.exe "
     "会不显示任何消息而结束（Wine 把日期回绕，在 Wine 下看不出问题）。请给文件一个当前的时间。",
     "{file} was last written after 2107 in local time: on Windows that time has no MS-DOS form, the file counts as "
     "missing and imesetup.exe ends without a message (Wine wraps the date round: the package works under Wine). Give "
     "the file a current time."},

    {C::FolderPartsImeIsPackageFile, "IC211", P,
     "{key} {value} 含有文件夹部分，安装路径 {installed} 就是安装包自己的这个文件：imesetup.exe 以为输入法已经安装，不带参数"
     "时会卸载而不是安装（卸载若进行到删除文件，删除的是安装包自己的文件）；/inst 先询问是否替换，再把文件复制到它自身上，"
     "复制失败。请只写文件名，并把文件放在 setup.log 旁边。",
     "{key} {value} has folder parts, and its installed path {installed} is this package's own file: imesetup.exe takes "
     "the IME for installed, so without an argument it removes instead of installing (a removal that gets as far as "
     "deleting the files deletes the package's own), and /inst asks before replacing it and then copies the file onto "
     "itself, which fails. Give the bare file name and put the file beside setup.log."},
    {C::FolderPartsIsPackageFile, "IC212", P,
     "{key} {value} 含有文件夹部分，安装路径 {installed} 就是安装包自己的这个文件：安装时把文件复制到它自身上，复制失败"
     "（\"{failure}\"）；卸载若进行到删除文件，删除的是安装包自己的文件。请只写文件名，并把文件放在 setup.log 旁边。",
     "{key} {value} has folder parts, and its installed path {installed} is this package's own file: the installation "
     "copies the file onto itself, which fails (\"{failure}\"), and a removal that gets as far as deleting the files "
     "deletes the package's own. Give the bare file name and put the file beside setup.log."},
    {C::FolderPartsRoundabout, "IC213", P,
     "{key} {value} 含有文件夹部分。imesetup.exe 把它原样接在系统目录后面，安装到 {installed}，绕了一圈仍是系统目录本身。"
     "请只写文件名，并把文件放在 setup.log 旁边。",
     "{key} {value} has folder parts. imesetup.exe joins it to the system directory as it is and installs to "
     "{installed}, the system directory itself by a roundabout path. Give the bare file name and put the file beside "
     "setup.log."},
    {C::FolderPartsOutsideIme, "IC214", P,
     "{key} {value} 含有文件夹部分。imesetup.exe 把它原样接在系统目录后面，安装到系统目录以外的 {installed}。输入法管理器只按"
     "文件名在系统目录本身中读取 IME 文件，即 {manager}，而不是这个副本。请只写文件名，并把文件放在 setup.log 旁边。",
     "{key} {value} has folder parts. imesetup.exe joins it to the system directory as it is and installs to "
     "{installed}, outside the system directory. The input method manager reads the IME file by its name in the system "
     "directory itself, as {manager}, not this copy. Give the bare file name and put the file beside setup.log."},
    {C::FolderPartsOutside, "IC215", P,
     "{key} {value} 含有文件夹部分。imesetup.exe 把它原样接在系统目录后面，安装到系统目录以外的 {installed}。请只写文件名，"
     "并把文件放在 setup.log 旁边。",
     "{key} {value} has folder parts. imesetup.exe joins it to the system directory as it is and installs to "
     "{installed}, outside the system directory. Give the bare file name and put the file beside setup.log."},
    {C::FolderPartsNoFolderIme, "IC216", P,
     "{key} {value} 含有文件夹部分。imesetup.exe 把它原样接在系统目录后面，安装到 {installed}；这台机器上没有那个文件夹，复制"
     "就会失败。即使那个文件夹存在，输入法管理器也只按文件名在系统目录本身中读取 IME 文件，即 {manager}，而不是副本。请只写"
     "文件名，并把文件放在 setup.log 旁边。",
     "{key} {value} has folder parts. imesetup.exe joins it to the system directory as it is and installs to "
     "{installed}: that folder does not exist on this machine, and the copy fails. Were it there, the input method "
     "manager would still read the IME file by its name in the system directory itself, as {manager}, not the copy. "
     "Give the bare file name and put the file beside setup.log."},
    {C::FolderPartsNoFolder, "IC217", P,
     "{key} {value} 含有文件夹部分。imesetup.exe 把它原样接在系统目录后面，安装到 {installed}；这台机器上没有那个文件夹，复制"
     "就会失败。请只写文件名，并把文件放在 setup.log 旁边。",
     "{key} {value} has folder parts. imesetup.exe joins it to the system directory as it is and installs to "
     "{installed}: that folder does not exist on this machine, and the copy fails. Give the bare file name and put the "
     "file beside setup.log."},
    {C::Wildcard, "IC218", P,
     "{key} {value} 含有文件搜索的通配符（*、?、<、> 或 \"）。imesetup.exe 的检查接受第一个匹配的文件，但复制需要真实的文件名，"
     "会失败。",
     "{key} {value} holds a wildcard of the file search (*, ?, <, > or \"). imesetup.exe's check takes its first match, "
     "but the copy needs the file's real name and fails."},
    {C::InstalledPathTooLong, "IC219", P,
     "{key} {value} 使安装路径 {installed} 长达 {count} 个字符，达到或超过 MAX_PATH（260）：imesetup.exe 的 ANSI 文件函数在 "
     "Windows 上到不了这样的路径，复制失败（\"{failure}\"）。（在 Wine 下复制会生成文件，但存在检查再也找不到它，于是每次运行"
     "都重新安装。）请用短一些的文件名。",
     "{key} {value} makes the installed path {installed} {count} characters long, MAX_PATH (260) or more: on Windows "
     "the ANSI file calls of imesetup.exe do not reach such a path, and the copy fails (\"{failure}\"). (Under Wine the "
     "copy makes the file, but the presence test never finds it again, so every run installs once more.) Give a "
     "shorter name."},

    {C::HiddenFile, "IC221", P,
     "{key} {value} 是隐藏文件（FILE_ATTRIBUTE_HIDDEN）：复制会把这个属性带到系统目录中的文件上。第一次复制能成功，但 "
     "CopyFileA 不覆盖隐藏的文件，在 Windows 上重新安装（/inst）会复制失败（\"{failure}\"）。请去掉隐藏属性。",
     "{key} {value} is hidden (FILE_ATTRIBUTE_HIDDEN): the copy carries the attribute to the installed file in the "
     "system directory. The first copy works, but CopyFileA does not overwrite a hidden file, so on Windows a "
     "reinstallation (/inst) fails to copy (\"{failure}\"). Clear the hidden attribute."},
    {C::ReadOnlyRegistrationFails, "IC222", P,
     "{key} {value} 是只读文件（FILE_ATTRIBUTE_READONLY）：复制会把这个属性带到系统目录中的文件上。注册会失败（见最后一行），"
     "复制的文件留在系统目录中：卸载以 \"{text}\" 结束，而 DeleteFileA 本来也删不掉只读文件，imesetup.exe 永远无法卸载它。"
     "请去掉只读属性。",
     "{key} {value} is read-only (FILE_ATTRIBUTE_READONLY): the copy carries the attribute to the installed file in the "
     "system directory. The registration would fail (see the last line) and leave the copies there: the removal ends "
     "with \"{text}\", and DeleteFileA could not delete a read-only file in any case, so imesetup.exe can never remove "
     "it. Clear the read-only attribute."},
    {C::ReadOnlyFile, "IC223", P,
     "{key} {value} 是只读文件（FILE_ATTRIBUTE_READONLY）：复制会把这个属性带到系统目录中的文件上。安装能成功，但 "
     "DeleteFileA 删不掉只读文件，imesetup.exe 永远无法卸载它（卸载以 \"{text}\" 结束）。请去掉只读属性。",
     "{key} {value} is read-only (FILE_ATTRIBUTE_READONLY): the copy carries the attribute to the installed file in the "
     "system directory. The installation works, but DeleteFileA cannot delete a read-only file, so imesetup.exe can "
     "never remove it (the removal ends with \"{text}\"). Clear the read-only attribute."},
    {C::SameFileManagerStops, "IC224", P,
     "ImeFile 和 MbFile 指向同一个文件 {names}：输入法没有自己的码表文件。（卸载若进行到删除文件，第二次删除会找不到文件而报告"
     "文件被锁定；这里输入法管理器会先使它失败，见上面的预测。）",
     "ImeFile and MbFile name the same file {names}: the input method gets no code table of its own. (A removal that "
     "got as far as deleting the files would find nothing the second time and report them as locked; here the input "
     "method manager stops it first, as predicted above.)"},
    {C::SameFile, "IC225", P,
     "ImeFile 和 MbFile 指向同一个文件 {names}：输入法没有自己的码表文件，卸载时第二次删除找不到文件，结果报告文件被锁定。",
     "ImeFile and MbFile name the same file {names}: the input method gets no code table of its own, and the removal's "
     "second deletion finds nothing, so it reports the files as locked."},
    {C::EmptyMbFile, "IC226", P, "MB 文件是空的（0 字节）：输入法没有码表可用。",
     "The MB file is empty (0 bytes): the input method gets no code table."},
    {C::DllsInFolder, "IC227", P,
     "文件夹中有 DLL 文件：{names}。安装包不需要任何 DLL；以管理员权限运行的 imesetup.exe 旁边的 DLL，正是它的 DLL 防护所要"
     "防范的。请从安装包中删除它们。",
     "The folder holds DLL files: {names}. The package needs none; a DLL beside imesetup.exe, which runs with "
     "administrator rights, is what its DLL defence guards against. Remove them from the package."},

    {C::InstalledImeReadOnly, "IC231", P,
     "已安装的 IME 文件 {path} 是只读文件：/inst 的锁定检查以写方式打开它被拒绝，安装立即结束并显示输入法文件已被锁定的消息框"
     "（见上面的 /inst）；DeleteFileA 删不掉它，卸载以 \"{text}\" 结束。请去掉系统目录中这个文件的这个属性。",
     "The installed IME file {path} is read-only: /inst's lock test cannot open it for writing and ends the "
     "installation at once with the box saying the IME file is locked (see /inst above), and DeleteFileA cannot delete "
     "it, so the removal ends with \"{text}\". Clear that attribute of the file in the system directory."},
    {C::InstalledMbReadOnly, "IC232", P,
     "已安装的 MB 文件 {path} 是只读文件：CopyFileA 不覆盖它，安装时复制会失败（\"{failure}\"）；DeleteFileA 删不掉它，卸载以 "
     "\"{text}\" 结束。请去掉系统目录中这个文件的这个属性。",
     "The installed MB file {path} is read-only: CopyFileA does not overwrite it, so an installation's copy fails "
     "(\"{failure}\"), and DeleteFileA cannot delete it, so the removal ends with \"{text}\". Clear that attribute of "
     "the file in the system directory."},
    {C::InstalledImeHidden, "IC233", P,
     "已安装的 IME 文件 {path} 是隐藏文件：在 Windows 上 CopyFileA 不覆盖它，安装时复制会失败（\"{failure}\"；Wine 会覆盖它）。"
     "请去掉系统目录中这个文件的这个属性。",
     "The installed IME file {path} is hidden: on Windows CopyFileA does not overwrite it, so an installation's copy "
     "fails (\"{failure}\"; Wine overwrites it). Clear that attribute of the file in the system directory."},
    {C::InstalledMbHidden, "IC234", P,
     "已安装的 MB 文件 {path} 是隐藏文件：在 Windows 上 CopyFileA 不覆盖它，安装时复制会失败（\"{failure}\"；Wine 会覆盖它）。"
     "请去掉系统目录中这个文件的这个属性。",
     "The installed MB file {path} is hidden: on Windows CopyFileA does not overwrite it, so an installation's copy "
     "fails (\"{failure}\"; Wine overwrites it). Clear that attribute of the file in the system directory."},
    {C::InstalledBothReadOnlyReason, "IC235", T, "已安装的 IME 文件和 MB 文件是只读文件",
     "the installed IME and MB files are read-only"},
    {C::InstalledImeReadOnlyReason, "IC236", T, "已安装的 IME 文件是只读文件", "the installed IME file is read-only"},
    {C::InstalledMbReadOnlyReason, "IC237", T, "已安装的 MB 文件是只读文件", "the installed MB file is read-only"},
    {C::NothingInstalled, "IC238", T, "什么都没有安装", "nothing is installed"},
    {C::ImeNotInstalled, "IC239", T, "IME 文件没有安装", "the IME file is not installed"},
    {C::MbNotInstalled, "IC240", T, "MB 文件没有安装", "the MB file is not installed"},

    {C::ForeignFileOverwritten, "IC241", P,
     "系统目录中已有 {path}，而 IME 文件没有安装，所以它不是这个安装包的安装留下的，可能属于另一个输入法：安装会覆盖它，它原来的"
     "内容会丢失，以后卸载会删除它。如果它属于另一个输入法，请给这个安装包的文件起自己的名字。",
     "The system directory already holds {path}, and the IME file is not installed, so no installation of this package "
     "left it there: it may be another input method's. Installing overwrites it, and its content is lost; it is "
     "deleted by the removal later. If it belongs to another input method, give this package's files names of their "
     "own."},
    {C::ForeignFileHoldsPackageBytes, "IC242", P,
     "系统目录中已有 {path}，而 IME 文件没有安装，所以它不是这个安装包的安装留下的，可能属于另一个输入法：安装会覆盖它（内容与"
     "安装包中的相同），以后卸载会删除它。如果它属于另一个输入法，请给这个安装包的文件起自己的名字。",
     "The system directory already holds {path}, and the IME file is not installed, so no installation of this package "
     "left it there: it may be another input method's. Its bytes are the package's own, but it is deleted by the "
     "removal later. If it belongs to another input method, give this package's files names of their own."},
    {C::ForeignInstalledImeRemoved, "IC243", P,
     "已安装的 IME 文件 {path} 与安装包中的 {source} 内容不同，不是这个安装包安装的：不带参数时 imesetup.exe 会运行卸载并删除它，"
     "/inst 会覆盖它。如果它是这个输入法的早期版本，这正是想要的；如果它属于另一个输入法，请给这个安装包的文件起自己的名字。",
     "The installed IME file {path} is not the one in the package ({source}): its bytes differ, so no installation of "
     "this package put it there. Without an argument imesetup.exe runs the removal, which deletes it, and /inst "
     "overwrites it. If it is an earlier version of this input method, that is meant. If it belongs to another input "
     "method, give this package's files names of their own."},
    {C::ForeignInstalledMbRemoved, "IC244", P,
     "已安装的 MB 文件 {path} 与安装包中的 {source} 内容不同，不是这个安装包安装的：不带参数时 imesetup.exe 会运行卸载并删除它，"
     "/inst 会覆盖它。如果它是这个输入法的早期版本，这正是想要的；如果它属于另一个输入法，请给这个安装包的文件起自己的名字。",
     "The installed MB file {path} is not the one in the package ({source}): its bytes differ, so no installation of "
     "this package put it there. Without an argument imesetup.exe runs the removal, which deletes it, and /inst "
     "overwrites it. If it is an earlier version of this input method, that is meant. If it belongs to another input "
     "method, give this package's files names of their own."},
    {C::ForeignInstalledImeOverwritten, "IC245", P,
     "已安装的 IME 文件 {path} 与安装包中的 {source} 内容不同，不是这个安装包安装的：/inst 会覆盖它，进行到删除文件的卸载会删除它。"
     "如果它是这个输入法的早期版本，这正是想要的；如果它属于另一个输入法，请给这个安装包的文件起自己的名字。",
     "The installed IME file {path} is not the one in the package ({source}): its bytes differ, so no installation of "
     "this package put it there. /inst overwrites it, and a removal that gets as far as deleting the files deletes it. "
     "If it is an earlier version of this input method, that is meant. If it belongs to another input method, give "
     "this package's files names of their own."},
    {C::ForeignInstalledMbOverwritten, "IC246", P,
     "已安装的 MB 文件 {path} 与安装包中的 {source} 内容不同，不是这个安装包安装的：/inst 会覆盖它，进行到删除文件的卸载会删除它。"
     "如果它是这个输入法的早期版本，这正是想要的；如果它属于另一个输入法，请给这个安装包的文件起自己的名字。",
     "The installed MB file {path} is not the one in the package ({source}): its bytes differ, so no installation of "
     "this package put it there. /inst overwrites it, and a removal that gets as far as deleting the files deletes it. "
     "If it is an earlier version of this input method, that is meant. If it belongs to another input method, give "
     "this package's files names of their own."},
    {C::ProtectedImePath, "IC247", P,
     "IME 文件的安装路径 {path} 是 Windows 保护的系统文件（Windows 资源保护）：只有 Windows 自己的安装程序能替换或删除它，"
     "以管理员身份运行也不行。imesetup.exe 会把它当作已安装的 IME 文件：不带参数时运行卸载（它删不掉这个文件，以 \"{text}\" "
     "结束，除非输入法管理器先使卸载失败），/inst 的锁定检查打不开它，安装立即结束。（Wine 不保护任何文件，在 Wine 下复制会替换"
     "这个系统文件。）请给文件起一个自己的名字。",
     "The IME file's installed path {path} is a system file Windows protects (Windows Resource Protection): only "
     "Windows' own installer may replace or delete it, an administrator included. imesetup.exe takes it for the "
     "installed IME file: without an argument it runs the removal, which cannot delete it (it ends with \"{text}\" "
     "unless the input method manager stops it first), and /inst's lock test cannot open it, so the installation ends "
     "at once. (Wine protects no file: under Wine the copy replaces the system's file.) Give the file a name of its "
     "own."},
    {C::ProtectedMbPath, "IC248", P,
     "MB 文件的安装路径 {path} 是 Windows 保护的系统文件（Windows 资源保护）：只有 Windows 自己的安装程序能替换或删除它，"
     "以管理员身份运行也不行。在 Windows 上安装时复制到它上面会因拒绝访问而失败（\"{failure}\"），卸载也删不掉它。（Wine "
     "不保护任何文件，在 Wine 下复制会替换这个系统文件。）请给文件起一个自己的名字。",
     "The MB file's installed path {path} is a system file Windows protects (Windows Resource Protection): only "
     "Windows' own installer may replace or delete it, an administrator included. On Windows the installation's copy "
     "onto it fails with access denied (\"{failure}\"), and a removal cannot delete it. (Wine protects no file: under "
     "Wine the copy replaces the system's file.) Give the file a name of its own."},
    {C::InstalledImeProtectedReason, "IC249", T, "已安装的 IME 文件受 Windows 保护",
     "the installed IME file is protected by Windows"},
    {C::InstalledMbProtectedReason, "IC250", T, "已安装的 MB 文件受 Windows 保护",
     "the installed MB file is protected by Windows"},
    {C::MbFileIsImeFile, "IC251", P,
     "MB 文件 {mb} 与 IME 文件 {ime} 的内容完全相同：码表文件是程序的副本，输入法没有自己的码表。请随附真正的 MB 文件。",
     "The MB file {mb} holds exactly the bytes of the IME file {ime}: the code table is a copy of the program, and the "
     "input method gets no code table of its own. Ship the real MB file."},
    {C::MbFileIsImage, "IC252", P,
     "MB 文件 {mb} 是 Windows 映像（PE 文件），不是码表数据：安装包中的文件可能放错了。请随附真正的 MB 文件。",
     "The MB file {mb} is a Windows image (a PE file), not code-table data: the package's files may have been mixed "
     "up. Ship the real MB file."},
};

}  // namespace

CatalogueSpan NamedFilesCatalogue()
{
    return {kRows, sizeof kRows / sizeof kRows[0]};
}
