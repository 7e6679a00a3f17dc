// The bytes of a PE image read safely where they lie, and its headers with
// the mapping of its RVAs into the file: offsets are computed in 64 bits and
// checked before each read, and an RVA is mapped in the logarithm of the
// number of sections.
// Used by the image reader only.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "package_checker/byte_source.h"
#include "package_checker/pe_image.h"

namespace pe_file {

constexpr std::uint16_t kMachineI386 = 0x014C;
constexpr std::uint16_t kMachineAmd64 = 0x8664;
constexpr std::uint16_t kMachineArm64 = 0xAA64;
constexpr std::uint16_t kFileDll = 0x2000;
constexpr std::uint16_t kMagicPe32 = 0x10B;
constexpr std::uint16_t kMagicPe32Plus = 0x20B;

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

}  // namespace pe_file
