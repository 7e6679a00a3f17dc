#include "package_checker/generated_package_sim.h"

#include <sstream>

#include "common/ime_package_sim.h"
#include "package_checker/pe_image_builder.h"
#include "platform/sim/machine.h"

namespace generated_package {

namespace {

using namespace ime_package;

const std::string kPackage = kPackageDir;
const std::string kSystem = kSystemDir;

// ---- setup.log ----

const char* const kHeaders[] = {
    "[ImePram]", "[imepram]", "  [ImePram]  ", "[ImePram]x]", "[ImePram", "[Other]", "", "[Other]\r\nImeFile=x\r\n[ImePram]",
};
// A later section: Windows reads the first [ImePram] only.
const char* const kSecondSections[] = {"", "", "[ImePram]\r\nImeName=later\r\n", "[Other]\r\nImeName=other\r\n"};
// The keys' order: ImeFile, MbFile, ImeName as 0, 1, 2.
const int kOrders[][3] = {{0, 1, 2}, {2, 1, 0}, {1, 0, 2}, {0, 2, 1}};
enum Encoding { Ansi, Utf8Mark, Utf16Mark, Utf16NoMark, Utf16BigEndian, kEncodings };
const char* const kEncodingNames[] = {"ANSI", "UTF-8 with a mark", "UTF-16 with a mark", "UTF-16 without a mark",
                                      "big-endian UTF-16"};
const char* const kComments[] = {"", "; an IME\r\n", "\r\n\r\n", "# not a comment\r\n"};

const std::string kLongIme = std::string(240, 'n') + ".ime";  // the installed path is past MAX_PATH
const std::string kGbkIme = "\xB2\xE2\xCA\xD4.ime";             // 测试.ime
const std::string kTrailIme = "\x95\x5C.ime";                    // a trail byte 0x5C
const char* const kImeFiles[] = {
    kImeName, "myime.IME", "MyIme.ime.", ".\\MyIme.ime", "sub\\MyIme.ime", "..\\..\\IMEPKG\\MyIme.ime", "My*.ime",
    "MyIme.im?", "CON", kLongIme.c_str(), kGbkIme.c_str(), kTrailIme.c_str(), kMbName, "Folder", "absent.ime", "0",
    "C:\\IMEPKG\\MyIme.ime", "..\\MyIme.ime", "MYIME~1.IME", "sub\\..\\MyIme.ime",
};
const char* const kMbFiles[] = {
    kMbName, "myime.MB", "MyIme.mb.", ".\\MyIme.mb", "sub\\MyIme.mb", "..\\..\\IMEPKG\\MyIme.mb", "*.mb", "MyIme.m?",
    "NUL", kImeName, "myime.IME.", "Folder", "absent.mb", "\xB2\xE2\xCA\xD4.mb", "..\\MyIme.mb", "",
};
const std::string kUtf8Name = "\xE6\xB5\x8B\xE8\xAF\x95\xE8\xBE\x93\xE5\x85\xA5\xE6\xB3\x95";  // 测试输入法
const std::string kName79 = std::string(79, 'n');
const std::string kName80 = std::string(80, 'n');
const char* const kImeNames[] = {
    kDisplayName, "Test IME", "0", "", "00", kName79.c_str(), kName80.c_str(), kUtf8Name.c_str(), "\xCE\xD2",
};
enum Form { Plain, Quoted, Blanks, Missing, Twice, kForms };

// ---- the named files ----

enum ImeContent { Sound, Unmarked, NoImage, X86, NoInquire, Neutral, English, Program, kImeContents };
const char* const kImeContentNames[] = {"a sound x64 IME", "no version resource", "no PE image", "an x86 IME",
                                        "no ImeInquire", "the neutral language", "language 0409", "a program"};
enum MbContent { CodeTable, Empty, CopyOfIme, kMbContents };
const char* const kMbContentNames[] = {"a code table", "empty", "the IME file's bytes"};
const char* const kAttributeNames[] = {"normal", "read-only", "hidden", "normal"};
const char* const kTimeNames[] = {"now", "the IME file before 1980", "the MB file after 2107", "now"};

// ---- what the machine holds ----

enum Installed {
    Nothing, EarlierInstall, ThisVersionInstalled, OnlyIme, OnlyMb, FilesWithoutLayout, LayoutWithoutFiles,
    OtherLanguage, UnmarkedInstalled, InstalledUnderAnotherCase, kInstalledStates
};
const char* const kInstalledNames[] = {
    "nothing installed", "an earlier install", "this version installed", "only the IME file installed",
    "only the MB file installed", "both files, no layout", "a layout, no files", "registered under 0409",
    "an installed IME without version resource", "installed as MYIME.IME and MYIME.MB",
};
const char* const kInstalledAttributeNames[] = {"normal", "IME read-only", "MB read-only", "IME hidden", "normal"};
const char* const kPreloadNames[] = {"listed", "listed", "not listed", "no preload key"};
const char* const kSystemNames[] = {"NT, code page 936", "NT, code page 936, SYSTEM32\\sub",
                                    "9x, code page 936", "NT, code page 1252"};

// Another IME's file under this package's IME file's name: a state where
// the install destroys what is not its own (MustSurvive then keeps it). The
// checker names such files (a file at an installed path no installation of
// this package left). Beside it, a file Windows protects at either
// installed path, which the simulated machine keeps from any change.
enum OtherFiles { NoOtherIme, OtherIme, ProtectedAtMbPath, ProtectedAtImePath, kOtherFiles };
const char* const kOtherFileNames[] = {"", ", another IME installed", ", a protected file at the MB file's path",
                                       ", a protected file at the IME file's path"};

bool ForeignImeFileInstalled(const Choices& c)
{
    return c.installed == FilesWithoutLayout && c.otherIme == OtherIme;
}
const std::string kForeignIme = test_images::ImeModule(test_images::kX64, "Another IME");

template <typename T, size_t N>
constexpr unsigned Count(const T (&)[N])
{
    return static_cast<unsigned>(N);
}

class ByteSource {
public:
    ByteSource(const std::uint8_t* data, size_t size) : data_(data), size_(size) {}
    // Most bytes pick the first choice, the package as its author means
    // it: most cases then change a few things at once, not everything.
    unsigned Pick(unsigned choices)
    {
        if (at_ >= size_) return 0;
        const unsigned byte = data_[at_++];
        return byte < 176 ? 0 : (byte - 176) % choices;
    }

private:
    const std::uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

const std::string& ImeBytes(unsigned content)
{
    static const std::vector<std::string> images = [] {
        std::vector<std::string> built;
        built.push_back(kNewIme);
        test_images::ImageParts unmarked;
        unmarked.resources = test_images::Resources::NoVersion;
        built.push_back(test_images::BuildImage(unmarked));
        built.push_back("not an image");
        built.push_back(test_images::ImeModule(test_images::kX86, "Test IME, x86"));
        test_images::ImageParts noInquire;
        noInquire.exports = {"Other"};
        built.push_back(test_images::BuildImage(noInquire));
        test_images::ImageParts neutral;
        neutral.translations = {{0x0000, 1200}};
        built.push_back(test_images::BuildImage(neutral));
        test_images::ImageParts english;
        english.translations = {{0x0409, 1252}};
        built.push_back(test_images::BuildImage(english));
        built.push_back(test_images::SetupProgram(test_images::kX64));
        return built;
    }();
    return images[content];
}

std::string KeyLine(const char* key, const std::string& value, unsigned form, const std::string& end)
{
    switch (form) {
    case Quoted: return std::string(key) + "=\"" + value + "\"" + end;
    case Blanks: return std::string("  ") + key + " =\t" + value + "  " + end;
    case Missing: return "";
    case Twice: return std::string(key) + "=" + value + end + key + "=second" + end;
    default: return std::string(key) + "=" + value + end;
    }
}

std::string Widened(const std::string& bytes, bool bigEndian)
{
    std::string wide;
    for (char c : bytes) {
        if (bigEndian) wide += '\0';
        wide += c;
        if (!bigEndian) wide += '\0';
    }
    return wide;
}

void SetAttributes(const std::string& path, unsigned attributes)
{
    if (attributes == 1) SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    if (attributes == 2) SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN);
}

void RegisterLayout(const std::string& key, const std::string& imeFile)
{
    const std::string path = std::string(kLayoutList) + "\\" + key;
    sim::SetString(HKEY_LOCAL_MACHINE, path, "Ime File", imeFile);
    sim::SetString(HKEY_LOCAL_MACHINE, path, "Layout Text", kDisplayName);
}

void PutInstalled(const Choices& c)
{
    const std::string ime = kSystem + "\\" + (c.installed == InstalledUnderAnotherCase ? "MYIME.IME" : kImeName);
    const std::string mb = kSystem + "\\" + (c.installed == InstalledUnderAnotherCase ? "MYIME.MB" : kMbName);
    const bool files = c.installed != Nothing && c.installed != LayoutWithoutFiles;
    const std::string imeBytes =
        c.installed == ThisVersionInstalled ? ImeBytes(c.imeContent)
                                            : (c.installed == UnmarkedInstalled ? ImeBytes(Unmarked) : kOldIme);
    if (files && c.installed != OnlyMb) sim::PutFile(ime, imeBytes);
    if (files && c.installed != OnlyIme) sim::PutFile(mb, c.installed == ThisVersionInstalled ? kNewMb : kOldMb);
    const bool layout = c.installed == EarlierInstall || c.installed == ThisVersionInstalled ||
                        c.installed == LayoutWithoutFiles || c.installed == InstalledUnderAnotherCase ||
                        c.installed == OnlyIme || c.installed == OnlyMb;
    if (layout) {
        RegisterLayout("E0200804", "MYIME.IME");
        sim::SetLayoutLoaded(reinterpret_cast<HKL>(static_cast<LONG_PTR>(static_cast<LONG>(0xE0200804u))), true);
        if (c.preload < 2) sim::SetString(HKEY_CURRENT_USER, kPreload, "2", "E0200804");
    }
    if (c.installed == OtherLanguage) RegisterLayout("E0200409", "MyIme.ime");
    if (c.preload == 3) sim::DeleteKeyTree(HKEY_CURRENT_USER, kPreload);
    if (c.installedAttributes == 1 || c.installedAttributes == 3) SetAttributes(ime, c.installedAttributes == 1 ? 1 : 2);
    if (c.installedAttributes == 2) SetAttributes(mb, 1);
}

}  // namespace

const char* const kCommandLines[3] = {"imesetup.exe", "imesetup.exe /inst", "imesetup.exe /uninst"};

Choices DecodeChoices(const std::uint8_t* data, size_t size)
{
    ByteSource bytes(data, size);
    Choices c;
    c.installed = bytes.Pick(kInstalledStates);
    c.imeFile = bytes.Pick(Count(kImeFiles));
    c.mbFile = bytes.Pick(Count(kMbFiles));
    c.imeName = bytes.Pick(Count(kImeNames));
    c.imeContent = bytes.Pick(kImeContents);
    c.mbContent = bytes.Pick(kMbContents);
    c.imeAttributes = bytes.Pick(Count(kAttributeNames));
    c.mbAttributes = bytes.Pick(Count(kAttributeNames));
    c.installedAttributes = bytes.Pick(Count(kInstalledAttributeNames));
    c.header = bytes.Pick(Count(kHeaders));
    c.secondSection = bytes.Pick(Count(kSecondSections));
    c.order = bytes.Pick(Count(kOrders));
    c.encoding = bytes.Pick(kEncodings);
    c.lineEnd = bytes.Pick(2);
    c.comment = bytes.Pick(Count(kComments));
    c.imeFileForm = bytes.Pick(kForms);
    c.mbFileForm = bytes.Pick(kForms);
    c.imeNameForm = bytes.Pick(kForms);
    c.times = bytes.Pick(Count(kTimeNames));
    c.extraFiles = bytes.Pick(4);
    c.otherIme = bytes.Pick(kOtherFiles);
    c.preload = bytes.Pick(Count(kPreloadNames));
    c.system = bytes.Pick(Count(kSystemNames));
    return c;
}

std::string SetupLogBytes(const Choices& c)
{
    const std::string end = c.lineEnd == 0 ? "\r\n" : "\n";
    const std::string header = kHeaders[c.header];
    std::string text = kComments[c.comment] + (header.empty() ? "" : header + end);
    const std::string values[] = {kImeFiles[c.imeFile], kMbFiles[c.mbFile], kImeNames[c.imeName]};
    const char* keys[] = {"ImeFile", "MbFile", "ImeName"};
    const unsigned forms[] = {c.imeFileForm, c.mbFileForm, c.imeNameForm};
    for (int key : kOrders[c.order]) text += KeyLine(keys[key], values[key], forms[key], end);
    text += kSecondSections[c.secondSection];
    switch (c.encoding) {
    case Utf8Mark: return "\xEF\xBB\xBF" + text;
    case Utf16Mark: return "\xFF\xFE" + Widened(text, false);
    case Utf16NoMark: return Widened(text, false);
    case Utf16BigEndian: return "\xFE\xFF" + Widened(text, true);
    default: return text;
    }
}

void PutMachine(const Choices& c)
{
    sim::Reset();
    if (c.system == 2) sim::SetFamily(sim::Family::Win9x);
    if (c.system == 3) sim::SetCodePage(1252);
    PutPackageFiles();
    sim::PutFile(kPackage + "\\setup.log", SetupLogBytes(c));
    sim::PutFile(kPackage + "\\" + kImeName, ImeBytes(c.imeContent));
    const std::string mb = c.mbContent == Empty ? "" : (c.mbContent == CopyOfIme ? ImeBytes(c.imeContent) : kNewMb);
    sim::PutFile(kPackage + "\\" + kMbName, mb);
    // The other names setup.log may give, each a copy of the file it stands for.
    for (const std::string& name : {kLongIme, kGbkIme, kTrailIme}) sim::PutFile(kPackage + "\\" + name, ImeBytes(c.imeContent));
    sim::PutFile(kPackage + "\\\xB2\xE2\xCA\xD4.mb", mb);
    sim::MakeDirectory(kPackage + "\\Folder");
    if (c.extraFiles & 1) {
        sim::PutFile(kPackage + "\\sub\\" + kImeName, ImeBytes(c.imeContent));
        sim::PutFile(kPackage + "\\sub\\" + kMbName, mb);
    }
    if (c.extraFiles & 2) {
        sim::PutFile(std::string("C:\\") + kImeName, ImeBytes(c.imeContent));
        sim::PutFile(std::string("C:\\") + kMbName, mb);
        sim::PutFile(kPackage + "\\helper.dll", "MZ");
    }
    if (c.system == 1) sim::MakeDirectory(kSystem + "\\sub");
    SetAttributes(kPackage + "\\" + kImeName, c.imeAttributes);
    SetAttributes(kPackage + "\\" + kMbName, c.mbAttributes);
    if (c.times == 1) sim::SetLastWriteTime(kPackage + "\\" + kImeName, sim::MakeFileTime(1979, 6, 1));
    if (c.times == 2) sim::SetLastWriteTime(kPackage + "\\" + kMbName, sim::MakeFileTime(2108, 1, 2));

    PutInstalled(c);
    if (c.otherIme == OtherIme) {
        sim::PutFile(kSystem + "\\OTHER.IME", kForeignIme);
        sim::PutFile(kSystem + "\\OTHER.MB", "another code table");
        RegisterLayout("E0210804", "OTHER.IME");
    }
    if (ForeignImeFileInstalled(c)) {
        sim::PutFile(kSystem + "\\" + kImeName, kForeignIme);
    }
    if (c.otherIme == ProtectedAtMbPath || c.otherIme == ProtectedAtImePath) {
        // Windows' own file of that name, or the installed one protected as it stands.
        const bool mb = c.otherIme == ProtectedAtMbPath;
        const std::string path = kSystem + "\\" + (mb ? kMbName : kImeName);
        if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
            sim::PutFile(path, mb ? std::string("a system file") : kForeignIme);
        }
        sim::ProtectFile(path);
    }
}

bool MustSurvive(const Choices& choices, const std::string& foldedPath)
{
    const std::string system = "C:\\WINDOWS\\SYSTEM32\\";
    if (foldedPath.compare(0, system.size(), system) != 0) return true;
    const std::string name = foldedPath.substr(system.size());
    if (name == "MYIME.IME") return ForeignImeFileInstalled(choices) || choices.otherIme == ProtectedAtImePath;
    if (name == "MYIME.MB") return choices.otherIme == ProtectedAtMbPath;
    return true;
}

std::string Describe(const Choices& c)
{
    std::ostringstream out;
    std::string log = SetupLogBytes(c);
    std::string shown;
    for (char ch : log) {
        if (ch == '\r') continue;
        if (ch == '\n') shown += "\\n";
        else if (ch == '\0') shown += "\\0";
        else shown += ch;
    }
    out << "setup.log (" << kEncodingNames[c.encoding] << "): " << shown << "\n"
        << "IME file: " << kImeContentNames[c.imeContent] << ", " << kAttributeNames[c.imeAttributes]
        << "; MB file: " << kMbContentNames[c.mbContent] << ", " << kAttributeNames[c.mbAttributes]
        << "; times: " << kTimeNames[c.times] << "; extra files " << c.extraFiles << "\n"
        << "machine: " << kInstalledNames[c.installed] << " (" << kInstalledAttributeNames[c.installedAttributes]
        << "), preload " << kPreloadNames[c.preload] << ", " << kSystemNames[c.system]
        << kOtherFileNames[c.otherIme];
    return out.str();
}

}  // namespace generated_package
