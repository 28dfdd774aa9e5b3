#pragma once

#include "reports/reporter.h"

// Writes reports and blanks as an HTML page in UTF-8; every text from the project or the
// catalogue is escaped, so it shows exactly as typed.
class THTMLBuilder final : public TReporter {
public:
    using TReporter::TReporter;

    void Format() override;
    void FormatTable(const TTableRows& rows, std::string& out) override;
    void Sociocard() override;
    void Sociomatrix() override;
};

// Text for HTML: markup characters as entities, line breaks and control characters made safe.
std::string HtmlEscape(std::string_view text);
