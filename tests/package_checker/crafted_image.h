// An IME image made to cost a reader of PE files the most, at any size: the
// most sections the file header can count (65,535, fewer in a file too small
// for their table), all but the last far from everything, and one section
// holding an export directory whose table of names fills most of the file.
// Every name but the last points at one long text without an end near it,
// which sorts before the last one, "ImeInquire". A reader that walks the
// section table for each name, reads each name to a length of its own, or
// reads the table through, takes the product of the sizes or the file's
// size. After the names the same section holds the resources, whose root
// lists tens of thousands of types in order, the version resource's among
// them (an input method driver's, for Simplified Chinese),
// and the file ends with a certificate table: a sound, signed IME file as
// the checker judges it, each of its readers going through the same table.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>

namespace test_images {

namespace crafted {

inline void Put16(std::string& bytes, std::uint64_t at, std::uint32_t value)
{
    bytes[at] = static_cast<char>(value & 0xFF);
    bytes[at + 1] = static_cast<char>((value >> 8) & 0xFF);
}

inline void Put32(std::string& bytes, std::uint64_t at, std::uint32_t value)
{
    Put16(bytes, at, value & 0xFFFF);
    Put16(bytes, at + 2, value >> 16);
}

// A node of the version information: its key in UTF-16, its value and its
// children, each on a 4-byte boundary.
inline std::string VersionNode(const std::string& key, const std::string& value, const std::string& children)
{
    std::string node(6, '\0');
    for (const char c : key + '\0') node += std::string{c, '\0'};
    node.resize((node.size() + 3) & ~std::size_t{3}, '\0');
    node += value;
    node.resize((node.size() + 3) & ~std::size_t{3}, '\0');
    node += children;
    Put16(node, 0, static_cast<std::uint32_t>(node.size()));
    Put16(node, 2, static_cast<std::uint32_t>(value.size()));
    return node;
}

// FILETYPE VFT_DRV (3), FILESUBTYPE VFT2_DRV_INPUTMETHOD (11), the
// translation 0x0804 with code page 936.
inline std::string VersionInfo()
{
    std::string fixed(52, '\0');
    Put32(fixed, 0, 0xFEEF04BD);
    Put32(fixed, 4, 0x00010000);
    Put32(fixed, 36, 3);
    Put32(fixed, 40, 11);
    std::string translation(4, '\0');
    Put16(translation, 0, 0x0804);
    Put16(translation, 2, 936);
    std::string varFileInfo = VersionNode("VarFileInfo", "", VersionNode("Translation", translation, ""));
    Put16(varFileInfo, 4, 1);  // a text node, as resource compilers write it
    return VersionNode("VS_VERSION_INFO", fixed, varFileInfo);
}

}  // namespace crafted

// At least 64 KiB; the section table takes at most half of the file.
inline std::string CraftedImage(std::uint64_t size, std::uint16_t mostSections = 0xFFFF)
{
    using crafted::Put16;
    using crafted::Put32;
    std::string image(size, '\0');
    const std::uint16_t sections =
        static_cast<std::uint16_t>(std::min<std::uint64_t>(mostSections, (size / 2 - 0x200) / 40));
    constexpr std::uint32_t kOptional = 0x58;  // after "PE\0\0" and the file header
    constexpr std::uint32_t kTable = kOptional + 240;
    constexpr std::uint32_t kLongText = 8192;
    constexpr std::uint32_t kCertificate = 16;  // a WIN_CERTIFICATE with 8 bytes of its own
    const std::uint64_t raw = (kTable + 40ULL * sections + 0x1FF) & ~0x1FFULL;
    const std::uint32_t kAddress = static_cast<std::uint32_t>((raw + 0xFFF) & ~0xFFFULL);  // past the headers
    const auto rva = [&](std::uint64_t offset) { return static_cast<std::uint32_t>(offset - raw + kAddress); };

    image[0] = 'M';
    image[1] = 'Z';
    Put32(image, 0x3C, 0x40);
    image.replace(0x40, 4, std::string("PE\0\0", 4));
    Put16(image, 0x44, 0x8664);
    Put16(image, 0x46, sections);
    Put16(image, 0x54, 240);
    Put16(image, 0x56, 0x2022);  // executable, large addresses, DLL
    Put16(image, kOptional, 0x20B);
    Put32(image, kOptional + 60, static_cast<std::uint32_t>(raw));
    Put32(image, kOptional + 108, 16);
    Put32(image, kOptional + 112, kAddress);  // the export directory
    Put32(image, kOptional + 116, 40);
    for (std::uint32_t i = 0; i + 1 < sections; ++i) {
        const std::uint64_t entry = kTable + 40ULL * i;
        Put32(image, entry + 12, 0x80000000u + i * 0x1000u);
        Put32(image, entry + 16, 0x200);
    }
    const std::uint64_t last = kTable + 40ULL * (sections - 1);
    Put32(image, last + 12, kAddress);
    Put32(image, last + 16, static_cast<std::uint32_t>(size - raw));
    Put32(image, last + 20, static_cast<std::uint32_t>(raw));

    // The certificate table at the file's end (the "RVA" of the security
    // directory is a file offset): revision 2.0, PKCS#7 signed data.
    const std::uint64_t certificate = (size - kCertificate) & ~7ULL;
    Put32(image, certificate, kCertificate);
    Put16(image, certificate + 4, 0x0200);
    Put16(image, certificate + 6, 0x0002);
    Put32(image, kOptional + 144, static_cast<std::uint32_t>(certificate));
    Put32(image, kOptional + 148, kCertificate);

    // The resources before it: a root of many types in ascending order, the
    // version type (16) among them, then one name and one language down to
    // the data entry and the data.
    const std::uint32_t types = static_cast<std::uint32_t>(std::min<std::uint64_t>(0xFFFF, size / 128));
    const std::string version = crafted::VersionInfo();
    const std::uint32_t second = 16 + 8 * types;
    const std::uint32_t third = second + 24;
    const std::uint32_t dataEntry = third + 24;
    const std::uint32_t resourceSize = dataEntry + 16 + static_cast<std::uint32_t>(version.size());
    const std::uint64_t resources = (certificate - resourceSize) & ~7ULL;
    Put16(image, resources + 14, types);
    for (std::uint32_t i = 0; i < types; ++i) {
        Put32(image, resources + 16 + 8ULL * i, 1 + i);
        Put32(image, resources + 20 + 8ULL * i, 0x80000000u);  // the root again, never to be followed
    }
    Put32(image, resources + 20 + 8ULL * 15, 0x80000000u | second);  // type 16
    Put16(image, resources + second + 14, 1);
    Put32(image, resources + second + 16, 1);
    Put32(image, resources + second + 20, 0x80000000u | third);
    Put16(image, resources + third + 14, 1);
    Put32(image, resources + third + 16, 0x0804);
    Put32(image, resources + third + 20, dataEntry);
    Put32(image, resources + dataEntry, rva(resources + dataEntry + 16));
    Put32(image, resources + dataEntry + 4, static_cast<std::uint32_t>(version.size()));
    image.replace(resources + dataEntry + 16, version.size(), version);
    Put32(image, kOptional + 128, rva(resources));
    Put32(image, kOptional + 132, resourceSize);

    // The export directory, its names, the long text and "ImeInquire" last.
    const std::uint64_t names = raw + 40;
    const std::uint64_t nameInquire = resources - 16;
    const std::uint64_t longText = nameInquire - kLongText;
    const std::uint32_t count = static_cast<std::uint32_t>((longText - names) / 4);
    Put32(image, raw + 24, count);
    Put32(image, raw + 32, kAddress + 40);
    for (std::uint32_t i = 0; i + 1 < count; ++i) {
        Put32(image, names + 4ULL * i, rva(longText));
    }
    Put32(image, names + 4ULL * (count - 1), rva(nameInquire));
    image.replace(longText, kLongText, std::string(kLongText, 'I'));
    image.replace(nameInquire, 11, std::string("ImeInquire\0", 11));
    return image;
}

}  // namespace test_images
