#include "reports/reportfixture.h"

#include <zip.h>

namespace {

bool ReadPart(zip_t* zip, const char* name, std::string& bytes)
{
    zip_stat_t stat;
    if (zip_stat(zip, name, 0, &stat) != 0)
        return false;
    zip_file_t* file = zip_fopen(zip, name, 0);
    if (file == nullptr)
        return false;
    bytes.resize(stat.size);
    const zip_int64_t read = zip_fread(file, bytes.data(), stat.size);
    zip_fclose(file);
    return read == static_cast<zip_int64_t>(stat.size);
}

} // namespace

TDocxReader::TDocxReader(const std::string& path) : m_path(path)
{
    int error = 0;
    zip_t* zip = zip_open(path.c_str(), ZIP_RDONLY, &error);
    if (zip == nullptr)
        return;
    for (zip_int64_t i = 0; i < zip_get_num_entries(zip, 0); ++i)
        m_names.emplace_back(zip_get_name(zip, static_cast<zip_uint64_t>(i), 0));
    std::string document;
    std::string styles;
    m_ok = ReadPart(zip, "word/document.xml", document) && ReadPart(zip, "word/styles.xml", styles) &&
           m_document.load_buffer(document.data(), document.size()) &&
           m_styles.load_buffer(styles.data(), styles.size());
    zip_close(zip);
}

bool TDocxReader::HasPart(const std::string& name) const
{
    for (const std::string& n : m_names) {
        if (n == name)
            return true;
    }
    return false;
}

std::string TDocxReader::PartBytes(const std::string& name) const
{
    std::string bytes;
    int error = 0;
    if (zip_t* zip = zip_open(m_path.c_str(), ZIP_RDONLY, &error)) {
        if (!ReadPart(zip, name.c_str(), bytes))
            bytes.clear();
        zip_close(zip);
    }
    return bytes;
}

std::string TDocxReader::ParagraphText(pugi::xml_node paragraph)
{
    std::string text;
    for (pugi::xml_node run : paragraph.children("w:r")) {
        for (pugi::xml_node piece : run.children()) {
            if (std::string(piece.name()) == "w:t")
                text += piece.text().get();
            else if (std::string(piece.name()) == "w:tab")
                text += '\t';
        }
    }
    return text;
}

std::vector<std::pair<std::string, std::string>> TDocxReader::Paragraphs() const
{
    std::vector<std::pair<std::string, std::string>> paragraphs;
    pugi::xml_node body = m_document.child("w:document").child("w:body");
    for (pugi::xml_node p : body.children("w:p")) {
        const std::string style = p.child("w:pPr").child("w:pStyle").attribute("w:val").value();
        const std::string text = ParagraphText(p);
        if (!style.empty() || !text.empty()) // spacers and section ends carry neither
            paragraphs.emplace_back(style, text);
    }
    return paragraphs;
}

std::vector<std::vector<std::vector<std::string>>> TDocxReader::Tables() const
{
    std::vector<std::vector<std::vector<std::string>>> tables;
    pugi::xml_node body = m_document.child("w:document").child("w:body");
    for (pugi::xml_node tbl : body.children("w:tbl")) {
        auto& table = tables.emplace_back();
        for (pugi::xml_node tr : tbl.children("w:tr")) {
            auto& row = table.emplace_back();
            for (pugi::xml_node tc : tr.children("w:tc")) {
                std::string cell;
                bool first = true;
                for (pugi::xml_node p : tc.children("w:p")) {
                    if (!first)
                        cell += '\r';
                    cell += ParagraphText(p);
                    first = false;
                }
                row.push_back(cell);
            }
        }
    }
    return tables;
}
