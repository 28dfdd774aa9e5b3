#include "reports/reportdoc.h"

#include <algorithm>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "util/numformat.h"
#include "util/text.h"

namespace {

// The escape character of the document and the letters that follow it.
constexpr char kEscape = '\x1B';

char EscapeLetter(char c)
{
    switch (c) {
    case kEscape:
        return 'e';
    case '[':
        return 'b';
    case '&':
        return 'a';
    case '<':
        return 'l';
    case '%':
        return 'p';
    default:
        return 0;
    }
}

char UnescapeLetter(char c)
{
    switch (c) {
    case 'e':
        return kEscape;
    case 'b':
        return '[';
    case 'a':
        return '&';
    case 'l':
        return '<';
    case 'p':
        return '%';
    default:
        return 0;
    }
}

// Drops trailing zeros of a decimal fraction, and the point when nothing follows it.
void TrimFraction(std::string& digits)
{
    if (digits.find('.') == std::string::npos)
        return;
    while (!digits.empty() && digits.back() == '0')
        digits.pop_back();
    if (!digits.empty() && digits.back() == '.')
        digits.pop_back();
}

} // namespace

std::string EscapeDocText(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        const char letter = EscapeLetter(c);
        if (letter != 0) {
            out += kEscape;
            out += letter;
        } else {
            out += c;
        }
    }
    return out;
}

std::string PlainText(std::string_view content)
{
    if (content.find(kEscape) == std::string_view::npos)
        return std::string(content);
    std::string out;
    out.reserve(content.size());
    for (std::size_t i = 0; i < content.size(); ++i) {
        if (content[i] == kEscape && i + 1 < content.size()) {
            const char c = UnescapeLetter(content[i + 1]);
            if (c != 0) {
                out += c;
                ++i;
                continue;
            }
        }
        out += content[i];
    }
    return out;
}

void TReportDocWriter::Tag(std::string_view tag)
{
    m_doc += '[';
    m_doc += tag;
    m_doc += ']';
}

void TReportDocWriter::Put(std::string_view text)
{
    m_doc += EscapeDocText(text);
}

void TReportDocWriter::Break(int count)
{
    for (int i = 0; i < count; ++i)
        m_doc += kLineBreakMark;
}

void TReportDocWriter::Lines(std::string_view text)
{
    std::size_t pos = 0;
    bool first = true;
    while (pos < text.size() || first) {
        if (!first)
            Break();
        first = false;
        const std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) {
            Put(text.substr(pos));
            return;
        }
        Put(text.substr(pos, end - pos));
        pos = end + 1;
        if (text[end] == '\r' && pos < text.size() && text[pos] == '\n')
            ++pos;
    }
}

void TReportDocWriter::Table(const TTableRows& rows)
{
    BeginTable(rows.size());
    for (const auto& row : rows) {
        for (const std::string& cell : row)
            Cell(cell);
    }
}

void TReportDocWriter::BeginTable(std::size_t rowCount)
{
    Tag(kTagTable);
    m_doc += std::to_string(rowCount);
    m_doc += kCellBreakMark;
}

void TReportDocWriter::Cell(std::string_view text)
{
    Put(text);
    m_doc += kCellBreakMark;
}

std::vector<TSectionView> ReadSectionViews(std::string_view document)
{
    std::vector<TSectionView> sections;
    std::size_t open = document.find('[');
    while (open != std::string_view::npos) {
        const std::size_t close = document.find(']', open + 1);
        if (close == std::string_view::npos)
            break;
        const std::size_t next = document.find('[', close + 1);
        const std::size_t end = next == std::string_view::npos ? document.size() : next;
        sections.push_back({document.substr(open + 1, close - open - 1), document.substr(close + 1, end - close - 1)});
        open = next;
    }
    return sections;
}

std::vector<TLexeme> ReadSections(std::string_view document)
{
    std::vector<TLexeme> sections;
    for (const TSectionView& view : ReadSectionViews(document))
        sections.push_back({std::string(view.Tag), std::string(view.Content)});
    return sections;
}

std::vector<std::string_view> SplitLineBreaks(std::string_view content)
{
    std::vector<std::string_view> pieces;
    std::size_t pos = 0;
    while (true) {
        const std::size_t mark = content.find(kLineBreakMark, pos);
        if (mark == std::string_view::npos) {
            pieces.push_back(content.substr(pos));
            return pieces;
        }
        pieces.push_back(content.substr(pos, mark - pos));
        pos = mark + kLineBreakMark.size();
    }
}

namespace {

// Where the cell starting at pos ends (its "<break>"), or npos. Table cells are short, so a plain
// scan beats a library search started afresh for every cell.
std::size_t CellEnd(std::string_view content, std::size_t pos)
{
    for (std::size_t i = pos; i < content.size(); ++i) {
        if (content[i] == '<' && content.substr(i, kCellBreakMark.size()) == kCellBreakMark)
            return i;
    }
    return std::string_view::npos;
}

} // namespace

TTableReader::TTableReader(std::string_view content) : m_content(content)
{
    const std::size_t first = content.find(kCellBreakMark);
    if (first == std::string_view::npos)
        return;
    const std::string count = Trim(PlainText(content.substr(0, first)));
    long long rowCount = 0;
    const auto [end, error] = std::from_chars(count.data(), count.data() + count.size(), rowCount);
    if (error != std::errc() || end != count.data() + count.size() || rowCount <= 0)
        return;
    m_start = first + kCellBreakMark.size();
    std::size_t cells = 0;
    for (std::size_t pos = m_start; pos < content.size(); ++cells) {
        const std::size_t mark = CellEnd(content, pos);
        pos = mark == std::string_view::npos ? content.size() : mark + kCellBreakMark.size();
    }
    // More rows than cells would only be padding; no report writes such a table.
    if (static_cast<unsigned long long>(rowCount) > std::max<std::size_t>(cells, 1))
        return;
    m_rows = static_cast<std::size_t>(rowCount);
    m_columns = std::max<std::size_t>((cells + m_rows - 1) / m_rows, 1);
    std::size_t cell = 0;
    for (std::size_t pos = m_start; pos < content.size() && m_rowStarts.size() < m_rows; ++cell) {
        if (cell % m_columns == 0)
            m_rowStarts.push_back(pos);
        const std::size_t mark = CellEnd(content, pos);
        pos = mark == std::string_view::npos ? content.size() : mark + kCellBreakMark.size();
    }
    m_rowStarts.resize(m_rows, content.size());
    m_resumeColumn.assign(m_rows, 0);
    m_resumePos.assign(m_rows, 0);
    Rewind();
}

void TTableReader::Rewind()
{
    m_row = 0;
}

bool TTableReader::Next(std::vector<std::string>& row)
{
    return Next(row, 0, m_columns);
}

bool TTableReader::Next(std::vector<std::string>& row, std::size_t from, std::size_t to)
{
    if (m_row >= m_rows)
        return false;
    if (row.size() != m_columns || (from == 0 && to >= m_columns))
        row.assign(m_columns, std::string());
    std::size_t pos = m_rowStarts[m_row];
    std::size_t c = 0;
    // Reading a wide table block by block, each row goes on where the previous block stopped.
    if (from > 1 && m_resumeColumn[m_row] == from) {
        const std::size_t mark = CellEnd(m_content, pos);
        row[0] = PlainText(m_content.substr(pos, (mark == std::string_view::npos ? m_content.size() : mark) - pos));
        c = from;
        pos = m_resumePos[m_row];
    }
    for (; c < m_columns && (c == 0 || c < to) && pos < m_content.size(); ++c) {
        const std::size_t mark = CellEnd(m_content, pos);
        const std::size_t end = mark == std::string_view::npos ? m_content.size() : mark;
        if (c == 0 || c >= from)
            row[c] = PlainText(m_content.substr(pos, end - pos));
        pos = mark == std::string_view::npos ? m_content.size() : mark + kCellBreakMark.size();
    }
    m_resumeColumn[m_row] = c;
    // The padding of a short last row.
    for (std::size_t k = c; k < std::min(to, m_columns); ++k) {
        if (k == 0 || k >= from)
            row[k].clear();
    }
    m_resumePos[m_row] = pos;
    ++m_row;
    return true;
}

bool ParseTable(std::string_view content, TTableRows& rows)
{
    rows.clear();
    TTableReader reader(content);
    if (!reader.Ok())
        return false;
    rows.reserve(reader.RowCount());
    std::vector<std::string> row;
    while (reader.Next(row))
        rows.push_back(std::move(row));
    return true;
}

std::string FormatIndexValue(double value)
{
    if (!std::isfinite(value))
        return std::isnan(value) ? "NAN" : (value > 0 ? "INF" : "-INF");
    if (value == 0)
        return "0";

    // Round to 3 significant digits first; the exponent of the rounded value decides the form.
    const std::string scientific = ScientificText(value, 2);
    const std::size_t e = scientific.find('e');
    const int exponent = std::atoi(scientific.c_str() + e + 1);

    std::string text;
    if (exponent >= 3 || std::fabs(value) < 0.00001) {
        std::string mantissa = scientific.substr(0, e);
        TrimFraction(mantissa);
        char exp[16];
        std::snprintf(exp, sizeof exp, "E%c%04d", exponent < 0 ? '-' : '+', std::abs(exponent));
        text = mantissa + exp;
    } else {
        text = FixedText(value, std::max(0, 2 - exponent));
        TrimFraction(text);
    }
    const std::size_t point = text.find('.');
    if (point != std::string::npos)
        text.replace(point, 1, ReaderDecimalSeparator());
    return text;
}

std::string UpperAsciiLetters(std::string_view text)
{
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return out;
}

std::string MarkupSafeText(std::string_view text)
{
    bool clean = IsValidUtf8(text);
    if (clean) {
        for (char c : text) {
            const auto b = static_cast<unsigned char>(c);
            if ((b < 0x20 && c != '\t' && c != '\n' && c != '\r') || b == 0x7F) {
                clean = false;
                break;
            }
        }
    }
    if (clean)
        return std::string(text);

    std::u32string chars = ToU32(text); // invalid bytes come back as the characters of their values
    for (char32_t& c : chars) {
        if (c < 0x20 && c != U'\t' && c != U'\n' && c != U'\r')
            c = 0x2400 + c;
        else if (c == 0x7F)
            c = 0x2421;
        else if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF || c == 0xFFFE || c == 0xFFFF)
            c = 0xFFFD;
    }
    return FromU32(chars);
}
