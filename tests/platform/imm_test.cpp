// The input method manager and the keyboard layouts, as the tool meets them:
// which IME files ImmInstallIMEA registers, in which language, and which it
// refuses, with the error it gives; and that a layout that is not loaded
// cannot be unloaded. The IME files are images made byte by byte and put into
// the system directory, where the manager reads them (nothing loads them).
// Wine 8 registers whatever it is given, in the user's language, as a new
// layout every time: each such row names its Wine deviation. (Its unloading,
// which always fails, is shown by the end-to-end suite.)
#include <functional>
#include <string>

#include "common/wine_deviation.h"
#include "package_checker/pe_image_builder.h"
#include "platform/platform_test.h"

namespace {

using namespace test_images;

const char kLayouts[] = "System\\CurrentControlSet\\Control\\Keyboard Layouts\\";
constexpr DWORD kUntouched = 0xDEADBEEF;  // the last error set before each call

std::string LayoutName(HKL layout)
{
    char name[9];
    wsprintfA(name, "%08X", static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(layout) & 0xFFFFFFFFu));
    return name;
}

bool KeyExists(const std::string& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// A layout key made by the test or by the call goes again, whatever the test found.
class LayoutKeyRemoved {
public:
    explicit LayoutKeyRemoved(std::string name) : name_(std::move(name)) {}
    ~LayoutKeyRemoved()
    {
        if (!name_.empty()) RegDeleteKeyA(HKEY_LOCAL_MACHINE, (kLayouts + name_).c_str());
    }
    LayoutKeyRemoved(const LayoutKeyRemoved&) = delete;
    LayoutKeyRemoved& operator=(const LayoutKeyRemoved&) = delete;

private:
    std::string name_;
};

std::string SystemDirectory()
{
    char directory[MAX_PATH + 1] = "";
    GetSystemDirectoryA(directory, MAX_PATH);
    return directory;
}

// A layout key as Windows writes it for a registered IME file: its name
// without a folder in "Ime File".
bool RegisterLayout(const std::string& name, const std::string& imeFile)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, (kLayouts + name).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const bool set = RegSetValueExA(key, "Ime File", 0, REG_SZ, reinterpret_cast<const BYTE*>(imeFile.c_str()),
                                    static_cast<DWORD>(imeFile.size() + 1)) == ERROR_SUCCESS;
    RegCloseKey(key);
    return set;
}

ImageParts Marked() { return ImageParts{}; }

std::string Image(const std::function<void(ImageParts&)>& change)
{
    ImageParts parts;
    change(parts);
    return BuildImage(parts);
}

struct RegistrationRow {
    const char* name;
    std::string image;
    std::string fileName = "imm_test.ime";  // in the system directory
    bool inSystemDirectory = true;           // false: only in the test's scratch folder
    const char* registeredAs = nullptr;      // a layout key already naming the file
    // Windows: the new layout's language, or none (0 and the last error).
    bool registered = true;
    WORD language = 0x0804;
    DWORD error = kUntouched;  // kUntouched: no code is documented or measured
    const char* wineDeviation = nullptr;  // Wine 8: a new layout in the user's language (0804)
};

void PrintTo(const RegistrationRow& row, std::ostream* out) { *out << row.name; }

std::string LanguageOf(const RegistrationRow& row)
{
    char language[5];
    wsprintfA(language, "%04X", row.language);
    return language;
}

// Windows' answer for the row: no layout, or one of its language (the one
// already registered for the file, if any).
bool AnswersAsWindows(const RegistrationRow& row, HKL layout, const std::string& name)
{
    if (!row.registered) return layout == nullptr;
    return layout != nullptr && name.substr(0, 2) == "E0" && name.substr(4) == LanguageOf(row) &&
           (row.registeredAs == nullptr || name == row.registeredAs);
}

class ImmRegistration : public PlatformTest, public ::testing::WithParamInterface<RegistrationRow> {};

TEST_P(ImmRegistration, RegistersOnlyMarkedImeFilesInTheirOwnLanguage)
{
    const RegistrationRow& row = GetParam();
    const std::string systemFile = SystemDirectory() + "\\" + row.fileName;
    const std::string file = row.inSystemDirectory ? systemFile : Path(row.fileName);
    ASSERT_TRUE(WriteBytes(file, row.image));
    struct Removed {
        std::string path;
        ~Removed() { RemovePath(path); }
    } removed{file};
    LayoutKeyRemoved registeredBefore(row.registeredAs ? row.registeredAs : "");
    if (row.registeredAs) {
        ASSERT_TRUE(RegisterLayout(row.registeredAs, row.fileName));
    }

    SetLastError(kUntouched);
    const HKL layout = ImmInstallIMEA(file.c_str(), "Test IME");
    const DWORD error = GetLastError();
    const std::string name = layout ? LayoutName(layout) : "";
    LayoutKeyRemoved madeByTheCall(name == (row.registeredAs ? row.registeredAs : "") ? "" : name);

    // Wine 8 makes a new layout in the user's language for any file; Wine 10
    // reads the version resource as Windows does. The deviation is asserted
    // and named only where this Wine shows it.
    if (RunningOnWine() && row.wineDeviation && !AnswersAsWindows(row, layout, name)) {
        ASSERT_NE(layout, nullptr);
        EXPECT_EQ(name.substr(0, 2), "E0");
        EXPECT_EQ(name.substr(4), "0804");
        EXPECT_NE(name, row.registeredAs ? row.registeredAs : "");
        EXPECT_TRUE(KeyExists(kLayouts + name));
        ReportWineDeviation(row.wineDeviation);
        return;
    }
    if (!row.registered) {
        EXPECT_EQ(layout, nullptr) << name;
        if (row.error != kUntouched && RunningOnWine() && error == ERROR_INVALID_PARAMETER) {
            // Wine 10 refuses the file, but with its own code.
            ReportWineDeviation("ImmInstallIMEA: a file without a version resource fails with 87, not the resource "
                                "loader's code");
        } else if (row.error != kUntouched) {
            EXPECT_EQ(error, row.error);
        }
        return;
    }
    ASSERT_NE(layout, nullptr) << "error " << error;
    EXPECT_EQ(name.substr(0, 2), "E0");
    EXPECT_EQ(name.substr(4), LanguageOf(row));
    EXPECT_TRUE(KeyExists(kLayouts + name));
    if (row.registeredAs) {
        EXPECT_EQ(name, row.registeredAs);  // the layout it already has
    }
}

const std::string k79 = std::string(75, 'n') + ".ime";  // 79 characters: kept whole
const std::string k80 = std::string(76, 'n') + ".ime";  // 80: cut to 79, so not found

const RegistrationRow kRegistrationRows[] = {
    {"MarkedForSimplifiedChinese", BuildImage(Marked())},
    {"LanguageOfTheFirstTranslation",
     Image([](ImageParts& p) { p.translations = {{0x0409, 1200}, {0x0804, 936}}; }), "imm_test.ime", true, nullptr,
     true, 0x0409, kUntouched, "ImmInstallIMEA: the layout takes the user's language, not the IME file's translation"},
    {"NoPeImage", "IME module as text", "imm_test.ime", true, nullptr, false, 0, ERROR_RESOURCE_DATA_NOT_FOUND,
     "ImmInstallIMEA: registers a file that is no PE image"},
    {"NoResourceSection", Image([](ImageParts& p) { p.resources = Resources::None; }), "imm_test.ime", true, nullptr,
     false, 0, ERROR_RESOURCE_DATA_NOT_FOUND, "ImmInstallIMEA: registers an IME file without resources"},
    {"NoVersionResource", Image([](ImageParts& p) { p.resources = Resources::NoVersion; }), "imm_test.ime", true,
     nullptr, false, 0, ERROR_RESOURCE_TYPE_NOT_FOUND,
     "ImmInstallIMEA: registers an IME file without a version resource"},
    {"FileTypeDll",
     Image([](ImageParts& p) {
         p.fileType = kVftDll;
         p.fileSubtype = 0;
     }),
     "imm_test.ime", true, nullptr, false, 0, kUntouched,
     "ImmInstallIMEA: registers an IME file whose FILETYPE is not VFT_DRV"},
    {"DriverOfAnotherSubtype", Image([](ImageParts& p) { p.fileSubtype = 0; }), "imm_test.ime", true, nullptr, false,
     0, kUntouched, "ImmInstallIMEA: registers an IME file whose FILESUBTYPE is not VFT2_DRV_INPUTMETHOD"},
    {"NoTranslation", Image([](ImageParts& p) { p.translations.clear(); }), "imm_test.ime", true, nullptr, false, 0,
     kUntouched, "ImmInstallIMEA: registers an IME file without a translation"},
    {"RegisteredForThisLanguage", BuildImage(Marked()), "imm_test.ime", true, "E0FE0804", true, 0x0804, kUntouched,
     "ImmInstallIMEA: makes a new layout for an IME file already registered"},
    {"RegisteredForAnotherLanguage", BuildImage(Marked()), "imm_test.ime", true, "E0FE0409", false, 0, kUntouched,
     "ImmInstallIMEA: registers again an IME file whose layout is of another language"},
    {"NameOf79Characters", BuildImage(Marked()), k79},
    {"NameOf80Characters", BuildImage(Marked()), k80, true, nullptr, false, 0, kUntouched,
     "ImmInstallIMEA: keeps IME file names of 80 characters and more"},
    {"ReadFromTheSystemDirectoryOnly", BuildImage(Marked()), "imm_test.ime", false, nullptr, false, 0,
     ERROR_FILE_NOT_FOUND, "ImmInstallIMEA: registers an IME file that is not in the system directory"},
};

INSTANTIATE_TEST_SUITE_P(ImeFiles, ImmRegistration, ::testing::ValuesIn(kRegistrationRows),
                         [](const ::testing::TestParamInfo<RegistrationRow>& info) { return info.param.name; });

using ImmTest = PlatformTest;

// A layout that was never loaded cannot be unloaded.
TEST_F(ImmTest, UnloadingALayoutThatIsNotLoadedFails)
{
    const HKL layout = reinterpret_cast<HKL>(static_cast<ULONG_PTR>(0xE0FF0804u));
    ASSERT_FALSE(KeyExists(kLayouts + LayoutName(layout)));  // no IME of that number on this machine
    EXPECT_FALSE(UnloadKeyboardLayout(layout));
}

}  // namespace
