// setup.log's encoding: what Windows' profile reader makes of the bytes.
#include <algorithm>

#include "package_checker/judging.h"
#include "package_checker/setup_log_encoding.h"
#include "package_checker/text_forms.h"

namespace {

using C = FindingCode;

Finding AboutSetupLog(FindingCode code, std::vector<Value> values = {})
{
    return {{code, std::move(values)}, "setup.log", false};
}

void ByteOrderMark(const std::string& bytes, std::vector<Finding>& findings)
{
    const std::vector<std::string> lost = KeysLostToByteOrderMark(bytes);
    if (lost.empty()) {
        findings.push_back(AboutSetupLog(C::MarkBeforeOtherLine));
        return;
    }
    findings.push_back(AboutSetupLog(C::MarkLosesKeys, {ListValue("keys", lost)}));
}

// Values written in UTF-8 reach the input method manager read as code page
// 936, and what is no character there is lost on the way. Keys that a byte
// order mark loses are not passed at all. Behind a mark Windows still reads
// the file byte for byte, where Wine converts it from UTF-8: what Windows
// passes is then the file's own bytes, not what this machine's reader gave.
void Utf8Values(const PackageFacts& facts, const std::vector<std::string>& lostKeys, bool behindMark,
                std::vector<Finding>& findings)
{
    std::vector<Statement> values;
    for (const ParameterReading* reading : {&facts.ImeFile, &facts.MbFile, &facts.ImeName}) {
        if (!reading->Read || !reading->InSection) continue;
        if (std::find(lostKeys.begin(), lostKeys.end(), reading->Key) != lostKeys.end()) continue;
        const std::optional<std::string> written = ValueInFile(*facts.SetupLogBytes, reading->Key);
        if (!written || IsAscii(*written) || !IsUtf8(*written)) continue;
        values.push_back({C::Utf8Value,
                          {KeyValue(*reading),
                           TextValue("passed", ShownGbkValue(behindMark ? *written : reading->Value)),
                           TextValue("meant", DecodeCodePage(Utf8CodePage, *written).value_or(""))}});
    }
    if (!values.empty()) findings.push_back(AboutSetupLog(C::Utf8Values, {PhrasesValue("values", values)}));
}

// Bytes valid both ways where either reading could be meant: each value
// beyond ASCII as imesetup.exe reads it and as UTF-8 reads it.
void BothReadings(const std::string& bytes, std::vector<Finding>& findings)
{
    std::vector<Statement> values;
    for (const char* key : {ImeFileKey, MbFileKey, ImeNameKey}) {
        const std::optional<std::string> value = ValueInFile(bytes, key);
        if (!value || IsAscii(*value)) continue;
        values.push_back({C::BothReadingsValue,
                          {TextValue("key", key), TextValue("gbk", ShownGbkValue(*value)),
                           TextValue("utf8", DecodeCodePage(Utf8CodePage, *value, false).value_or(""))}});
    }
    findings.push_back(AboutSetupLog(C::BothReadings, {PhrasesValue("values", values)}));
}

}  // namespace

void JudgeParameterFile(const PackageFacts& facts, std::vector<Finding>& findings)
{
    if (!facts.SetupLogBytes) return;
    const std::string& bytes = *facts.SetupLogBytes;
    switch (DetectTextEncoding(bytes)) {
    case TextEncoding::Utf8WithMark:
        ByteOrderMark(bytes, findings);
        Utf8Values(facts, KeysLostToByteOrderMark(bytes), true, findings);
        break;
    case TextEncoding::Utf8:
        Utf8Values(facts, {}, false, findings);
        break;
    case TextEncoding::Utf16LeWithMark:
        findings.push_back(AboutSetupLog(C::Utf16WithMark));
        break;
    case TextEncoding::Utf16BeWithMark:
        findings.push_back(AboutSetupLog(C::Utf16BigEndian));
        break;
    case TextEncoding::ZeroBytes:
        findings.push_back(AboutSetupLog(C::ZeroBytes));
        break;
    case TextEncoding::AnsiOrUtf8:
        BothReadings(bytes, findings);
        break;
    case TextEncoding::Ascii:
    case TextEncoding::Ansi:
        break;
    }
}
