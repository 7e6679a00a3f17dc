// The catalogue's rows of the parameter file, setup.log (IC1xx).
#include "package_checker/finding_catalogue.h"

namespace {

using C = FindingCode;
constexpr Severity S = Severity::SilentEnd;
constexpr Severity P = Severity::Problem;
constexpr Severity N = Severity::Note;
constexpr Severity T = Severity::Part;

const CatalogueRow kRows[] = {
    {C::NoSetupLog, "IC101", S, "文件夹中没有 setup.log", "no setup.log in the folder"},
    {C::SetupLogNoFile, "IC102", S, "setup.log {why}", "setup.log {why}"},
    {C::KeyNotInSection, "IC103", S, "{key} 不在 [ImePram] 节中", "{key} is not in section [ImePram]"},
    {C::KeyInLaterSection, "IC104", S, "{key} 在 Windows 不读取的节中：后一个 [ImePram] 节（Windows 只读取第一个）",
     "{key} is in a section Windows does not read: a later [ImePram] section (Windows reads the first one only)"},
    {C::KeyInSpoiltSection, "IC105", S, "{key} 在 Windows 不读取的节中：它的 [ImePram] 节标题在第一行，被字节顺序标记破坏",
     "{key} is in a section Windows does not read: its [ImePram] header on the first line is spoilt by the byte order "
     "mark"},
    {C::FileKeyReadAsZero, "IC106", S, "{missing}（读作 \"0\"）", "{missing} (read as \"0\")"},
    {C::ImeNameZero, "IC107", S, "ImeName 为 \"0\"", "ImeName is \"0\""},
    {C::ImeNameEmpty, "IC108", S, "ImeName 为空", "ImeName is empty"},

    {C::MarkLosesKeys, "IC111", P,
     "setup.log 保存为带字节顺序标记（BOM）的 UTF-8。Windows 把标记的三个字节当作第一行的一部分，第一行上的节标题 [ImePram] "
     "因此失效，这些键找不到：{keys}。imesetup.exe 在 Windows 上会不显示任何消息而结束（Wine 会跳过这个标记，在 Wine 下看不出"
     "问题）。请把 setup.log 另存为 ANSI（代码页 936）。",
     "setup.log is saved as UTF-8 with a byte order mark. Windows keeps the mark's three bytes as part of the first line, "
     "which spoils the section header [ImePram] on it, and these keys are lost: {keys}. On Windows imesetup.exe then "
     "ends without a message (Wine skips the mark: the package works under Wine). Save setup.log as ANSI (code page "
     "936)."},
    {C::MarkBeforeOtherLine, "IC112", P,
     "setup.log 保存为带字节顺序标记（BOM）的 UTF-8。Windows 把标记的三个字节当作第一行的一部分；第一行不是 [ImePram] "
     "节标题，没有键丢失，但 ANSI 文件中不应有这个标记。请把 setup.log 另存为 ANSI（代码页 936）。",
     "setup.log is saved as UTF-8 with a byte order mark. Windows keeps the mark's three bytes as part of the first "
     "line; the first line is no [ImePram] header, so no key is lost, but the mark has no place in an ANSI file. Save "
     "setup.log as ANSI (code page 936)."},
    {C::Utf8Values, "IC113", P,
     "setup.log 保存为 UTF-8。imesetup.exe 按系统的 ANSI 代码页逐字节读取它，中文系统上即代码页 936{values}。请把 setup.log "
     "另存为 ANSI（代码页 936）。",
     "setup.log is saved as UTF-8. imesetup.exe reads it byte for byte in the system's ANSI code page, 936 on a Chinese "
     "system{values}. Save setup.log as ANSI (code page 936)."},
    {C::Utf8Value, "IC114", T, "；{key} 会作为 {passed} 传递，而本意是 \"{meant}\"",
     "; {key} is passed on as {passed}, where \"{meant}\" was meant"},
    {C::Utf16WithMark, "IC115", P,
     "setup.log 保存为 UTF-16（带 BOM）。Windows 按 Unicode 读取它，再用系统的 ANSI 代码页转换每个值：该代码页没有的字符会"
     "变成问号（例如代码页不是 936 的系统上的中文名称）。请把 setup.log 另存为 ANSI（代码页 936）。",
     "setup.log is saved as UTF-16 with a byte order mark. Windows reads it as Unicode and converts each value through "
     "the system's ANSI code page: characters that code page lacks become question marks (a Chinese name on a system "
     "whose code page is not 936). Save setup.log as ANSI (code page 936)."},
    {C::Utf16BigEndian, "IC116", P,
     "setup.log 保存为大端序 UTF-16（带 BOM）。Windows 的配置文件读取函数在其中什么也找不到（Wine 能读取），imesetup.exe "
     "在 Windows 上会不显示任何消息而结束。请把 setup.log 另存为 ANSI（代码页 936）。",
     "setup.log is saved as big-endian UTF-16 with a byte order mark. Windows' profile reader finds nothing in it (Wine "
     "reads it), so on Windows imesetup.exe ends without a message. Save setup.log as ANSI (code page 936)."},
    {C::ZeroBytes, "IC117", P,
     "setup.log 含有零字节，就像没有 BOM 的 UTF-16 文本；imesetup.exe 需要 ANSI 文本。请把 setup.log 另存为 ANSI（代码页 "
     "936）。",
     "setup.log holds zero bytes, as text saved as UTF-16 without a byte order mark does; imesetup.exe expects ANSI "
     "text. Save setup.log as ANSI (code page 936)."},
    {C::BothReadings, "IC118", N,
     "imesetup.exe 在中文系统上按代码页 936 读取这些字节{values}。如果本意是 UTF-8 的读法，请把 setup.log 另存为 ANSI（代码页 "
     "936）。",
     "imesetup.exe reads these bytes in code page 936 on a Chinese system{values}. If the UTF-8 reading was meant, save "
     "setup.log as ANSI (code page 936)."},
    {C::BothReadingsValue, "IC119", T, "；{key}：按代码页 936 读作 {gbk}，按 UTF-8 读作 \"{utf8}\"",
     "; {key}: {gbk} in code page 936, \"{utf8}\" in UTF-8"},
};

}  // namespace

CatalogueSpan ParameterFileCatalogue()
{
    return {kRows, sizeof kRows / sizeof kRows[0]};
}
