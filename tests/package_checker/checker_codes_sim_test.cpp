// The checker's codes, JSON documents and languages, over the packages of
// the whole checker's tables: every code in the catalogue has its row in
// docs/package-checker.md and is shown by a test that row names; every
// package's JSON document goes where the schema check reads it; a report in
// one language is the two-language report's lines of that language.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <sys/stat.h>

#include "package_checker/checker.h"
#include "package_checker/checker_rows.h"
#include "package_checker/finding_catalogue.h"
#include "package_checker/package_findings.h"
#include "platform/sim/machine.h"

namespace {

std::string RunText(const std::string& commandLine, int* status = nullptr)
{
    std::string report;
    const int result = RunChecker(commandLine, [&report](const std::string& text) { report += text; });
    if (status) *status = result;
    return report;
}

// Every code a JSON document holds, nested ones too.
std::set<std::string> CodesIn(const std::string& json)
{
    static const std::regex code("\"code\": \"(IC[0-9]{3})\"");
    std::set<std::string> codes;
    for (auto it = std::sregex_iterator(json.begin(), json.end(), code); it != std::sregex_iterator(); ++it) {
        codes.insert((*it)[1]);
    }
    return codes;
}

// Each package of both tables by its row's name: its JSON document.
std::map<std::string, std::string> JsonOfEveryRow()
{
    std::map<std::string, std::string> documents;
    for (const CheckerCase* row : CheckerRows()) {
        PutCheckerPackage();
        row->prepare();
        // The format first: an option that takes the next argument cannot take it.
        const std::string commandLine = row->commandLine;
        const size_t arguments = std::min(commandLine.find(' '), commandLine.size());
        documents[row->name] = RunText("imecheck.exe --format json" + commandLine.substr(arguments));
    }
    for (const ReportCase* row : ReportRows()) {
        PutCheckerPackage();
        row->prepare();
        documents[std::string("Report") + row->name] = RunText("imecheck.exe --format json");
    }
    sim::Reset();
    return documents;
}

struct DocsRow {
    std::string code;
    std::set<std::string> tests;  // the names in backquotes of its last column
};

std::vector<DocsRow> DocumentedCodes()
{
    std::ifstream file(std::string(IMESETUP_DOCS_DIR) + "/package-checker.md");
    std::vector<DocsRow> rows;
    static const std::regex row("^\\| (IC[0-9]{3}) \\|.*\\|([^|]*)\\|\\s*$");
    static const std::regex name("`([A-Za-z0-9]+)`");
    std::string line;
    while (std::getline(file, line)) {
        std::smatch match;
        if (!std::regex_match(line, match, row)) continue;
        DocsRow documented{match[1], {}};
        const std::string last = match[2];
        for (auto it = std::sregex_iterator(last.begin(), last.end(), name); it != std::sregex_iterator(); ++it) {
            documented.tests.insert((*it)[1]);
        }
        rows.push_back(documented);
    }
    return rows;
}

// Shown only where Wine gives a date after 2107 an MS-DOS form: the
// simulated machine, as Windows, finds no such file.
const std::set<std::string> kShownUnderWineOnly = {"IC208"};

TEST(CheckerCodes, EachIsDocumentedAndShownByATestItsRowNames)
{
    std::map<std::string, std::string> documents = JsonOfEveryRow();
    // The checker never predicts a run with two arguments; the prediction can.
    PutCheckerPackage();
    documents["TwoArgumentsGiven"] =
        std::string("\"code\": \"") +
        CatalogueEntry(OutcomeStatement(PredictRun(GatherPackageFacts(), {"/inst", "/uninst"})).Values.front().Parts.front().Code)
            .Id +
        "\"";
    sim::Reset();

    std::set<std::string> catalogue;
    for (const CatalogueRow* row : AllCatalogueRows()) {
        EXPECT_TRUE(catalogue.insert(row->Id).second) << row->Id << " twice in the catalogue";
    }
    std::set<std::string> documented;
    for (const DocsRow& row : DocumentedCodes()) {
        EXPECT_TRUE(documented.insert(row.code).second) << row.code << " documented twice";
        EXPECT_EQ(catalogue.count(row.code), 1u) << row.code << " documented, but not in the catalogue";
        if (kShownUnderWineOnly.count(row.code)) {
            EXPECT_FALSE(row.tests.empty()) << row.code << " names no test";
            continue;
        }
        bool shown = false;
        for (const std::string& test : row.tests) {
            const auto document = documents.find(test);
            shown = shown || (document != documents.end() && CodesIn(document->second).count(row.code));
        }
        EXPECT_TRUE(shown) << row.code << ": no test its row names shows it";
    }
    for (const std::string& code : catalogue) EXPECT_EQ(documented.count(code), 1u) << code << " not documented";
}

// Where the schema check (ctest checker_json_schema) finds them.
TEST(CheckerJson, DocumentOfEveryPackage)
{
    mkdir(IMECHECK_JSON_DIR, 0755);
    const std::map<std::string, std::string> documents = JsonOfEveryRow();
    std::map<std::string, int> statuses;
    for (const CheckerCase* row : CheckerRows()) statuses[row->name] = row->status;
    for (const auto& [name, json] : documents) {
        std::ofstream(std::string(IMECHECK_JSON_DIR) + "/" + name + ".json", std::ios::binary) << json;
        ASSERT_FALSE(json.empty()) << name;
        EXPECT_EQ(json.back(), '\n') << name;
        if (statuses.count(name)) {
            EXPECT_NE(json.find("\"exitStatus\": " + std::to_string(statuses[name]) + "}"), std::string::npos)
                << name << "\n" << json;
        }
    }
}

// The two-language report with the lines of the other language left out.
std::string OneLanguage(const std::string& both, bool chinese)
{
    std::istringstream lines(both);
    std::string line;
    std::string one;
    std::string mark;
    while (std::getline(lines, line)) {
        const size_t slash = line.find(" / ");
        if (line.rfind("== ", 0) == 0 && slash != std::string::npos) {
            one += chinese ? line.substr(0, slash) + " ==\n" : "== " + line.substr(slash + 3) + "\n";
        } else if (line.size() > 5 && line[0] == '[' && line[3] == ']') {
            mark = line.substr(0, 5);
            if (chinese) one += line + "\n";
        } else if (line.rfind("     ", 0) == 0 && line.rfind("       | ", 0) != 0 && !mark.empty()) {
            if (!chinese) one += mark + line.substr(5) + "\n";
            mark.clear();
        } else {
            one += line + "\n";
        }
    }
    return one;
}

TEST(CheckerLanguages, OneLanguageIsTheReportsLinesInIt)
{
    for (const ReportCase* row : ReportRows()) {
        SCOPED_TRACE(row->name);
        for (const bool chinese : {true, false}) {
            PutCheckerPackage();
            row->prepare();
            EXPECT_EQ(RunText(chinese ? "imecheck.exe --lang zh" : "imecheck.exe --lang en"),
                      OneLanguage(row->report, chinese));
        }
    }
    sim::Reset();
}

}  // namespace
