#include "package_checker/pe_image_builder.h"

namespace test_images {
namespace {

constexpr std::uint32_t kSectionOffset = 0x200;
constexpr std::uint32_t kDirectoryCount = 16;
constexpr std::uint32_t kBssSize = 0x1000;

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

// The resources, at the RVA: a root of the named types and then the one
// numbered type, whose name and language directories lead to the data entry
// and the data; every named type points at the same name directory.
std::string ResourceSection(const ImageParts& parts, std::uint32_t rva)
{
    const bool version = parts.resources == Resources::Version;
    const unsigned named = parts.namedResourceTypes;
    const std::uint32_t nameDirectory = 16 + 8 * (named + 1);
    const std::uint32_t entryAt = nameDirectory + 48;
    std::string names;
    for (unsigned i = 0; i < named; ++i) {
        const std::string name = "TYPE" + std::to_string(i);
        Put16(names, names.size(), static_cast<std::uint32_t>(name.size()));
        names += Utf16(name).substr(0, 2 * name.size());
    }
    Align4(names);
    const std::uint32_t namesAt = entryAt + 16;
    const std::uint32_t dataAt = namesAt + static_cast<std::uint32_t>(names.size());

    std::string root(16, '\0');
    Put16(root, 12, named);
    Put16(root, 14, 1);
    std::uint32_t nameAt = namesAt;
    for (unsigned i = 0; i < named; ++i) {
        Put32(root, root.size(), 0x80000000 | nameAt);
        Put32(root, root.size(), 0x80000000 | nameDirectory);
        nameAt += 2 + 2 * static_cast<std::uint32_t>(("TYPE" + std::to_string(i)).size());
    }
    Put32(root, root.size(), version ? 16 : 24);
    Put32(root, root.size(), 0x80000000 | nameDirectory);

    const std::string data = version ? VersionInfo(parts) : std::string("<assembly/>");
    std::string entry(16, '\0');
    Put32(entry, 0, parts.versionDataRva != 0 ? parts.versionDataRva : rva + dataAt);
    Put32(entry, 4, static_cast<std::uint32_t>(data.size()));
    return root + ResourceDirectory(1, 0x80000000 | (nameDirectory + 24)) + ResourceDirectory(0x409, entryAt) +
           entry + names + data;
}

}  // namespace

std::string BuildImage(const ImageParts& parts)
{
    const bool wide = parts.machine != kX86;  // PE32+ for 64-bit machines
    const std::uint32_t optionalSize = (wide ? 112 : 96) + 8 * parts.directorySlots;
    const std::uint32_t sectionRva = parts.bss ? kBssRva + kBssSize : kBssRva;

    // The section: the export directory, its name table and names, then the resources.
    std::string section(40, '\0');
    Put32(section, 24, static_cast<std::uint32_t>(parts.exports.size()));
    Put32(section, 32, sectionRva + 40);
    section.resize(40 + 4 * parts.exports.size(), '\0');
    for (size_t i = 0; i < parts.exports.size(); ++i) {
        Put32(section, 40 + 4 * i, sectionRva + static_cast<std::uint32_t>(section.size()));
        section += parts.exports[i] + '\0';
    }
    Align4(section);
    std::uint32_t resourceRva = 0;
    std::uint32_t resourceSize = 0;
    if (parts.resources != Resources::None) {
        resourceRva = sectionRva + static_cast<std::uint32_t>(section.size());
        const std::string resources = ResourceSection(parts, resourceRva);
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
    Put16(image, fileHeader + 2, parts.bss ? 2 : 1);
    Put16(image, fileHeader + 16, optionalSize);
    Put16(image, fileHeader + 18, 0x0002 | (parts.dll ? 0x2000 : 0));
    const size_t optional = fileHeader + 20;
    Put16(image, optional, wide ? 0x20B : 0x10B);
    Put32(image, optional + 60, kSectionOffset);
    const size_t directories = optional + (wide ? 112 : 96);
    Put32(image, directories - 4, kDirectoryCount);
    const auto directory = [&](unsigned index, std::uint32_t rva, std::uint32_t size) {
        if (index >= parts.directorySlots) return;
        Put32(image, directories + 8 * index, rva);
        Put32(image, directories + 8 * index + 4, size);
    };
    if (!parts.exports.empty()) directory(0, sectionRva, 40);
    if (resourceRva != 0) directory(2, resourceRva, resourceSize);
    size_t header = optional + optionalSize;
    if (parts.bss) {
        image.replace(header, 4, ".bss");
        Put32(image, header + 8, kBssSize);
        Put32(image, header + 12, kBssRva);
        header += 40;
    }
    image.replace(header, 5, ".data");
    Put32(image, header + 8, static_cast<std::uint32_t>(section.size()));
    Put32(image, header + 12, sectionRva);
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
        directory(4, static_cast<std::uint32_t>(image.size()), static_cast<std::uint32_t>(certificate.size()));
        image += certificate;
    }
    return image;
}

}  // namespace test_images
