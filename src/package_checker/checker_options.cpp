#include "package_checker/checker_options.h"

#include "package_checker/finding_catalogue.h"
#include "package_checker/text_forms.h"

namespace {

using C = FindingCode;

// An argument that starts like an option.
bool IsOption(const std::string& argument)
{
    return !argument.empty() && (argument[0] == '/' || argument[0] == '-');
}

Statement BadValue(const std::string& option, const char* allowed)
{
    return {C::BadOptionValue, {TextValue("option", option), TextValue("allowed", allowed)}};
}

std::vector<std::string> SplitCodes(const std::string& list)
{
    std::vector<std::string> codes;
    size_t start = 0;
    for (;;) {
        const size_t comma = list.find(',', start);
        codes.push_back(list.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (comma == std::string::npos) return codes;
        start = comma + 1;
    }
}

// The value of "--name VALUE" or "--name=VALUE", if the argument is that option.
bool OptionValue(const std::vector<std::string>& arguments, size_t& i, const std::string& name,
                 std::optional<std::string>& value)
{
    const std::string& argument = arguments[i];
    if (argument == name) {
        if (i + 1 < arguments.size()) value = arguments[++i];
        return true;
    }
    if (argument.compare(0, name.size() + 1, name + "=") == 0) {
        value = argument.substr(name.size() + 1);
        return true;
    }
    return false;
}

}  // namespace

std::string ShownUtf8Text(const std::string& argument)
{
    return DecodeCodePage(Utf8CodePage, argument, false).value_or(argument);
}

ParsedOptions ParseCheckerOptions(const std::vector<std::string>& arguments)
{
    ParsedOptions parsed;
    CheckerOptions& options = parsed.Options;
    const auto fail = [&parsed](Statement error) {
        if (!parsed.Error) parsed.Error = std::move(error);
    };
    for (size_t i = 0; i < arguments.size(); ++i) {
        std::optional<std::string> value;
        if (OptionValue(arguments, i, "--format", value)) {
            if (value == "text" || value == "json") {
                options.Format = value == "json" ? ReportFormat::Json : ReportFormat::Text;
            } else {
                fail(BadValue("--format", "text, json"));
            }
        } else if (OptionValue(arguments, i, "--lang", value)) {
            if (value == "zh" || value == "en") {
                options.Chinese = value == "zh";
                options.English = value == "en";
            } else {
                fail(BadValue("--lang", "zh, en"));
            }
        } else if (OptionValue(arguments, i, "--ignore", value)) {
            if (!value) fail(BadValue("--ignore", "CODE[,CODE...]"));
            for (const std::string& code : value ? SplitCodes(*value) : std::vector<std::string>{}) {
                // Only what counts for the exit status, or advises, can be ignored.
                const CatalogueRow* row = CatalogueEntryById(code);
                if (!row || (row->Kind != Severity::Problem && row->Kind != Severity::Note)) {
                    fail({C::UnknownCode, {TextValue("code", ShownUtf8Text(code))}});
                } else {
                    options.Ignored.insert(code);
                }
            }
        } else if (IsOption(arguments[i])) {
            fail({C::UnknownOption, {TextValue("option", ShownUtf8Text(arguments[i]))}});
        } else {
            options.Folders.push_back(arguments[i]);
        }
    }
    if (options.Folders.size() > 1) fail({C::OneFolderAtMost, {}});
    return parsed;
}
