// JSON written by hand: the checker imports nothing beyond the system DLLs.
#pragma once

#include <string>
#include <utility>
#include <vector>

// A JSON string of UTF-8 text; bytes that belong to no valid sequence become
// U+FFFD, so the document is valid UTF-8 whatever the text was.
std::string JsonString(const std::string& utf8);

// An object of members already written as JSON, in this order.
std::string JsonObject(const std::vector<std::pair<std::string, std::string>>& members);

// An array of elements already written as JSON.
std::string JsonArray(const std::vector<std::string>& elements);
