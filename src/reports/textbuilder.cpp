#include "reports/textbuilder.h"

#include <algorithm>
#include <filesystem>

#include "util/error.h"
#include "util/safefile.h"

namespace {

constexpr std::string_view kCellEnd = "\t\t";
constexpr std::string_view kLineEnd = "\r\n";

// Document content as plain text with CR LF line ends.
std::string ContentText(std::string_view content)
{
    std::string out;
    bool first = true;
    for (std::string_view piece : SplitLineBreaks(content)) {
        if (!first)
            out += kLineEnd;
        out += PlainText(piece);
        first = false;
    }
    return out;
}

// One table row: cells followed by two tabs, the row ended by CR LF.
void AppendRow(const std::vector<std::string>& row, std::string& out)
{
    for (const std::string& cell : row) {
        out += cell;
        out += kCellEnd;
    }
    out += kLineEnd;
}

} // namespace

std::string PictureFileBeside(const std::string& reportFile, TReportPicture picture)
{
    std::filesystem::path path(reportFile);
    path.replace_filename(path.stem().string() + "-" + std::string(ReportPictureName(picture)) + ".png");
    return path.string();
}

void TTextBuilder::Format()
{
    m_output.clear();
    m_pictureFiles.clear();
    // Sections as views and tables row by row, so a large matrix is never held as cells too.
    const std::vector<TSectionView> sections = ReadSectionViews(Document());
    for (std::size_t i = 0; i < sections.size(); ++i) {
        StepProgress(i, sections.size());
        const TSectionView& section = sections[i];
        if (section.Tag == kTagHeader1 || section.Tag == kTagHeader2) {
            // A heading starts after a blank line, also after a table or a text without a final break.
            while (!m_output.empty() && !m_output.ends_with("\r\n\r\n"))
                m_output += kLineEnd;
            m_output += UpperAsciiLetters(ContentText(section.Content));
        } else if (section.Tag == kTagText) {
            m_output += ContentText(section.Content);
        } else if (section.Tag == kTagTable) {
            TTableReader reader(section.Content);
            std::vector<std::string> row;
            while (reader.Ok() && reader.Next(row))
                AppendRow(row, m_output);
        } else if (section.Tag == kTagPicture && Pictures() != nullptr) {
            const std::optional<TReportPicture> picture = ReportPictureOfName(PlainText(section.Content));
            if (!picture || Pictures()->Size(Target().ObjectId, *picture).Empty())
                continue;
            const std::string path = PictureFileBeside(FileName(), *picture);
            m_pictureFiles.emplace_back(path, *picture);
            m_output += T("REPORT_PICTURE_FILE") + ": " + std::filesystem::path(path).filename().string();
            m_output += kLineEnd;
        }
    }
}

void TTextBuilder::Write()
{
    std::vector<std::string> written;
    const auto removeWritten = [&written] {
        std::error_code ignored;
        for (const std::string& path : written)
            std::filesystem::remove(path, ignored);
    };
    for (const auto& [path, picture] : m_pictureFiles) {
        const TPictureSize size = Pictures()->Size(Target().ObjectId, picture);
        const std::string png =
            PictureOutgrowsScreen(size)
                ? Pictures()->PngInRows(Target().ObjectId, picture, kReadingScreenWidth)
                : Pictures()->Png(Target().ObjectId, picture, std::clamp(size.Width, 1600, 4000), {});
        std::string error;
        if (!ReplaceFile(path, png, error)) {
            removeWritten();
            throw TAppError(T("REPORT_WRITE_ERROR") + "\n" + path + ": " + error);
        }
        written.push_back(path);
    }
    try {
        TReporter::Write();
    } catch (...) {
        removeWritten();
        throw;
    }
}

void TTextBuilder::FormatTable(const TTableRows& rows, std::string& out)
{
    for (const auto& row : rows)
        AppendRow(row, out);
}

void TTextBuilder::Sociocard()
{
    const TBlankData data = ReadBlankData(Store(), Target().ObjectId);
    std::string& out = m_output;
    out = UpperAsciiLetters(T("REPORT_SOCIOCARD_TITLE"));
    out += "\r\n\r\n";
    for (const std::string& line : SociocardHeadingLines(data, " "))
        out += line + "\r\n";
    out += "\r\n";
    out += T("CRITERY_NAME") + ": " + data.CriterionName + "\r\n";
    out += SociocardInstruction(data) + "\r\n";
    for (const std::string& line : SociocardLimits(data))
        out += line + "\r\n";
    out += "\r\n";
    FormatTable(SociocardRows(data), out);
    Finish();
}

void TTextBuilder::Sociomatrix()
{
    const TBlankData data = ReadBlankData(Store(), Target().ObjectId);
    std::string& out = m_output;
    out = UpperAsciiLetters(T("REPORT_SOCIOMATRIX_TITLE"));
    out += "\r\n\r\n";
    out += T("REPORT_SOCIOMATRIX_DATE") + ": _______________\r\n";
    out += T("INVESTIGATION_NAME") + ": " + data.InvestigationName + "\r\n";
    out += T("CLIENTGROUP_NAME") + ": " + data.ClientGroupName + "\r\n";
    out += T("CRITERY_NAME") + ": " + data.CriterionName + "\r\n\r\n";
    out += T("REPORT_SOCIOMATRIX_INSTRUCTION") + "\r\n\r\n";
    FormatTable(BlankSociomatrixRows(data), out);
    Finish();
}
