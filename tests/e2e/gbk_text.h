// Texts as the user sees them. The expected texts are written in UTF-8 and
// converted here, independently of the tool, into the code page 936 (GBK)
// bytes the tool must show; a wrong byte in the tool then shows up as a
// mismatch instead of being copied into the expectation.
#pragma once

#include <string>

namespace e2e {

// UTF-8 to code page 936 bytes.
std::string Gbk(const std::string& utf8);

// Code page 936 bytes to UTF-8.
std::string Utf8FromGbk(const std::string& gbk);

// UTF-16 to code page 936 bytes.
std::string GbkFromWide(const std::wstring& wide);

// A byte string for a failure message: its UTF-8 reading with CR and LF
// spelled out, followed by its bytes in hexadecimal.
std::string Describe(const std::string& gbk);

}  // namespace e2e
