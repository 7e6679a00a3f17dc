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

std::string VersionInfo(const std::vector<std::pair<std::string, std::string>>& strings)
{
    std::vector<std::string> entries;
    for (const auto& entry : strings) entries.push_back(Node(entry.first, Utf16(entry.second), true, {}));
    std::string fixed(52, '\0');
    Put32(fixed, 0, 0xFEEF04BD);
    return Node("VS_VERSION_INFO", fixed, false,
                {Node("StringFileInfo", "", true, {Node("040904B0", "", true, entries)})});
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
    if (!parts.versionStrings.empty()) {
        resourceRva = kSectionRva + static_cast<std::uint32_t>(section.size());
        std::string resources = ResourceDirectory(16, 0x80000000 | 24) + ResourceDirectory(1, 0x80000000 | 48) +
                                ResourceDirectory(0x409, 72);
        const std::string version = VersionInfo(parts.versionStrings);
        std::string entry(16, '\0');
        Put32(entry, 0, resourceRva + 88);
        Put32(entry, 4, static_cast<std::uint32_t>(version.size()));
        resources += entry + version;
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
    return image + section;
}

}  // namespace test_images
