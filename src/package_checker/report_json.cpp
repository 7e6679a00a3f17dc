#include "package_checker/report_json.h"

#include "package_checker/finding_catalogue.h"
#include "package_checker/json_text.h"
#include "package_checker/text_forms.h"

#ifndef IMECHECK_VERSION
#define IMECHECK_VERSION "0.0.0"
#endif

namespace {

using Members = std::vector<std::pair<std::string, std::string>>;

std::string StatementJson(const Statement& statement, const CheckerOptions& options);

std::string ValueJson(const Value& value, const CheckerOptions& options)
{
    std::vector<std::string> elements;
    switch (value.Type) {
    case Value::Kind::Text: return JsonString(value.Text);
    case Value::Kind::List:
        for (const std::string& item : value.Items) elements.push_back(JsonString(item));
        return JsonArray(elements);
    case Value::Kind::Localized: return JsonObject({{"zh", JsonString(value.Both.Chinese)}, {"en", JsonString(value.Both.English)}});
    case Value::Kind::Phrase: return StatementJson(value.Parts.front(), options);
    case Value::Kind::Phrases:
        for (const Statement& part : value.Parts) elements.push_back(StatementJson(part, options));
        return JsonArray(elements);
    case Value::Kind::Box: break;
    }
    std::string text;
    for (const std::string& line : BoxLinesOf(value)) text += (text.empty() ? "" : "\n") + line;
    return JsonString(text);
}

// Code, values, and the sentences asked for.
Members StatementMembers(const Statement& statement, const CheckerOptions& options)
{
    Members values;
    for (const Value& value : statement.Values) values.emplace_back(value.Name, ValueJson(value, options));
    Members members = {{"code", JsonString(CatalogueEntry(statement.Code).Id)}, {"values", JsonObject(values)}};
    if (options.Chinese) members.emplace_back("zh", JsonString(Render(statement, Language::Chinese)));
    if (options.English) members.emplace_back("en", JsonString(Render(statement, Language::English)));
    return members;
}

std::string StatementJson(const Statement& statement, const CheckerOptions& options)
{
    return JsonObject(StatementMembers(statement, options));
}

std::string OptionalStatement(const std::optional<Statement>& statement, const CheckerOptions& options)
{
    return statement ? StatementJson(*statement, options) : "null";
}

const char* Operation(RunOutcome outcome)
{
    switch (outcome) {
    case RunOutcome::Install:
    case RunOutcome::AskBeforeReplacing:
    case RunOutcome::InstallEndsLocked:
    case RunOutcome::InstallCopyFails:
    case RunOutcome::AskThenCopyFails:
        return "install";
    case RunOutcome::Remove:
    case RunOutcome::RemoveEndsAtOnce:
    case RunOutcome::RemoveNoPreload:
    case RunOutcome::RemoveCannotDelete:
        return "remove";
    case RunOutcome::EndSilently:
        break;
    }
    return "none";
}

std::string PredictionJson(const Prediction& prediction, const CheckerOptions& options)
{
    const Statement outcome = OutcomeStatement(prediction);
    const Value* box = BoxOf(outcome);
    // The box the user would then see: the lock test's, or the manager's refusal's.
    std::string boxText = box ? ValueJson(*box, options) : "null";
    return JsonObject({{"operation", JsonString(Operation(prediction.Outcome))},
                       {"outcome", StatementJson(outcome, options)},
                       {"reason", OptionalStatement(prediction.Reason, options)},
                       {"cause", OptionalStatement(prediction.Failure, options)},
                       {"box", boxText},
                       {"lastLine", JsonString(RenderLastLine(outcome))}});
}

std::string FindingJson(const Finding& finding, const CheckerOptions& options)
{
    Members members = StatementMembers(finding.What, options);
    members.insert(members.begin() + 1, {"severity", JsonString(SeverityName(CatalogueEntry(finding.What.Code).Kind))});
    members.insert(members.begin() + 2, {"subject", JsonString(finding.Subject)});
    members.insert(members.begin() + 3, {"ignored", finding.Ignored ? "true" : "false"});
    return JsonObject(members);
}

std::string Checker()
{
    return JsonObject({{"version", JsonString(IMECHECK_VERSION)}, {"build", JsonString(CheckerBuildName())}});
}

std::string Machine(const PackageFacts& facts)
{
    const auto orNull = [](const std::string& text) { return text.empty() ? "null" : JsonString(ShownMachineText(text)); };
    return JsonObject({{"codePage", std::to_string(facts.CodePage)},
                       {"systemDirectory", orNull(facts.SystemDirectory)},
                       {"bitness", sizeof(void*) == 8 ? "64" : "32"},
                       {"wow64FilesDirectory", orNull(facts.Wow64FilesDirectory)}});
}

}  // namespace

std::string JsonReport(const PackageVerdict& verdict, const CheckerOptions& options)
{
    std::vector<std::string> findings;
    // The silent end is a finding of its own, beside the problems and notes.
    if (verdict.WithoutArgument.Outcome == RunOutcome::EndSilently && verdict.WithoutArgument.Reason) {
        findings.push_back(FindingJson({*verdict.WithoutArgument.Reason, "imesetup.exe", false}, options));
    }
    for (const Finding& finding : verdict.Findings) findings.push_back(FindingJson(finding, options));
    const std::string folder = DecodeCodePage(Utf8CodePage, verdict.Facts.Folder, false).value_or(verdict.Facts.Folder);
    return JsonObject({{"schemaVersion", std::to_string(ReportSchemaVersion)},
                       {"checker", Checker()},
                       {"folder", JsonString(folder)},
                       {"machine", Machine(verdict.Facts)},
                       {"predictions", JsonObject({{"withoutArgument", PredictionJson(verdict.WithoutArgument, options)},
                                                   {"inst", PredictionJson(verdict.WithInst, options)},
                                                   {"uninst", PredictionJson(verdict.WithUninst, options)}})},
                       {"findings", JsonArray(findings)},
                       {"problemCount", std::to_string(CountedProblems(verdict.Findings))},
                       {"exitStatus", std::to_string(verdict.ExitStatus)}}) +
           "\n";
}

std::string JsonCommandLineError(const Statement& error, const CheckerOptions& options)
{
    return JsonObject({{"schemaVersion", std::to_string(ReportSchemaVersion)},
                       {"checker", Checker()},
                       {"commandLineError", StatementJson(error, options)},
                       {"exitStatus", "3"}}) +
           "\n";
}
