// Bytes read where they lie: a file the checker looks into is never read
// whole, only the parts each structure occupies, so what it holds of a file
// is bounded by what it reads, not by the file's size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t Size() const = 0;
    // The `size` bytes at `offset` into `out`; false when they lie past the
    // end or cannot be read.
    virtual bool Read(std::uint64_t offset, std::size_t size, char* out) const = 0;
};

// Bytes already in memory.
class StringSource : public ByteSource {
public:
    explicit StringSource(const std::string& bytes) : bytes_(bytes) {}
    std::uint64_t Size() const override { return bytes_.size(); }
    bool Read(std::uint64_t offset, std::size_t size, char* out) const override
    {
        if (offset > bytes_.size() || size > bytes_.size() - offset) return false;
        bytes_.copy(out, size, static_cast<std::size_t>(offset));
        return true;
    }

private:
    const std::string& bytes_;
};
