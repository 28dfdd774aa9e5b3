#include "reports/docxdoc.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <list>
#include <map>
#include <sstream>
#include <stdexcept>

#include <pugixml.hpp>
#include <unistd.h>
#include <zip.h>

#include "reports/htmlbuilder.h"
#include "reports/reportdoc.h"
#include "util/safefile.h"
#include "util/xmltext.h"

namespace {

constexpr const char* kWordNs = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
constexpr const char* kRelNs = "http://schemas.openxmlformats.org/package/2006/relationships";
constexpr const char* kDocRelNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
constexpr const char* kDrawingNs = "http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing";
constexpr const char* kFont = "Arial";
// The default paragraph style: table cells, compact and centred; other text names its style.
constexpr const char* kCellStyleId = "TremlowTable";
constexpr double kCellPoints = 9;

// Advance widths of the ASCII characters 32..126 in Arial, in thousandths of the font size.
constexpr unsigned short kArialWidths[95] = {
    278, 278, 355, 556, 556, 889, 667, 191, 333, 333, 389, 584, 278, 333, 278, 278, // space ../
    556, 556, 556, 556, 556, 556, 556, 556, 556, 556, 278, 278, 584, 584, 584, 556, // 0..?
    1015, 667, 667, 722, 722, 667, 611, 778, 722, 278, 500, 667, 556, 833, 722, 778, // @..O
    667, 778, 722, 667, 611, 722, 667, 944, 667, 667, 611, 278, 278, 278, 469, 556, // P.._
    333, 556, 556, 500, 556, 556, 278, 556, 556, 222, 222, 500, 222, 833, 556, 556, // `..o
    556, 556, 333, 500, 278, 556, 500, 722, 500, 500, 500, 334, 260, 334, 584};      // p..~
// A character outside ASCII: as wide as the wide letters, so names in any script fit.
constexpr int kWideWidth = 722;

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

// Appends text as XML character data: markup escaped as for HTML, then what XML forbids replaced.
void AppendEscaped(std::string& out, std::string_view text)
{
    out += XmlSafeText(HtmlEscape(text));
}

// Printable ASCII without markup characters goes into the XML as it is (most matrix cells).
bool IsPlainAscii(std::string_view text)
{
    for (char c : text) {
        if (c < 0x20 || c > 0x7E || c == '&' || c == '<' || c == '>')
            return false;
    }
    return true;
}

// Appends the runs of one line of text (tabs as tab stops).
void AppendRuns(std::string& out, std::string_view line, bool bold)
{
    if (line.empty())
        return;
    if (!bold && IsPlainAscii(line)) {
        out += "<w:r><w:t xml:space=\"preserve\">";
        out += line;
        out += "</w:t></w:r>";
        return;
    }
    out += bold ? "<w:r><w:rPr><w:b/></w:rPr>" : "<w:r>";
    std::size_t pos = 0;
    while (true) {
        const std::size_t tab = line.find('\t', pos);
        const std::string_view piece = line.substr(pos, tab == std::string_view::npos ? line.npos : tab - pos);
        if (!piece.empty()) {
            out += "<w:t xml:space=\"preserve\">";
            AppendEscaped(out, piece);
            out += "</w:t>";
        }
        if (tab == std::string_view::npos)
            break;
        out += "<w:tab/>";
        pos = tab + 1;
    }
    out += "</w:r>";
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

// Width of one UTF-8 character starting at text[i], in thousandths of the font size; i moves
// past it.
int CharWidth(std::string_view text, std::size_t& i)
{
    const auto c = static_cast<unsigned char>(text[i]);
    ++i;
    if (c >= 32 && c <= 126)
        return kArialWidths[c - 32];
    if (c < 0x80)
        return 0;
    while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80)
        ++i;
    return kWideWidth;
}

int Twips(long thousandths, double points, bool bold)
{
    // A point is 20 twips; bold Arial runs about a tenth wider; a twentieth more leaves room for
    // a substitute font that sets a little wider than Arial.
    const double width = static_cast<double>(thousandths) * points * 20.0 / 1000.0 * (bold ? 1.1 : 1.0) * 1.05;
    return static_cast<int>(width + 0.999);
}

// The properties of a section, written where it ends; newPage tells how the section began.
std::string SectionProperties(const TDocxSection& section, bool newPage)
{
    const bool landscape = section.Landscape;
    const int w = landscape ? kDocxPageLong : kDocxPageShort;
    const int h = landscape ? kDocxPageShort : kDocxPageLong;
    const std::string m = std::to_string(kDocxMargin);
    return std::string("<w:sectPr><w:footerReference w:type=\"default\" r:id=\"rId2\"/>") +
           (newPage ? "" : "<w:type w:val=\"continuous\"/>") + "<w:pgSz w:w=\"" + std::to_string(w) + "\" w:h=\"" +
           std::to_string(h) + "\"" + (landscape ? " w:orient=\"landscape\"" : "") + "/><w:pgMar w:top=\"" + m +
           "\" w:right=\"" + m + "\" w:bottom=\"" + m + "\" w:left=\"" + m +
           "\" w:header=\"425\" w:footer=\"425\" w:gutter=\"0\"/><w:cols w:num=\"" + std::to_string(section.Columns) +
           "\" w:space=\"" + std::to_string(kDocxColumnGap) + "\"/></w:sectPr>";
}

} // namespace

int DocxTextWidth(bool landscape)
{
    return (landscape ? kDocxPageLong : kDocxPageShort) - 2 * kDocxMargin;
}

int DocxTextWidthTwips(std::string_view utf8, double points, bool bold)
{
    long total = 0;
    for (std::size_t i = 0; i < utf8.size();)
        total += CharWidth(utf8, i);
    return Twips(total, points, bold);
}

int DocxLongestWordTwips(std::string_view utf8, double points, bool bold)
{
    long longest = 0;
    long word = 0;
    for (std::size_t i = 0; i < utf8.size();) {
        if (utf8[i] == ' ' || utf8[i] == '\t' || utf8[i] == '\r' || utf8[i] == '\n') {
            word = 0;
            ++i;
            continue;
        }
        word += CharWidth(utf8, i);
        longest = std::max(longest, word);
    }
    return Twips(longest, points, bold);
}

struct TDocxDocument::TImpl {
    pugi::xml_document styles;
    std::map<std::string, std::string> styleIds; // name -> id
    std::string bodyPath;
    std::FILE* body = nullptr;
    std::string buffer; // the body's next bytes, flushed in blocks
    TDocxSection section;
    bool sectionOnNewPage = true;
    bool sectionEmpty = true;
    bool lastWasTable = false;
    std::vector<TDocxColumn> columns; // of the open table
    std::vector<std::string> media;   // PNG pictures, word/media/image1.png ...

    ~TImpl()
    {
        if (body != nullptr)
            std::fclose(body);
        if (!bodyPath.empty())
            ::unlink(bodyPath.c_str());
    }

    void Flush()
    {
        if (buffer.empty())
            return;
        if (body == nullptr || std::fwrite(buffer.data(), 1, buffer.size(), body) != buffer.size())
            throw std::runtime_error("cannot write the document's temporary file " + bodyPath);
        buffer.clear();
    }

    void Put(std::string_view text)
    {
        buffer += text;
        if (buffer.size() >= (1u << 16))
            Flush();
    }

    const std::string& IdOf(const std::string& style) const { return styleIds.at(style); }

    // A tiny paragraph: keeps two tables apart, ends the body after a table, or carries the
    // properties of the section it closes.
    void SpacerParagraph(const std::string& sectionProperties = {})
    {
        Put("<w:p><w:pPr><w:spacing w:before=\"0\" w:after=\"0\" w:line=\"120\" w:lineRule=\"exact\"/>"
            "<w:rPr><w:sz w:val=\"4\"/></w:rPr>");
        Put(sectionProperties);
        Put("</w:pPr></w:p>");
        lastWasTable = false;
    }
};

TDocxDocument::TDocxDocument() : m_impl(std::make_unique<TImpl>())
{
    std::string pattern = (std::filesystem::temp_directory_path() / "tremlow-docx-XXXXXX").string();
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0)
        throw std::runtime_error("cannot create a temporary file in " + std::filesystem::temp_directory_path().string());
    m_impl->bodyPath = pattern;
    m_impl->body = ::fdopen(fd, "wb");
    if (m_impl->body == nullptr) {
        ::close(fd);
        throw std::runtime_error("cannot open the temporary file " + pattern);
    }
    m_impl->Put(std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><w:document xmlns:w=\"") +
                kWordNs + "\" xmlns:r=\"" + kDocRelNs + "\" xmlns:wp=\"" + kDrawingNs + "\"><w:body>");

    AddDeclaration(m_impl->styles);
    pugi::xml_node styles = m_impl->styles.append_child("w:styles");
    styles.append_attribute("xmlns:w") = kWordNs;
    pugi::xml_node defaults = styles.append_child("w:docDefaults");
    pugi::xml_node rPr = defaults.append_child("w:rPrDefault").append_child("w:rPr");
    pugi::xml_node fonts = rPr.append_child("w:rFonts");
    for (const char* which : {"w:ascii", "w:hAnsi", "w:cs", "w:eastAsia"})
        fonts.append_attribute(which) = kFont;
    const int halfPoints = static_cast<int>(kCellPoints * 2);
    rPr.append_child("w:sz").append_attribute("w:val") = halfPoints;
    rPr.append_child("w:szCs").append_attribute("w:val") = halfPoints;
    pugi::xml_node spacing = defaults.append_child("w:pPrDefault").append_child("w:pPr").append_child("w:spacing");
    spacing.append_attribute("w:before") = 0;
    spacing.append_attribute("w:after") = 0;

    pugi::xml_node cell = styles.append_child("w:style");
    cell.append_attribute("w:type") = "paragraph";
    cell.append_attribute("w:default") = "1";
    cell.append_attribute("w:styleId") = kCellStyleId;
    SetVal(cell.append_child("w:name"), "Tremlow Table");
    cell.append_child("w:qFormat");
    SetVal(cell.append_child("w:pPr").append_child("w:jc"), "center");
}

TDocxDocument::~TDocxDocument() = default;

void TDocxDocument::AddStyle(const std::string& name, double sizePoints, bool bold, int outlineLevel)
{
    const std::string id = StyleId(name);
    m_impl->styleIds[name] = id;
    pugi::xml_node style = m_impl->styles.document_element().append_child("w:style");
    style.append_attribute("w:type") = "paragraph";
    style.append_attribute("w:customStyle") = "1";
    style.append_attribute("w:styleId") = id.c_str();
    SetVal(style.append_child("w:name"), name.c_str());
    SetVal(style.append_child("w:basedOn"), kCellStyleId);
    style.append_child("w:qFormat");
    pugi::xml_node pPr = style.append_child("w:pPr");
    if (outlineLevel >= 0)
        pPr.append_child("w:keepNext");
    pugi::xml_node spacing = pPr.append_child("w:spacing");
    spacing.append_attribute("w:before") = outlineLevel >= 0 ? 200 : 0;
    spacing.append_attribute("w:after") = outlineLevel >= 0 ? 80 : 40;
    SetVal(pPr.append_child("w:jc"), "left");
    if (outlineLevel >= 0)
        pPr.append_child("w:outlineLvl").append_attribute("w:val") = outlineLevel;
    pugi::xml_node rPr = style.append_child("w:rPr");
    if (bold) {
        rPr.append_child("w:b");
        rPr.append_child("w:bCs");
    }
    const int halfPoints = static_cast<int>(sizePoints * 2 + 0.5);
    rPr.append_child("w:sz").append_attribute("w:val") = halfPoints;
    rPr.append_child("w:szCs").append_attribute("w:val") = halfPoints;
}

void TDocxDocument::Paragraph(const std::string& style, std::string_view text)
{
    const std::string& id = m_impl->IdOf(style);
    std::string out;
    for (std::string_view line : Lines(text)) {
        out += "<w:p><w:pPr><w:pStyle w:val=\"" + id + "\"/></w:pPr>";
        AppendRuns(out, line, false);
        out += "</w:p>";
    }
    m_impl->Put(out);
    m_impl->sectionEmpty = false;
    m_impl->lastWasTable = false;
}

void TDocxDocument::SetSection(const TDocxSection& section)
{
    TImpl& impl = *m_impl;
    if (section == impl.section)
        return;
    const bool newPage = section.Landscape != impl.section.Landscape;
    if (!impl.sectionEmpty) {
        impl.SpacerParagraph(SectionProperties(impl.section, impl.sectionOnNewPage));
        impl.sectionOnNewPage = newPage;
    }
    impl.section = section;
    impl.sectionEmpty = true;
}

void TDocxDocument::BeginTable(const std::vector<TDocxColumn>& columns, const std::string& style, bool centred)
{
    if (columns.empty())
        throw std::out_of_range("a table needs at least one column");
    if (m_impl->lastWasTable)
        m_impl->SpacerParagraph();
    (void)m_impl->IdOf(style);
    m_impl->columns = columns;
    int total = 0;
    for (const TDocxColumn& c : columns)
        total += c.Width;
    std::string out = "<w:tbl><w:tblPr><w:tblW w:w=\"" + std::to_string(total) +
                      "\" w:type=\"dxa\"/><w:jc w:val=\"" + (centred ? "center" : "left") + "\"/><w:tblBorders>";
    for (const char* side : {"top", "left", "bottom", "right", "insideH", "insideV"})
        out += std::string("<w:") + side + " w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"000000\"/>";
    const std::string pad = std::to_string(kDocxCellPadding);
    out += "</w:tblBorders><w:tblLayout w:type=\"fixed\"/><w:tblCellMar><w:top w:w=\"0\" w:type=\"dxa\"/>"
           "<w:left w:w=\"" + pad + "\" w:type=\"dxa\"/><w:bottom w:w=\"0\" w:type=\"dxa\"/><w:right w:w=\"" + pad +
           "\" w:type=\"dxa\"/></w:tblCellMar></w:tblPr><w:tblGrid>";
    for (const TDocxColumn& c : columns)
        out += "<w:gridCol w:w=\"" + std::to_string(c.Width) + "\"/>";
    out += "</w:tblGrid>";
    m_impl->Put(out);
    m_impl->sectionEmpty = false;
}

void TDocxDocument::Row(const std::vector<std::string>& cells, const TDocxRowFormat& format)
{
    std::string out = "<w:tr><w:trPr><w:cantSplit/>";
    if (format.MinHeight > 0)
        out += "<w:trHeight w:val=\"" + std::to_string(format.MinHeight) + "\" w:hRule=\"atLeast\"/>";
    if (format.Heading)
        out += "<w:tblHeader/>";
    out += "</w:trPr>";
    const std::vector<TDocxColumn>& columns = m_impl->columns;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        out += "<w:tc>";
        if (static_cast<int>(c) == format.DarkColumn)
            out += "<w:tcPr><w:shd w:val=\"clear\" w:color=\"auto\" w:fill=\"000000\"/></w:tcPr>";
        const std::string_view text = c < cells.size() ? std::string_view(cells[c]) : std::string_view();
        const bool keep = format.Heading || format.KeepWithNext;
        const bool left = !columns[c].Centred;
        if (!keep && !left && IsPlainAscii(text)) {
            // Most cells of a large matrix are blank: an empty paragraph keeps the body small.
            if (text.find_first_not_of(' ') == std::string_view::npos) {
                out += "<w:p/></w:tc>";
                continue;
            }
            out += "<w:p>";
            AppendRuns(out, text, format.Heading);
            out += "</w:p></w:tc>";
            continue;
        }
        for (std::string_view line : Lines(text)) {
            out += "<w:p>";
            if (keep || left) {
                out += "<w:pPr>";
                if (keep)
                    out += "<w:keepNext/>";
                if (left)
                    out += "<w:jc w:val=\"left\"/>";
                out += "</w:pPr>";
            }
            AppendRuns(out, line, format.Heading);
            out += "</w:p>";
        }
        out += "</w:tc>";
    }
    out += "</w:tr>";
    m_impl->Put(out);
}

void TDocxDocument::EndTable()
{
    m_impl->Put("</w:tbl>");
    m_impl->lastWasTable = true;
}

void TDocxDocument::Picture(std::string png, int widthTwips, int heightTwips)
{
    TImpl& impl = *m_impl;
    impl.media.push_back(std::move(png));
    const std::string n = std::to_string(impl.media.size());
    // DrawingML measures in EMU: 635 to the twip.
    const std::string cx = std::to_string(static_cast<long long>(widthTwips) * 635);
    const std::string cy = std::to_string(static_cast<long long>(heightTwips) * 635);
    const std::string extent = "cx=\"" + cx + "\" cy=\"" + cy + "\"";
    impl.Put("<w:p><w:pPr><w:jc w:val=\"center\"/></w:pPr><w:r><w:drawing>"
             "<wp:inline distT=\"0\" distB=\"0\" distL=\"0\" distR=\"0\"><wp:extent " + extent +
             "/><wp:docPr id=\"" + n + "\" name=\"Picture " + n + "\"/>"
             "<wp:cNvGraphicFramePr><a:graphicFrameLocks xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\""
             " noChangeAspect=\"1\"/></wp:cNvGraphicFramePr>"
             "<a:graphic xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\">"
             "<a:graphicData uri=\"http://schemas.openxmlformats.org/drawingml/2006/picture\">"
             "<pic:pic xmlns:pic=\"http://schemas.openxmlformats.org/drawingml/2006/picture\">"
             "<pic:nvPicPr><pic:cNvPr id=\"" + n + "\" name=\"image" + n + ".png\"/><pic:cNvPicPr/></pic:nvPicPr>"
             "<pic:blipFill><a:blip r:embed=\"rIdImage" + n + "\"/><a:stretch><a:fillRect/></a:stretch></pic:blipFill>"
             "<pic:spPr><a:xfrm><a:off x=\"0\" y=\"0\"/><a:ext " + extent + "/></a:xfrm>"
             "<a:prstGeom prst=\"rect\"><a:avLst/></a:prstGeom></pic:spPr></pic:pic></a:graphicData></a:graphic>"
             "</wp:inline></w:drawing></w:r></w:p>");
    impl.sectionEmpty = false;
    impl.lastWasTable = false;
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
    addDefault("png", "image/png");
    addOverride("/word/document.xml",
                "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml");
    addOverride("/word/styles.xml", "application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml");
    addOverride("/word/footer1.xml", "application/vnd.openxmlformats-officedocument.wordprocessingml.footer+xml");
    return XmlText(doc);
}

struct TRelationship {
    const char* id;
    const char* type;
    const char* target;
};

std::string Relationships(const std::vector<TRelationship>& list)
{
    pugi::xml_document doc;
    AddDeclaration(doc);
    pugi::xml_node rels = doc.append_child("Relationships");
    rels.append_attribute("xmlns") = kRelNs;
    for (const TRelationship& r : list) {
        pugi::xml_node rel = rels.append_child("Relationship");
        rel.append_attribute("Id") = r.id;
        rel.append_attribute("Type") = r.type;
        rel.append_attribute("Target") = r.target;
    }
    return XmlText(doc);
}

// The page footer: the page number, centred.
std::string Footer()
{
    return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><w:ftr xmlns:w=\"") + kWordNs +
           "\"><w:p><w:pPr><w:jc w:val=\"center\"/></w:pPr><w:fldSimple w:instr=\" PAGE \"><w:r><w:t>1</w:t></w:r>"
           "</w:fldSimple></w:p></w:ftr>";
}

// Collects the package's parts and zips them in memory; a part may come from a file, which is
// read and compressed piece by piece when the archive is closed.
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
        AddSource(name, zip_source_buffer(m_zip, data.data(), data.size(), 0));
    }

    // The body is large and repetitive: the fastest deflate level shrinks it nearly as well.
    void AddFile(const char* name, const std::string& path)
    {
        const zip_int64_t index = AddSource(name, zip_source_file(m_zip, path.c_str(), 0, -1));
        zip_set_file_compression(m_zip, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, 1);
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
    zip_int64_t AddSource(const char* name, zip_source_t* part)
    {
        if (part == nullptr)
            throw std::runtime_error(zip_strerror(m_zip));
        const zip_int64_t index = zip_file_add(m_zip, name, part, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(part);
            throw std::runtime_error(zip_strerror(m_zip));
        }
        return index;
    }

    zip_error_t m_error;
    zip_source_t* m_source = nullptr;
    zip_t* m_zip = nullptr;
    std::list<std::string> m_parts; // a list: adding a part never moves the others
};

} // namespace

std::string TDocxDocument::SaveToBytes()
{
    TImpl& impl = *m_impl;
    if (impl.body == nullptr)
        throw std::runtime_error("the document was saved already");
    if (impl.lastWasTable)
        impl.SpacerParagraph(); // the body must end with a paragraph
    impl.Put(SectionProperties(impl.section, impl.sectionOnNewPage));
    impl.Put("</w:body></w:document>");
    impl.Flush();
    const bool closed = std::fclose(impl.body) == 0;
    impl.body = nullptr;
    if (!closed)
        throw std::runtime_error("cannot write the document's temporary file " + impl.bodyPath);

    constexpr const char* kRelBase = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
    const std::string officeDocument = std::string(kRelBase) + "officeDocument";
    const std::string styles = std::string(kRelBase) + "styles";
    const std::string footer = std::string(kRelBase) + "footer";
    TZipWriter zip;
    zip.Add("[Content_Types].xml", ContentTypes());
    zip.Add("_rels/.rels", Relationships({{"rId1", officeDocument.c_str(), "word/document.xml"}}));
    std::vector<TRelationship> documentRels = {{"rId1", styles.c_str(), "styles.xml"},
                                               {"rId2", footer.c_str(), "footer1.xml"}};
    // The pictures: relationship rIdImageN points at media/imageN.png.
    const std::string image = std::string(kRelBase) + "image";
    std::list<std::string> mediaNames;
    for (std::size_t i = 1; i <= impl.media.size(); ++i) {
        const std::string& id = mediaNames.emplace_back("rIdImage" + std::to_string(i));
        const std::string& target = mediaNames.emplace_back("media/image" + std::to_string(i) + ".png");
        documentRels.push_back({id.c_str(), image.c_str(), target.c_str()});
    }
    zip.Add("word/_rels/document.xml.rels", Relationships(documentRels));
    zip.AddFile("word/document.xml", impl.bodyPath);
    zip.Add("word/styles.xml", XmlText(impl.styles));
    zip.Add("word/footer1.xml", Footer());
    for (std::size_t i = 0; i < impl.media.size(); ++i)
        zip.Add(("word/media/image" + std::to_string(i + 1) + ".png").c_str(), std::move(impl.media[i]));
    return zip.Close();
}

bool TDocxDocument::SaveAs(const std::string& path, std::string& errorText)
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
