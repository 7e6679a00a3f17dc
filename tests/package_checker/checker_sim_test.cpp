// The whole checker on the simulated machine: what it names for each kind of
// package, its exit status and last line, and that it only reads.
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>

#include "common/clean_machine_fixture.h"
#include "common/ime_package_sim.h"
#include "package_checker/checker.h"
#include "package_checker/checker_rows.h"
#include "package_checker/crafted_image.h"
#include "package_checker/pe_image_builder.h"

namespace {

using namespace ime_package;

const std::string kPackage = kPackageDir;
const std::string kUtf8DisplayName = "\xE6\xB5\x8B\xE8\xAF\x95\xE8\xBE\x93\xE5\x85\xA5\xE6\xB3\x95";  // 测试输入法

void PutSetupLog(const std::string& imeFile, const std::string& mbFile, const std::string& imeName)
{
    sim::PutFile(kPackage + "\\setup.log",
                 "[ImePram]\r\nImeFile=" + imeFile + "\r\nMbFile=" + mbFile + "\r\nImeName=" + imeName + "\r\n");
}

// The package's IME file under another name, which both keys give in two spellings.
void OneFileInTwoSpellings(const std::string& stored, const std::string& imeFile, const std::string& mbFile)
{
    sim::PutFile(kPackage + "\\" + stored, test_images::ImeModule());
    PutSetupLog(imeFile, mbFile, kDisplayName);
}

// The sample package in a folder whose name holds a Thai letter, which code page 936 lacks.
const std::string kFarFolder = "C:\\PKG\xE0\xB8\x81";  // UTF-8, as the wide command line gives it
void PackageInAFolderOutsideTheCodePage()
{
    const std::string folder = sim::WidePath(u"C:\\PKG\u0E01");
    for (const char* name : {"setup.log", kImeName, kMbName}) {
        sim::PutFile(folder + "\\" + name, sim::FileContents(kPackage + "\\" + name));
    }
}

class CheckerRun : public CleanMachineTest, public ::testing::WithParamInterface<CheckerCase> {
protected:
    void SetUp() override
    {
        CleanMachineTest::SetUp();
        PutCheckerPackage();
    }
};

// What the checker may call: nothing that writes a file, the registry or a layout, nor a box.
const std::set<std::string> kReadingCalls = {
    "CharNextA", "SetCurrentDirectoryW", "GetACP", "GetCurrentDirectoryA", "GetCurrentDirectoryW",
    "FindFirstFileA", "FindNextFileA", "FindClose", "FileTimeToLocalFileTime", "FileTimeToDosDateTime",
    "GetPrivateProfileStringA", "GetSystemDirectoryA", "CreateFileA", "ReadFile", "GetFileInformationByHandle",
    "CloseHandle", "MultiByteToWideChar", "RegOpenKeyExA", "RegEnumKeyExA", "RegQueryValueExA", "RegCloseKey",
    "GetCurrentProcess", "IsWow64Process", "GetSystemWow64DirectoryA", "GetFileSizeEx", "SetFilePointerEx",
    // sfc.dll's answers, and the user's list of input methods read through input.dll and never changed
    "LoadLibraryExA", "GetProcAddress", "SfcIsFileProtected", "EnumEnabledLayoutOrTip", "FreeLibrary",
};

TEST_P(CheckerRun, NamesTheCauseWithItsExitStatus)
{
    const CheckerCase& row = GetParam();
    row.prepare();
    const int callsBefore = sim::CallCount();
    std::string report;

    const int status = RunChecker(row.commandLine, [&report](const std::string& text) { report += text; });

    EXPECT_EQ(status, row.status) << report;
    EXPECT_NE(report.find(row.named), std::string::npos) << "not named: " << row.named << "\n" << report;
    if (!row.lastLine.empty()) {
        ASSERT_GE(report.size(), row.lastLine.size() + 1);
        EXPECT_EQ(report.substr(report.size() - row.lastLine.size() - 1), row.lastLine + "\n") << report;
    }
    const auto log = sim::CallLog();
    for (size_t i = static_cast<size_t>(callsBefore); i < log.size(); ++i) {
        EXPECT_EQ(kReadingCalls.count(log[i]), 1u) << "the checker called " << log[i];
    }
}

const std::string kInstall = "imesetup.exe would install";
const std::string kNotInstalled = "\xE8\xAF\xA5\xE8\xBE\x93\xE5\x85\xA5\xE6\xB3\x95\xE6\x9C\xAA\xE5\xAE\x89\xE8\xA3\x85\xE6\x88"
                                  "\x96\xE6\x96\x87\xE4\xBB\xB6\xE5\xAE\x89\xE8\xA3\x85\xE4\xB8\x8D\xE5\x85\xA8\xEF\xBC\x8C"
                                  "\xE4\xB8\x8D\xE8\x83\xBD\xE6\xAD\xA3\xE5\xB8\xB8\xE5\x8D\xB8\xE8\xBD\xBD\xE3\x80\x82";
const std::string kFilesLocked = u8"IME\u6587\u4EF6\u6216MB\u6587\u4EF6\u53EF\u80FD\u88AB\u5176\u5B83\u7A0B\u5E8F"
                                 u8"\u9501\u5B9A\uFF0C\u4E0D\u80FD\u5220\u9664.";
const std::string kRemove = "imesetup.exe would remove";
const std::string kSilent = "imesetup.exe would end without a message: ";
const std::string kRegistrationFails = kInstall + ", and registration would fail: ";
const std::string kLookupFails = kRemove + ", and finding the layout would fail: ";
// The last line of an installation whose copy of the IME or MB file fails.
std::string CopyFails(const std::string& file, const std::string& name, const std::string& why)
{
    return kInstall + ", and copying the " + file + " would fail with \"" + name + " Copy to %SystemDir% Error \": " +
           why;
}
const std::string kWildcard = "the name holds a wildcard, and CopyFileA needs the file's real name";
const std::string kProtectedCopy = "the file in the system directory is one Windows protects (Windows Resource "
                                   "Protection), and CopyFileA is denied access";
const std::string kNoSubFolder = "the folder of the installed path C:\\WINDOWS\\SYSTEM32\\sub\\";
const std::string kActivationBox = "       | 安装失败：激活输入法出错。请注销或重启计算机后再试。\n"
                                   "       | 如果仍不能安装，试试删除多余的 Keyboard layouts \n";

// The package's IME file built from these parts.
void PutIme(const std::function<void(test_images::ImageParts&)>& change, const std::string& name = kImeName)
{
    test_images::ImageParts parts;
    parts.signature = true;
    change(parts);
    sim::PutFile(kPackage + "\\" + name, test_images::BuildImage(parts));
}

// An IME image without a version resource, which the input method manager refuses.
std::string UnmarkedImage()
{
    test_images::ImageParts parts;
    parts.resources = test_images::Resources::NoVersion;
    return test_images::BuildImage(parts);
}

// An IME installed from an earlier package: both files and its layout.
void PutInstallation(const std::string& ime, const char* layout, const std::string& mb = kOldMb)
{
    sim::PutFile(std::string(kSystemDir) + "\\" + kImeName, ime);
    sim::PutFile(std::string(kSystemDir) + "\\" + kMbName, mb);
    sim::SetString(HKEY_LOCAL_MACHINE, std::string(kLayoutList) + "\\" + layout, "Ime File", "MYIME.IME");
}

// This package installed: its own two files in the system directory.
void PutOwnInstallation(const char* layout)
{
    PutInstallation(test_images::ImeModule(), layout, kNewMb);
}

// The package's MB file named as a file of Windows' own, which the system directory holds.
void MbFileNamedAsAWindowsFile(const char* name)
{
    sim::PutFile(std::string(kSystemDir) + "\\" + name, "Windows' own");
    sim::PutFile(kPackage + "\\" + name, kNewMb);
    PutSetupLog(kImeName, name, kDisplayName);
}

const std::string kLongName = std::string(76, 'n') + ".ime";  // 80 characters
// 42 characters in 80 bytes: 38 times 测 (B2 E2) and ".ime".
std::string ChineseName()
{
    std::string name;
    for (int i = 0; i < 38; ++i) name += "\xB2\xE2";
    return name + ".ime";
}
const std::string kChineseName = ChineseName();

const CheckerCase kCases[] = {
    // imesetup.exe runs, nothing else found
    {"SoundPackage", [] {}, 0, "No further problems found.", kInstall},
    {"InstalledIme",
     [] {
         sim::PutFile(std::string(kSystemDir) + "\\" + kImeName, test_images::ImeModule());
         sim::PutFile(std::string(kSystemDir) + "\\" + kMbName, kNewMb);
     },
     0, "/inst: imesetup.exe would ask before replacing the installed IME file, then install", kRemove},
    // Windows 8 and later: the removal's change to the user's own list.
    {"RemovalMovesTheUsersDefault",
     [] {
         PutOwnInstallation("E0200804");
         sim::SetUserInputList({"0409:00000409", "0804:E0200804", "0804:00000804"}, "0804:E0200804");
     },
     0,
     "The removal makes 0804:00000804 the default input method, then takes layout 0804:E0200804 out of the "
     "current user's list of input methods (Windows 8 and later); other users' lists are not changed.",
     kRemove},
    {"RemovalTakesTheLayoutOutOfTheUsersList",
     [] {
         PutOwnInstallation("E0200804");
         sim::SetUserInputList({"0804:00000804", "0804:E0200804"}, "0804:00000804");
     },
     0,
     "The removal takes layout 0804:E0200804 out of the current user's list of input methods (Windows 8 and later); "
     "other users' lists are not changed.",
     kRemove},
    {"RemovalFindsTheLayoutNotInTheUsersList",
     [] {
         PutOwnInstallation("E0200804");
         sim::SetUserInputList({"0804:00000804"}, "0804:00000804");
     },
     0, "Layout 0804:E0200804 is not in the current user's list of input methods (Windows 8 and later)", kRemove},
    // An earlier removal that erased only the key left the user's entry behind.
    {"UnavailableInputMethodInTheUsersList",
     [] { sim::SetUserInputList({"0804:00000804", "0804:E0210804"}, "0804:E0210804"); }, 1,
     "[!!] 当前用户的输入法列表中有 0804:E0210804，而它的键盘布局键已不存在：这是以前的卸载留下的不可用的输入法（“不可用的输入"
     "法”），请在“设置”中删除它。\n"
     "     The current user's list of input methods names 0804:E0210804, whose keyboard layout key is gone: an "
     "unavailable input method, left by an earlier removal; remove it in Settings.",
     kInstall},
    // The removal's first step ends it when a file is not installed.
    {"UninstWithNothingInstalled", [] {}, 0,
     "/uninst: imesetup.exe would run the removal, which ends at once with \"" + kNotInstalled +
         "\": nothing is installed",
     kInstall},
    {"OnlyTheImeFileInstalled",
     [] { sim::PutFile(std::string(kSystemDir) + "\\" + kImeName, test_images::ImeModule()); }, 1,
     "/uninst: imesetup.exe would run the removal, which ends at once with \"" + kNotInstalled +
         "\": the MB file is not installed",
     kRemove + ", and end at once with \"" + kNotInstalled + "\": the MB file is not installed"},
    // Bytes that are GBK and UTF-8 alike: judged by what each reading gives.
    {"GbkThatIsAlsoUtf8", [] { PutSetupLog(kImeName, kMbName, "\xD0\xA1\xD0\xA1"); }, 0,  // 小小, in UTF-8 СС
     "No further problems found.", kInstall},
    {"GbkOrUtf8", [] { PutSetupLog(kImeName, kMbName, "Caf\xC3\xA9"); }, 0,  // Caf茅, in UTF-8 Café
     "ImeName: \"Caf\xE8\x8C\x85\" [43 61 66 C3 A9] in code page 936, \"Caf\xC3\xA9\" in UTF-8", kInstall},
    {"ImeFileNamedAsADllWithATrailingDot",
     [] {
         OneFileInTwoSpellings("MyIme.dll", "myime.DLL.", kMbName);
         DeleteFileA((kPackage + "\\" + kImeName).c_str());
     },
     0, "No further problems found.", kInstall},
    {"SetupProgramOfTheSameMachineUnderAnotherName",
     [] { sim::PutFile(kPackage + "\\install.exe", test_images::SetupProgram(test_images::kX64)); }, 0,
     "The setup program \"install.exe\" in the folder is the x64 build.", kInstall},
    {"FolderGivenOnTheCommandLine", [] { sim::SetCurrentDirectory("C:\\"); }, 0, "C:\\IMEPKG", kInstall,
     "imecheck.exe \"C:\\IMEPKG\""},
    {"OtherCodePage", [] { sim::SetCodePage(1252); }, 0, "This machine's ANSI code page is 1252, not 936", kInstall},
    // A GBK file name ("测试.ime") names another file in code page 1252.
    {"ChineseImeFileNameOnAnEnglishWindows",
     [] {
         sim::SetCodePage(1252);
         PutSetupLog("\xB2\xE2\xCA\xD4.ime", kMbName, kDisplayName);
     },
     2,
     "ImeFile \"\u6D4B\u8BD5.ime\" [B2 E2 CA D4 2E 69 6D 65] reads as \"\u00B2\u00E2\u00CA\u00D4.ime\" on this "
     "machine (code page 1252): imesetup.exe looks for a file of that name, finds none and ends without a message. "
     "Name the files in ASCII.",
     kSilent + "ImeFile \"\u6D4B\u8BD5.ime\" [B2 E2 CA D4 2E 69 6D 65]: not found"},
    // The same name found there: the program looks for the file of that reading.
    {"ChineseImeFileNameFoundOnAnEnglishWindows",
     [] {
         sim::SetCodePage(1252);
         PutIme([](test_images::ImageParts&) {}, "\xB2\xE2\xCA\xD4.ime");
         PutSetupLog("\xB2\xE2\xCA\xD4.ime", kMbName, kDisplayName);
     },
     0,
     "reads as \"\u00B2\u00E2\u00CA\u00D4.ime\" on this machine (code page 1252): imesetup.exe looks for a file "
     "of that name. Name the files in ASCII.",
     kInstall},
    // The GBK display name "测试输入法", as an English Windows reads it.
    {"DisplayNameOnAnEnglishWindows", [] { sim::SetCodePage(1252); }, 0,
     "Windows here will show the layout as \"\u00B2\u00E2\u00CA\u00D4\u00CA\u00E4\u00C8\u00EB\u00B7\u00A8\", not "
     "\"\u6D4B\u8BD5\u8F93\u5165\u6CD5\" [B2 E2 CA D4 CA E4 C8 EB B7 A8]: the display name reaches the input "
     "method manager through the ANSI call, read in code page 1252.",
     kInstall},
    {"LayoutLanguageInEnglish", [] {}, 0, "The layout's language once registered: 0804 (Chinese (Simplified, PRC))",
     kInstall},
    {"LayoutLanguageInChinese", [] {}, 0, "注册后布局的语言：0804 中文(简体，中国)（键 E0NN0804）", kInstall},
    {"TraditionalChineseIme", [] { PutIme([](test_images::ImageParts& p) { p.translations = {{0x0404, 950}}; }); },
     0, "0404 (Chinese (Traditional, Taiwan))", kInstall},
    // The manager compares the names alone: a layout that keeps a path is another file's.
    {"RegisteredWithAPathUnderAnotherLanguage",
     [] {
         sim::SetString(HKEY_LOCAL_MACHINE, std::string(kLayoutList) + "\\E0200409", "Ime File",
                        "C:\\WINDOWS\\SYSTEM32\\MyIme.ime");
     },
     0, "The layout's language once registered: 0804 (Chinese (Simplified, PRC))", kInstall},
    // Key names are read as hexadecimal numbers, in either case.
    {"RegisteredUnderALowerCaseKey",
     [] { sim::SetString(HKEY_LOCAL_MACHINE, std::string(kLayoutList) + "\\e0200409", "Ime File", "MyIme.ime"); },
     1, "/inst: imesetup.exe would install, and registration would fail: the IME file is already registered",
     kRegistrationFails + "the IME file is already registered as layout e0200409, whose language 0409 (English "
                          "(United States)) is not the IME file's 0804"},
    {"RegisteredUnderItsOwnLanguage",
     [] { sim::SetString(HKEY_LOCAL_MACHINE, std::string(kLayoutList) + "\\E0200804", "Ime File", "myime.ime"); },
     0, "The IME file is already registered as layout E0200804, language 0804", kInstall},
    {"InstalledAndRegistered", [] { PutOwnInstallation("E0200804"); }, 0, "/uninst: imesetup.exe would remove\n",
     kRemove},
    {"OnlyTheMbFileInstalled", [] { sim::PutFile(std::string(kSystemDir) + "\\" + kMbName, kNewMb); }, 1,
     "/uninst: imesetup.exe would run the removal, which ends at once with \"" + kNotInstalled +
         "\": the IME file is not installed",
     kInstall},
    // The removal that ends at once never asks for the layout of the IME file installed.
    {"OnlyAnUnmarkedImeInstalled",
     [] {
         sim::PutFile(std::string(kSystemDir) + "\\" + kImeName, UnmarkedImage());
     },
     1, "its bytes differ, so no installation of this package put it there. /inst overwrites it, and a removal "
        "that gets as far as deleting the files deletes it.",
     kRemove + ", and end at once with \"" + kNotInstalled + "\": the MB file is not installed"},
    // The last day with an MS-DOS time: 2000 was a leap year.
    {"ImeFileWrittenOnTheLastDayOf2107",
     [] { sim::SetLastWriteTime(kPackage + "\\" + kImeName, sim::MakeFileTime(2107, 12, 31, 12)); }, 0,
     "No further problems found.", kInstall},
    // The manager keeps 79 UTF-16 characters of the name, not 79 bytes.
    {"ChineseNameOf80Bytes",
     [] {
         PutIme([](test_images::ImageParts&) {}, kChineseName);
         PutSetupLog(kChineseName, kMbName, kDisplayName);
     },
     0, "No further problems found.", kInstall},
    {"LanguageOutsideTheTable", [] { PutIme([](test_images::ImageParts& p) { p.translations = {{0x0419, 1251}}; }); },
     0, "First translation: language 0419 (an unknown language), code page 1251", kInstall},
    // The x86 checker on 64-bit Windows: where its system directory's files really are.
    {"UnderWow64", [] { sim::SetWow64Directory("C:\\WINDOWS\\SysWOW64"); }, 0,
     "This 32-bit checker runs on 64-bit Windows (WoW64): what the 32-bit imesetup.exe puts in the system "
     "directory lands in C:\\WINDOWS\\SysWOW64, and the system directory's paths below lead there.",
     kInstall},
    // Every structure read where it lies, whatever the file's size: the
    // exports' last name, the version resource and the certificate table lie
    // past 64 MiB.
    {"SoundImeFileLargerThan64MiB",
     [] { sim::PutFile(kPackage + "\\" + kImeName, test_images::CraftedImage((64 << 20) + (1 << 20))); }, 0,
     "No further problems found.", kInstall},
    {"OneByteMbFile", [] { sim::PutFile(kPackage + "\\" + kMbName, "x"); }, 0, "No further problems found.", kInstall},
    // 64-bit Windows: each program loads the IME file of its own bitness,
    // 64-bit ones from System32 (the x86 checker reaches it as Sysnative),
    // 32-bit ones from SysWOW64.
    {"X86ImeWithoutA64BitTwin",
     [] {
         PutIme([](test_images::ImageParts& p) { p.machine = test_images::kX86; });
         sim::SetWow64Directory("C:\\WINDOWS\\SysWOW64");
     },
     1, "64-bit programs, most of them, load IME files from C:\\WINDOWS\\SYSTEM32, which holds no 64-bit "
        "MyIme.ime, so the input method will not work in them.",
     kInstall},
    {"X86ImeWithA32BitFileInSystem32",
     [] {
         PutIme([](test_images::ImageParts& p) { p.machine = test_images::kX86; });
         sim::SetWow64Directory("C:\\WINDOWS\\SysWOW64");
         sim::PutFile("C:\\WINDOWS\\Sysnative\\MyIme.ime", test_images::ImeModule(test_images::kX86));
     },
     1, "which holds no 64-bit MyIme.ime (x86), so", kInstall},
    {"X86ImeWithItsTwin",
     [] {
         PutIme([](test_images::ImageParts& p) { p.machine = test_images::kX86; });
         sim::SetWow64Directory("C:\\WINDOWS\\SysWOW64");
         sim::PutFile("C:\\WINDOWS\\Sysnative\\MyIme.ime", test_images::ImeModule(test_images::kX64));
     },
     0, "No further problems found.", kInstall},
    {"X64ImeWithoutA32BitTwin", [] { sim::SetNativeWow64Directory("C:\\WINDOWS\\SysWOW64"); }, 0,
     "32-bit programs load IME files from C:\\WINDOWS\\SysWOW64, which holds no 32-bit MyIme.ime, so the input "
     "method will not work in 32-bit programs unless the x86 package installs the 32-bit build there as well.",
     kInstall},

    // imesetup.exe would end without a message
    {"NoSetupLog", [] { DeleteFileA((kPackage + "\\setup.log").c_str()); }, 2, "",
     kSilent + "no setup.log in the folder"},
    {"ImeFileWrittenBefore1980",
     [] { sim::SetLastWriteTime(kPackage + "\\" + kImeName, sim::MakeFileTime(1979, 6, 1)); }, 2, "",
     kSilent + "ImeFile \"MyIme.ime\": its last-write time is before 1980 in local time and has no MS-DOS form, "
               "so it counts as missing"},
    {"ImeFileWrittenAfter2107",
     [] { sim::SetLastWriteTime(kPackage + "\\" + kImeName, sim::MakeFileTime(2108, 1, 2)); }, 2, "",
     kSilent + "ImeFile \"MyIme.ime\": its last-write time is after 2107 in local time and has no MS-DOS form, so "
               "it counts as missing"},
    {"ImeFileADevice", [] { PutSetupLog("CON", kMbName, kDisplayName); }, 2, "",
     kSilent + "ImeFile \"CON\": is a device name (such as CON or NUL), not a file: the file search reports the "
               "device with no time at all, so it counts as missing"},
    {"FolderOutsideTheCodePageGiven", PackageInAFolderOutsideTheCodePage, 2, "C:\\PKG\xE0\xB8\x81",
     kSilent + "the folder's path holds characters that this machine's ANSI code page (936) lacks: "
               "GetCurrentDirectoryA hands them to imesetup.exe as \"?\", so it looks for setup.log in a folder that "
               "does not exist",
     "imecheck.exe \"C:\\PKG\xE0\xB8\x81\""},
    {"FolderOutsideTheCodePageCurrent",
     [] {
         PackageInAFolderOutsideTheCodePage();
         sim::SetCurrentDirectory(sim::WidePath(u"C:\\PKG\u0E01"));
     },
     2, "", kSilent + "the folder's path holds characters that this machine's ANSI code page (936) lacks: "
                      "GetCurrentDirectoryA hands them to imesetup.exe as \"?\", so it looks for setup.log in a "
                      "folder that does not exist"},
    {"ImeFilePatternMatchingAFolderFirst",
     [] {
         sim::MakeDirectory(kPackage + "\\MyIme.dir");
         PutSetupLog("MyIme.*", kMbName, kDisplayName);
     },
     2, "holds a wildcard of the file search", kSilent + "ImeFile \"MyIme.*\": holds a wildcard whose first match is a folder"},
    {"MbFileMissing", [] { PutSetupLog(kImeName, "absent.mb", kDisplayName); }, 2, "",
     kSilent + "MbFile \"absent.mb\": not found"},
    {"SetupLogIsAFolder",
     [] {
         DeleteFileA((kPackage + "\\setup.log").c_str());
         sim::MakeDirectory(kPackage + "\\setup.log");
     },
     2, "[--] setup.log：是文件夹，不是文件\n     setup.log: is a folder, not a file\n",
     kSilent + "setup.log is a folder, not a file"},
    // The program's own quiet end after its checks passed.
    {"NoSystemDirectory",
     [] { sim::FailCall("GetSystemDirectoryA", ERROR_NOT_ENOUGH_MEMORY, sim::Repeat::Always); }, 2,
     "[--] 无法读取系统目录。\n     The system directory cannot be read.\n",
     kSilent + "the system directory cannot be read"},
    {"ImeNameMissing",
     [] { sim::PutFile(kPackage + "\\setup.log", "[ImePram]\r\nImeFile=MyIme.ime\r\nMbFile=MyIme.mb\r\n"); }, 2, "",
     kSilent + "ImeName is not in section [ImePram]"},
    // Windows reads the first intact [ImePram] section only.
    {"KeyInASecondSection",
     [] {
         sim::PutFile(kPackage + "\\setup.log",
                      "[ImePram]\r\nImeFile=MyIme.ime\r\nMbFile=MyIme.mb\r\n[ImePram]\r\nImeName=x\r\n");
     },
     2, "", kSilent + "ImeName is in a section Windows does not read: a later [ImePram] section (Windows reads the "
                      "first one only)"},
    {"KeysInSectionsBehindAMark",
     [] {
         sim::PutFile(kPackage + "\\setup.log",
                      "\xEF\xBB\xBF[ImePram]\r\nImeFile=MyIme.ime\r\nMbFile=MyIme.mb\r\nImeName=x\r\n"
                      "[ImePram]\r\nImeFile=MyIme.ime\r\n[ImePram]\r\nMbFile=MyIme.mb\r\nImeName=x\r\n");
     },
     2, "these keys are lost: MbFile, ImeName",
     kSilent + "MbFile is in a section Windows does not read: a later [ImePram] section (Windows reads the first one "
               "only) (read as \"0\")"},
    {"ImeNameZero", [] { PutSetupLog(kImeName, kMbName, "0"); }, 2, "", kSilent + "ImeName is \"0\""},
    {"ImeNameEmpty", [] { PutSetupLog(kImeName, kMbName, ""); }, 2, "", kSilent + "ImeName is empty"},
    {"Utf8WithMark",
     [] {
         sim::PutFile(kPackage + "\\setup.log", "\xEF\xBB\xBF[ImePram]\r\nImeFile=MyIme.ime\r\nMbFile=MyIme.mb\r\n"
                                                "ImeName=" + kUtf8DisplayName + "\r\n");
     },
     2, "these keys are lost: ImeFile, MbFile, ImeName",
     kSilent + "ImeFile is in a section Windows does not read: its [ImePram] header on the first line is spoilt by the "
               "byte order mark (read as \"0\")"},
    {"Utf8WithMarkOnAnAsciiCommentLine",
     [] {
         sim::PutFile(kPackage + "\\setup.log", "\xEF\xBB\xBF; IME\r\n[ImePram]\r\nImeFile=MyIme.ime\r\n"
                                                "MbFile=MyIme.mb\r\nImeName=x\r\n");
     },
     1, "the first line is no [ImePram] header, so no key is lost, but the mark has no place in an ANSI file.",
     kInstall},
    {"Utf8WithMarkOnACommentLine",
     [] {
         sim::PutFile(kPackage + "\\setup.log", "\xEF\xBB\xBF; IME\r\n[ImePram]\r\nImeFile=MyIme.ime\r\n"
                                                "MbFile=MyIme.mb\r\nImeName=" + kUtf8DisplayName + "\r\n");
     },
     1, "where \"" + kUtf8DisplayName + "\" was meant", kInstall},

    // Windows reads it as Unicode and passes the values on in the ANSI code page.
    {"Utf16LittleEndian",
     [] {
         std::string utf16 = "\xFF\xFE";
         for (const char c : std::string("[ImePram]\r\nImeFile=MyIme.ime\r\nMbFile=MyIme.mb\r\nImeName=x\r\n")) {
             utf16 += c;
             utf16 += '\0';
         }
         sim::PutFile(kPackage + "\\setup.log", utf16);
     },
     1, "[..] 编码：带 BOM 的 UTF-16\n     Encoding: UTF-16 with a byte order mark\n", kInstall},
    {"Utf16BigEndian",
     [] {
         std::string utf16 = "\xFE\xFF";
         for (const char c : std::string("[ImePram]\r\nImeFile=MyIme.ime\r\nMbFile=MyIme.mb\r\nImeName=x\r\n")) {
             utf16 += '\0';
             utf16 += c;
         }
         sim::PutFile(kPackage + "\\setup.log", utf16);
     },
     2, "Windows' profile reader finds nothing in it", ""},

    // imesetup.exe runs, but the package would go wrong
    {"ZeroBytes",
     [] {
         sim::PutFile(kPackage + "\\setup.log", "[ImePram]\r\nImeFile=MyIme.ime\r\nMbFile=MyIme.mb\r\nImeName=x\r\n" +
                                                     std::string(";\0\r\n", 4));
     },
     1, "setup.log holds zero bytes", kInstall},
    {"Utf8WithoutMark", [] { PutSetupLog(kImeName, kMbName, kUtf8DisplayName); }, 1,
     "where \"" + kUtf8DisplayName + "\" was meant", kInstall},
    // The encoding judged from the whole file, as Windows reads it.
    {"Utf8NameBehindAMegabyteOfComments",
     [] {
         std::string comments;
         while (comments.size() < (1 << 20)) comments += "; the code table's history, line after line\r\n";
         sim::PutFile(kPackage + "\\setup.log", comments + "[ImePram]\r\nImeFile=MyIme.ime\r\nMbFile=MyIme.mb\r\nImeName=" +
                                                     kUtf8DisplayName + "\r\n");
     },
     1, "where \"" + kUtf8DisplayName + "\" was meant", kInstall},
    {"ImeFileWithFolderParts",
     [] {
         sim::PutFile(kPackage + "\\sub\\MyIme.ime", test_images::ImeModule());
         PutSetupLog("sub\\MyIme.ime", kMbName, kDisplayName);
     },
     1, "installs to C:\\WINDOWS\\SYSTEM32\\sub\\MyIme.ime",
     CopyFails("IME file", "sub\\MyIme.ime", kNoSubFolder + "MyIme.ime does not exist")},
    // The copy is made, but the input method manager reads the system directory's file of that name.
    {"ImeFileWithFolderPartsIntoAFolderThatExists",
     [] {
         sim::MakeDirectory(std::string(kSystemDir) + "\\sub");
         sim::PutFile(kPackage + "\\sub\\MyIme.ime", test_images::ImeModule());
         PutSetupLog("sub\\MyIme.ime", kMbName, kDisplayName);
     },
     1, "outside the system directory. The input method manager reads the IME file by its name in the system "
        "directory itself, as C:\\WINDOWS\\SYSTEM32\\MyIme.ime, not this copy.",
     kRegistrationFails + "the input method manager reads the IME file by its name in the system directory, as "
                          "C:\\WINDOWS\\SYSTEM32\\MyIme.ime, and there is no such file"},
    // A file of that name where the folder should be: no folder to copy into.
    {"ImeFileWithFolderPartsIntoAFile",
     [] {
         sim::PutFile(std::string(kSystemDir) + "\\sub", "not a folder");
         sim::PutFile(kPackage + "\\sub\\MyIme.ime", test_images::ImeModule());
         PutSetupLog("sub\\MyIme.ime", kMbName, kDisplayName);
     },
     1, "installs to C:\\WINDOWS\\SYSTEM32\\sub\\MyIme.ime: that folder does not exist on this machine",
     CopyFails("IME file", "sub\\MyIme.ime", kNoSubFolder + "MyIme.ime does not exist")},
    {"ImeFileWithFolderPartsBackIntoTheSystemDirectory",
     [] { PutSetupLog("sub\\..\\MyIme.ime", kMbName, kDisplayName); }, 1,
     "the system directory itself by a roundabout path", kInstall},
    {"ImeFileWithFolderPartsReachingThePackageItself",
     [] { PutSetupLog("..\\..\\IMEPKG\\MyIme.ime", kMbName, kDisplayName); }, 1,
     "its installed path C:\\WINDOWS\\SYSTEM32\\..\\..\\IMEPKG\\MyIme.ime is this package's own file: imesetup.exe "
     "takes the IME for installed, so without an argument it removes instead of installing",
     kRemove + ", and end at once with \"" + kNotInstalled + "\": the MB file is not installed"},
    {"BothFilesReachingThePackageItself",
     [] { PutSetupLog("..\\..\\IMEPKG\\MyIme.ime", "..\\..\\IMEPKG\\MyIme.mb", kDisplayName); }, 1,
     "the installation copies the file onto itself, which fails (\"..\\..\\IMEPKG\\MyIme.mb Copy to %SystemDir% "
     "Error \"), and a removal that gets as far as deleting the files deletes the package's own",
     kLookupFails + "the input method manager reads the IME file by its name in the system directory, as "
                    "C:\\WINDOWS\\SYSTEM32\\MyIme.ime, and there is no such file"},
    {"ImeFilePattern", [] { PutSetupLog("MyIme.i*", kMbName, kDisplayName); }, 1,
     "holds a wildcard of the file search (*, ?, <, > or \")",
     CopyFails("IME file", "MyIme.i*", kWildcard)},
    {"MbFileWithFolderParts",
     [] {
         sim::PutFile(kPackage + "\\sub\\MyIme.mb", kNewMb);
         PutSetupLog(kImeName, "sub\\MyIme.mb", kDisplayName);
     },
     1,
     "MbFile \"sub\\MyIme.mb\" has folder parts. imesetup.exe joins it to the system directory as it is and "
     "installs to C:\\WINDOWS\\SYSTEM32\\sub\\MyIme.mb: that folder does not exist on this machine, and the copy "
     "fails. Give the bare file name",
     CopyFails("MB file", "sub\\MyIme.mb", kNoSubFolder + "MyIme.mb does not exist")},
    // The search's own DOS wildcards: DOS_QM, DOS_DOT and DOS_STAR.
    {"ImeFileDosQm", [] { PutSetupLog("MyIme.im>", kMbName, kDisplayName); }, 1,
     "holds a wildcard of the file search",
     CopyFails("IME file", "MyIme.im>", kWildcard)},
    {"ImeFileDosDot", [] { PutSetupLog("MyIme\"ime", kMbName, kDisplayName); }, 1,
     "holds a wildcard of the file search",
     CopyFails("IME file", "MyIme\"ime", kWildcard)},
    {"ImeFileDosStar", [] { PutSetupLog("<.ime", kMbName, kDisplayName); }, 1, "holds a wildcard of the file search",
     CopyFails("IME file", "<.ime", kWildcard)},
    {"InstalledPathOfMaxPathOrMore",
     [] { OneFileInTwoSpellings(std::string(236, 'a') + ".ime", std::string(236, 'a') + ".ime", kMbName); }, 1,
     "260 characters long, MAX_PATH (260) or more: on Windows the ANSI file calls of imesetup.exe do not reach such "
     "a path, and the copy fails",
     CopyFails("IME file", std::string(236, 'a') + ".ime",
               "the installed path C:\\WINDOWS\\SYSTEM32\\" + std::string(236, 'a') +
                   ".ime is MAX_PATH (260) characters or more")},
    // What the setup program meets beyond the package: found by running both on generated packages.
    {"NoPreloadKeyWithTheLayoutRegistered",
     [] {
         PutInstallation(kOldIme, "E0200804");
         sim::DeleteKeyTree(HKEY_CURRENT_USER, kPreload);
     },
     1, "/uninst: imesetup.exe would remove, and opening the preload list would fail with",
     kRemove + ", and opening the preload list would fail with \"打开注册表（OpenKey）出错，不能卸载。\": the current user "
               "has no Keyboard Layout\\Preload key"},
    {"InstalledMbFileByAWildcard",
     [] {
         PutInstallation(kOldIme, "E0200804");
         PutSetupLog(kImeName, "MyIme.m?", kDisplayName);
     },
     1, "holds a wildcard of the file search",
     kRemove + ", and deleting the files would fail with \"" + kFilesLocked + "\": an installed path holds a wildcard: "
               "the presence test found a match, but DeleteFileA does not take such a name"},
    {"BothKeysNameOneInstalledFile",
     [] {
         PutInstallation(kOldIme, "E0200804");
         PutSetupLog(kImeName, "myime.IME.", kDisplayName);
     },
     1, "the removal's second deletion finds nothing",
     kRemove + ", and deleting the files would fail with \"" + kFilesLocked + "\": both installed paths reach one "
               "file, which the second deletion no longer finds"},
    // The layout already registered: the removal after the installation ends at the missing preload key first.
    {"ReadOnlyMbFileWithoutPreloadKey",
     [] {
         sim::SetReadOnly(kPackage + "\\" + kMbName, true);
         sim::SetString(HKEY_LOCAL_MACHINE, std::string(kLayoutList) + "\\E0200804", "Ime File", "MyIme.ime");
         sim::DeleteKeyTree(HKEY_CURRENT_USER, kPreload);
     },
     1, "The installation works, but DeleteFileA cannot delete a read-only file: a removal that gets as far as "
        "deleting the files ends with",
     kInstall},
    // The lock test cannot open a name with a wildcard: no question, and the copy fails.
    {"InstWithAWildcardOverAReadOnlyIme",
     [] {
         PutInstallation(kOldIme, "E0200804");
         sim::SetReadOnly(std::string(kSystemDir) + "\\" + kImeName, true);
         PutSetupLog("MyIme.im?", kMbName, kDisplayName);
     },
     1, "/inst: imesetup.exe would install, and copying the IME file would fail with \"MyIme.im? Copy to %SystemDir% "
        "Error \": the name holds a wildcard",
     ""},
    {"HiddenMbFileInstalledFailsTheCopyOfInst",
     [] {
         PutInstallation(kOldIme, "E0200804");
         SetFileAttributesA((std::string(kSystemDir) + "\\" + kMbName).c_str(), FILE_ATTRIBUTE_HIDDEN);
     },
     1, "/inst: imesetup.exe would ask before replacing the installed IME file, then install, and copying the MB file "
        "would fail with \"MyIme.mb Copy to %SystemDir% Error \": the file in the system directory is hidden, and on "
        "Windows CopyFileA does not overwrite it",
     kRemove},
    // The IME file's copy carries its attribute onto the one file both names reach.
    {"HiddenImeFileNamedTwice",
     [] {
         SetFileAttributesA((kPackage + "\\" + kImeName).c_str(), FILE_ATTRIBUTE_HIDDEN);
         PutSetupLog(kImeName, "myime.IME.", kDisplayName);
     },
     1, "hidden",
     CopyFails("MB file", "myime.IME.", "both installed paths reach one file, and the IME file's copy has just "
                                        "carried its attribute there: the file in the system directory is hidden, and "
                                        "on Windows CopyFileA does not overwrite it")},
    // One file by two names, installed as two copies: the removal deletes both.
    {"OneFileInstalledAsTwoCopies",
     [] {
         sim::MakeDirectory("C:\\WINDOWS\\IMEPKG");
         PutSetupLog(kImeName, "..\\IMEPKG\\MyIme.ime", kDisplayName);
     },
     1, "the installation copies it to two files, C:\\WINDOWS\\SYSTEM32\\MyIme.ime and "
        "C:\\WINDOWS\\SYSTEM32\\..\\IMEPKG\\MyIme.ime.",
     kInstall},
    {"ReadOnlyImeFile", [] { sim::SetReadOnly(kPackage + "\\" + kImeName, true); }, 1,
     "ImeFile \"MyIme.ime\" is read-only (FILE_ATTRIBUTE_READONLY): the copy carries the attribute to the installed "
     "file",
     kInstall},
    // Installed, the read-only copy stays behind a registration that fails.
    {"ReadOnlyImeFileWithoutVersionResource",
     [] {
         PutIme([](test_images::ImageParts& p) { p.resources = test_images::Resources::NoVersion; });
         sim::SetReadOnly(kPackage + "\\" + kImeName, true);
     },
     1,
     "The registration would fail (see the last line) and leave the copies there: the removal ends with \""
     "未找到该输入法HKL，不能正常卸载。\"",
     kRegistrationFails + "the IME file has no version resource (error 1813)"},
    // A read-only copy installed earlier: the lock test of /inst cannot open it
    // for writing, and the removal cannot delete it.
    {"ReadOnlyImeFileInstalled",
     [] {
         PutInstallation(kOldIme, "E0200804");
         sim::SetReadOnly(std::string(kSystemDir) + "\\" + kImeName, true);
     },
     1,
     "/inst: imesetup.exe would run the installation, whose lock test ends it at once: the installed IME file is "
     "read-only, with this box:\n       | 安装失败：输入法文件已被锁定。请  \n       | 关闭所有使用输入法文件的程序后再试。  \n"
     "       | 如仍弹出本提示，请注销或重启计算机。\n",
     kRemove + ", and deleting the files would fail with \"" + kFilesLocked + "\": the installed IME file is read-only"},
    {"ReadOnlyMbFileInstalled",
     [] {
         PutInstallation(kOldIme, "E0200804");
         sim::SetReadOnly(std::string(kSystemDir) + "\\" + kMbName, true);
     },
     1,
     "The installed MB file C:\\WINDOWS\\SYSTEM32\\MyIme.mb is read-only: CopyFileA does not overwrite it, so an "
     "installation's copy fails (\"MyIme.mb Copy to %SystemDir% Error \"), and DeleteFileA cannot delete it",
     kRemove + ", and deleting the files would fail with \"" + kFilesLocked + "\": the installed MB file is read-only"},
    // The manager stops the removal before it deletes anything.
    {"ReadOnlyUnmarkedImeFileInstalled",
     [] {
         PutInstallation(UnmarkedImage(), "E0200804");
         sim::SetReadOnly(std::string(kSystemDir) + "\\" + kImeName, true);
     },
     1, "/uninst: imesetup.exe would remove, and finding the layout would fail",
     kLookupFails + "the IME file has no version resource (error 1813)"},
    {"HiddenImeFileInstalled",
     [] {
         PutInstallation(kOldIme, "E0200804");
         SetFileAttributesA((std::string(kSystemDir) + "\\" + kImeName).c_str(), FILE_ATTRIBUTE_HIDDEN);
     },
     1,
     "The installed IME file C:\\WINDOWS\\SYSTEM32\\MyIme.ime is hidden: on Windows CopyFileA does not overwrite it, "
     "so an installation's copy fails (\"MyIme.ime Copy to %SystemDir% Error \"; Wine overwrites it).",
     kRemove},
    {"HiddenImeFile", [] { SetFileAttributesA((kPackage + "\\" + kImeName).c_str(), FILE_ATTRIBUTE_HIDDEN); }, 1,
     "ImeFile \"MyIme.ime\" is hidden (FILE_ATTRIBUTE_HIDDEN): the copy carries the attribute to the installed file",
     kInstall},
    {"ReadOnlyMbFile", [] { sim::SetReadOnly(kPackage + "\\" + kMbName, true); }, 1,
     "so imesetup.exe can never remove it (the removal ends with \"" + kFilesLocked + "\")", kInstall},
    // Two names for one file, however spelt.
    {"BothKeysNameTheSameFile", [] { PutSetupLog(kImeName, "MYIME.IME", kDisplayName); }, 1,
     "ImeFile and MbFile name the same file \"MyIme.ime\" / \"MYIME.IME\": the input method gets no code table",
     kInstall},
    // A removal that the input method manager stops never reaches the second deletion.
    // The installed IME file's removal is stopped by the manager, whatever the package's.
    {"BothKeysNameTheSameFileOverAnUnmarkedInstalledIme",
     [] {
         sim::PutFile(std::string(kSystemDir) + "\\" + kImeName, UnmarkedImage());
         PutSetupLog(kImeName, kImeName, kDisplayName);
     },
     1, "here the input method manager stops it first, as predicted above.",
     kLookupFails + "the IME file has no version resource (error 1813)"},
    {"BothKeysNameTheSameFileWithoutVersionResource",
     [] {
         PutIme([](test_images::ImageParts& p) { p.resources = test_images::Resources::NoVersion; });
         PutSetupLog(kImeName, kImeName, kDisplayName);
     },
     1, "here the input method manager stops it first, as predicted above.",
     kRegistrationFails + "the IME file has no version resource (error 1813)"},
    {"BothKeysNameTheSameFileWithTrailingDotsAndBlanks",
     [] { PutSetupLog(kImeName, "\"MyIme.ime. . \"", kDisplayName); }, 1, "ImeFile and MbFile name the same file",
     kInstall},
    {"BothKeysNameTheSameFileInGreek",
     [] { OneFileInTwoSpellings("\xA6\xA1\xA6\xA2.ime", "\xA6\xA1\xA6\xA2.ime", "\xA6\xC1\xA6\xC2.ime"); }, 1,
     "ImeFile and MbFile name the same file", kInstall},  // ΑΒ, αβ
    {"BothKeysNameTheSameFileInCyrillic",
     [] { OneFileInTwoSpellings("\xA7\xA1\xA7\xA2.ime", "\xA7\xD1\xA7\xD2.ime", "\xA7\xA1\xA7\xA2.ime"); }, 1,
     "ImeFile and MbFile name the same file", kInstall},  // аб, АБ
    {"BothKeysNameTheSameFileInFullWidthLatin",
     [] { OneFileInTwoSpellings("\xA3\xCD\xA3\xD9.ime", "\xA3\xCD\xA3\xD9.ime", "\xA3\xED\xA3\xF9.ime"); }, 1,
     "ImeFile and MbFile name the same file", kInstall},  // ＭＹ, ｍｙ
    {"ImeFileNoImage", [] { sim::PutFile(kPackage + "\\" + kImeName, "IME module as text"); }, 1,
     "The IME file is no Windows image", kRegistrationFails + "the IME file is no PE image and has no version "
                                                              "resource (error 1812)"},
    // Not called unsigned as well: there is no image to sign.
    {"ImeFileNoImageIsNotCalledUnsigned", [] { sim::PutFile(kPackage + "\\" + kImeName, "IME module as text"); }, 1,
     "2 problem(s) found; exit status 1.", ""},
    {"ImeFileAProgram", [] { sim::PutFile(kPackage + "\\" + kImeName, test_images::SetupProgram(test_images::kX64)); },
     1, "The IME file is a program, not a DLL",
     kRegistrationFails + "the IME file's version resource says FILETYPE 1 and FILESUBTYPE 0, not VFT_DRV (3) and "
                          "VFT2_DRV_INPUTMETHOD (11) of an input method driver"},
    {"ImeFileWithoutImeInquire",
     [] {
         test_images::ImageParts parts;
         parts.exports = {"DllMain"};
         sim::PutFile(kPackage + "\\" + kImeName, test_images::BuildImage(parts));
     },
     1, "does not export ImeInquire", kInstall},
    {"Arm64Ime", [] { sim::PutFile(kPackage + "\\" + kImeName, test_images::ImeModule(test_images::kArm64)); }, 1,
     "The IME file is an ARM64 image: there is no imesetup.exe build for it", kInstall},
    {"Arm32Ime", [] { sim::PutFile(kPackage + "\\" + kImeName, test_images::ImeModule(0x01C4)); }, 1,
     "The IME file is an 0x01C4 image: there is no imesetup.exe build for it", kInstall},
    {"X86ImeWithX64SetupProgram",
     [] {
         sim::PutFile(kPackage + "\\" + kImeName, test_images::ImeModule(test_images::kX86));
         sim::PutFile(kPackage + "\\setup.exe", test_images::SetupProgram(test_images::kX64));
     },
     1, "The setup program \"setup.exe\" in the folder is the x64 build, but the IME file is an x86 image", kInstall},
    // What stands at the installed paths and is not this package's: named
    // before the installation overwrites it or the removal deletes it.
    {"AnotherImesMbFile", [] { sim::PutFile(std::string(kSystemDir) + "\\" + kMbName, kOldMb); }, 1,
     "The system directory already holds C:\\WINDOWS\\SYSTEM32\\MyIme.mb, and the IME file is not installed, so no "
     "installation of this package left it there: it may be another input method's. Installing overwrites it, and "
     "its content is lost; it is deleted by the removal later.",
     kInstall},
    {"InstalledFilesOfOtherContent", [] { PutInstallation(kOldIme, "E0200804"); }, 1,
     "The installed IME file C:\\WINDOWS\\SYSTEM32\\MyIme.ime is not the one in the package (\"MyIme.ime\"): its "
     "bytes differ, so no installation of this package put it there. Without an argument imesetup.exe runs the "
     "removal, which deletes it, and /inst overwrites it.",
     kRemove},
    {"InstalledMbFileOfOtherContent", [] { PutInstallation(test_images::ImeModule(), "E0200804"); }, 1,
     "The installed MB file C:\\WINDOWS\\SYSTEM32\\MyIme.mb is not the one in the package", kRemove},
    // Windows Resource Protection: the copy fails for an administrator too.
    {"MbFileNamedAsAProtectedWindowsFile", [] { MbFileNamedAsAWindowsFile("notepad.exe"); }, 1,
     "The MB file's installed path C:\\WINDOWS\\SYSTEM32\\notepad.exe is a system file Windows protects (Windows "
     "Resource Protection): only Windows' own installer may replace or delete it, an administrator included. On "
     "Windows the installation's copy onto it fails with access denied (\"notepad.exe Copy to %SystemDir% Error \")",
     CopyFails("MB file", "notepad.exe", kProtectedCopy)},
    {"MbFileProtectedOutsideTheList",
     [] {
         sim::PutFile(std::string(kSystemDir) + "\\" + kMbName, kOldMb);
         sim::ProtectFile(std::string(kSystemDir) + "\\" + kMbName);
     },
     1, "C:\\WINDOWS\\SYSTEM32\\MyIme.mb is a system file Windows protects",
     CopyFails("MB file", kMbName, kProtectedCopy)},
    // This package installed with its MB file under a protected name: the
    // removal reaches the deletion, which Windows refuses.
    {"ProtectedMbFileInstalled",
     [] {
         PutOwnInstallation("E0200804");
         sim::PutFile(std::string(kSystemDir) + "\\" + kMbName, kOldMb);
         sim::ProtectFile(std::string(kSystemDir) + "\\" + kMbName);
     },
     1, "C:\\WINDOWS\\SYSTEM32\\MyIme.mb is a system file Windows protects",
     kRemove + ", and deleting the files would fail with \"" + kFilesLocked +
         "\": the installed MB file is protected by Windows"},
    // Where sfc.dll says no to every file (Wine's stub), or is not there, the checker's own list answers.
    {"ProtectedWindowsFileWhereNoAnswerComes",
     [] {
         sim::SetFileProtectionAnswers(false);
         MbFileNamedAsAWindowsFile("KERNEL32.dll");
     },
     1, "C:\\WINDOWS\\SYSTEM32\\KERNEL32.dll is a system file Windows protects",
     CopyFails("MB file", "KERNEL32.dll", kProtectedCopy)},
    {"ProtectedWindowsFileWithoutSfcDll",
     [] {
         sim::RemoveSystemLibrary("sfc.dll");
         MbFileNamedAsAWindowsFile("notepad.exe");
     },
     1, "C:\\WINDOWS\\SYSTEM32\\notepad.exe is a system file Windows protects",
     CopyFails("MB file", "notepad.exe", kProtectedCopy)},
    // The IME file named as a protected one is taken for installed: /inst ends at its lock test.
    {"ImeFileNamedAsAProtectedWindowsFile",
     [] {
         sim::PutFile(std::string(kSystemDir) + "\\imm32.dll", "Windows' own");
         sim::PutFile(kPackage + "\\imm32.dll", test_images::ImeModule());
         sim::PutFile(std::string(kSystemDir) + "\\" + kMbName, kNewMb);
         PutSetupLog("imm32.dll", kMbName, kDisplayName);
     },
     1,
     "/inst: imesetup.exe would run the installation, whose lock test ends it at once: the installed IME file is "
     "protected by Windows",
     kLookupFails + "the IME file is no PE image and has no version resource (error 1812)"},
    // A code table is data: a program in its place is a package put together wrongly.
    {"MbFileIsTheImeFileOverAgain", [] { sim::PutFile(kPackage + "\\" + kMbName, test_images::ImeModule()); }, 1,
     "The MB file \"MyIme.mb\" holds exactly the bytes of the IME file \"MyIme.ime\"", kInstall},
    {"MbFileIsAProgram", [] { sim::PutFile(kPackage + "\\" + kMbName, test_images::SetupProgram(test_images::kX64)); },
     1, "The MB file \"MyIme.mb\" is a Windows image (a PE file), not code-table data", kInstall},
    {"EmptyMbFile", [] { sim::PutFile(kPackage + "\\" + kMbName, ""); }, 1, "The MB file is empty", kInstall},
    {"DllsInTheFolder",
     [] {
         sim::PutFile(kPackage + "\\version.dll", "x");
         sim::PutFile(kPackage + "\\uxtheme.dll", "x");
     },
     1, "The folder holds DLL files: uxtheme.dll, version.dll.", kInstall},

    // Windows would refuse the registration, or the removal's lookup
    {"NoResources", [] { PutIme([](test_images::ImageParts& p) { p.resources = test_images::Resources::None; }); },
     1, "Installing, imesetup.exe would copy both files and then show this box:\n" + kActivationBox,
     kRegistrationFails + "the IME file has no resources, so no version resource (error 1812)"},
    {"NoVersionResource",
     [] { PutIme([](test_images::ImageParts& p) { p.resources = test_images::Resources::NoVersion; }); }, 1,
     "Windows 不会注册这个 IME 文件：IME 文件没有版本资源（错误 1813）",
     kRegistrationFails + "the IME file has no version resource (error 1813)"},
    {"FileTypeDll",
     [] {
         PutIme([](test_images::ImageParts& p) {
             p.fileType = test_images::kVftDll;
             p.fileSubtype = 0;
         });
     },
     1, "The IME file's version resource: FILETYPE 2, FILESUBTYPE 0",
     kRegistrationFails + "the IME file's version resource says FILETYPE 2 and FILESUBTYPE 0, not VFT_DRV (3) and "
                          "VFT2_DRV_INPUTMETHOD (11) of an input method driver"},
    {"DriverOfAnotherSubtype", [] { PutIme([](test_images::ImageParts& p) { p.fileSubtype = 1; }); }, 1,
     "Windows would not register the IME file",
     kRegistrationFails + "the IME file's version resource says FILETYPE 3 and FILESUBTYPE 1, not VFT_DRV (3) and "
                          "VFT2_DRV_INPUTMETHOD (11) of an input method driver"},
    {"NoTranslation", [] { PutIme([](test_images::ImageParts& p) { p.translations.clear(); }); }, 1,
     "Windows would not register the IME file",
     kRegistrationFails + "the IME file's version resource has no \\VarFileInfo\\Translation, which gives the layout "
                          "its language"},
    {"NameTooLong",
     [] {
         PutIme([](test_images::ImageParts&) {}, kLongName);
         PutSetupLog(kLongName, kMbName, kDisplayName);
     },
     1, "Windows would not register the IME file",
     kRegistrationFails + "the IME file's name has 80 characters; the input method manager keeps 79 of them (80 with "
                          "the terminating zero) and finds no file by the shortened name"},
    {"NameOf79Characters",
     [] {
         PutIme([](test_images::ImageParts&) {}, kLongName.substr(1));
         PutSetupLog(kLongName.substr(1), kMbName, kDisplayName);
     },
     0, "No further problems found.", kInstall},
    {"RegisteredUnderAnotherLanguage",
     [] { sim::SetString(HKEY_LOCAL_MACHINE, std::string(kLayoutList) + "\\E0200409", "Ime File", "MyIme.ime"); },
     1, "/inst: imesetup.exe would install, and registration would fail: the IME file is already registered",
     kRegistrationFails + "the IME file is already registered as layout E0200409, whose language 0409 (English "
                          "(United States)) is not the IME file's 0804"},
    {"InstalledImeWithoutVersionResource",
     [] {
         PutInstallation(UnmarkedImage(), "E0200804");
     },
     1, "Removing, imesetup.exe would show this box and change nothing:\n       | 未找到该输入法HKL，不能正常卸载。\n",
     kLookupFails + "the IME file has no version resource (error 1813)"},
    {"ReplacingWithAnUnmarkedIme",
     [] {
         PutInstallation(kOldIme, "E0200804");
         PutIme([](test_images::ImageParts& p) { p.translations.clear(); });
     },
     1,
     "/inst: imesetup.exe would ask before replacing the installed IME file, then install, and registration would "
     "fail: the IME file's version resource has no \\VarFileInfo\\Translation",
     kRemove},
    {"NeutralLanguage", [] { PutIme([](test_images::ImageParts& p) { p.translations = {{0x0000, 1200}}; }); }, 1,
     "The IME file's first translation is the neutral language (0000)", kInstall},
    {"UnsignedIme", [] { PutIme([](test_images::ImageParts& p) { p.signature = false; }); }, 1,
     "The IME file has no Authenticode signature.", kInstall},
    {"SignedIme", [] {}, 0, "The IME file carries an Authenticode signature (whether it is valid is not checked here).",
     kInstall},

    {"MbFileWithFolderPartsIntoAFolderThatExists",
     [] {
         sim::MakeDirectory(std::string(kSystemDir) + "\\sub");
         sim::PutFile(kPackage + "\\sub\\MyIme.mb", kNewMb);
         PutSetupLog(kImeName, "sub\\MyIme.mb", kDisplayName);
     },
     1, "installs to C:\\WINDOWS\\SYSTEM32\\sub\\MyIme.mb, outside the system directory. Give the bare file name",
     kInstall},
    {"HiddenMbFileInstalled",
     [] {
         PutInstallation(kOldIme, "E0200804");
         SetFileAttributesA((std::string(kSystemDir) + "\\" + kMbName).c_str(), FILE_ATTRIBUTE_HIDDEN);
     },
     1, "The installed MB file C:\\WINDOWS\\SYSTEM32\\MyIme.mb is hidden: on Windows CopyFileA does not overwrite it",
     kRemove},
    {"ReadOnlyFilesInstalled",
     [] {
         PutInstallation(kOldIme, "E0200804");
         sim::SetReadOnly(std::string(kSystemDir) + "\\" + kImeName, true);
         sim::SetReadOnly(std::string(kSystemDir) + "\\" + kMbName, true);
     },
     1, "The installed MB file C:\\WINDOWS\\SYSTEM32\\MyIme.mb is read-only",
     kRemove + ", and deleting the files would fail with \"" + kFilesLocked +
         "\": the installed IME and MB files are read-only"},
    // The version resource's root claims no value: no VS_FIXEDFILEINFO to read.
    {"NoWholeFixedFileInformation",
     [] {
         std::string image = test_images::ImeModule();
         const std::string key("V\0S\0_\0V\0E\0R\0S\0I\0O\0N\0_\0I\0N\0F\0O\0", 30);
         image.replace(image.find(key) - 4, 2, std::string(2, '\0'));  // wValueLength
         sim::PutFile(kPackage + "\\" + kImeName, image);
     },
     1, "Windows would not register the IME file",
     kRegistrationFails + "the IME file's version resource has no whole fixed file information (VS_FIXEDFILEINFO)"},
    // The program's first check: GetCurrentDirectoryA fails.
    {"NoCurrentDirectory",
     [] { sim::FailCall("GetCurrentDirectoryA", ERROR_NOT_ENOUGH_MEMORY, sim::Repeat::Always); }, 2,
     "[--] 无法读取当前目录。\n     The current directory cannot be read.\n",
     kSilent + "the current directory cannot be read"},

    // findings ignored by their codes count for nothing, and are still listed
    {"IgnoredProblem", [] { PutIme([](test_images::ImageParts& p) { p.signature = false; }); }, 0,
     "[~~] IME 文件没有 Authenticode 签名。", kInstall, "imecheck.exe --ignore IC306"},
    {"IgnoredProblemBesideAnother",
     [] {
         PutIme([](test_images::ImageParts& p) { p.signature = false; });
         sim::PutFile(kPackage + "\\" + kMbName, "");
     },
     1, "1 problem(s) found (1 more ignored); exit status 1.", kInstall, "imecheck.exe --ignore=IC306"},
    {"IgnoredCodeUnknown", [] {}, 3, "Unknown finding code in --ignore: IC999", "",
     "imecheck.exe --ignore IC306,IC999"},
    // A silent end is no finding that can be let pass.
    {"IgnoredCodeOfASilentEnd", [] {}, 3, "Unknown finding code in --ignore: IC101", "", "imecheck.exe --ignore IC101"},
    {"FormatOfNoKind", [] {}, 3, "The option --format takes one of: text, json", "", "imecheck.exe --format xml"},
    {"LangWithoutItsValue", [] {}, 3, "The option --lang takes one of: zh, en", "", "imecheck.exe --lang"},

    // a bad command line
    {"TwoFolders", [] {}, 3, "Give one folder at most.", "", "imecheck.exe C:\\IMEPKG C:\\"},
    {"UnknownOption", [] {}, 3, "Unknown option: /inst", "", "imecheck.exe /inst"},
    {"UnknownOptionWithADash", [] {}, 3, "Unknown option: -h", "", "imecheck.exe -h"},
    {"NoSuchFolder", [] {}, 3, "Cannot open the folder C:\\NOWHERE", "", "imecheck.exe C:\\NOWHERE"},
};

INSTANTIATE_TEST_SUITE_P(Packages, CheckerRun, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<CheckerCase>& info) { return info.param.name; });

}  // namespace

namespace {

using namespace ime_package;

// Whole reports, written out from what each must say: every mark, the
// predictions for the three command lines, the facts of this machine.
class CheckerReport : public CleanMachineTest, public ::testing::WithParamInterface<ReportCase> {
protected:
    void SetUp() override
    {
        CleanMachineTest::SetUp();
        PutCheckerPackage();
    }
};

TEST_P(CheckerReport, IsTheWholeExpectedText)
{
    GetParam().prepare();
    std::string report;
    RunChecker("imecheck.exe", [&report](const std::string& text) { report += text; });
    EXPECT_EQ(report, GetParam().report);
}

// The host build is the checker of this process's bitness.
const std::string kBuild = sizeof(void*) == 8 ? "x64" : "x86";

const std::string kIntroduction =
    "[..] 检查文件夹 C:\\IMEPKG 中的输入法安装包，不做任何更改。\n"
    "     Checking the IME package in the folder C:\\IMEPKG; nothing is changed.\n"
    "[..] 这是 " + kBuild + " 版的检查程序：它看到的系统目录与 " + kBuild + " 版 imesetup.exe 相同。\n"
    "     This is the " + kBuild + " checker: it sees the system directory as the " + kBuild + " imesetup.exe does.\n";

// Nothing installed: the package installs, and the removal ends at once.
const std::string kInstallsOverNothing =
    "[..] 已安装的 IME 文件 C:\\WINDOWS\\SYSTEM32\\MyIme.ime：不存在\n"
    "     Installed IME file C:\\WINDOWS\\SYSTEM32\\MyIme.ime: absent\n"
    "[..] 不带参数：imesetup.exe 会安装\n"
    "     Without an argument: imesetup.exe would install\n"
    "[..] /inst：imesetup.exe 会安装\n"
    "     /inst: imesetup.exe would install\n"
    "[..] /uninst：imesetup.exe 会运行卸载，而卸载立即以 \"该输入法未安装或文件安装不全，不能正常卸载。\" 结束：什么都没有安装\n"
    "     /uninst: imesetup.exe would run the removal, which ends at once with \"该输入法未安装或文件安装不全，不能正常卸载。\": "
    "nothing is installed\n";

const std::string kOwnChecksUpToTheImeFile =
    "\n== imesetup.exe 自己的检查 / imesetup.exe's own checks ==\n"
    "[ok] 找到 setup.log\n"
    "     setup.log found\n"
    "[..] 编码：ANSI（代码页 936，或其他 ANSI 代码页）\n"
    "     Encoding: ANSI (code page 936, or another ANSI code page)\n"
    "[ok] ImeFile = \"MyIme.ime\"：找到文件\n"
    "     ImeFile = \"MyIme.ime\": file found\n";

const std::string kOnThisMachine =
    "\n== 在这台机器上 / On this machine ==\n"
    "[..] 系统目录：C:\\WINDOWS\\SYSTEM32\n"
    "     System directory: C:\\WINDOWS\\SYSTEM32\n";

// The sample's IME file, nothing else found.
const std::string kSampleImeAndNothingFurther =
    "\n== 安装包的其他检查 / Further checks of the package ==\n"
    "[..] IME 文件是 x64 映像，需要 x64 版的 imesetup.exe。\n"
    "     The IME file is an x64 image, for the x64 build of imesetup.exe.\n"
    "[..] IME 文件的版本资源：FILETYPE 3，FILESUBTYPE 11\n"
    "     The IME file's version resource: FILETYPE 3, FILESUBTYPE 11\n"
    "[..] 第一个翻译：语言 0804 中文(简体，中国)，代码页 936\n"
    "     First translation: language 0804 (Chinese (Simplified, PRC)), code page 936\n"
    "[..] 注册后布局的语言：0804 中文(简体，中国)（键 E0NN0804）\n"
    "     The layout's language once registered: 0804 (Chinese (Simplified, PRC)), its key E0NN0804\n"
    "[..] IME 文件带有 Authenticode 签名（这里不检查签名是否有效）。\n"
    "     The IME file carries an Authenticode signature (whether it is valid is not checked here).\n"
    "[..] 文件夹中没有 imesetup.exe（按版本信息查找，可能已改名）。\n"
    "     No imesetup.exe in the folder (looked for by its version information, whatever its name).\n"
    "[ok] 没有发现其他问题。\n"
    "     No further problems found.\n";

const ReportCase kReports[] = {
    {"SoundPackage", [] {},
     kIntroduction + kOwnChecksUpToTheImeFile +
         "[ok] MbFile = \"MyIme.mb\"：找到文件\n"
         "     MbFile = \"MyIme.mb\": file found\n"
         "[ok] ImeName = \"测试输入法\" [B2 E2 CA D4 CA E4 C8 EB B7 A8]：可用\n"
         "     ImeName = \"测试输入法\" [B2 E2 CA D4 CA E4 C8 EB B7 A8]: accepted\n" +
         kOnThisMachine +
         kInstallsOverNothing +
         kSampleImeAndNothingFurther +
         "\n== 结果 / Result ==\n"
         "[..] 发现 0 个问题；退出状态 0。\n"
         "     0 problem(s) found; exit status 0.\n"
         "imesetup.exe would install\n"},

    // The program stops at the MB file: the name after it is shown, but it never reads it.
    {"SilentEnd", [] { PutSetupLog(kImeName, "absent.mb", kDisplayName); },
     kIntroduction + kOwnChecksUpToTheImeFile +
         "[--] MbFile = \"absent.mb\"：找不到\n"
         "     MbFile = \"absent.mb\": not found\n"
         "[..] ImeName = \"测试输入法\" [B2 E2 CA D4 CA E4 C8 EB B7 A8]：可用（imesetup.exe 不会读到这里）\n"
         "     ImeName = \"测试输入法\" [B2 E2 CA D4 CA E4 C8 EB B7 A8]: accepted (imesetup.exe stops before this key)\n" +
         kOnThisMachine +
         "[..] 不带参数：imesetup.exe 会不显示任何消息而结束：MbFile \"absent.mb\"：找不到\n"
         "     Without an argument: imesetup.exe would end without a message: MbFile \"absent.mb\": not found\n"
         "[..] /inst：imesetup.exe 会不显示任何消息而结束：MbFile \"absent.mb\"：找不到\n"
         "     /inst: imesetup.exe would end without a message: MbFile \"absent.mb\": not found\n"
         "[..] /uninst：imesetup.exe 会不显示任何消息而结束：MbFile \"absent.mb\"：找不到\n"
         "     /uninst: imesetup.exe would end without a message: MbFile \"absent.mb\": not found\n" +
         kSampleImeAndNothingFurther +
         "\n== 结果 / Result ==\n"
         "[..] 发现 0 个问题；退出状态 2。\n"
         "     0 problem(s) found; exit status 2.\n"
         "imesetup.exe would end without a message: MbFile \"absent.mb\": not found\n"},

    // An x86 IME file without a signature, MbFile a pattern, ImeName in
    // UTF-8, a DLL and a setup program of the other build in the folder.
    {"SeveralFindings",
     [] {
         PutIme([](test_images::ImageParts& p) {
             p.machine = test_images::kX86;
             p.signature = false;
         });
         PutSetupLog(kImeName, "MyIme.m*", "\xE6\xB5\x8B\xE8\xAF\x95");  // 测试 in UTF-8
         sim::PutFile(kPackage + "\\version.dll", "x");
         sim::PutFile(kPackage + "\\setup.exe", test_images::SetupProgram(test_images::kX64));
     },
     kIntroduction +
         "\n== imesetup.exe 自己的检查 / imesetup.exe's own checks ==\n"
         "[ok] 找到 setup.log\n"
         "     setup.log found\n"
         "[..] 编码：UTF-8（无 BOM）\n"
         "     Encoding: UTF-8 without a byte order mark\n"
         "[ok] ImeFile = \"MyIme.ime\"：找到文件\n"
         "     ImeFile = \"MyIme.ime\": file found\n"
         "[ok] MbFile = \"MyIme.m*\"：找到文件\n"
         "     MbFile = \"MyIme.m*\": file found\n"
         "[ok] ImeName = \"娴嬭瘯\" [E6 B5 8B E8 AF 95]：可用\n"
         "     ImeName = \"娴嬭瘯\" [E6 B5 8B E8 AF 95]: accepted\n" +
         kOnThisMachine +
         "[..] 已安装的 IME 文件 C:\\WINDOWS\\SYSTEM32\\MyIme.ime：不存在\n"
         "     Installed IME file C:\\WINDOWS\\SYSTEM32\\MyIme.ime: absent\n"
         "[..] 不带参数：imesetup.exe 会安装，但复制 MB 文件会失败，以 \"MyIme.m* Copy to %SystemDir% Error \" 结束：名称含有通配符，CopyFileA 需要真实的文件名\n"
         "     Without an argument: imesetup.exe would install, and copying the MB file would fail with \"MyIme.m* Copy to %SystemDir% Error \": the name "
         "holds a wildcard, and CopyFileA needs the file's real name\n"
         "[..] /inst：imesetup.exe 会安装，但复制 MB 文件会失败，以 \"MyIme.m* Copy to %SystemDir% Error \" 结束：名称含有通配符，CopyFileA 需要真实的文件名\n"
         "     /inst: imesetup.exe would install, and copying the MB file would fail with \"MyIme.m* Copy to %SystemDir% Error \": the name "
         "holds a wildcard, and CopyFileA needs the file's real name\n"
         "[..] /uninst：imesetup.exe 会运行卸载，而卸载立即以 \"该输入法未安装或文件安装不全，不能正常卸载。\" 结束：什么都没有安装\n"
         "     /uninst: imesetup.exe would run the removal, which ends at once with \"该输入法未安装或文件安装不全，不能正常卸载。\": "
         "nothing is installed\n" +
         "\n== 安装包的其他检查 / Further checks of the package ==\n"
         "[..] IME 文件是 x86 映像，需要 x86 版的 imesetup.exe。\n"
         "     The IME file is an x86 image, for the x86 build of imesetup.exe.\n"
         "[..] IME 文件的版本资源：FILETYPE 3，FILESUBTYPE 11\n"
         "     The IME file's version resource: FILETYPE 3, FILESUBTYPE 11\n"
         "[..] 第一个翻译：语言 0804 中文(简体，中国)，代码页 936\n"
         "     First translation: language 0804 (Chinese (Simplified, PRC)), code page 936\n"
         "[..] 文件夹中的安装程序 \"setup.exe\" 是 x64 版。\n"
         "     The setup program \"setup.exe\" in the folder is the x64 build.\n"
         "[!!] setup.log 保存为 UTF-8。imesetup.exe 按系统的 ANSI 代码页逐字节读取它，中文系统上即代码页 936；ImeName 会作为 "
         "\"娴嬭瘯\" [E6 B5 8B E8 AF 95] 传递，而本意是 \"测试\"。请把 setup.log 另存为 ANSI（代码页 936）。\n"
         "     setup.log is saved as UTF-8. imesetup.exe reads it byte for byte in the system's ANSI code page, 936 on a "
         "Chinese system; ImeName is passed on as \"娴嬭瘯\" [E6 B5 8B E8 AF 95], where \"测试\" was meant. Save setup.log "
         "as ANSI (code page 936).\n"
         "[!!] MbFile \"MyIme.m*\" 含有文件搜索的通配符（*、?、<、> 或 \"）。imesetup.exe 的检查接受第一个匹配的文件，但复制需要"
         "真实的文件名，会失败。\n"
         "     MbFile \"MyIme.m*\" holds a wildcard of the file search (*, ?, <, > or \"). imesetup.exe's check takes its "
         "first match, but the copy needs the file's real name and fails.\n"
         "[!!] 文件夹中的安装程序 \"setup.exe\" 是 x64 版，而 IME 文件是 x86 映像：它会把文件装到只有 x64 程序才会查找的位置，而"
         "它们无法加载该文件。请随附 x86 版的 imesetup.exe。\n"
         "     The setup program \"setup.exe\" in the folder is the x64 build, but the IME file is an x86 image: it "
         "installs the file where only x64 programs look for it, and they cannot load it. Ship the x86 build of "
         "imesetup.exe.\n"
         "[!!] IME 文件没有 Authenticode 签名。微软对第三方输入法的要求是签名，Windows 可能阻止未签名的输入法。签名方法见指南"
         "（GUIDE.zh-CN.txt）的“签名”部分。\n"
         "     The IME file has no Authenticode signature. Microsoft's requirements for third-party IMEs ask that they be "
         "signed, and Windows may block an unsigned IME. The guides (GUIDE.en.txt, \"Signing\") say how to sign it.\n"
         "[!!] 文件夹中有 DLL 文件：version.dll。安装包不需要任何 DLL；以管理员权限运行的 imesetup.exe 旁边的 DLL，正是它的 DLL "
         "防护所要防范的。请从安装包中删除它们。\n"
         "     The folder holds DLL files: version.dll. The package needs none; a DLL beside imesetup.exe, which runs with "
         "administrator rights, is what its DLL defence guards against. Remove them from the package.\n"
         "\n== 结果 / Result ==\n"
         "[..] 发现 5 个问题；退出状态 1。\n"
         "     5 problem(s) found; exit status 1.\n"
         "imesetup.exe would install, and copying the MB file would fail with \"MyIme.m* Copy to %SystemDir% Error \": "
         "the name holds a wildcard, and CopyFileA needs the file's real name\n"},
};

INSTANTIATE_TEST_SUITE_P(Packages, CheckerReport, ::testing::ValuesIn(kReports),
                         [](const ::testing::TestParamInfo<ReportCase>& info) { return info.param.name; });

}  // namespace

void PutCheckerPackage()
{
    sim::Reset();
    ime_package::PutPackageFiles();  // an x64 IME module in place of the sample's text
    sim::PutFile(kPackage + "\\" + ime_package::kImeName, test_images::ImeModule());
}

std::vector<const CheckerCase*> CheckerRows()
{
    std::vector<const CheckerCase*> rows;
    for (const CheckerCase& row : kCases) rows.push_back(&row);
    return rows;
}

std::vector<const ReportCase*> ReportRows()
{
    std::vector<const ReportCase*> rows;
    for (const ReportCase& row : kReports) rows.push_back(&row);
    return rows;
}
