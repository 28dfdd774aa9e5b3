#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "analysis/statusgroups.h"
#include "exchange/rosterimport.h"

class TFileAccess;

// What the import and export subcommands share.

// The status group thresholds of the user's settings.
TStatusThresholds CliStatusThresholds();

// Checks that the investigation exists; prints why not on stderr.
bool CliInvestigationExists(TFileAccess& store, const std::string& file, int32_t investId);

// Prints the refused rows, one a line: "FILE:LINE: excerpt: reason".
void CliPrintRefusals(const std::string& file, const std::vector<TRefusedRow>& refused);
