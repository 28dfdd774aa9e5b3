#pragma once

#include "reports/reporter.h"

// Writes reports and blanks as plain UTF-8 text: headings in capitals (a to z only), table
// cells followed by two tabs, lines ended by CR LF.
class TTextBuilder final : public TReporter {
public:
    using TReporter::TReporter;

    void Format() override;
    void FormatTable(const TTableRows& rows, std::string& out) override;
    void Sociocard() override;
    void Sociomatrix() override;
};
