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

#include "package_checker/pe_file.h"
#include "package_checker/text_forms.h"

namespace {

constexpr unsigned kExportDirectory = 0;
constexpr unsigned kResourceDirectory = 2;
constexpr unsigned kSecurityDirectory = 4;  // its "RVA" is a file offset
constexpr std::uint32_t kFixedInfoSize = 52;
constexpr std::uint16_t kCertificateRevision2 = 0x0200;
constexpr std::uint16_t kCertificatePkcsSignedData = 0x0002;
constexpr std::uint32_t kVersionResourceType = 16;  // RT_VERSION
constexpr std::uint32_t kSubdirectoryFlag = 0x80000000;

using pe_file::Bytes;
using pe_file::PeFile;

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
