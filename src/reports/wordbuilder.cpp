#include "reports/wordbuilder.h"

#include <exception>

#include "i18n/langconv.h"
#include "util/error.h"

namespace {

constexpr const char* kHeading1 = "Tremlow Heading 1";
constexpr const char* kHeading2 = "Tremlow Heading 2";
constexpr const char* kStandard = "Tremlow Standard";

// Document content as typed text: line break marks as carriage returns (new paragraphs).
std::string ContentTyped(std::string_view content)
{
    std::string out;
    bool first = true;
    for (std::string_view piece : SplitLineBreaks(content)) {
        if (!first)
            out += '\r';
        out += PlainText(piece);
        first = false;
    }
    return out;
}

} // namespace

bool TWordBuilder::Prepare()
{
    try {
        auto document = std::make_unique<TDocxDocument>();
        document->AddStyle(kHeading1, 16, true, 0);
        document->AddStyle(kHeading2, 14, true, 1);
        document->AddStyle(kStandard, 12, false);
        m_document = std::move(document);
        return true;
    } catch (const std::exception&) {
        m_document.reset();
        LangConv().ShowByKey("WORD_NOT_INSTALLED");
        return false;
    }
}

void TWordBuilder::Format()
{
    if (!Prepare())
        return;
    TDocxDocument& doc = *m_document;
    const std::vector<TLexeme> sections = ReadSections(Document());
    for (std::size_t i = 0; i < sections.size(); ++i) {
        StepProgress(i, sections.size());
        const TLexeme& section = sections[i];
        if (section.Tag == kTagHeader1 || section.Tag == kTagHeader2 || section.Tag == kTagText) {
            doc.SetStyle(section.Tag == kTagHeader1 ? kHeading1 : section.Tag == kTagHeader2 ? kHeading2 : kStandard);
            doc.TypeText(ContentTyped(section.Content));
        } else if (section.Tag == kTagTable) {
            TTableRows rows;
            if (ParseTable(section.Content, rows)) {
                std::string unused;
                FormatTable(rows, unused);
            }
        }
    }
}

void TWordBuilder::FormatTable(const TTableRows& rows, std::string& /*out*/)
{
    if (m_document)
        PutTable(rows);
}

void TWordBuilder::PutTable(const TTableRows& rows, bool darkDiagonal)
{
    TDocxDocument& doc = *m_document;
    doc.SetStyle(kStandard);
    if (rows.empty())
        return;
    std::size_t columns = 0;
    for (const auto& row : rows)
        columns = std::max(columns, row.size());
    if (columns == 0)
        return;

    // Column blocks: the first column, then up to kMaxColumns - 1 of the others per table.
    const std::size_t perBlock = kMaxColumns - 1;
    std::size_t start = 1;
    do {
        const std::size_t end = std::min(columns, start + perBlock);
        const std::size_t width = 1 + (end > start ? end - start : 0);
        if (start > 1)
            doc.TypeParagraph(); // keeps the blocks apart as separate tables
        const int index = doc.AddTable(static_cast<int>(rows.size()), static_cast<int>(width));
        for (std::size_t r = 0; r < rows.size(); ++r) {
            const auto& row = rows[r];
            for (std::size_t c = 0; c < width; ++c) {
                const std::size_t source = c == 0 ? 0 : start + c - 1;
                const int rr = static_cast<int>(r) + 1;
                const int cc = static_cast<int>(c) + 1;
                if (source < row.size() && !row[source].empty())
                    doc.SetCellText(index, rr, cc, row[source]);
                doc.CenterCell(index, rr, cc);
                if (darkDiagonal && source == r)
                    doc.ShadeCell(index, rr, cc, "000000");
            }
        }
        start = end;
    } while (start < columns);
}

void TWordBuilder::Write()
{
    if (!m_document)
        return;
    std::string error;
    if (!m_document->SaveAs(FileName(), error))
        throw TAppError(T("REPORT_WRITE_ERROR") + "\n" + FileName() + ": " + error);
}

void TWordBuilder::Sociocard()
{
    const TBlankData data = ReadBlankData(Store(), Target().ObjectId);
    if (!Prepare())
        return;
    TDocxDocument& doc = *m_document;
    doc.SetStyle(kHeading1);
    doc.TypeText(T("REPORT_SOCIOCARD_TITLE"));
    doc.TypeParagraph();
    doc.SetStyle(kStandard);
    doc.TypeText(T("REPORT_SOCIOCARD_NAME") + ": ______________________________ " + T("REPORT_SOCIOCARD_DATE") +
                 ": _______________");
    doc.TypeParagraph();
    doc.TypeText(T("INVESTIGATION_NAME") + ": " + data.InvestigationName);
    doc.TypeParagraph();
    doc.TypeText(T("CLIENTGROUP_NAME") + ": " + data.ClientGroupName);
    doc.TypeParagraph();
    doc.TypeParagraph();
    doc.TypeText(T("REPORT_SOCIOCARD_INSTRUCTION"));
    doc.TypeParagraph();
    doc.TypeParagraph();

    TTableRows rows;
    rows.push_back({T("NUMBER"), T("CLIENT_NAME"),
                    data.CriterionName + "\r" + T("YES_BUTTON") + "\t\t" + T("NO_BUTTON")});
    for (std::size_t k = 0; k < data.Names.size(); ++k)
        rows.push_back({std::to_string(k + 1), data.Names[k], std::string()});
    PutTable(rows);
    Finish();
}

void TWordBuilder::Sociomatrix()
{
    const TBlankData data = ReadBlankData(Store(), Target().ObjectId);
    if (!Prepare())
        return;
    TDocxDocument& doc = *m_document;
    doc.SetStyle(kHeading1);
    doc.TypeText(T("REPORT_SOCIOMATRIX_TITLE"));
    doc.TypeParagraph();
    doc.SetStyle(kStandard);
    doc.TypeText(T("REPORT_SOCIOMATRIX_DATE") + ": _______________");
    doc.TypeParagraph();
    doc.TypeText(T("INVESTIGATION_NAME") + ": " + data.InvestigationName);
    doc.TypeParagraph();
    doc.TypeText(T("CLIENTGROUP_NAME") + ": " + data.ClientGroupName);
    doc.TypeParagraph();
    doc.TypeText(T("CRITERY_NAME") + ": " + data.CriterionName);
    doc.TypeParagraph();
    doc.TypeParagraph();
    doc.TypeText(T("REPORT_SOCIOMATRIX_INSTRUCTION"));
    doc.TypeParagraph();
    doc.TypeParagraph();

    const std::size_t n = data.Names.size();
    TTableRows rows(n + 1, std::vector<std::string>(n + 1));
    for (std::size_t k = 1; k <= n; ++k) {
        const std::string label = std::to_string(k) + ". " + data.Names[k - 1];
        rows[0][k] = label;
        rows[k][0] = label;
    }
    PutTable(rows, true);
    Finish();
}
