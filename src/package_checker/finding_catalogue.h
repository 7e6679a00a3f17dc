// The catalogue: per code, what kind of statement it is and its sentence in
// each language, with placeholders "{name}" for the values.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "package_checker/finding_code.h"

enum class Severity {
    Problem,      // counts for the exit status
    Note,         // advice; counts for nothing
    SilentEnd,    // why imesetup.exe would end without a message
    Part,         // a phrase inside another statement: a cause, a reason, a lookup
    Outcome,      // what a run would do; the last line
    CommandLine,  // the checker's own command line is wrong
};

struct CatalogueRow {
    FindingCode Code;
    const char* Id;  // "IC203"
    Severity Kind;
    const char* Chinese;
    const char* English;
    const char* LastLine = nullptr;  // for an outcome: the report's last line, in English
};

struct CatalogueSpan {
    const CatalogueRow* Rows;
    std::size_t Count;
};

// The rows of each subject.
CatalogueSpan RunCatalogue();
CatalogueSpan ParameterFileCatalogue();
CatalogueSpan NamedFilesCatalogue();
CatalogueSpan RunStepsCatalogue();
CatalogueSpan ImeImageCatalogue();
CatalogueSpan MachineCatalogue();

// The row of a code; every code has one.
const CatalogueRow& CatalogueEntry(FindingCode code);

// The row of a stable code such as "IC203", if there is one.
const CatalogueRow* CatalogueEntryById(const std::string& id);

// Every row, subject by subject.
std::vector<const CatalogueRow*> AllCatalogueRows();

const char* SeverityName(Severity severity);
