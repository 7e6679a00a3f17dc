// The catalogue's rows of the run's steps that meet the files (IC2xx): the
// copy that fails and why, the deletion that fails, and the problems whose
// wording depends on them.
#include "package_checker/finding_catalogue.h"

namespace {

using C = FindingCode;
constexpr Severity P = Severity::Problem;
constexpr Severity T = Severity::Part;

const CatalogueRow kRows[] = {
    {C::CopyImeFails, "IC253", T, "复制 IME 文件会失败，以 \"{text}\" 结束：{why}",
     "copying the IME file would fail with \"{text}\": {why}"},
    {C::CopyMbFails, "IC254", T, "复制 MB 文件会失败，以 \"{text}\" 结束：{why}",
     "copying the MB file would fail with \"{text}\": {why}"},
    {C::CopyNameWildcard, "IC255", T, "名称含有通配符，CopyFileA 需要真实的文件名",
     "the name holds a wildcard, and CopyFileA needs the file's real name"},
    {C::CopyOntoPackageFile, "IC256", T, "安装路径 {installed} 就是安装包自己的这个文件，不能复制到它自身上",
     "the installed path {installed} is the package's own file, which cannot be copied onto itself"},
    {C::CopyNoFolder, "IC257", T, "安装路径 {installed} 所在的文件夹不存在",
     "the folder of the installed path {installed} does not exist"},
    {C::CopyPathTooLong, "IC258", T, "安装路径 {installed} 达到或超过 MAX_PATH（260）个字符",
     "the installed path {installed} is MAX_PATH (260) characters or more"},
    {C::CopyOverReadOnly, "IC259", T, "系统目录中的文件是只读文件，CopyFileA 不覆盖它",
     "the file in the system directory is read-only, and CopyFileA does not overwrite it"},
    {C::CopyOverHidden, "IC260", T, "系统目录中的文件是隐藏文件，CopyFileA 在 Windows 上不覆盖它",
     "the file in the system directory is hidden, and on Windows CopyFileA does not overwrite it"},
    {C::CopyOverProtected, "IC266", T, "系统目录中的文件受 Windows 保护（Windows 资源保护），CopyFileA 被拒绝访问",
     "the file in the system directory is one Windows protects (Windows Resource Protection), and CopyFileA is denied "
     "access"},
    {C::CopyOverOneFile, "IC261", T, "两个安装路径指向同一个文件，复制 IME 文件时带上了它的属性：{why}",
     "both installed paths reach one file, and the IME file's copy has just carried its attribute there: {why}"},
    {C::DeletionByWildcardReason, "IC262", T,
     "安装路径含有通配符：存在检查找到了匹配的文件，但 DeleteFileA 不接受这样的名称",
     "an installed path holds a wildcard: the presence test found a match, but DeleteFileA does not take such a name"},
    {C::DeletionOneFileReason, "IC263", T, "两个安装路径指向同一个文件，第一次删除后第二次删除找不到它",
     "both installed paths reach one file, which the second deletion no longer finds"},
    {C::ReadOnlyFileRemovalMayStop, "IC264", P,
     "{key} {value} 是只读文件（FILE_ATTRIBUTE_READONLY）：复制会把这个属性带到系统目录中的文件上。安装能成功，但 "
     "DeleteFileA 删不掉只读文件：卸载若进行到删除文件，会以 \"{text}\" 结束。请去掉只读属性。",
     "{key} {value} is read-only (FILE_ATTRIBUTE_READONLY): the copy carries the attribute to the installed file in the "
     "system directory. The installation works, but DeleteFileA cannot delete a read-only file: a removal that gets as "
     "far as deleting the files ends with \"{text}\". Clear the read-only attribute."},
    {C::SameFileTwoCopies, "IC265", P,
     "ImeFile 和 MbFile 指向同一个文件 {names}：输入法没有自己的码表文件；安装时它被复制成两个文件 {ime} 和 {mb}。",
     "ImeFile and MbFile name the same file {names}: the input method gets no code table of its own; the installation "
     "copies it to two files, {ime} and {mb}."},
};

}  // namespace

CatalogueSpan RunStepsCatalogue()
{
    return {kRows, sizeof kRows / sizeof kRows[0]};
}
