#include "reports/htmlbuilder.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>

#include "i18n/langconv.h"
#include "util/error.h"
#include "util/safefile.h"
#include "util/text.h"

namespace {

std::string T(const std::string& key)
{
    return LangConv().GetText(key);
}

// Presentation of reports and blanks: bordered tables with centred cells; the blanks' tables
// fill the page width, the sociomatrix diagonal is dark.
constexpr std::string_view kStyleSheet =
    "<style>\n"
    "table{border-collapse:collapse;margin:0.5em 0}\n"
    "td,th{border:1px solid #000;padding:1px 5px;text-align:center}\n"
    "body{font-family:Arial,Helvetica,sans-serif;font-size:10pt}\n"
    "h1{font-size:15pt}\n"
    "h2{font-size:11.5pt;margin:1em 0 0.3em;page-break-after:avoid}\n"
    "table{font-size:9pt}\n"
    ".name{text-align:left}\n"
    "th.name{white-space:nowrap}\n"
    "td.box{width:2.6em}\n"
    "table.card td.box{width:5em}\n"
    "table.card tr{height:1.7em}\n"
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

// Cells are centred: numbers and marks. The first column names the rows, and a column with a
// long text below its head (a list of names) would be ragged on both sides: those read from the
// left. Tables of many columns are matrices of marks and are not read twice for this.
std::vector<bool> LeftAlignedColumns(TTableReader& reader)
{
    constexpr std::size_t kLongText = 24; // characters
    constexpr std::size_t kFewColumns = 12;
    std::vector<bool> left(reader.ColumnCount(), false);
    if (!left.empty())
        left[0] = true;
    if (reader.ColumnCount() > kFewColumns)
        return left;
    std::vector<std::string> row;
    reader.Next(row); // the head row: its captions may be long over short numbers
    while (reader.Next(row)) {
        for (std::size_t c = 1; c < row.size(); ++c)
            left[c] = left[c] || CharCount(row[c]) > kLongText;
    }
    reader.Rewind();
    return left;
}

void AppendRow(const std::vector<std::string>& row, const std::vector<bool>& left, std::string& out)
{
    out += "<tr>";
    for (std::size_t c = 0; c < row.size(); ++c) {
        const std::string& cell = row[c];
        out += c < left.size() && left[c] ? "<td class=\"name\">" : "<td>";
        if (cell.find_first_not_of(" \t\r\n") == std::string::npos)
            out += "&nbsp;";
        else
            AppendHtmlEscaped(out, cell);
        out += "</td>";
    }
    out += "</tr>\n";
}

// Printable ASCII without markup characters goes into the page as it is (most table cells).
bool NeedsNoEscape(std::string_view text)
{
    for (char c : text) {
        if (c < 0x20 || c > 0x7E || c == '&' || c == '<' || c == '>' || c == '"' || c == '\'')
            return false;
    }
    return true;
}

std::string Paragraph(const std::string& text)
{
    return "<p>" + HtmlEscape(text) + "</p>\n";
}

} // namespace

std::string HtmlEscape(std::string_view text)
{
    std::string out;
    AppendHtmlEscaped(out, text);
    return out;
}

void AppendHtmlEscaped(std::string& out, std::string_view text)
{
    if (NeedsNoEscape(text)) {
        out += text;
        return;
    }
    const std::string safe = MarkupSafeText(text);
    out.reserve(out.size() + safe.size());
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
}

std::string InlineSvg(std::string_view svg, bool scrolls)
{
    const std::size_t start = svg.find("<svg");
    if (start == std::string_view::npos)
        return {};
    if (scrolls)
        return "<div style=\"overflow-x:auto\"><svg style=\"max-width:none\"" + std::string(svg.substr(start + 4)) +
               "</div>";
    // Never wider than the page; the view box keeps the proportions.
    return "<svg style=\"max-width:100%;height:auto\"" + std::string(svg.substr(start + 4));
}

void WriteHtmlOfReportDocument(std::string_view document, const THtmlSink& sink,
                               const std::function<void(std::size_t, std::size_t)>& step, const TPictureSvg& svg)
{
    // The page goes out in blocks of this size, so a large report is never held whole.
    constexpr std::size_t kBlock = 1 << 16;
    std::string out = PageStart(LangConv().GetText("REPORT_TITLE_HTML"));
    const auto flushFull = [&] {
        if (out.size() >= kBlock) {
            sink(out);
            out.clear();
        }
    };
    const std::vector<TSectionView> sections = ReadSectionViews(document);
    for (std::size_t i = 0; i < sections.size(); ++i) {
        if (step)
            step(i, sections.size());
        const TSectionView& section = sections[i];
        if (section.Tag == kTagHeader1) {
            out += "<h1>" + ContentHtml(HeadingContent(section.Content)) + "</h1>\n";
        } else if (section.Tag == kTagHeader2) {
            out += "<h2>" + ContentHtml(HeadingContent(section.Content)) + "</h2>\n";
        } else if (section.Tag == kTagText) {
            out += "<p>" + ContentHtml(section.Content) + "</p>\n";
        } else if (section.Tag == kTagTable) {
            // Row by row from the document, so a large matrix is never held as cells as well.
            TTableReader reader(section.Content);
            if (!reader.Ok())
                continue;
            out += "<table>\n";
            const std::vector<bool> left = LeftAlignedColumns(reader);
            std::vector<std::string> row;
            while (reader.Next(row)) {
                AppendRow(row, left, out);
                flushFull();
            }
            out += "</table>\n";
        } else if (section.Tag == kTagPicture && svg) {
            const TReportSvg picture = svg(PlainText(section.Content));
            if (const std::string element = InlineSvg(picture.Svg, picture.Scrolls); !element.empty())
                out += "<div class=\"picture\" style=\"page-break-inside:avoid;margin:0.5em 0\">\n" + element + "</div>\n";
        }
        flushFull();
    }
    out += kPageEnd;
    sink(out);
}

std::string HtmlOfReportDocument(std::string_view document, const std::function<void(std::size_t, std::size_t)>& step,
                                 const TPictureSvg& svg)
{
    std::string page;
    WriteHtmlOfReportDocument(document, [&page](std::string_view bytes) { page += bytes; }, step, svg);
    return page;
}

TPictureSvg THTMLBuilder::PictureSvg() const
{
    TReportPictures* pictures = Pictures();
    if (pictures == nullptr)
        return {};
    return [pictures, id = Target().ObjectId](std::string_view name) -> TReportSvg {
        const std::optional<TReportPicture> picture = ReportPictureOfName(name);
        if (!picture)
            return {};
        const TPictureSize size = pictures->Size(id, *picture);
        if (size.Empty())
            return {};
        return {pictures->Svg(id, *picture), PictureOutgrowsScreen(size)};
    };
}

void THTMLBuilder::Format()
{
    m_output = HtmlOfReportDocument(
        Document(), [this](std::size_t done, std::size_t total) { StepProgress(done, total); }, PictureSvg());
}

void THTMLBuilder::FormatAndWrite()
{
    // Streamed from the document to the file: the page of a large group is several times the
    // size of its document.
    const auto fill = [this](int fd, const std::string& /*tmpPath*/, std::string& why) {
        bool ok = true;
        const auto sink = [&](std::string_view bytes) {
            if (ok && !WriteAll(fd, bytes)) {
                ok = false;
                why = std::strerror(errno);
            }
        };
        WriteHtmlOfReportDocument(
            Document(), sink, [this](std::size_t done, std::size_t total) { StepProgress(done, total); }, PictureSvg());
        return ok;
    };
    std::string error;
    if (!ReplaceFileWith(FileName(), fill, error))
        throw TAppError(T("REPORT_WRITE_ERROR") + "\n" + FileName() + ": " + error);
}

void THTMLBuilder::Sociocard()
{
    m_output = SociocardHtml(ReadBlankData(Store(), Target().ObjectId));
    Finish();
}

void THTMLBuilder::Sociomatrix()
{
    m_output = SociomatrixHtml(ReadBlankData(Store(), Target().ObjectId));
    Finish();
}

std::string SociocardHtml(const TBlankData& data)
{
    const std::string title = T("REPORT_SOCIOCARD_TITLE");
    std::string out = PageStart(title);
    out += "<h1>" + HtmlEscape(title) + "</h1>\n";
    for (const std::string& line : SociocardHeadingLines(data, " "))
        out += Paragraph(line);
    out += "<h2>" + HtmlEscape(data.CriterionName) + "</h2>\n";
    out += Paragraph(SociocardInstruction(data));
    for (const std::string& line : SociocardLimits(data))
        out += Paragraph(line);
    // Widths also as attributes: they size the boxes where style sheets are only partly read.
    out += "<table class=\"card\" width=\"100%\">\n";
    const TTableRows rows = SociocardRows(data);
    const char* widths[] = {"8%", "52%", "20%", "20%"};
    for (std::size_t r = 0; r < rows.size(); ++r) {
        out += "<tr>";
        for (std::size_t c = 0; c < rows[r].size(); ++c) {
            const std::string cell = HtmlEscape(rows[r][c]);
            if (r == 0)
                out += std::string("<th width=\"") + widths[std::min<std::size_t>(c, 3)] + "\">" + cell + "</th>";
            else if (c == 1)
                out += "<td class=\"name\">" + cell + "</td>";
            else if (c >= 2)
                out += "<td class=\"box\">&nbsp;</td>";
            else
                out += "<td>" + cell + "</td>";
        }
        out += "</tr>\n";
    }
    out += "</table>\n";
    out += kPageEnd;
    return out;
}

std::string SociomatrixHtml(const TBlankData& data)
{
    const std::string title = T("REPORT_SOCIOMATRIX_TITLE");
    std::string out = PageStart(title);
    out += "<h1>" + HtmlEscape(title) + "</h1>\n";
    out += Paragraph(T("REPORT_SOCIOMATRIX_DATE") + ": _______________");
    out += Paragraph(T("INVESTIGATION_NAME") + ": " + data.InvestigationName);
    out += Paragraph(T("CLIENTGROUP_NAME") + ": " + data.ClientGroupName);
    out += Paragraph(T("CRITERY_NAME") + ": " + data.CriterionName);
    out += Paragraph(T("REPORT_SOCIOMATRIX_INSTRUCTION"));
    out += "<table class=\"blank\">\n";
    const TTableRows rows = BlankSociomatrixRows(data);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        out += "<tr>";
        for (std::size_t j = 0; j < rows[i].size(); ++j) {
            if (i == j)
                out += "<td class=\"dark\">&nbsp;</td>";
            else if (i == 0)
                out += "<th>" + rows[i][j] + "</th>";
            else if (j == 0)
                out += "<th class=\"name\">" + HtmlEscape(rows[i][j]) + "</th>";
            else
                out += "<td class=\"box\">&nbsp;</td>";
        }
        out += "</tr>\n";
    }
    out += "</table>\n";
    out += kPageEnd;
    return out;
}
