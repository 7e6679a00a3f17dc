// The checker's reading of PE images: the machine, the DLL flag, the export
// names and the version strings, and nothing read outside the file whatever
// its offsets say.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>

#include "package_checker/crafted_image.h"
#include "package_checker/pe_image.h"
#include "package_checker/pe_image_builder.h"

namespace {

using namespace test_images;

std::string Utf16Text(const std::string& ascii)
{
    std::string units;
    for (const char c : ascii) units += std::string{c, '\0'};
    return units;
}

void Put32(std::string& bytes, size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

TEST(PeImage, MachineDllFlagAndExports)
{
    ImageParts x86Ime;
    x86Ime.machine = kX86;
    x86Ime.exports = {"ImeConversionList", "ImeInquire", "ImeSelect"};
    ImageParts otherExports;
    otherExports.exports = {"ImeInquireW", "Inquire"};
    ImageParts program;
    program.dll = false;
    program.exports.clear();
    ImageParts arm64;
    arm64.machine = kArm64;
    ImageParts itanium;
    itanium.machine = 0x0200;

    const struct {
        const char* name;
        ImageParts parts;
        PeMachine machine;
        const char* machineName;
        bool dll;
        bool exportsImeInquire;
    } rows[] = {
        {"x64 IME", ImageParts{}, PeMachine::X64, "x64", true, true},
        {"x86 IME among other exports", x86Ime, PeMachine::X86, "x86", true, true},
        {"names that only resemble it", otherExports, PeMachine::X64, "x64", true, false},
        {"program without exports", program, PeMachine::X64, "x64", false, false},
        {"ARM64", arm64, PeMachine::Arm64, "ARM64", true, true},
        {"another machine", itanium, PeMachine::Other, "0x0200", true, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string bytes = BuildImage(row.parts);
        const std::optional<PeHeaders> headers = ReadPeHeaders(bytes);
        ASSERT_TRUE(headers.has_value());
        EXPECT_EQ(headers->Machine, row.machine);
        EXPECT_EQ(MachineName(*headers), row.machineName);
        EXPECT_EQ(headers->IsDll, row.dll);
        EXPECT_EQ(ExportsName(bytes, "ImeInquire"), row.exportsImeInquire);
    }
}

TEST(PeImage, VersionStringsOfTheFirstStringTable)
{
    using Strings = std::map<std::string, std::string>;
    EXPECT_EQ(VersionStrings(SetupProgram(kX86)),
              (Strings{{"FileDescription", "Setup My IME"}, {"OriginalFilename", "imesetup.exe"}}));
    EXPECT_EQ(VersionStrings(ImeModule(kX64, "Test IME")), (Strings{{"FileDescription", "Test IME"}}));
    ImageParts bare;
    bare.resources = Resources::None;
    EXPECT_EQ(VersionStrings(BuildImage(bare)), Strings{});
}

TEST(PeImage, VersionInformationAsTheInputMethodManagerReadsIt)
{
    ImageParts none;
    none.resources = Resources::None;
    ImageParts manifest;
    manifest.resources = Resources::NoVersion;
    ImageParts dll;
    dll.fileType = kVftDll;
    dll.fileSubtype = 0;
    ImageParts untranslated;
    untranslated.translations.clear();
    ImageParts english;
    english.translations = {{0x0409, 1200}, {0x0804, 936}};
    ImageParts signedIme;
    signedIme.signature = true;
    ImageParts behindNamedTypes;
    behindNamedTypes.namedResourceTypes = 2;
    ImageParts afterBss;  // MinGW's layout: .bss has a virtual size and no raw data
    afterBss.bss = true;
    ImageParts dataInBss = afterBss;
    dataInBss.versionDataRva = kBssRva;
    // The empty section's address moved into the data: an RVA past it is
    // still in the section that starts before it and reaches further.
    std::string emptyInside = BuildImage(afterBss);
    Put32(emptyInside, 0x58 + 240 + 12, 0x2010);  // .bss's VirtualAddress, first in the section table
    ImageParts twoDirectorySlots;  // claims 16, has room for exports and imports
    twoDirectorySlots.directorySlots = 2;
    // Keys are compared without regard to case.
    std::string capitalKeys = BuildImage(ImageParts{});
    const std::string varFileInfo = Utf16Text("VarFileInfo");
    capitalKeys.replace(capitalKeys.find(varFileInfo), varFileInfo.size(), Utf16Text("VARFILEINFO"));

    const struct {
        const char* name;
        std::string bytes;
        PeVersionResource resource;
        bool fixedInfo;
        std::uint32_t type;
        std::uint32_t subtype;
        std::uint16_t language;  // 0xFFFF: no translation
        std::uint16_t codePage;
        bool signature;
    } rows[] = {
        {"no image", "IME module as text", PeVersionResource::NoImage, false, 0, 0, 0xFFFF, 0, false},
        {"no resource section", BuildImage(none), PeVersionResource::NoResources, false, 0, 0, 0xFFFF, 0, false},
        {"a manifest only", BuildImage(manifest), PeVersionResource::Missing, false, 0, 0, 0xFFFF, 0, false},
        {"marked IME", BuildImage(ImageParts{}), PeVersionResource::Present, true, kVftDrv, kVft2DrvInputMethod,
         0x0804, 936, false},
        {"a DLL", BuildImage(dll), PeVersionResource::Present, true, kVftDll, 0, 0x0804, 936, false},
        {"no translation", BuildImage(untranslated), PeVersionResource::Present, true, kVftDrv, kVft2DrvInputMethod,
         0xFFFF, 0, false},
        {"the first of two translations", BuildImage(english), PeVersionResource::Present, true, kVftDrv,
         kVft2DrvInputMethod, 0x0409, 1200, false},
        {"signed", BuildImage(signedIme), PeVersionResource::Present, true, kVftDrv, kVft2DrvInputMethod, 0x0804, 936,
         true},
        {"setup program", SetupProgram(kX86), PeVersionResource::Present, true, kVftApp, 0, 0x0409, 1200, false},
        {"behind named resource types", BuildImage(behindNamedTypes), PeVersionResource::Present, true, kVftDrv,
         kVft2DrvInputMethod, 0x0804, 936, false},
        {"after an uninitialised section", BuildImage(afterBss), PeVersionResource::Present, true, kVftDrv,
         kVft2DrvInputMethod, 0x0804, 936, false},
        // An RVA past the section's raw data maps to no byte of the file.
        {"its data in the uninitialised section", BuildImage(dataInBss), PeVersionResource::Missing, false, 0, 0,
         0xFFFF, 0, false},
        {"an empty section starting inside the data", emptyInside, PeVersionResource::Present, true, kVftDrv,
         kVft2DrvInputMethod, 0x0804, 936, false},
        // The directories past the optional header's room are no directories.
        {"no room for the resource directory", BuildImage(twoDirectorySlots), PeVersionResource::NoResources, false, 0,
         0, 0xFFFF, 0, false},
        {"keys in capitals", capitalKeys, PeVersionResource::Present, true, kVftDrv, kVft2DrvInputMethod, 0x0804, 936,
         false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const PeVersionInfo info = ReadVersionInfo(row.bytes);
        EXPECT_EQ(info.Resource, row.resource);
        EXPECT_EQ(info.HasFixedInfo, row.fixedInfo);
        EXPECT_EQ(info.FileType, row.type);
        EXPECT_EQ(info.FileSubtype, row.subtype);
        EXPECT_EQ(info.Translation.has_value(), row.language != 0xFFFF);
        if (info.Translation && row.language != 0xFFFF) {
            EXPECT_EQ(info.Translation->Language, row.language);
            EXPECT_EQ(info.Translation->CodePage, row.codePage);
        }
        EXPECT_EQ(HasAuthenticodeSignature(row.bytes), row.signature);
    }
}

// Whatever the file's offsets say, every read stays inside it (the asan
// preset sees any that does not) and a damaged image gives no answer.
TEST(PeImage, DamagedImagesGiveNoAnswer)
{
    // Cut short anywhere: the headers need the whole section table, a name
    // its terminating zero, the version information its whole resource.
    const std::string ime = ImeModule();
    const size_t headersEnd = 0x58 + 240 + 40;  // file header, PE32+ optional header, one section
    const size_t nameEnd = ime.find(std::string("ImeInquire\0", 11)) + 11;
    for (size_t length = 0; length < ime.size(); ++length) {
        const std::string cut = ime.substr(0, length);
        EXPECT_EQ(ReadPeHeaders(cut).has_value(), length >= headersEnd) << length;
        EXPECT_EQ(ExportsName(cut, "ImeInquire"), length >= nameEnd) << length;
    }
    const std::string whole = SetupProgram(kX64);
    ASSERT_FALSE(VersionStrings(whole).empty());
    for (size_t length = 0; length < whole.size(); ++length) {
        EXPECT_TRUE(VersionStrings(whole.substr(0, length)).empty()) << length;
    }
    // A signed IME: its version resource ends its section, its certificate the file.
    const std::string signedIme = ImeModule(kX64, "Test IME");
    ImageParts unsignedParts;
    unsignedParts.versionStrings = {{"FileDescription", "Test IME"}};
    const size_t sectionEnd = BuildImage(unsignedParts).size();
    ASSERT_TRUE(ReadVersionInfo(signedIme).Translation.has_value());
    ASSERT_TRUE(HasAuthenticodeSignature(signedIme));
    for (size_t length = 0; length < signedIme.size(); ++length) {
        const std::string cut = signedIme.substr(0, length);
        EXPECT_EQ(ReadVersionInfo(cut).Translation.has_value(), length >= sectionEnd) << length;
        EXPECT_FALSE(HasAuthenticodeSignature(cut)) << length;
    }

    const struct {
        const char* name;
        size_t at;
        std::string bytes;
    } damages[] = {
        {"no MZ", 0, "ZM"},
        {"PE header past the end", 0x3C, std::string("\xFF\xFF\xFF\x7F", 4)},
        {"no PE signature", 0x40, "PX"},
        {"unknown optional header", 0x58, std::string("\x07\x01", 2)},
        {"section table past the end", 0x46, std::string("\xFF\xFF", 2)},
    };
    for (const auto& damage : damages) {
        std::string bytes = whole;
        bytes.replace(damage.at, damage.bytes.size(), damage.bytes);
        EXPECT_FALSE(ReadPeHeaders(bytes).has_value()) << damage.name;
        EXPECT_FALSE(ExportsName(bytes, "ImeInquire")) << damage.name;
        EXPECT_TRUE(VersionStrings(bytes).empty()) << damage.name;
    }
}

TEST(PeImage, DamagedDirectoriesGiveNoAnswer)
{
    const std::string ime = ImeModule();
    const size_t exports = 0x200;
    const struct {
        const char* name;
        size_t at;
        std::string bytes;
        bool found;
    } damages[] = {
        // The loader's binary search looks in the middle first, far beyond the file.
        {"name count beyond the file, the name first", exports + 24, std::string("\xFF\xFF\xFF\xFF", 4), false},
        {"name table outside the section", exports + 32, std::string("\x00\x00\x00\x70", 4), false},
        {"name outside the section", exports + 40, std::string("\x00\x00\x00\x70", 4), false},
        {"name outside the section, count beyond the file", exports + 24,
         std::string("\xFF\xFF\xFF\xFF\0\0\0\0\x28\x10\0\0\0\0\0\0\0\0\0\x70", 20), false},
    };
    for (const auto& damage : damages) {
        std::string bytes = ime;
        bytes.replace(damage.at, damage.bytes.size(), damage.bytes);
        EXPECT_TRUE(ReadPeHeaders(bytes).has_value()) << damage.name;
        EXPECT_EQ(ExportsName(bytes, "ImeInquire"), damage.found) << damage.name;
    }

    // A type entry without the subdirectory flag: a resource tree one level short.
    std::string flat = ImeModule();
    const size_t typeEntry = flat.find(std::string("\x10\0\0\0\x18\0\0\x80", 8));
    ASSERT_NE(typeEntry, std::string::npos);
    flat[typeEntry + 7] = '\0';
    EXPECT_EQ(ReadVersionInfo(flat).Resource, PeVersionResource::Missing);

    // A node of the version information longer than its resource.
    std::string program = SetupProgram(kX64);
    const size_t root = program.find(std::string("V\0S\0_\0", 6)) - 6;
    program[root] = '\xFF';
    program[root + 1] = '\x7F';
    EXPECT_TRUE(VersionStrings(program).empty());
}

// The certificate table holds an Authenticode signature only as a whole
// WIN_CERTIFICATE of revision 2.0 and type PKCS#7 within its directory.
TEST(PeImage, SignatureIsAWholePkcs7Certificate)
{
    const std::string signedIme = ImeModule();
    const size_t certificate = signedIme.find("not a real PKCS#7 signature") - 8;
    const std::uint32_t length = static_cast<std::uint8_t>(signedIme[certificate]);
    const struct {
        const char* name;
        size_t at;
        std::uint32_t value;
    } changes[] = {
        {"revision 1.0", certificate + 4, 0x00020100},
        {"an X.509 certificate", certificate + 4, 0x00010200},
        {"longer than its directory", certificate, length + 8},
    };
    ASSERT_TRUE(HasAuthenticodeSignature(signedIme));
    for (const auto& change : changes) {
        std::string bytes = signedIme;
        Put32(bytes, change.at, change.value);
        EXPECT_FALSE(HasAuthenticodeSignature(bytes)) << change.name;
    }
}

// The crafted shape of crafted_image.h, whose cost was once the product of
// its section count and its name count (the benchmark and the fuzz target's
// seed measure the time; the answers are checked here): its sections come out
// of address order, most names point nowhere or at a text that does not end
// near them, and the last name is found; behind the root's many other types
// its version resource is read, and its certificate table found.
TEST(PeImage, CraftedShapeIsReadAsItsTablesSay)
{
    const std::string image = CraftedImage(1 << 20);
    const std::optional<PeHeaders> headers = ReadPeHeaders(image);
    ASSERT_TRUE(headers.has_value());
    EXPECT_EQ(headers->Machine, PeMachine::X64);
    EXPECT_TRUE(headers->IsDll);
    EXPECT_TRUE(ExportsName(image, "ImeInquire"));
    EXPECT_FALSE(ExportsName(image, "I"));  // the long text runs on past one letter
    EXPECT_FALSE(ExportsName(image, "ImeSelect"));
    // Without its last name's text the table finds nothing.
    EXPECT_FALSE(ExportsName(image.substr(0, image.rfind("ImeInquire")), "ImeInquire"));

    const PeVersionInfo version = ReadVersionInfo(image);
    EXPECT_EQ(version.Resource, PeVersionResource::Present);
    EXPECT_TRUE(version.HasFixedInfo);
    EXPECT_EQ(version.FileType, 3u);
    EXPECT_EQ(version.FileSubtype, 11u);
    ASSERT_TRUE(version.Translation.has_value());
    EXPECT_EQ(version.Translation->Language, 0x0804);
    EXPECT_EQ(version.Translation->CodePage, 936);
    EXPECT_TRUE(HasAuthenticodeSignature(image));
}

// Each structure is read where it lies: reading all four answers takes the
// section table once per reading and a few probes, not the file.
TEST(PeImage, ReadsTheStructuresNotTheFile)
{
    struct CountingSource : StringSource {
        using StringSource::StringSource;
        bool Read(std::uint64_t offset, std::size_t size, char* out) const override
        {
            read += size;
            return StringSource::Read(offset, size, out);
        }
        mutable std::uint64_t read = 0;
    };
    const std::string image = CraftedImage(4 << 20);
    const CountingSource source(image);
    EXPECT_TRUE(ExportsName(source, "ImeInquire"));
    EXPECT_EQ(ReadVersionInfo(source).Translation->Language, 0x0804);
    EXPECT_TRUE(HasAuthenticodeSignature(source));
    const std::uint64_t sectionTables = 3 * 40ULL * 0xFFFF;
    EXPECT_LT(source.read, sectionTables + (64 << 10));
    EXPECT_LT(source.read, image.size());
}

}  // namespace
