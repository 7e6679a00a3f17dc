// The whole checker on the simulated machine: what it names for each kind of
// package, its exit status and last line, and that it only reads.
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>

#include "common/clean_machine_fixture.h"
#include "common/ime_package_sim.h"
#include "package_checker/checker.h"
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

struct CheckerCase {
    const char* name;
    std::function<void()> prepare;  // spoils the sample package or the machine
    int status;
    std::string named;     // a text the report must hold
    std::string lastLine;
    const char* commandLine = "imecheck.exe";
};

void PrintTo(const CheckerCase& row, std::ostream* out) { *out << row.name; }

class CheckerRun : public CleanMachineTest, public ::testing::WithParamInterface<CheckerCase> {
protected:
    void SetUp() override
    {
        CleanMachineTest::SetUp();
        PutPackageFiles();  // an x64 IME module in place of the sample's text
        sim::PutFile(kPackage + "\\" + kImeName, test_images::ImeModule());
    }
};

// What the checker may call: nothing that writes a file, the registry or a layout, nor a box.
const std::set<std::string> kReadingCalls = {
    "CharNextA", "SetCurrentDirectoryW", "GetACP", "GetCurrentDirectoryA", "GetCurrentDirectoryW",
    "FindFirstFileA", "FindNextFileA", "FindClose", "FileTimeToLocalFileTime", "FileTimeToDosDateTime",
    "GetPrivateProfileStringA", "GetSystemDirectoryA", "CreateFileA", "ReadFile", "GetFileInformationByHandle",
    "CloseHandle", "MultiByteToWideChar", "RegOpenKeyExA", "RegEnumKeyExA", "RegQueryValueExA", "RegCloseKey",
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

// An IME installed from an earlier package: both files and its layout.
void PutInstallation(const std::string& ime, const char* layout)
{
    sim::PutFile(std::string(kSystemDir) + "\\" + kImeName, ime);
    sim::PutFile(std::string(kSystemDir) + "\\" + kMbName, kOldMb);
    sim::SetString(HKEY_LOCAL_MACHINE, std::string(kLayoutList) + "\\" + layout, "Ime File", "MYIME.IME");
}

const std::string kLongName = std::string(76, 'n') + ".ime";  // 80 characters

const CheckerCase kCases[] = {
    // imesetup.exe runs, nothing else found
    {"SoundPackage", [] {}, 0, "No further problems found.", kInstall},
    {"InstalledIme",
     [] {
         sim::PutFile(std::string(kSystemDir) + "\\" + kImeName, kOldIme);
         sim::PutFile(std::string(kSystemDir) + "\\" + kMbName, kOldMb);
     },
     0, "/inst: imesetup.exe would ask before replacing the installed IME file, then install", kRemove},
    // The removal's first step ends it when a file is not installed.
    {"UninstWithNothingInstalled", [] {}, 0,
     "/uninst: imesetup.exe would run the removal, which ends at once with \"" + kNotInstalled +
         "\": nothing is installed",
     kInstall},
    {"OnlyTheImeFileInstalled", [] { sim::PutFile(std::string(kSystemDir) + "\\" + kImeName, kOldIme); }, 0,
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
    {"LayoutLanguageInEnglish", [] {}, 0, "The layout's language once registered: 0804 (Chinese (Simplified, PRC))",
     kInstall},
    {"LayoutLanguageInChinese", [] {}, 0, "注册后布局的语言：0804 中文(简体，中国)（键 E0NN0804）", kInstall},
    {"TraditionalChineseIme", [] { PutIme([](test_images::ImageParts& p) { p.translations = {{0x0404, 950}}; }); },
     0, "0404 (Chinese (Traditional, Taiwan))", kInstall},
    {"RegisteredUnderItsOwnLanguage",
     [] { sim::SetString(HKEY_LOCAL_MACHINE, std::string(kLayoutList) + "\\E0200804", "Ime File", "myime.ime"); },
     0, "The IME file is already registered as layout E0200804, language 0804", kInstall},
    {"InstalledAndRegistered", [] { PutInstallation(kOldIme, "E0200804"); }, 0, "/uninst: imesetup.exe would remove\n",
     kRemove},

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
    {"Utf8WithMarkOnACommentLine",
     [] {
         sim::PutFile(kPackage + "\\setup.log", "\xEF\xBB\xBF; IME\r\n[ImePram]\r\nImeFile=MyIme.ime\r\n"
                                                "MbFile=MyIme.mb\r\nImeName=" + kUtf8DisplayName + "\r\n");
     },
     1, "where \"" + kUtf8DisplayName + "\" was meant", kInstall},

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
    {"ImeFileWithFolderParts",
     [] {
         sim::PutFile(kPackage + "\\sub\\MyIme.ime", test_images::ImeModule());
         PutSetupLog("sub\\MyIme.ime", kMbName, kDisplayName);
     },
     1, "installs to C:\\WINDOWS\\SYSTEM32\\sub\\MyIme.ime", kInstall},
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
     "holds a wildcard of the file search (*, ?, <, > or \")", kInstall},
    // The search's own DOS wildcards: DOS_QM, DOS_DOT and DOS_STAR.
    {"ImeFileDosQm", [] { PutSetupLog("MyIme.im>", kMbName, kDisplayName); }, 1,
     "holds a wildcard of the file search", kInstall},
    {"ImeFileDosDot", [] { PutSetupLog("MyIme\"ime", kMbName, kDisplayName); }, 1,
     "holds a wildcard of the file search", kInstall},
    {"ImeFileDosStar", [] { PutSetupLog("<.ime", kMbName, kDisplayName); }, 1, "holds a wildcard of the file search",
     kInstall},
    {"InstalledPathOfMaxPathOrMore",
     [] { OneFileInTwoSpellings(std::string(236, 'a') + ".ime", std::string(236, 'a') + ".ime", kMbName); }, 1,
     "260 characters long, MAX_PATH (260) or more: on Windows the ANSI file calls of imesetup.exe do not reach such "
     "a path, and the copy fails",
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
    {"HiddenImeFile", [] { SetFileAttributesA((kPackage + "\\" + kImeName).c_str(), FILE_ATTRIBUTE_HIDDEN); }, 1,
     "ImeFile \"MyIme.ime\" is hidden (FILE_ATTRIBUTE_HIDDEN): the copy carries the attribute to the installed file",
     kInstall},
    {"ReadOnlyMbFile", [] { sim::SetReadOnly(kPackage + "\\" + kMbName, true); }, 1,
     "so imesetup.exe can never remove it (the removal ends with \"" + kFilesLocked + "\")", kInstall},
    // Two names for one file, however spelt.
    {"BothKeysNameTheSameFile", [] { PutSetupLog(kImeName, "MYIME.IME", kDisplayName); }, 1,
     "ImeFile and MbFile name the same file", kInstall},
    // A removal that the input method manager stops never reaches the second deletion.
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
    {"X86ImeWithX64SetupProgram",
     [] {
         sim::PutFile(kPackage + "\\" + kImeName, test_images::ImeModule(test_images::kX86));
         sim::PutFile(kPackage + "\\setup.exe", test_images::SetupProgram(test_images::kX64));
     },
     1, "The setup program \"setup.exe\" in the folder is the x64 build, but the IME file is an x86 image", kInstall},
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
         test_images::ImageParts parts;
         parts.resources = test_images::Resources::NoVersion;
         PutInstallation(test_images::BuildImage(parts), "E0200804");
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

    // a bad command line
    {"TwoFolders", [] {}, 3, "Give one folder at most.", "", "imecheck.exe C:\\IMEPKG C:\\"},
    {"UnknownOption", [] {}, 3, "Unknown option: /inst", "", "imecheck.exe /inst"},
    {"NoSuchFolder", [] {}, 3, "Cannot open the folder C:\\NOWHERE", "", "imecheck.exe C:\\NOWHERE"},
};

INSTANTIATE_TEST_SUITE_P(Packages, CheckerRun, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<CheckerCase>& info) { return info.param.name; });

}  // namespace
