// Reading a text that the platform writes into a caller's buffer and that may
// be longer than any fixed size (the current and the system directory).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// query(buffer, size) answers as GetCurrentDirectoryA and GetSystemDirectoryA
// do: 0 on failure, the text's length when it fit, otherwise the size needed
// with the terminating zero counted. The buffer is grown to that size and the
// question asked again; a text that keeps growing counts as a failure.
// Returns the text, or the empty text on failure.
template <typename Query>
std::string QueryPlatformText(std::size_t initialSize, Query query)
{
    constexpr int kAttempts = 3;
    std::vector<char> buffer(initialSize + 1, '\0');
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const std::size_t size = buffer.size() - 1;  // the last byte always stays zero
        const std::size_t answer = static_cast<std::size_t>(query(buffer.data(), size));
        if (answer == 0) {
            return std::string();
        }
        if (answer < size) {
            return std::string(buffer.data());  // up to the first zero byte
        }
        buffer.assign(answer + 1, '\0');
    }
    return std::string();
}
