#pragma once

#include <functional>
#include <string>
#include <vector>

#include "reports/reporter.h"

// The output formats of report and blank, as the command line names them.
inline const std::vector<std::string> kCliReportFormats = {"text", "html", "word"};

// Loads the project and the report settings, makes the builder of the format and lets produce
// write with it. Returns 0 when the file was written, 1 with the reason on stderr when not.
int CliWriteReport(const std::string& projectFile, const std::string& format, const TReportTarget& target,
                   const std::string& outFile, const std::function<void(TReporter&)>& produce);
