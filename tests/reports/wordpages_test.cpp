// The Word report and blanks laid out by a real word processor (LibreOffice): page counts of a
// 25-member report with long names and of both blanks for 35 members.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "reports/reportfixture.h"
#include "reports/wordbuilder.h"
#include "support/core/recorders.h"
#include "support/core/tempdir.h"

namespace {

bool HaveTool(const char* name)
{
    return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}

int PdfPages(const std::string& pdf)
{
    FILE* pipe = ::popen(("pdfinfo '" + pdf + "' 2>/dev/null").c_str(), "r");
    if (pipe == nullptr)
        return -1;
    char line[512];
    int pages = -1;
    while (std::fgets(line, sizeof line, pipe) != nullptr)
        std::sscanf(line, "Pages: %d", &pages);
    ::pclose(pipe);
    return pages;
}

// Names of about 30 letters, one with a character XML forbids.
std::vector<std::string> LongNames(int count)
{
    const char* first[] = {"Alexandra", "Maximilian", "Konstantin", "Gwendolyn", "Bartholomew", "Evangeline"};
    const char* last[] = {"Featherstonehaugh", "Montgomery-Smythe", "Wolfeschlegel", "Abernathy-Jones"};
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i)
        names.push_back(std::string(first[i % 6]) + " " + last[i % 4] + " " + std::to_string(i + 1));
    names[3] += "\xEF\xBF\xBE";
    return names;
}

TEST(WordPages, ReportAndBlanksFitTheirPagesInLibreOffice)
{
    if (!HaveTool("soffice") || !HaveTool("pdfinfo"))
        GTEST_SKIP() << "LibreOffice (soffice) or pdfinfo is not installed; the page counts are not checked";
    InstallBuiltCatalogue();
    TTempDir temp;

    TReportProject report(LongNames(25));
    for (int from = 1; from <= 25; ++from) {
        for (int k = 1; k <= 3; ++k) {
            report.store.ForChoices().Add(1, from, (from + k - 1) % 25 + 1);
            report.store.AgainstChoices().Add(1, from, (from + k + 9) % 25 + 1);
        }
    }
    TWordBuilder reportBuilder({TReportKind::Investigation, 1}, false, temp.File("report.docx"));
    reportBuilder.SetStore(report.store);
    reportBuilder.SetReportRegs(TReportRegs{});
    reportBuilder.Generate();

    TReportProject blanks(LongNames(35));
    TWordBuilder matrix({TReportKind::Investigation, 1}, false, temp.File("matrix.docx"));
    matrix.SetStore(blanks.store);
    matrix.Sociomatrix();
    TWordBuilder card({TReportKind::Investigation, 1}, false, temp.File("card.docx"));
    card.SetStore(blanks.store);
    card.Sociocard();

    // One conversion of the three files, with a profile of its own.
    const std::string command = "cd '" + temp.Path().string() + "' && soffice -env:UserInstallation=file://" + temp.Path().string() +
                                "/profile --headless --convert-to pdf report.docx matrix.docx card.docx >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const int reportPages = PdfPages(temp.File("report.pdf"));
    EXPECT_GE(reportPages, 2);
    EXPECT_LE(reportPages, 6);
    EXPECT_EQ(PdfPages(temp.File("matrix.pdf")), 1);
    EXPECT_EQ(PdfPages(temp.File("card.pdf")), 1);
    if (const char* keep = std::getenv("TREMLOW_KEEP_PAGES")) {
        for (const char* name : {"report", "matrix", "card"}) {
            std::filesystem::copy_file(temp.File(std::string(name) + ".docx"), std::string(keep) + "/" + name + ".docx",
                                       std::filesystem::copy_options::overwrite_existing);
        }
    }
}

} // namespace
