// A file opened for reading, read at the offsets asked for. Small reads are
// served from one window of the file read ahead, so that walking a table
// costs few calls; nothing else of the file is held.
#pragma once

#include <optional>
#include <string>

#include "package_checker/byte_source.h"
#include "support/unique_handle.h"

class FileSource : public ByteSource {
public:
    // Opened sharing reading and writing, as the setup program's copy does.
    explicit FileSource(const std::string& name);

    bool IsOpen() const { return file_.is_valid() && sized_; }
    // A read the file system refused (not one past the end): what was to be
    // read there is unknown.
    bool Failed() const { return failed_; }
    std::uint64_t Size() const override { return size_; }
    bool Read(std::uint64_t offset, std::size_t size, char* out) const override;

private:
    bool ReadAt(std::uint64_t offset, std::size_t size, char* out) const;

    UniqueFileHandle file_;
    bool sized_ = false;
    std::uint64_t size_ = 0;
    mutable bool failed_ = false;
    mutable std::string window_;
    mutable std::uint64_t windowStart_ = 0;
};

// The two files hold the same bytes, compared a block at a time; nothing when
// either cannot be read.
std::optional<bool> SameContents(const std::string& a, const std::string& b);
