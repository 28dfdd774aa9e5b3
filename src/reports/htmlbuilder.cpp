#include "reports/htmlbuilder.h"

#include "util/text.h"

namespace {

// Presentation of reports and blanks: bordered tables with centred cells; the blanks' tables
// fill the page width, the sociomatrix diagonal is dark.
constexpr std::string_view kStyleSheet =
    "<style>\n"
    "table{border-collapse:collapse;margin:0.5em 0}\n"
    "td{border:1px solid #000;padding:2px 6px;text-align:center}\n"
    "table.blank{width:100%}\n"
    "table.blank td{vertical-align:top}\n"
    "table.inner{width:100%;margin:0}\n"
    "table.inner td{border:0}\n"
    "td.free{text-align:left}\n"
    "td.dark{background:#000}\n"
    "</style>\n";

std::string PageStart(const std::string& title)
{
    return "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>" + HtmlEscape(title) +
           "</title>\n" + std::string(kStyleSheet) + "</head>\n<body>\n";
}

constexpr std::string_view kPageEnd = "</body>\n</html>\n";

// Document content as HTML: each piece escaped, line break marks as <br>.
std::string ContentHtml(std::string_view content)
{
    std::string out;
    bool first = true;
    for (std::string_view piece : SplitLineBreaks(content)) {
        if (!first)
            out += "<br>";
        out += HtmlEscape(PlainText(piece));
        first = false;
    }
    return out;
}

// A heading is a block of its own: the line breaks that end it in the document are dropped.
std::string_view HeadingContent(std::string_view content)
{
    while (content.ends_with(kLineBreakMark))
        content.remove_suffix(kLineBreakMark.size());
    return content;
}

std::string Paragraph(const std::string& text)
{
    return "<p>" + HtmlEscape(text) + "</p>\n";
}

} // namespace

std::string HtmlEscape(std::string_view text)
{
    const std::string safe = MarkupSafeText(text);
    std::string out;
    out.reserve(safe.size());
    for (char c : safe) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

void THTMLBuilder::Format()
{
    m_output = PageStart(T("REPORT_TITLE_HTML"));
    const std::vector<TLexeme> sections = ReadSections(Document());
    for (std::size_t i = 0; i < sections.size(); ++i) {
        StepProgress(i, sections.size());
        const TLexeme& section = sections[i];
        if (section.Tag == kTagHeader1) {
            m_output += "<h1>" + ContentHtml(HeadingContent(section.Content)) + "</h1>\n";
        } else if (section.Tag == kTagHeader2) {
            m_output += "<h2>" + ContentHtml(HeadingContent(section.Content)) + "</h2>\n";
        } else if (section.Tag == kTagText) {
            m_output += "<p>" + ContentHtml(section.Content) + "</p>\n";
        } else if (section.Tag == kTagTable) {
            TTableRows rows;
            if (ParseTable(section.Content, rows))
                FormatTable(rows, m_output);
        }
    }
    m_output += kPageEnd;
}

void THTMLBuilder::FormatTable(const TTableRows& rows, std::string& out)
{
    out += "<table>\n";
    for (const auto& row : rows) {
        out += "<tr>";
        for (const std::string& cell : row) {
            out += "<td>";
            out += Trim(cell).empty() ? std::string("&nbsp;") : HtmlEscape(cell);
            out += "</td>";
        }
        out += "</tr>\n";
    }
    out += "</table>\n";
}

void THTMLBuilder::Sociocard()
{
    const TBlankData data = ReadBlankData(Store(), Target().ObjectId);
    const std::string title = T("REPORT_SOCIOCARD_TITLE");
    std::string& out = m_output;
    out = PageStart(title);
    out += "<h1>" + HtmlEscape(title) + "</h1>\n";
    out += Paragraph(T("REPORT_SOCIOCARD_NAME") + ": ______________________________ " + T("REPORT_SOCIOCARD_DATE") +
                     ": _______________");
    out += Paragraph(T("INVESTIGATION_NAME") + ": " + data.InvestigationName);
    out += Paragraph(T("CLIENTGROUP_NAME") + ": " + data.ClientGroupName);
    out += Paragraph(T("REPORT_SOCIOCARD_INSTRUCTION"));
    out += "<table class=\"blank\">\n<tr>";
    out += "<td style=\"width:15%\"><b>" + HtmlEscape(T("NUMBER")) + "</b></td>";
    out += "<td style=\"width:25%\"><b>" + HtmlEscape(T("CLIENT_NAME")) + "</b></td>";
    out += "<td style=\"width:60%\">";
    out += "<table class=\"inner\"><tr><td><b>" + HtmlEscape(data.CriterionName) + "</b></td></tr></table>";
    out += "<table class=\"inner\"><tr><td style=\"width:50%\"><b>" + HtmlEscape(T("YES_BUTTON")) +
           "</b></td><td style=\"width:50%\"><b>" + HtmlEscape(T("NO_BUTTON")) + "</b></td></tr></table>";
    out += "</td></tr>\n";
    for (std::size_t k = 0; k < data.Names.size(); ++k) {
        out += "<tr><td>" + std::to_string(k + 1) + "</td><td>" + HtmlEscape(data.Names[k]) +
               "</td><td>&nbsp;</td></tr>\n";
    }
    out += "</table>\n";
    out += kPageEnd;
    Finish();
}

void THTMLBuilder::Sociomatrix()
{
    const TBlankData data = ReadBlankData(Store(), Target().ObjectId);
    const std::string title = T("REPORT_SOCIOMATRIX_TITLE");
    std::string& out = m_output;
    out = PageStart(title);
    out += "<h1>" + HtmlEscape(title) + "</h1>\n";
    out += Paragraph(T("REPORT_SOCIOMATRIX_DATE") + ": _______________");
    out += Paragraph(T("INVESTIGATION_NAME") + ": " + data.InvestigationName);
    out += Paragraph(T("CLIENTGROUP_NAME") + ": " + data.ClientGroupName);
    out += Paragraph(T("CRITERY_NAME") + ": " + data.CriterionName);
    out += Paragraph(T("REPORT_SOCIOMATRIX_INSTRUCTION"));
    out += "<table class=\"blank\">\n";
    const std::size_t n = data.Names.size();
    for (std::size_t i = 0; i <= n; ++i) {
        out += "<tr>";
        for (std::size_t j = 0; j <= n; ++j) {
            if (i == j) {
                out += "<td class=\"free dark\">&nbsp;</td>";
            } else if (i == 0 || j == 0) {
                const std::size_t k = i == 0 ? j : i;
                out += "<td><b>" + std::to_string(k) + ". " + HtmlEscape(data.Names[k - 1]) + "</b></td>";
            } else {
                out += "<td class=\"free\">&nbsp;</td>";
            }
        }
        out += "</tr>\n";
    }
    out += "</table>\n";
    out += kPageEnd;
    Finish();
}
