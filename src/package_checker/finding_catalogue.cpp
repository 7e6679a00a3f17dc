#include "package_checker/finding_catalogue.h"

#include <cstdlib>

std::vector<const CatalogueRow*> AllCatalogueRows()
{
    std::vector<const CatalogueRow*> rows;
    for (const CatalogueSpan span :
         {RunCatalogue(), ParameterFileCatalogue(), NamedFilesCatalogue(), RunStepsCatalogue(), ImeImageCatalogue(), MachineCatalogue()}) {
        for (std::size_t i = 0; i < span.Count; ++i) rows.push_back(&span.Rows[i]);
    }
    return rows;
}

const CatalogueRow& CatalogueEntry(FindingCode code)
{
    // A hundred rows, looked up a few dozen times a run: a search will do.
    static const std::vector<const CatalogueRow*> rows = AllCatalogueRows();
    for (const CatalogueRow* row : rows) {
        if (row->Code == code) return *row;
    }
    std::abort();  // a code without a row: the catalogue test catches it first
}

const CatalogueRow* CatalogueEntryById(const std::string& id)
{
    for (const CatalogueRow* row : AllCatalogueRows()) {
        if (id == row->Id) return row;
    }
    return nullptr;
}

const char* SeverityName(Severity severity)
{
    switch (severity) {
    case Severity::Problem: return "problem";
    case Severity::Note: return "note";
    case Severity::SilentEnd: return "silent-end";
    case Severity::Part: return "part";
    case Severity::Outcome: return "outcome";
    case Severity::CommandLine: return "command-line";
    }
    return "problem";
}
