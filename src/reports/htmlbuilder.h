#pragma once

#include <functional>

#include "reports/reporter.h"

// A report picture as an SVG document (empty when there is none), and whether the picture is so
// much wider than a page that the page would shrink it past reading: it then keeps its size and
// scrolls sideways.
struct TReportSvg {
    std::string Svg;
    bool Scrolls = false;
};
// The SVG of a report picture by its name.
using TPictureSvg = std::function<TReportSvg(std::string_view name)>;

// Writes reports and blanks as an HTML page in UTF-8; every text from the project or the
// catalogue is escaped, so it shows exactly as typed.
class THTMLBuilder final : public TReporter {
public:
    using TReporter::TReporter;

    void Format() override;
    void FormatAndWrite() override;
    void Sociocard() override;
    void Sociomatrix() override;

private:
    // The report's pictures as SVG, from the pictures set on the builder (none without them).
    TPictureSvg PictureSvg() const;
};

// Text for HTML: markup characters as entities, line breaks and control characters made safe.
std::string HtmlEscape(std::string_view text);
void AppendHtmlEscaped(std::string& out, std::string_view text);

// The HTML page of a report document (what THTMLBuilder writes for it), handed to sink in
// blocks as it is made; step is told the progress, section by section; pictures are inlined as
// SVG from svg (left out without it).
using THtmlSink = std::function<void(std::string_view bytes)>;
void WriteHtmlOfReportDocument(std::string_view document, const THtmlSink& sink,
                               const std::function<void(std::size_t done, std::size_t total)>& step = {},
                               const TPictureSvg& svg = {});
// The same page as one string.
std::string HtmlOfReportDocument(std::string_view document,
                                 const std::function<void(std::size_t done, std::size_t total)>& step = {},
                                 const TPictureSvg& svg = {});
// An SVG document as an element to put into an HTML page, at most as wide as the page, or at its
// own size in a box that scrolls sideways: what precedes the <svg> element (XML declaration,
// document type) is dropped; empty when there is no <svg> element.
std::string InlineSvg(std::string_view svg, bool scrolls = false);
// The HTML pages of the blank sociocard and sociomatrix.
std::string SociocardHtml(const TBlankData& data);
std::string SociomatrixHtml(const TBlankData& data);
