// The PE format: an MS-DOS header whose e_lfanew points at "PE\0\0", the file
// header, the optional header with its data directories (0 exports, 2
// resources, 4 the certificate table), the section table that maps relative virtual addresses (RVAs)
// to file offsets. Offsets are computed in 64 bits and checked before each
// read, so no value in the file can lead a read outside it. Each structure
// is read where it lies and nothing else of the file, so the work and the
// memory are bounded by the structures, whatever the file's size: the
// section table is read once and an RVA mapped in the logarithm of the
// number of sections; a name and a resource type are looked up as the
// loader looks them up, by a binary search of their sorted tables, and a
// name is compared over the length of the name looked for only.
#include "package_checker/pe_image.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "package_checker/text_forms.h"

namespace {

constexpr std::uint16_t kMachineI386 = 0x014C;
constexpr std::uint16_t kMachineAmd64 = 0x8664;
constexpr std::uint16_t kMachineArm64 = 0xAA64;
constexpr std::uint16_t kFileDll = 0x2000;
constexpr std::uint16_t kMagicPe32 = 0x10B;
constexpr std::uint16_t kMagicPe32Plus = 0x20B;
constexpr unsigned kExportDirectory = 0;
constexpr unsigned kResourceDirectory = 2;
constexpr unsigned kSecurityDirectory = 4;  // its "RVA" is a file offset
constexpr std::uint32_t kFixedInfoSize = 52;
constexpr std::uint16_t kCertificateRevision2 = 0x0200;
constexpr std::uint16_t kCertificatePkcsSignedData = 0x0002;
constexpr std::uint32_t kVersionResourceType = 16;  // RT_VERSION
constexpr std::uint32_t kSubdirectoryFlag = 0x80000000;

class Bytes {
public:
    explicit Bytes(const ByteSource& source) : source_(source) {}

    std::uint64_t Size() const { return source_.Size(); }
    bool Has(std::uint64_t offset, std::uint64_t size) const
    {
        return offset <= Size() && size <= Size() - offset;
    }
    bool U8(std::uint64_t offset, unsigned& value) const
    {
        char byte = 0;
        if (!Has(offset, 1) || !source_.Read(offset, 1, &byte)) return false;
        value = static_cast<unsigned char>(byte);
        return true;
    }
    bool U16(std::uint64_t offset, std::uint16_t& value) const
    {
        unsigned char two[2] = {};
        if (!Has(offset, 2) || !source_.Read(offset, 2, reinterpret_cast<char*>(two))) return false;
        value = static_cast<std::uint16_t>(two[0] | two[1] << 8);
        return true;
    }
    bool U32(std::uint64_t offset, std::uint32_t& value) const
    {
        std::uint16_t low = 0;
        std::uint16_t high = 0;
        if (!U16(offset, low) || !U16(offset + 2, high)) return false;
        value = low | static_cast<std::uint32_t>(high) << 16;
        return true;
    }
    // The text at offset compared with `text` as strcmp compares them
    // (below zero, zero, above zero), over text's length and its end at
    // most; nothing when the file ends first.
    std::optional<int> CompareText(std::uint64_t offset, const std::string& text) const
    {
        for (size_t i = 0; i <= text.size(); ++i) {
            unsigned byte = 0;
            if (!U8(offset + i, byte)) return std::nullopt;
            const unsigned wanted = i < text.size() ? static_cast<unsigned char>(text[i]) : 0;
            if (byte != wanted) return byte < wanted ? -1 : 1;
        }
        return 0;
    }

private:
    const ByteSource& source_;
};

struct Section {
    std::uint64_t address = 0;  // RVA
    std::uint64_t rawSize = 0;  // what of the section's bytes the file holds
    std::uint64_t rawOffset = 0;
};

// The section table as a map from RVAs to file offsets, sorted by address;
// for each section, the one among it and those before it that reaches the
// furthest. Among the sections that start at or below an RVA that one holds
// it if any does.
class SectionMap {
public:
    void Build(std::vector<Section> sections)
    {
        std::sort(sections.begin(), sections.end(),
                  [](const Section& a, const Section& b) { return a.address < b.address; });
        sections_ = std::move(sections);
        furthest_.resize(sections_.size());
        for (size_t i = 0; i < sections_.size(); ++i) {
            const bool further = i == 0 || End(sections_[i]) > End(sections_[furthest_[i - 1]]);
            furthest_[i] = further ? i : furthest_[i - 1];
        }
    }

    // The file offset of `size` bytes at the RVA, when a section holds them all.
    std::optional<std::uint64_t> OffsetOf(std::uint64_t rva, std::uint64_t size) const
    {
        const auto after = std::upper_bound(sections_.begin(), sections_.end(), rva,
                                            [](std::uint64_t at, const Section& s) { return at < s.address; });
        if (after == sections_.begin()) return std::nullopt;
        const Section& section = sections_[furthest_[static_cast<size_t>(after - sections_.begin()) - 1]];
        if (rva + size > End(section)) return std::nullopt;  // past the section's bytes in the file
        return section.rawOffset + (rva - section.address);
    }

private:
    static std::uint64_t End(const Section& s) { return s.address + s.rawSize; }

    std::vector<Section> sections_;
    std::vector<size_t> furthest_;
};

// The headers of an image and the mapping of its RVAs into the file.
class PeFile {
public:
    explicit PeFile(const ByteSource& bytes) : bytes_(bytes) { ok_ = Parse(); }

    bool ok() const { return ok_; }
    const Bytes& bytes() const { return bytes_; }
    const PeHeaders& headers() const { return headers_; }

    // The file offset of an RVA whose `size` bytes lie in the file.
    std::optional<std::uint64_t> OffsetOf(std::uint64_t rva, std::uint64_t size = 1) const
    {
        if (rva + size <= headerSize_ && bytes_.Has(rva, size)) return rva;
        return sections_.OffsetOf(rva, size);
    }

    // A data directory's RVA and size; nothing when the image has none.
    bool Directory(unsigned index, std::uint32_t& rva, std::uint32_t& size) const
    {
        if (index >= directoryCount_) return false;
        const std::uint64_t entry = directories_ + 8ULL * index;
        return bytes_.U32(entry, rva) && bytes_.U32(entry + 4, size) && rva != 0;
    }

private:
    bool Parse()
    {
        std::uint16_t mz = 0;
        std::uint32_t peOffset = 0;
        std::uint32_t signature = 0;
        if (!bytes_.U16(0, mz) || mz != 0x5A4D || !bytes_.U32(0x3C, peOffset)) return false;
        if (!bytes_.U32(peOffset, signature) || signature != 0x00004550) return false;

        const std::uint64_t fileHeader = peOffset + 4ULL;
        std::uint16_t sectionCount = 0;
        std::uint16_t optionalSize = 0;
        std::uint16_t characteristics = 0;
        if (!bytes_.U16(fileHeader, headers_.MachineCode) || !bytes_.U16(fileHeader + 2, sectionCount) ||
            !bytes_.U16(fileHeader + 16, optionalSize) || !bytes_.U16(fileHeader + 18, characteristics)) {
            return false;
        }
        headers_.IsDll = (characteristics & kFileDll) != 0;
        switch (headers_.MachineCode) {
        case kMachineI386: headers_.Machine = PeMachine::X86; break;
        case kMachineAmd64: headers_.Machine = PeMachine::X64; break;
        case kMachineArm64: headers_.Machine = PeMachine::Arm64; break;
        default: headers_.Machine = PeMachine::Other; break;
        }

        const std::uint64_t optional = fileHeader + 20;
        std::uint16_t magic = 0;
        if (!bytes_.U16(optional, magic) || !bytes_.U32(optional + 60, headerSize_)) return false;
        std::uint64_t countAt = 0;
        if (magic == kMagicPe32) {
            countAt = 92;
        } else if (magic == kMagicPe32Plus) {
            countAt = 108;
        } else {
            return false;
        }
        std::uint32_t count = 0;
        if (countAt + 4 > optionalSize || !bytes_.U32(optional + countAt, count)) return false;
        directories_ = optional + countAt + 4;
        // Only the entries the optional header really holds.
        directoryCount_ = static_cast<std::uint32_t>(
            std::min<std::uint64_t>(count, (optionalSize - countAt - 4) / 8));

        const std::uint64_t table = optional + optionalSize;
        if (!bytes_.Has(table, 40ULL * sectionCount)) return false;
        std::vector<Section> sections;
        sections.reserve(sectionCount);
        for (std::uint16_t i = 0; i < sectionCount; ++i) {
            const std::uint64_t at = table + 40ULL * i;
            std::uint32_t address = 0;
            std::uint32_t rawSize = 0;
            std::uint32_t rawOffset = 0;
            bytes_.U32(at + 12, address);
            bytes_.U32(at + 16, rawSize);
            bytes_.U32(at + 20, rawOffset);
            // Only what the file holds of the section's bytes can be read.
            const std::uint64_t held = bytes_.Has(rawOffset, 0) ? bytes_.Size() - rawOffset : 0;
            sections.push_back({address, std::min<std::uint64_t>(rawSize, held), rawOffset});
        }
        sections_.Build(std::move(sections));
        return true;
    }

    Bytes bytes_;
    bool ok_ = false;
    PeHeaders headers_;
    std::uint32_t headerSize_ = 0;
    std::uint64_t directories_ = 0;
    std::uint32_t directoryCount_ = 0;
    SectionMap sections_;
};

// ---- The version resource ----

// A resource directory's entry with this id (or the first entry, for any id),
// as its raw OffsetToData. The ids follow the named entries in ascending
// order, and the loader finds one by a binary search among them.
bool ResourceEntry(const Bytes& bytes, std::uint64_t directory, std::optional<std::uint32_t> id,
                   std::uint32_t& target)
{
    std::uint16_t named = 0;
    std::uint16_t numbered = 0;
    if (!bytes.U16(directory + 12, named) || !bytes.U16(directory + 14, numbered)) return false;
    if (!id) return named + numbered > 0 && bytes.U32(directory + 20, target);
    std::int64_t low = named;
    std::int64_t high = static_cast<std::int64_t>(named) + numbered - 1;
    while (low <= high) {
        const std::int64_t middle = low + (high - low) / 2;
        const std::uint64_t entry = directory + 16 + 8ULL * static_cast<std::uint64_t>(middle);
        std::uint32_t name = 0;
        if (!bytes.U32(entry, name)) return false;
        if (name == *id) return bytes.U32(entry + 4, target);
        if (name > *id) {
            high = middle - 1;
        } else {
            low = middle + 1;
        }
    }
    return false;
}

// The version resource's offset and size in the file: type 16, its first
// name, its first language, whose entry is the data entry.
bool VersionResource(const PeFile& file, std::uint64_t& offset, std::uint32_t& size)
{
    std::uint32_t rva = 0;
    if (!file.Directory(kResourceDirectory, rva, size)) return false;
    const std::optional<std::uint64_t> root = file.OffsetOf(rva, 16);
    if (!root) return false;
    const std::optional<std::uint32_t> levels[] = {kVersionResourceType, std::nullopt, std::nullopt};
    std::uint64_t directory = *root;
    for (size_t level = 0; level < 3; ++level) {
        std::uint32_t target = 0;
        if (!ResourceEntry(file.bytes(), directory, levels[level], target)) return false;
        const bool subdirectory = (target & kSubdirectoryFlag) != 0;
        if (subdirectory != (level < 2)) return false;
        directory = *root + (target & ~kSubdirectoryFlag);
    }
    std::uint32_t dataRva = 0;
    if (!file.bytes().U32(directory, dataRva) || !file.bytes().U32(directory + 4, size)) return false;
    const std::optional<std::uint64_t> data = file.OffsetOf(dataRva, size);
    if (!data) return false;
    offset = *data;
    return true;
}

// One node of the version information: wLength, wValueLength, wType, the key
// in UTF-16, then (each on a 4-byte boundary) the value and the children.
struct VersionNode {
    std::u16string key;
    std::uint64_t value = 0;     // where the value starts
    std::uint64_t valueSize = 0; // its bytes within the node
    std::uint64_t children = 0;  // where the children start
    std::uint64_t end = 0;       // where the node ends
};

// Offsets are aligned from the start of the version resource.
std::uint64_t Aligned(std::uint64_t base, std::uint64_t at)
{
    return base + ((at - base + 3) & ~std::uint64_t{3});
}

// The UTF-16 text at `at`, up to a zero unit or `end`; `after` is where the
// text's terminating zero ends.
std::u16string Utf16Text(const Bytes& bytes, std::uint64_t at, std::uint64_t end, std::uint64_t& after)
{
    std::u16string text;
    std::uint16_t unit = 0;
    while (at + 2 <= end && bytes.U16(at, unit)) {
        at += 2;
        if (unit == 0) break;
        text += static_cast<char16_t>(unit);
    }
    after = at;
    return text;
}

bool ReadNode(const Bytes& bytes, std::uint64_t base, std::uint64_t at, std::uint64_t limit, VersionNode& node)
{
    std::uint16_t length = 0;
    std::uint16_t valueLength = 0;
    std::uint16_t type = 0;
    if (!bytes.U16(at, length) || !bytes.U16(at + 2, valueLength) || !bytes.U16(at + 4, type)) return false;
    if (length < 6 || at + length > limit) return false;
    node.end = at + length;
    std::uint64_t afterKey = 0;
    node.key = Utf16Text(bytes, at + 6, node.end, afterKey);
    node.value = Aligned(base, afterKey);
    const std::uint64_t valueBytes = type == 1 ? 2ULL * valueLength : valueLength;  // text: in characters
    node.children = std::min(Aligned(base, node.value + valueBytes), node.end);
    node.valueSize = node.value < node.end ? std::min(valueBytes, node.end - node.value) : 0;
    return true;
}

// Version keys are compared as VerQueryValue compares them: ASCII letters
// without regard to case.
bool SameKey(const std::u16string& key, const std::u16string& wanted)
{
    if (key.size() != wanted.size()) return false;
    for (size_t i = 0; i < key.size(); ++i) {
        const char16_t a = key[i] >= u'a' && key[i] <= u'z' ? key[i] - 32 : key[i];
        const char16_t b = wanted[i] >= u'a' && wanted[i] <= u'z' ? wanted[i] - 32 : wanted[i];
        if (a != b) return false;
    }
    return true;
}

// Calls visit for each child of the node, in order.
template <typename Visit>
void ForEachChild(const Bytes& bytes, std::uint64_t base, const VersionNode& parent, Visit visit)
{
    std::uint64_t at = parent.children;
    VersionNode child;
    while (at < parent.end && ReadNode(bytes, base, at, parent.end, child)) {
        visit(child);
        at = Aligned(base, child.end);
    }
}

}  // namespace

std::optional<PeHeaders> ReadPeHeaders(const ByteSource& bytes)
{
    const PeFile file(bytes);
    if (!file.ok()) return std::nullopt;
    return file.headers();
}

std::string MachineName(const PeHeaders& headers)
{
    switch (headers.Machine) {
    case PeMachine::X86: return "x86";
    case PeMachine::X64: return "x64";
    case PeMachine::Arm64: return "ARM64";
    case PeMachine::Other: break;
    }
    char code[16];
    std::snprintf(code, sizeof code, "0x%04X", headers.MachineCode);
    return code;
}

bool ExportsName(const ByteSource& bytes, const std::string& name)
{
    const PeFile file(bytes);
    std::uint32_t rva = 0;
    std::uint32_t size = 0;
    if (!file.ok() || !file.Directory(kExportDirectory, rva, size)) return false;
    const std::optional<std::uint64_t> directory = file.OffsetOf(rva, 40);
    std::uint32_t nameCount = 0;
    std::uint32_t names = 0;
    if (!directory || !file.bytes().U32(*directory + 24, nameCount) || !file.bytes().U32(*directory + 32, names)) {
        return false;
    }
    // As GetProcAddress looks a name up: a binary search of the table of
    // names, which linkers sort; a name that leads nowhere ends it. Each name
    // is compared over the length of the one looked for, however long it runs.
    std::int64_t low = 0;
    std::int64_t high = static_cast<std::int64_t>(nameCount) - 1;
    while (low <= high) {
        const std::int64_t middle = low + (high - low) / 2;
        const std::optional<std::uint64_t> entry = file.OffsetOf(names + 4ULL * static_cast<std::uint64_t>(middle), 4);
        std::uint32_t nameRva = 0;
        if (!entry || !file.bytes().U32(*entry, nameRva)) return false;
        const std::optional<std::uint64_t> text = file.OffsetOf(nameRva);
        const std::optional<int> order = text ? file.bytes().CompareText(*text, name) : std::nullopt;
        if (!order) return false;
        if (*order == 0) return true;
        if (*order > 0) {
            high = middle - 1;
        } else {
            low = middle + 1;
        }
    }
    return false;
}

std::map<std::string, std::string> VersionStrings(const ByteSource& bytes)
{
    std::map<std::string, std::string> strings;
    const PeFile file(bytes);
    std::uint64_t base = 0;
    std::uint32_t size = 0;
    if (!file.ok() || !VersionResource(file, base, size)) return strings;
    const Bytes& data = file.bytes();
    VersionNode root;
    if (!ReadNode(data, base, base, base + size, root) || root.key != u"VS_VERSION_INFO") return strings;
    bool tableRead = false;
    ForEachChild(data, base, root, [&](const VersionNode& info) {
        if (info.key != u"StringFileInfo") return;
        ForEachChild(data, base, info, [&](const VersionNode& table) {
            if (tableRead) return;  // the first string table only
            tableRead = true;
            ForEachChild(data, base, table, [&](const VersionNode& entry) {
                std::uint64_t after = 0;
                strings[Utf8FromUtf16(entry.key)] = Utf8FromUtf16(Utf16Text(data, entry.value, entry.end, after));
            });
        });
    });
    return strings;
}

PeVersionInfo ReadVersionInfo(const ByteSource& bytes)
{
    PeVersionInfo info;
    const PeFile file(bytes);
    if (!file.ok()) return info;
    std::uint32_t rva = 0;
    std::uint32_t size = 0;
    info.Resource = PeVersionResource::NoResources;
    if (!file.Directory(kResourceDirectory, rva, size)) return info;
    std::uint64_t base = 0;
    info.Resource = PeVersionResource::Missing;
    if (!VersionResource(file, base, size)) return info;
    info.Resource = PeVersionResource::Present;

    // As VerQueryValue finds them: "\" is the root's value, and
    // "\VarFileInfo\Translation" the value of that child of that child,
    // the keys compared without regard to case.
    const Bytes& data = file.bytes();
    VersionNode root;
    if (!ReadNode(data, base, base, base + size, root)) return info;
    info.HasFixedInfo = root.valueSize >= kFixedInfoSize && data.U32(root.value + 36, info.FileType) &&
                        data.U32(root.value + 40, info.FileSubtype);
    ForEachChild(data, base, root, [&](const VersionNode& group) {
        if (info.Translation || !SameKey(group.key, u"VarFileInfo")) return;
        ForEachChild(data, base, group, [&](const VersionNode& entry) {
            PeTranslation first;
            if (info.Translation || !SameKey(entry.key, u"Translation") || entry.valueSize < 4 ||
                !data.U16(entry.value, first.Language) || !data.U16(entry.value + 2, first.CodePage)) {
                return;
            }
            info.Translation = first;
        });
    });
    return info;
}

bool HasAuthenticodeSignature(const ByteSource& bytes)
{
    const PeFile file(bytes);
    std::uint32_t offset = 0;
    std::uint32_t size = 0;
    if (!file.ok() || !file.Directory(kSecurityDirectory, offset, size) || !file.bytes().Has(offset, size)) {
        return false;
    }
    std::uint32_t length = 0;
    std::uint16_t revision = 0;
    std::uint16_t type = 0;
    return file.bytes().U32(offset, length) && length > 8 && length <= size && file.bytes().U16(offset + 4, revision) &&
           revision == kCertificateRevision2 && file.bytes().U16(offset + 6, type) &&
           type == kCertificatePkcsSignedData;
}

std::optional<PeHeaders> ReadPeHeaders(const std::string& bytes)
{
    return ReadPeHeaders(StringSource(bytes));
}

bool ExportsName(const std::string& bytes, const std::string& name)
{
    return ExportsName(StringSource(bytes), name);
}

std::map<std::string, std::string> VersionStrings(const std::string& bytes)
{
    return VersionStrings(StringSource(bytes));
}

PeVersionInfo ReadVersionInfo(const std::string& bytes)
{
    return ReadVersionInfo(StringSource(bytes));
}

bool HasAuthenticodeSignature(const std::string& bytes)
{
    return HasAuthenticodeSignature(StringSource(bytes));
}
