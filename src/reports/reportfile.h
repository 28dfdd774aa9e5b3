#pragma once

#include <cstdint>
#include <string>

// The output formats of the report window, by their stored number ("ReportType").
enum class TReportFormat : int16_t {
    Text = 0,
    Html = 1,
    Word = 2,
    Pdf = 3,
};

// The file extension of a format: ".txt", ".html", ".docx" or ".pdf".
const char* ReportExtension(TReportFormat format);

// The trimmed file name with its extension replaced: the name is cut before the first
// occurrence of its extension text within the file name (never within a folder name) and the
// new extension appended ("a.txt.old.txt" -> "a.html"). A name without extension is returned
// trimmed but otherwise unchanged.
std::string ChangeReportExtension(const std::string& fileName, const std::string& extension);

// The trimmed file name with the extension appended unless it already ends in it (letter case counts).
std::string EnsureReportExtension(const std::string& fileName, const std::string& extension);
