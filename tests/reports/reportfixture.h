#pragma once

#include <string>
#include <vector>

#include <pugixml.hpp>

#include "store/fileacc.h"

// A small project in memory for the report tests: one client group with the given member
// names, one criteria group with one criterion and one investigation (id 1) on them.
struct TReportProject {
    TFileAccess store;

    explicit TReportProject(const std::vector<std::string>& names, const std::string& groupName = "Group",
                            const std::string& criterion = "Whom would you choose?")
    {
        store.ClientGroups().Add(1, groupName);
        for (std::size_t i = 0; i < names.size(); ++i)
            store.Clients().Add(static_cast<int32_t>(i + 1), 1, names[i], true, 40000);
        store.CriteriaGroups().Add(1, "Criteria");
        store.Criteria().Add(1, 1, criterion);
        store.Investigations().Add({.Id = 1,
                                    .ClientGroupId = 1,
                                    .CriterionId = 1,
                                    .CriteriaGroupId = 1,
                                    .Name = "Survey",
                                    .Date = 45000,
                                    .AllowAgainst = true,
                                    .MaxChoices = 3});
    }
};

// A .docx package opened for reading: its parts parsed as XML.
class TDocxReader final {
public:
    explicit TDocxReader(const std::string& path);

    bool Ok() const { return m_ok; }
    // Whether the package holds a part of that name.
    bool HasPart(const std::string& name) const;
    // The bytes of a part; empty when there is none.
    std::string PartBytes(const std::string& name) const;
    pugi::xml_document& Document() { return m_document; }
    pugi::xml_document& Styles() { return m_styles; }

    // The body's paragraphs outside tables that have a style or text: (style id, text with tabs as '\t').
    std::vector<std::pair<std::string, std::string>> Paragraphs() const;
    // The body's tables: rows of cells, each cell's paragraphs joined by '\r'.
    std::vector<std::vector<std::vector<std::string>>> Tables() const;

    // The text of a paragraph, tabs as '\t'.
    static std::string ParagraphText(pugi::xml_node paragraph);

private:
    std::string m_path;
    bool m_ok = false;
    std::vector<std::string> m_names;
    pugi::xml_document m_document;
    pugi::xml_document m_styles;
};
