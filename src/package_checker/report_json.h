// The checker's report as one JSON document, for authors' build scripts:
// the schema is docs/imecheck-report.schema.json.
#pragma once

#include <string>

#include "package_checker/checker_options.h"
#include "package_checker/package_report.h"

// The document's schema version: raised when a member changes meaning or goes.
constexpr int ReportSchemaVersion = 1;

// The whole report; the sentences in the languages the options ask for.
std::string JsonReport(const PackageVerdict& verdict, const CheckerOptions& options);

// A bad command line, when JSON was asked for.
std::string JsonCommandLineError(const Statement& error, const CheckerOptions& options);
