#pragma once

#include <string>

#include "store/storeerror.h"

// Words the failures the project store reports: one catalogue text for the user and a line of
// details for the error log.

// The text a failed load or save shows: "FILE_VIOLATED_MSG" from the catalogue when one is
// installed, else a fixed English text.
std::string FileViolatedText();

// What failed and where (file, section, line, value, system reason), in one plain line.
std::string StoreErrorDetails(const TStoreError& error);

// Writes the details to stderr and shows FileViolatedText() once through the message sink.
// Returns false, so that a load or save can end with `return ReportStoreError(...)`.
bool ReportStoreError(const TStoreError& error);
