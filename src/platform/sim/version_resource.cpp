// The version resource as the system's loader and VerQueryValue see it: the
// image's resource tree (type 16, its first name, its first language), then
// the version tree, whose blocks are found by their keys, case aside.
#include "platform/sim/version_resource.h"

#include <algorithm>
#include <cctype>
#include <optional>

namespace sim {
namespace detail {
namespace {

constexpr std::uint64_t kVersionType = 16;  // RT_VERSION
constexpr std::uint64_t kFixedInfoBytes = 52;

// Little-endian values of the file; a read past its end gives 0 and marks
// the reader as failed.
class Reader {
public:
    explicit Reader(const std::string& bytes) : bytes_(bytes) {}
    std::uint64_t operator()(std::uint64_t at, unsigned width)
    {
        if (at > bytes_.size() || width > bytes_.size() - at) {
            good_ = false;
            return 0;
        }
        std::uint64_t value = 0;
        for (unsigned i = width; i-- > 0;) value = value << 8 | static_cast<unsigned char>(bytes_[at + i]);
        return value;
    }
    bool good() const { return good_; }
    bool Holds(std::uint64_t at, std::uint64_t length) const
    {
        return at <= bytes_.size() && length <= bytes_.size() - at;
    }

private:
    const std::string& bytes_;
    bool good_ = true;
};

struct Image {
    std::uint64_t sectionTable = 0;
    unsigned sectionCount = 0;
    std::uint64_t resourceRva = 0;  // 0: no resource section
};

std::optional<Image> MapImage(Reader& read)
{
    if (read(0, 2) != 0x5A4D) return std::nullopt;  // "MZ"
    const std::uint64_t pe = read(0x3C, 4);
    if (read(pe, 4) != 0x00004550) return std::nullopt;  // "PE\0\0"
    Image image;
    image.sectionCount = static_cast<unsigned>(read(pe + 6, 2));
    const std::uint64_t optionalSize = read(pe + 20, 2);
    const std::uint64_t optional = pe + 24;
    image.sectionTable = optional + optionalSize;
    const std::uint64_t magic = read(optional, 2);
    const std::uint64_t directoryCountAt = magic == 0x20B ? 108 : magic == 0x10B ? 92 : 0;
    if (directoryCountAt == 0 || !read.good()) return std::nullopt;
    // The resource directory is data directory 2, when the header holds it.
    if (read(optional + directoryCountAt, 4) > 2 && directoryCountAt + 4 + 3 * 8 <= optionalSize) {
        image.resourceRva = read(optional + directoryCountAt + 4 + 2 * 8, 4);
    }
    if (!read.good()) return std::nullopt;
    return image;
}

// The file offset of `length` bytes at a relative virtual address.
std::optional<std::uint64_t> At(Reader& read, const Image& image, std::uint64_t rva, std::uint64_t length)
{
    for (unsigned i = 0; i < image.sectionCount; ++i) {
        const std::uint64_t section = image.sectionTable + 40ULL * i;
        const std::uint64_t start = read(section + 12, 4);
        const std::uint64_t rawSize = read(section + 16, 4);
        const std::uint64_t rawOffset = read(section + 20, 4);
        if (!read.good()) return std::nullopt;
        if (rva >= start && rva - start + length <= rawSize && read.Holds(rawOffset + (rva - start), length)) {
            return rawOffset + (rva - start);
        }
    }
    return std::nullopt;
}

// The OffsetToData of a resource directory's entry with this id (or its
// first entry), from the resource root. Windows' loader finds an id by a
// binary search of the ids, which follow the named entries in order.
std::optional<std::uint64_t> Entry(Reader& read, std::uint64_t directory, std::optional<std::uint64_t> id)
{
    const std::uint64_t named = read(directory + 12, 2);
    const std::uint64_t count = named + read(directory + 14, 2);
    if (!id) {
        const std::uint64_t target = count > 0 ? read(directory + 20, 4) : 0;
        return count > 0 && read.good() ? std::optional<std::uint64_t>(target) : std::nullopt;
    }
    std::uint64_t low = named;
    std::uint64_t high = count;  // past the last
    while (low < high && read.good()) {
        const std::uint64_t middle = low + (high - low) / 2;
        const std::uint64_t name = read(directory + 16 + 8 * middle, 4);
        if (!read.good()) break;
        if (name == *id) {
            const std::uint64_t target = read(directory + 20 + 8 * middle, 4);
            return read.good() ? std::optional<std::uint64_t>(target) : std::nullopt;
        }
        if (name > *id) {
            high = middle;
        } else {
            low = middle + 1;
        }
    }
    return std::nullopt;
}

// A block of the version tree: [start, end), its key, its value.
struct Block {
    std::uint64_t end = 0;
    std::u16string key;
    std::uint64_t value = 0;
    std::uint64_t valueBytes = 0;
    std::uint64_t children = 0;
};

std::optional<Block> ReadBlock(Reader& read, std::uint64_t origin, std::uint64_t at, std::uint64_t limit)
{
    const auto align = [origin](std::uint64_t offset) { return origin + ((offset - origin + 3) / 4) * 4; };
    const std::uint64_t length = read(at, 2);
    const std::uint64_t valueLength = read(at + 2, 2);
    const bool text = read(at + 4, 2) == 1;
    if (!read.good() || length < 6 || at + length > limit) return std::nullopt;
    Block block;
    block.end = at + length;
    std::uint64_t cursor = at + 6;
    while (cursor + 2 <= block.end) {
        const char16_t unit = static_cast<char16_t>(read(cursor, 2));
        cursor += 2;
        if (unit == 0) break;
        block.key += unit;
    }
    block.value = align(cursor);
    const std::uint64_t declared = text ? valueLength * 2 : valueLength;
    block.valueBytes = block.value < block.end ? std::min(declared, block.end - block.value) : 0;
    block.children = align(block.value + declared);
    return block;
}

bool KeyIs(const std::u16string& key, const char* name)
{
    size_t i = 0;
    for (; name[i] != '\0'; ++i) {
        if (i >= key.size()) return false;
        const char16_t a = key[i] < 128 ? static_cast<char16_t>(std::toupper(key[i])) : key[i];
        if (a != static_cast<char16_t>(std::toupper(static_cast<unsigned char>(name[i])))) return false;
    }
    return i == key.size();
}

// The first child of the block with this key.
std::optional<Block> Child(Reader& read, std::uint64_t origin, const Block& parent, const char* name)
{
    const auto align = [origin](std::uint64_t offset) { return origin + ((offset - origin + 3) / 4) * 4; };
    for (std::uint64_t at = parent.children; at < parent.end;) {
        const std::optional<Block> child = ReadBlock(read, origin, at, parent.end);
        if (!child) return std::nullopt;
        if (KeyIs(child->key, name)) return child;
        at = align(child->end);
    }
    return std::nullopt;
}

}  // namespace

FileVersionFacts ReadFileVersion(const std::string& bytes)
{
    FileVersionFacts facts;
    Reader read(bytes);
    const std::optional<Image> image = MapImage(read);
    if (!image || image->resourceRva == 0) return facts;
    const std::optional<std::uint64_t> root = At(read, *image, image->resourceRva, 16);
    facts.error = ERROR_RESOURCE_TYPE_NOT_FOUND;
    if (!root) return facts;

    // Type, then name, then language: two subdirectories, then the data entry.
    std::uint64_t node = *root;
    const std::optional<std::uint64_t> wanted[] = {kVersionType, std::nullopt, std::nullopt};
    for (int level = 0; level < 3; ++level) {
        const std::optional<std::uint64_t> target = Entry(read, node, wanted[level]);
        const bool subdirectory = target && (*target & 0x80000000) != 0;
        if (!target || subdirectory != (level < 2)) return facts;
        node = *root + (*target & 0x7FFFFFFF);
    }
    const std::uint64_t dataRva = read(node, 4);
    const std::uint64_t size = read(node + 4, 4);
    const std::optional<std::uint64_t> data = read.good() ? At(read, *image, dataRva, size) : std::nullopt;
    if (!data) return facts;
    facts.error = 0;

    const std::optional<Block> version = ReadBlock(read, *data, *data, *data + size);
    if (!version) return facts;
    if (version->valueBytes >= kFixedInfoBytes) {
        facts.fixedInfo = true;
        facts.fileType = static_cast<DWORD>(read(version->value + 36, 4));
        facts.fileSubtype = static_cast<DWORD>(read(version->value + 40, 4));
    }
    const std::optional<Block> group = Child(read, *data, *version, "VarFileInfo");
    const std::optional<Block> translation = group ? Child(read, *data, *group, "Translation") : std::nullopt;
    if (translation && translation->valueBytes >= 4) {
        facts.translation = true;
        facts.language = static_cast<WORD>(read(translation->value, 2));
    }
    return facts;
}

}  // namespace detail
}  // namespace sim
