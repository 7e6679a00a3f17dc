#include "package_checker/json_text.h"

#include "package_checker/text_forms.h"

std::string JsonString(const std::string& utf8)
{
    static const char kHex[] = "0123456789abcdef";
    const std::string valid = IsUtf8(utf8) ? utf8 : Utf8FromUtf16(Utf16FromUtf8(utf8));
    std::string json = "\"";
    for (const char c : valid) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            json += '\\';
            json += c;
        } else if (c == '\n') {
            json += "\\n";
        } else if (c == '\r') {
            json += "\\r";
        } else if (c == '\t') {
            json += "\\t";
        } else if (byte < 0x20) {
            json += std::string("\\u00") + kHex[byte >> 4] + kHex[byte & 15];
        } else {
            json += c;
        }
    }
    return json + "\"";
}

std::string JsonObject(const std::vector<std::pair<std::string, std::string>>& members)
{
    std::string json = "{";
    for (const auto& member : members) {
        json += (json.size() > 1 ? ", " : "") + JsonString(member.first) + ": " + member.second;
    }
    return json + "}";
}

std::string JsonArray(const std::vector<std::string>& elements)
{
    std::string json = "[";
    for (const std::string& element : elements) json += (json.size() > 1 ? ", " : "") + element;
    return json + "]";
}
