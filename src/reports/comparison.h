#pragma once

#include <string>
#include <vector>

#include "analysis/waves.h"
#include "reports/reportdoc.h"

// One titled piece of a comparison: notes, then a table (either may be empty).
struct TComparisonBlock {
    std::string Title;
    std::vector<std::string> Lines;
    TTableRows Rows;
};

// The content of one pair of waves in catalogue words, as the report, the window's copy and the
// command line show it: heading and notes, changes of choices, stability, group indices, status
// transitions, members. Undefined values read as the catalogue's dash, never as 0.
std::vector<TComparisonBlock> ComparisonBlocks(const TWave& from, const TWave& to, const TWaveComparison& pair);

// A measure that may be undefined, in report format.
std::string ComparisonValue(const std::optional<double>& value);

// The catalogue text of a problem that stops a comparison.
std::string WavesProblemText(const TWaveSeries& series);

// The members of every pair as CSV, one record per common member and pair (numbers in full
// precision, undefined ones empty); the measures of a pair are in the report and the JSON.
std::string ComparisonCsv(const TWaveSeries& series);

// Appends the whole comparison report of a series to a report document.
void WriteComparisonDocument(TReportDocWriter& doc, const TWaveSeries& series);
