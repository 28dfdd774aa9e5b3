#include "reports/docxdoc.h"

#include <algorithm>
#include <list>
#include <map>
#include <sstream>
#include <stdexcept>
#include <vector>

#include <pugixml.hpp>
#include <zip.h>

#include "reports/reportdoc.h"
#include "util/safefile.h"

namespace {

constexpr const char* kWordNs = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
constexpr const char* kRelNs = "http://schemas.openxmlformats.org/package/2006/relationships";
constexpr const char* kDocRelNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

// A4 with 2 cm margins, in twentieths of a point.
constexpr int kPageWidth = 11906;
constexpr int kPageHeight = 16838;
constexpr int kMargin = 1134;
constexpr int kTextWidth = kPageWidth - 2 * kMargin;

void AddDeclaration(pugi::xml_document& doc)
{
    pugi::xml_node decl = doc.prepend_child(pugi::node_declaration);
    decl.append_attribute("version") = "1.0";
    decl.append_attribute("encoding") = "UTF-8";
    decl.append_attribute("standalone") = "yes";
}

std::string XmlText(const pugi::xml_document& doc)
{
    std::ostringstream out;
    doc.save(out, "", pugi::format_raw, pugi::encoding_utf8);
    return out.str();
}

// A style id from a style name: its letters and digits.
std::string StyleId(const std::string& name)
{
    std::string id;
    for (char c : name) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
            id += c;
    }
    return id.empty() ? "Style" : id;
}

void SetVal(pugi::xml_node node, const char* value)
{
    node.append_attribute("w:val") = value;
}

// Appends the runs of one line of text (tabs as tab stops) to a paragraph.
void AppendRuns(pugi::xml_node paragraph, std::string_view line)
{
    if (line.empty())
        return;
    pugi::xml_node run = paragraph.append_child("w:r");
    std::size_t pos = 0;
    while (pos <= line.size()) {
        const std::size_t tab = line.find('\t', pos);
        const std::string_view piece = line.substr(pos, tab == std::string_view::npos ? line.npos : tab - pos);
        if (!piece.empty()) {
            pugi::xml_node t = run.append_child("w:t");
            t.append_attribute("xml:space") = "preserve";
            t.text().set(std::string(piece).c_str());
        }
        if (tab == std::string_view::npos)
            break;
        run.append_child("w:tab");
        pos = tab + 1;
    }
}

// Splits text at CR LF, CR and LF.
std::vector<std::string_view> Lines(std::string_view text)
{
    std::vector<std::string_view> lines;
    std::size_t pos = 0;
    while (true) {
        const std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) {
            lines.push_back(text.substr(pos));
            return lines;
        }
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 1;
        if (text[end] == '\r' && pos < text.size() && text[pos] == '\n')
            ++pos;
    }
}

} // namespace

struct TDocxDocument::TImpl {
    pugi::xml_document document;
    pugi::xml_document styles;
    pugi::xml_node body;
    pugi::xml_node sectPr;
    pugi::xml_node current; // the paragraph text is typed into
    std::string currentStyle;
    std::map<std::string, std::string> styleIds; // name -> id
    struct TTable {
        int columns = 0;
        std::vector<pugi::xml_node> cells; // row-major
    };
    std::vector<TTable> tables;

    pugi::xml_node NewParagraphBefore(pugi::xml_node before, const std::string& styleName)
    {
        pugi::xml_node p = body.insert_child_before("w:p", before);
        ApplyStyle(p, styleName);
        return p;
    }

    void ApplyStyle(pugi::xml_node paragraph, const std::string& styleName)
    {
        pugi::xml_node pPr = paragraph.child("w:pPr");
        if (styleName.empty()) {
            if (pPr)
                pPr.remove_child("w:pStyle");
            return;
        }
        if (!pPr)
            pPr = paragraph.prepend_child("w:pPr");
        pugi::xml_node pStyle = pPr.child("w:pStyle");
        if (!pStyle) {
            pStyle = pPr.prepend_child("w:pStyle");
            pStyle.append_attribute("w:val");
        }
        pStyle.attribute("w:val") = styleIds.at(styleName).c_str();
    }

    pugi::xml_node& Cell(int table, int row, int column)
    {
        if (table < 1 || table > static_cast<int>(tables.size()))
            throw std::out_of_range("no such table");
        TTable& t = tables[static_cast<std::size_t>(table - 1)];
        const int rows = static_cast<int>(t.cells.size()) / t.columns;
        if (row < 1 || row > rows || column < 1 || column > t.columns)
            throw std::out_of_range("no such table cell");
        return t.cells[static_cast<std::size_t>((row - 1) * t.columns + (column - 1))];
    }
};

TDocxDocument::TDocxDocument() : m_impl(std::make_unique<TImpl>())
{
    AddDeclaration(m_impl->document);
    pugi::xml_node root = m_impl->document.append_child("w:document");
    root.append_attribute("xmlns:w") = kWordNs;
    root.append_attribute("xmlns:r") = kDocRelNs;
    m_impl->body = root.append_child("w:body");
    m_impl->sectPr = m_impl->body.append_child("w:sectPr");
    pugi::xml_node size = m_impl->sectPr.append_child("w:pgSz");
    size.append_attribute("w:w") = kPageWidth;
    size.append_attribute("w:h") = kPageHeight;
    pugi::xml_node margins = m_impl->sectPr.append_child("w:pgMar");
    for (const char* side : {"w:top", "w:right", "w:bottom", "w:left"})
        margins.append_attribute(side) = kMargin;
    margins.append_attribute("w:header") = 709;
    margins.append_attribute("w:footer") = 709;
    margins.append_attribute("w:gutter") = 0;
    m_impl->current = m_impl->body.insert_child_before("w:p", m_impl->sectPr);

    AddDeclaration(m_impl->styles);
    pugi::xml_node styles = m_impl->styles.append_child("w:styles");
    styles.append_attribute("xmlns:w") = kWordNs;
    pugi::xml_node rPr = styles.append_child("w:docDefaults").append_child("w:rPrDefault").append_child("w:rPr");
    SetVal(rPr.append_child("w:sz"), "24");
    SetVal(rPr.append_child("w:szCs"), "24");
    pugi::xml_node normal = styles.append_child("w:style");
    normal.append_attribute("w:type") = "paragraph";
    normal.append_attribute("w:default") = "1";
    normal.append_attribute("w:styleId") = "Normal";
    SetVal(normal.append_child("w:name"), "Normal");
    normal.append_child("w:qFormat");
}

TDocxDocument::~TDocxDocument() = default;

void TDocxDocument::AddStyle(const std::string& name, int sizePoints, bool bold, int outlineLevel)
{
    const std::string id = StyleId(name);
    m_impl->styleIds[name] = id;
    pugi::xml_node style = m_impl->styles.document_element().append_child("w:style");
    style.append_attribute("w:type") = "paragraph";
    style.append_attribute("w:customStyle") = "1";
    style.append_attribute("w:styleId") = id.c_str();
    SetVal(style.append_child("w:name"), name.c_str());
    SetVal(style.append_child("w:basedOn"), "Normal");
    style.append_child("w:qFormat");
    pugi::xml_node pPr = style.append_child("w:pPr");
    if (outlineLevel >= 0) {
        pugi::xml_node spacing = pPr.append_child("w:spacing");
        spacing.append_attribute("w:before") = 240;
        spacing.append_attribute("w:after") = 120;
        pPr.append_child("w:outlineLvl").append_attribute("w:val") = outlineLevel;
    }
    pugi::xml_node rPr = style.append_child("w:rPr");
    if (bold) {
        rPr.append_child("w:b");
        rPr.append_child("w:bCs");
    }
    rPr.append_child("w:sz").append_attribute("w:val") = sizePoints * 2;
    rPr.append_child("w:szCs").append_attribute("w:val") = sizePoints * 2;
}

void TDocxDocument::SetStyle(const std::string& name)
{
    m_impl->ApplyStyle(m_impl->current, name);
    m_impl->currentStyle = name;
}

void TDocxDocument::TypeText(std::string_view text)
{
    const std::string safe = MarkupSafeText(text);
    const std::vector<std::string_view> lines = Lines(safe);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            TypeParagraph();
        AppendRuns(m_impl->current, lines[i]);
    }
}

void TDocxDocument::TypeParagraph()
{
    m_impl->current = m_impl->NewParagraphBefore(m_impl->sectPr, m_impl->currentStyle);
}

int TDocxDocument::AddTable(int rows, int columns)
{
    if (rows < 1 || columns < 1)
        throw std::out_of_range("a table needs at least one row and one column");
    pugi::xml_node table = m_impl->body.insert_child_before("w:tbl", m_impl->current);
    pugi::xml_node tblPr = table.append_child("w:tblPr");
    pugi::xml_node width = tblPr.append_child("w:tblW");
    width.append_attribute("w:w") = 0;
    width.append_attribute("w:type") = "auto";
    SetVal(tblPr.append_child("w:jc"), "center");
    pugi::xml_node borders = tblPr.append_child("w:tblBorders");
    for (const char* side : {"w:top", "w:left", "w:bottom", "w:right", "w:insideH", "w:insideV"}) {
        pugi::xml_node border = borders.append_child(side);
        border.append_attribute("w:val") = "single";
        border.append_attribute("w:sz") = 4;
        border.append_attribute("w:space") = 0;
        border.append_attribute("w:color") = "000000";
    }
    pugi::xml_node grid = table.append_child("w:tblGrid");
    const int columnWidth = std::max(kTextWidth / columns, 1);
    for (int c = 0; c < columns; ++c)
        grid.append_child("w:gridCol").append_attribute("w:w") = columnWidth;

    TImpl::TTable entry;
    entry.columns = columns;
    entry.cells.reserve(static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns));
    const std::string styleId =
        m_impl->currentStyle.empty() ? std::string() : m_impl->styleIds.at(m_impl->currentStyle);
    for (int r = 0; r < rows; ++r) {
        pugi::xml_node row = table.append_child("w:tr");
        for (int c = 0; c < columns; ++c) {
            pugi::xml_node cell = row.append_child("w:tc");
            pugi::xml_node tcW = cell.append_child("w:tcPr").append_child("w:tcW");
            tcW.append_attribute("w:w") = columnWidth;
            tcW.append_attribute("w:type") = "dxa";
            pugi::xml_node p = cell.append_child("w:p");
            if (!styleId.empty())
                SetVal(p.append_child("w:pPr").append_child("w:pStyle"), styleId.c_str());
            entry.cells.push_back(cell);
        }
    }
    m_impl->tables.push_back(std::move(entry));
    return static_cast<int>(m_impl->tables.size());
}

int TDocxDocument::TableCount() const
{
    return static_cast<int>(m_impl->tables.size());
}

void TDocxDocument::SetCellText(int table, int row, int column, std::string_view text)
{
    pugi::xml_node cell = m_impl->Cell(table, row, column);
    // The first paragraph stays with its properties (style, alignment); the others go.
    pugi::xml_node first = cell.child("w:p");
    while (pugi::xml_node extra = first.next_sibling("w:p"))
        cell.remove_child(extra);
    for (pugi::xml_node run = first.child("w:r"); run;) {
        const pugi::xml_node next = run.next_sibling("w:r");
        first.remove_child(run);
        run = next;
    }

    const std::string safe = MarkupSafeText(text);
    const pugi::xml_node properties = first.child("w:pPr");
    bool firstLine = true;
    for (std::string_view line : Lines(safe)) {
        pugi::xml_node p = first;
        if (!firstLine) {
            p = cell.append_child("w:p");
            if (properties)
                p.append_copy(properties);
        }
        AppendRuns(p, line);
        firstLine = false;
    }
}

void TDocxDocument::CenterCell(int table, int row, int column)
{
    pugi::xml_node cell = m_impl->Cell(table, row, column);
    for (pugi::xml_node p = cell.child("w:p"); p; p = p.next_sibling("w:p")) {
        pugi::xml_node pPr = p.child("w:pPr");
        if (!pPr)
            pPr = p.prepend_child("w:pPr");
        pugi::xml_node jc = pPr.child("w:jc");
        if (!jc) {
            jc = pPr.append_child("w:jc"); // after the style, as the schema orders them
            jc.append_attribute("w:val");
        }
        jc.attribute("w:val") = "center";
    }
}

void TDocxDocument::ShadeCell(int table, int row, int column, const std::string& color)
{
    pugi::xml_node tcPr = m_impl->Cell(table, row, column).child("w:tcPr");
    pugi::xml_node shd = tcPr.child("w:shd");
    if (!shd) {
        shd = tcPr.append_child("w:shd"); // after the width, as the schema orders them
        shd.append_attribute("w:val") = "clear";
        shd.append_attribute("w:color") = "auto";
        shd.append_attribute("w:fill");
    }
    shd.attribute("w:fill") = color.c_str();
}

namespace {

std::string ContentTypes()
{
    pugi::xml_document doc;
    AddDeclaration(doc);
    pugi::xml_node types = doc.append_child("Types");
    types.append_attribute("xmlns") = "http://schemas.openxmlformats.org/package/2006/content-types";
    auto addDefault = [&](const char* extension, const char* type) {
        pugi::xml_node d = types.append_child("Default");
        d.append_attribute("Extension") = extension;
        d.append_attribute("ContentType") = type;
    };
    auto addOverride = [&](const char* part, const char* type) {
        pugi::xml_node o = types.append_child("Override");
        o.append_attribute("PartName") = part;
        o.append_attribute("ContentType") = type;
    };
    addDefault("rels", "application/vnd.openxmlformats-package.relationships+xml");
    addDefault("xml", "application/xml");
    addOverride("/word/document.xml",
                "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml");
    addOverride("/word/styles.xml", "application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml");
    return XmlText(doc);
}

std::string Relationships(const char* id, const char* type, const char* target)
{
    pugi::xml_document doc;
    AddDeclaration(doc);
    pugi::xml_node rels = doc.append_child("Relationships");
    rels.append_attribute("xmlns") = kRelNs;
    pugi::xml_node rel = rels.append_child("Relationship");
    rel.append_attribute("Id") = id;
    rel.append_attribute("Type") = type;
    rel.append_attribute("Target") = target;
    return XmlText(doc);
}

// Collects the package's parts and zips them in memory.
class TZipWriter final {
public:
    TZipWriter()
    {
        zip_error_init(&m_error);
        m_source = zip_source_buffer_create(nullptr, 0, 0, &m_error);
        if (m_source == nullptr)
            throw std::runtime_error("cannot create a zip buffer");
        zip_source_keep(m_source);
        m_zip = zip_open_from_source(m_source, ZIP_TRUNCATE, &m_error);
        if (m_zip == nullptr) {
            zip_source_free(m_source);
            throw std::runtime_error("cannot open a zip buffer");
        }
    }
    ~TZipWriter()
    {
        if (m_zip != nullptr)
            zip_discard(m_zip);
        if (m_source != nullptr)
            zip_source_free(m_source);
        zip_error_fini(&m_error);
    }
    TZipWriter(const TZipWriter&) = delete;
    TZipWriter& operator=(const TZipWriter&) = delete;

    void Add(const char* name, std::string bytes)
    {
        m_parts.push_back(std::move(bytes)); // kept alive until the archive is closed
        const std::string& data = m_parts.back();
        zip_source_t* part = zip_source_buffer(m_zip, data.data(), data.size(), 0);
        if (part == nullptr)
            throw std::runtime_error(zip_strerror(m_zip));
        if (zip_file_add(m_zip, name, part, ZIP_FL_ENC_UTF_8) < 0) {
            zip_source_free(part);
            throw std::runtime_error(zip_strerror(m_zip));
        }
    }

    std::string Close()
    {
        if (zip_close(m_zip) < 0)
            throw std::runtime_error(zip_strerror(m_zip));
        m_zip = nullptr;
        std::string bytes;
        if (zip_source_open(m_source) < 0)
            throw std::runtime_error("cannot read the zip buffer");
        zip_source_seek(m_source, 0, SEEK_END);
        const zip_int64_t size = zip_source_tell(m_source);
        zip_source_seek(m_source, 0, SEEK_SET);
        bytes.resize(static_cast<std::size_t>(size > 0 ? size : 0));
        const zip_int64_t read = zip_source_read(m_source, bytes.data(), bytes.size());
        zip_source_close(m_source);
        if (read != size)
            throw std::runtime_error("cannot read the zip buffer");
        return bytes;
    }

private:
    zip_error_t m_error;
    zip_source_t* m_source = nullptr;
    zip_t* m_zip = nullptr;
    std::list<std::string> m_parts; // a list: adding a part never moves the others
};

} // namespace

std::string TDocxDocument::SaveToBytes() const
{
    TZipWriter zip;
    zip.Add("[Content_Types].xml", ContentTypes());
    zip.Add("_rels/.rels",
            Relationships("rId1", "http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument",
                          "word/document.xml"));
    zip.Add("word/_rels/document.xml.rels",
            Relationships("rId1", "http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles",
                          "styles.xml"));
    zip.Add("word/document.xml", XmlText(m_impl->document));
    zip.Add("word/styles.xml", XmlText(m_impl->styles));
    return zip.Close();
}

bool TDocxDocument::SaveAs(const std::string& path, std::string& errorText) const
{
    std::string bytes;
    try {
        bytes = SaveToBytes();
    } catch (const std::exception& e) {
        errorText = e.what();
        return false;
    }
    return ReplaceFile(path, bytes, errorText);
}
