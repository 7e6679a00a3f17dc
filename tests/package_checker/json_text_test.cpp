// JSON strings as the checker writes them: valid JSON and valid UTF-8 for
// any bytes, which no package of the whole checker's tables holds.
#include <gtest/gtest.h>

#include "package_checker/json_text.h"

namespace {

TEST(JsonText, StringsAreValidJsonAndUtf8WhateverTheBytes)
{
    const struct {
        const char* name;
        std::string bytes;
        std::string json;
    } rows[] = {
        {"quote and backslash", "a\"b\\c", "\"a\\\"b\\\\c\""},
        {"line ends and a tab", "a\r\nb\tc", "\"a\\r\\nb\\tc\""},
        {"other control characters", std::string("\x01\x1F\x00", 3), "\"\\u0001\\u001f\\u0000\""},
        {"Chinese as it is", "\xE5\xAE\x89\xE8\xA3\x85", "\"\xE5\xAE\x89\xE8\xA3\x85\""},  // 安装
        {"a GBK byte pair, no UTF-8", "\xB2\xE2", "\"\xEF\xBF\xBD\xEF\xBF\xBD\""},        // two U+FFFD
        {"a cut sequence before ASCII", "\xE5\xAE" "x", "\"\xEF\xBF\xBD\xEF\xBF\xBDx\""},  // a U+FFFD a byte
    };
    for (const auto& row : rows) EXPECT_EQ(JsonString(row.bytes), row.json) << row.name;
}

}  // namespace
