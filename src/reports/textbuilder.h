#pragma once

#include <string>
#include <utility>
#include <vector>

#include "reports/reporter.h"

// Writes reports and blanks as plain UTF-8 text: headings in capitals (a to z only), table
// cells followed by two tabs, lines ended by CR LF. The report's pictures are PNG files beside
// it ("report-sociogram.png" beside "report.txt"), named in the text.
class TTextBuilder final : public TReporter {
public:
    using TReporter::TReporter;

    void Format() override;
    // Writes the picture files, then the text; on failure none of them is left behind.
    void Write() override;
    void Sociocard() override;
    void Sociomatrix() override;

private:
    // Appends one table to out: cells followed by two tabs, rows ended by CR LF.
    void FormatTable(const TTableRows& rows, std::string& out);

    std::vector<std::pair<std::string, TReportPicture>> m_pictureFiles;
};

// The file a picture of a text report is written to: beside the report, its name followed by
// "-" and the picture's name, with the extension ".png".
std::string PictureFileBeside(const std::string& reportFile, TReportPicture picture);
