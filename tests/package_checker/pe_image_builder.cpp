#include "package_checker/pe_image_builder.h"

namespace test_images {
namespace {

constexpr std::uint32_t kSectionRva = 0x1000;
constexpr std::uint32_t kSectionOffset = 0x200;
constexpr std::uint32_t kDirectoryCount = 16;

void Put16(std::string& bytes, size_t at, std::uint32_t value)
{
    if (bytes.size() < at + 2) bytes.resize(at + 2, '\0');
    bytes[at] = static_cast<char>(value & 0xFF);
    bytes[at + 1] = static_cast<char>((value >> 8) & 0xFF);
}

void Put32(std::string& bytes, size_t at, std::uint32_t value)
{
    Put16(bytes, at, value & 0xFFFF);
    Put16(bytes, at + 2, value >> 16);
}

void Align4(std::string& bytes)
{
    bytes.resize((bytes.size() + 3) & ~size_t{3}, '\0');
}

std::string Utf16(const std::string& ascii)
{
    std::string units;
    for (const char c : ascii) {
        units += c;
        units += '\0';
    }
    return units + std::string(2, '\0');
}

// A version information node: header, key, value and children, each part on
// a 4-byte boundary from the node's start; wLength leaves the final padding out.
std::string Node(const std::string& key, const std::string& value, bool text, const std::vector<std::string>& children)
{
    std::string node(6, '\0');
    node += Utf16(key);
    Align4(node);
    node += value;
    for (const std::string& child : children) {
        Align4(node);
        node += child;
    }
    Put16(node, 0, static_cast<std::uint32_t>(node.size()));
    Put16(node, 2, static_cast<std::uint32_t>(text ? value.size() / 2 : value.size()));
    Put16(node, 4, text ? 1 : 0);
    return node;
}

void Hex4(std::string& text, std::uint32_t value)
{
    const char digits[] = "0123456789ABCDEF";
    for (int shift = 12; shift >= 0; shift -= 4) text += digits[(value >> shift) & 0xF];
}

std::string VersionInfo(const ImageParts& parts)
{
    std::string fixed(52, '\0');
    Put32(fixed, 0, 0xFEEF04BD);
    Put32(fixed, 4, 0x00010000);
    Put32(fixed, 8, 0x00010000);   // file version 1.0
    Put32(fixed, 16, 0x00010000);  // product version 1.0
    Put32(fixed, 24, 0x3F);        // flags mask
    Put32(fixed, 32, 0x00000004);  // VOS__WINDOWS32
    Put32(fixed, 36, parts.fileType);
    Put32(fixed, 40, parts.fileSubtype);

    std::vector<std::string> children;
    if (!parts.versionStrings.empty()) {
        std::string table;
        if (parts.translations.empty()) {
            table = "040904B0";
        } else {
            Hex4(table, parts.translations[0].language);
            Hex4(table, parts.translations[0].codePage);
        }
        std::vector<std::string> entries;
        for (const auto& entry : parts.versionStrings) entries.push_back(Node(entry.first, Utf16(entry.second), true, {}));
        children.push_back(Node("StringFileInfo", "", true, {Node(table, "", true, entries)}));
    }
    if (!parts.translations.empty()) {
        std::string pairs;
        for (const Translation& translation : parts.translations) {
            Put16(pairs, pairs.size(), translation.language);
            Put16(pairs, pairs.size(), translation.codePage);
        }
        children.push_back(Node("VarFileInfo", "", true, {Node("Translation", pairs, false, {})}));
    }
    return Node("VS_VERSION_INFO", fixed, false, children);
}

// A resource directory with one entry, pointing at `target` (an offset from
// the resource root, with the subdirectory flag when it is one).
std::string ResourceDirectory(std::uint32_t id, std::uint32_t target)
{
    std::string directory(24, '\0');
    Put16(directory, 14, 1);
    Put32(directory, 16, id);
    Put32(directory, 20, target);
    return directory;
}

}  // namespace

std::string BuildImage(const ImageParts& parts)
{
    const bool wide = parts.machine != kX86;  // PE32+ for 64-bit machines
    const std::uint32_t optionalSize = (wide ? 112 : 96) + 8 * kDirectoryCount;

    // The section: the export directory, its name table and names, then the resources.
    std::string section(40, '\0');
    Put32(section, 24, static_cast<std::uint32_t>(parts.exports.size()));
    Put32(section, 32, kSectionRva + 40);
    section.resize(40 + 4 * parts.exports.size(), '\0');
    for (size_t i = 0; i < parts.exports.size(); ++i) {
        Put32(section, 40 + 4 * i, kSectionRva + static_cast<std::uint32_t>(section.size()));
        section += parts.exports[i] + '\0';
    }
    Align4(section);
    std::uint32_t resourceRva = 0;
    std::uint32_t resourceSize = 0;
    if (parts.resources != Resources::None) {
        // One resource: type, name 1, language 0x409, its data entry and data.
        resourceRva = kSectionRva + static_cast<std::uint32_t>(section.size());
        const bool version = parts.resources == Resources::Version;
        std::string resources = ResourceDirectory(version ? 16 : 24, 0x80000000 | 24) +
                                ResourceDirectory(1, 0x80000000 | 48) + ResourceDirectory(0x409, 72);
        const std::string data = version ? VersionInfo(parts) : std::string("<assembly/>");
        std::string entry(16, '\0');
        Put32(entry, 0, resourceRva + 88);
        Put32(entry, 4, static_cast<std::uint32_t>(data.size()));
        resources += entry + data;
        resourceSize = static_cast<std::uint32_t>(resources.size());
        section += resources;
    }

    std::string image(kSectionOffset, '\0');
    image[0] = 'M';
    image[1] = 'Z';
    Put32(image, 0x3C, 0x40);
    image.replace(0x40, 4, std::string("PE\0\0", 4));
    const size_t fileHeader = 0x44;
    Put16(image, fileHeader, parts.machine);
    Put16(image, fileHeader + 2, 1);
    Put16(image, fileHeader + 16, optionalSize);
    Put16(image, fileHeader + 18, 0x0002 | (parts.dll ? 0x2000 : 0));
    const size_t optional = fileHeader + 20;
    Put16(image, optional, wide ? 0x20B : 0x10B);
    Put32(image, optional + 60, kSectionOffset);
    const size_t directories = optional + (wide ? 112 : 96);
    Put32(image, directories - 4, kDirectoryCount);
    if (!parts.exports.empty()) {
        Put32(image, directories, kSectionRva);
        Put32(image, directories + 4, 40);
    }
    if (resourceRva != 0) {
        Put32(image, directories + 16, resourceRva);
        Put32(image, directories + 20, resourceSize);
    }
    const size_t header = optional + optionalSize;
    image.replace(header, 5, ".data");
    Put32(image, header + 8, static_cast<std::uint32_t>(section.size()));
    Put32(image, header + 12, kSectionRva);
    Put32(image, header + 16, static_cast<std::uint32_t>(section.size()));
    Put32(image, header + 20, kSectionOffset);
    image += section;
    if (parts.signature) {
        // The certificate table lies outside every section, at a file offset
        // on an 8-byte boundary: one WIN_CERTIFICATE, revision 2.0, PKCS#7.
        image.resize((image.size() + 7) & ~size_t{7}, '\0');
        std::string certificate(8, '\0');
        certificate += "not a real PKCS#7 signature";
        certificate.resize((certificate.size() + 7) & ~size_t{7}, '\0');
        Put32(certificate, 0, static_cast<std::uint32_t>(certificate.size()));
        Put16(certificate, 4, 0x0200);
        Put16(certificate, 6, 0x0002);
        Put32(image, directories + 32, static_cast<std::uint32_t>(image.size()));
        Put32(image, directories + 36, static_cast<std::uint32_t>(certificate.size()));
        image += certificate;
    }
    return image;
}

}  // namespace test_images
