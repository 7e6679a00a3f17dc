// An IME image made to cost a reader of PE files the most, at any size: the
// most sections the file header can count (65,535, fewer in a file too small
// for their table), all but the last far from
// everything, and one section holding an export directory whose table of
// names fills the rest of the file. Every other name points outside every
// section, the others at one long text without an end near it; the last one
// is "ImeInquire". A reader that walks the section table for each name, or
// reads each name to a length of its own, takes the product of the two sizes.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>

namespace test_images {

// At least 64 KiB; the section table takes at most half of the file.
inline std::string CraftedImage(std::uint64_t size, std::uint16_t mostSections = 0xFFFF)
{
    std::string image(size, '\0');
    const std::uint16_t sections =
        static_cast<std::uint16_t>(std::min<std::uint64_t>(mostSections, (size / 2 - 0x200) / 40));
    const auto put16 = [&image](std::uint64_t at, std::uint32_t value) {
        image[at] = static_cast<char>(value & 0xFF);
        image[at + 1] = static_cast<char>((value >> 8) & 0xFF);
    };
    const auto put32 = [&](std::uint64_t at, std::uint32_t value) {
        put16(at, value & 0xFFFF);
        put16(at + 2, value >> 16);
    };
    constexpr std::uint32_t kOptional = 0x58;  // after "PE\0\0" and the file header
    constexpr std::uint32_t kTable = kOptional + 240;
    constexpr std::uint32_t kOutside = 0x7FFFF000;  // below the far sections, above the last one
    constexpr std::uint32_t kLongText = 8192;
    const std::uint64_t raw = (kTable + 40ULL * sections + 0x1FF) & ~0x1FFULL;
    const std::uint32_t kAddress = static_cast<std::uint32_t>((raw + 0xFFF) & ~0xFFFULL);  // past the headers

    image[0] = 'M';
    image[1] = 'Z';
    put32(0x3C, 0x40);
    image.replace(0x40, 4, std::string("PE\0\0", 4));
    put16(0x44, 0x8664);
    put16(0x46, sections);
    put16(0x54, 240);
    put16(0x56, 0x2022);  // executable, large addresses, DLL
    put16(kOptional, 0x20B);
    put32(kOptional + 60, static_cast<std::uint32_t>(raw));
    put32(kOptional + 108, 16);
    put32(kOptional + 112, kAddress);  // the export directory
    put32(kOptional + 116, 40);
    for (std::uint32_t i = 0; i + 1 < sections; ++i) {
        const std::uint64_t entry = kTable + 40ULL * i;
        put32(entry + 12, 0x80000000u + i * 0x1000u);
        put32(entry + 16, 0x200);
    }
    const std::uint64_t last = kTable + 40ULL * (sections - 1);
    put32(last + 12, kAddress);
    put32(last + 16, static_cast<std::uint32_t>(size - raw));
    put32(last + 20, static_cast<std::uint32_t>(raw));

    // The export directory, its names, the long text and "ImeInquire" last.
    const std::uint64_t names = raw + 40;
    const std::uint64_t nameInquire = size - 16;
    const std::uint64_t longText = nameInquire - kLongText;
    const std::uint32_t count = static_cast<std::uint32_t>((longText - names) / 4);
    put32(raw + 24, count);
    put32(raw + 32, kAddress + 40);
    const auto rva = [&](std::uint64_t offset) { return static_cast<std::uint32_t>(offset - raw + kAddress); };
    for (std::uint32_t i = 0; i + 1 < count; ++i) put32(names + 4ULL * i, i % 2 == 0 ? kOutside : rva(longText));
    put32(names + 4ULL * (count - 1), rva(nameInquire));
    image.replace(longText, kLongText, std::string(kLongText, 'I'));
    image.replace(nameInquire, 11, std::string("ImeInquire\0", 11));
    return image;
}

}  // namespace test_images
