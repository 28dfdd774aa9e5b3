#pragma once

#include <string>
#include <string_view>
#include <vector>

// File helpers of the project store: whole-file reading and crash-safe replacing writes.

// Reads the whole file; false when it cannot be opened or read (or is not a regular file).
bool ReadWholeFile(const std::string& path, std::string& bytes);

// Replaces path with bytes: writes a temporary file in the same folder, flushes it to disk and
// renames it over path, so the old file stays whole until the new one is complete. Refuses a
// write-protected target (no owner write permission), keeps the target's permissions and
// writes through a symbolic link to its target. On failure the temporary file is removed and
// errorText says what went wrong.
bool ReplaceFile(const std::string& path, std::string_view bytes, std::string& errorText);

// Splits text at CR, LF and CR LF; a final line without a line end counts as a line.
std::vector<std::string_view> SplitLines(std::string_view text);
