#include "package_checker/file_source.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "platform/win32.h"

namespace {

constexpr std::size_t kWindow = 1 << 16;

}  // namespace

FileSource::FileSource(const std::string& name)
    : file_(CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL, nullptr))
{
    LARGE_INTEGER size{};
    if (file_ && GetFileSizeEx(file_.get(), &size) && size.QuadPart >= 0) {
        size_ = static_cast<std::uint64_t>(size.QuadPart);
        sized_ = true;
    }
}

bool FileSource::ReadAt(std::uint64_t offset, std::size_t size, char* out) const
{
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<long long>(offset);
    if (!SetFilePointerEx(file_.get(), at, nullptr, FILE_BEGIN)) return false;
    while (size > 0) {
        DWORD got = 0;
        const DWORD asked = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
        if (!ReadFile(file_.get(), out, asked, &got, nullptr) || got == 0) return false;
        out += got;
        size -= got;
    }
    return true;
}

bool FileSource::Read(std::uint64_t offset, std::size_t size, char* out) const
{
    if (!IsOpen() || offset > size_ || size > size_ - offset) return false;
    if (offset >= windowStart_ && offset + size <= windowStart_ + window_.size()) {
        std::memcpy(out, window_.data() + (offset - windowStart_), size);
        return true;
    }
    if (size > kWindow / 2) {  // a table read once, whole
        if (ReadAt(offset, size, out)) return true;
        failed_ = true;
        return false;
    }
    const std::uint64_t start = offset - offset % (kWindow / 2);
    window_.assign(static_cast<std::size_t>(std::min<std::uint64_t>(kWindow, size_ - start)), '\0');
    windowStart_ = start;
    if (!ReadAt(start, window_.size(), &window_[0])) {
        window_.clear();
        failed_ = true;
        return false;
    }
    std::memcpy(out, window_.data() + (offset - start), size);
    return true;
}

std::optional<bool> SameContents(const std::string& a, const std::string& b)
{
    const FileSource first(a);
    const FileSource second(b);
    if (!first.IsOpen() || !second.IsOpen()) return std::nullopt;
    if (first.Size() != second.Size()) return false;
    std::vector<char> x(kWindow);
    std::vector<char> y(kWindow);
    for (std::uint64_t at = 0; at < first.Size(); at += kWindow) {
        const std::size_t size = static_cast<std::size_t>(std::min<std::uint64_t>(kWindow, first.Size() - at));
        if (!first.Read(at, size, x.data()) || !second.Read(at, size, y.data())) return std::nullopt;
        if (std::memcmp(x.data(), y.data(), size) != 0) return false;
    }
    return true;
}
