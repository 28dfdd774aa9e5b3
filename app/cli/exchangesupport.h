#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "analysis/statusgroups.h"
#include "exchange/rosterimport.h"

class TFileAccess;
class TInvestigationObject;

// What the import and export subcommands share.

// The status group thresholds of the user's settings.
TStatusThresholds CliStatusThresholds();

// Checks that the investigation exists; prints why not on stderr.
bool CliInvestigationExists(TFileAccess& store, const std::string& file, int32_t investId);

// Prints the refused rows, one a line: "FILE:LINE: excerpt: reason".
void CliPrintRefusals(const std::string& file, const std::vector<TRefusedRow>& refused);

// The body of an export of one investigation: loads the project, checks the investigation, builds
// its model and runs write (refused when out is the project itself), which answers false with the reason in error. Answers the exit code:
// 0 written, 1 with the reason on stderr.
int CliExportInvestigation(
    const std::string& file, const std::string& investIdText, const std::string& out,
    const std::function<bool(TFileAccess& store, const TInvestigationObject& model, std::string& error)>& write);
