#pragma once

#include <functional>

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

// The SVG document of a report picture by its name; empty when there is none.
using TPictureSvg = std::function<std::string(std::string_view name)>;

// The HTML page of a report document (what THTMLBuilder writes for it); step is told the
// progress, section by section; pictures are inlined as SVG from svg (left out without it).
std::string HtmlOfReportDocument(std::string_view document,
                                 const std::function<void(std::size_t done, std::size_t total)>& step = {},
                                 const TPictureSvg& svg = {});
// An SVG document as an element to put into an HTML page, at most as wide as the page: what
// precedes the <svg> element (XML declaration, document type) is dropped; empty when there is no
// <svg> element.
std::string InlineSvg(std::string_view svg);
// The HTML pages of the blank sociocard and sociomatrix.
std::string SociocardHtml(const TBlankData& data);
std::string SociomatrixHtml(const TBlankData& data);
