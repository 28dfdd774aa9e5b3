// The PDF report and blanks, read back with poppler's pdfinfo and pdftotext.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <QPainter>

#include "platform/pdfreport.h"
#include "reports/reportorder.h"
#include "store/fileacc.h"
#include "support/core/recorders.h"
#include "support/core/tempdir.h"
#include "util/safefile.h"

namespace {

std::string Output(const std::string& command)
{
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr)
        return out;
    char buffer[4096];
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
        out.append(buffer, n);
    ::pclose(pipe);
    return out;
}

bool HasPoppler()
{
    return std::system("command -v pdfinfo >/dev/null 2>&1 && command -v pdftotext >/dev/null 2>&1") == 0;
}

// The page count of pdfinfo's output.
int PageCount(const std::string& info)
{
    int pages = 0;
    std::sscanf(info.c_str() + info.find("Pages:"), "Pages: %d", &pages);
    return pages;
}

// "Page size" lines of every page, e.g. "Page    3 size: 841.89 x 595.276 pts (A4)".
int CountLandscapePages(const std::string& info)
{
    int landscape = 0;
    for (std::size_t pos = info.find(" size: "); pos != std::string::npos; pos = info.find(" size: ", pos + 1)) {
        double w = 0;
        double h = 0;
        if (std::sscanf(info.c_str() + pos, " size: %lf x %lf", &w, &h) == 2 && w > h)
            ++landscape;
    }
    return landscape;
}

TEST(PdfReport, PagesNumbersTextAndLandscapeReadBack)
{
    if (!HasPoppler())
        GTEST_SKIP() << "poppler-utils (pdfinfo, pdftotext) are not installed; the PDF is not read back";
    InstallBuiltCatalogue();
    TFileAccess store(std::string(TREMLOW_TEST_DATA_DIR) + "/reports/sample/project.soi");
    ASSERT_TRUE(store.Load());
    TTempDir temp;

    const std::string report = temp.File("report.pdf");
    TPdfBuilder builder({TReportKind::Investigation, 1}, false, report);
    builder.SetStore(store);
    builder.SetReportRegs(TReportRegs{});
    builder.Generate();
    const std::string info = Output("pdfinfo -f 1 -l 99 '" + report + "'");
    const int pages = PageCount(info);
    EXPECT_GE(pages, 3);
    EXPECT_LE(pages, 8);
    // The 16-member sociomatrix with its totals still fits a portrait page.
    EXPECT_EQ(CountLandscapePages(info), 0) << info;
    const std::string text = Output("pdftotext -layout '" + report + "' -");
    for (const char* expected : {"Investigation report", "Desk neighbours, September", "16. Zoë Martín", "Given +",
                                 "Cohesion (Sa), from positive choices"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected;
    // No page ends in a heading or a table's head row: a table that would start in the last lines
    // of a page starts the next one with its heading.
    for (int page = 1; page <= pages; ++page) {
        const std::string onPage = Output("pdftotext -layout -f " + std::to_string(page) + " -l " +
                                          std::to_string(page) + " '" + report + "' -");
        std::vector<std::string> lines;
        for (std::size_t at = 0, end = 0; at < onPage.size(); at = end + 1) {
            end = std::min(onPage.find('\n', at), onPage.size());
            const std::string line = onPage.substr(at, end - at);
            if (line.find_first_not_of(" \f") != std::string::npos)
                lines.push_back(line.substr(line.find_first_not_of(" \f")));
        }
        ASSERT_GE(lines.size(), 2u);
        const std::string& beforeNumber = lines[lines.size() - 2];
        for (const char* start : {"Members by", "Group indices", "Individual indices", "Client "})
            EXPECT_NE(beforeNumber.rfind(start, 0), 0u) << "page " << page << " ends with: " << beforeNumber;
    }
    // Every page ends with its number.
    for (int page : {1, pages}) {
        std::string last = Output("pdftotext -f " + std::to_string(page) + " -l " + std::to_string(page) + " '" +
                               report + "' -");
        while (!last.empty() && (last.back() == '\n' || last.back() == '\f' || last.back() == ' '))
            last.pop_back();
        EXPECT_EQ(last.substr(last.find_last_of('\n') + 1), std::to_string(page));
    }

    // Blanks of 35 members fit one page each: the sociomatrix landscape, the sociocard portrait.
    TFileAccess large;
    large.ClientGroups().Add(1, "Class");
    for (int32_t id = 1; id <= 35; ++id)
        large.Clients().Add(id, 1, "Member number " + std::to_string(id), true, 40000);
    large.CriteriaGroups().Add(1, "Questions");
    large.Criteria().Add(1, 1, "Whom would you choose?");
    large.Investigations().Add({.Id = 1, .ClientGroupId = 1, .CriterionId = 1, .CriteriaGroupId = 1, .Name = "Survey"});
    for (const bool matrix : {true, false}) {
        const std::string blank = temp.File(matrix ? "matrix.pdf" : "card.pdf");
        TPdfBuilder blankBuilder({TReportKind::Investigation, 1}, false, blank);
        blankBuilder.SetStore(large);
        matrix ? blankBuilder.Sociomatrix() : blankBuilder.Sociocard();
        if (const char* keep = std::getenv("TREMLOW_KEEP_PAGES"))
            Output("cp " + blank + " " + report + " " + keep);
        const std::string blankInfo = Output("pdfinfo -f 1 -l 9 '" + blank + "'");
        const int blankPages = PageCount(blankInfo);
        EXPECT_EQ(blankPages, 1) << blank;
        EXPECT_EQ(CountLandscapePages(blankInfo), matrix ? 1 : 0) << blankInfo;
        EXPECT_NE(Output("pdftotext '" + blank + "' -").find(matrix ? "35. Member number 35" : "Member number 35"),
                  std::string::npos);
        if (!matrix) {
            // The card's rows are at least 5 mm (14 pt) apart, room for a cross by hand.
            const std::string boxes = Output("pdftotext -bbox '" + blank + "' -");
            std::vector<double> rowTops;
            for (std::size_t at = boxes.find(">Member<"); at != std::string::npos; at = boxes.find(">Member<", at + 1)) {
                const std::size_t y = boxes.rfind("yMin=\"", at);
                rowTops.push_back(std::atof(boxes.c_str() + y + 6));
            }
            ASSERT_EQ(rowTops.size(), 35u);
            EXPECT_GE(rowTops[1] - rowTops[0], 14.0);
        }
    }
}

// The comparison of the sample's two waves: a table's caption stays with its table (the member
// table on its landscape page, the status groups whole on the next portrait page), and the line
// breaks after the last table make no empty page.
TEST(PdfReport, ComparisonCaptionsStayWithTheirTables)
{
    if (!HasPoppler())
        GTEST_SKIP() << "poppler-utils (pdfinfo, pdftotext) are not installed; the PDF is not read back";
    InstallBuiltCatalogue();
    TFileAccess store(std::string(TREMLOW_SOURCE_DATA_DIR) + "/examples/school-class.soi");
    ASSERT_TRUE(store.Load());
    TTempDir temp;
    const std::string report = temp.File("comparison.pdf");
    TPdfBuilder builder({TReportKind::Comparison, 1, kNoGroupId, {4}}, false, report);
    builder.SetStore(store);
    builder.Generate();
    const std::string info = Output("pdfinfo -f 1 -l 9 '" + report + "'");
    const int pages = PageCount(info);
    const auto page = [&report](int number) {
        return Output("pdftotext -f " + std::to_string(number) + " -l " + std::to_string(number) + " '" +
                      report + "' -");
    };
    ASSERT_GE(pages, 2);
    for (const auto& [caption, row] : {std::pair{"Members of both investigations", "Zoë Martín"},
                                       std::pair{"Status groups: earlier", "Unclassified"}}) {
        int found = 0;
        for (int p = 1; p <= pages && found == 0; ++p)
            found = page(p).find(caption) != std::string::npos ? p : 0;
        ASSERT_GT(found, 0) << caption;
        EXPECT_NE(page(found).find(row), std::string::npos) << caption << " on page " << found;
    }
    EXPECT_NE(page(pages).find("Zoë Martín"), std::string::npos) << "the last page is empty";
}

// A matrix far wider than a landscape page, with long names: blocks of columns that each repeat the
// names and the column heads on every page, names whole on their line, never broken letter by letter.
// Long rankings repeat their head row on every page too.
// Investigation 1 of members with long names, each choosing the next.
void AddLongNamedRing(TFileAccess& store, int32_t members)
{
    store.ClientGroups().Add(1, "Year");
    for (int32_t id = 1; id <= members; ++id)
        store.Clients().Add(id, 1, "Member " + std::to_string(id) + " Featherstonehaugh", true, 40000);
    store.Investigations().Add({.Id = 1, .ClientGroupId = 1, .CriterionId = -1, .CriteriaGroupId = -1, .Name = "Wide"});
    for (int32_t id = 1; id <= members; ++id)
        store.ForChoices().Add(1, id, id % members + 1);
}

TEST(PdfReport, WideMatrixIsAGridOfColumnBlocksWithWholeNames)
{
    if (!HasPoppler())
        GTEST_SKIP() << "poppler-utils (pdfinfo, pdftotext) are not installed; the PDF is not read back";
    InstallBuiltCatalogue();
    TFileAccess store;
    constexpr int32_t kMembers = 120;
    AddLongNamedRing(store, kMembers);
    TTempDir temp;
    const std::string report = temp.File("wide.pdf");
    TPdfBuilder builder({TReportKind::Investigation, 1}, false, report);
    builder.SetStore(store);
    builder.SetReportRegs(TReportRegs{});
    TRecordingProgress progress;
    builder.Generate();
    // Reading the document and drawing the pages, most of the work, share one rising progress.
    int last = -1;
    std::size_t steps = 0;
    for (const std::string& call : progress.calls) {
        if (!call.starts_with("set "))
            continue;
        const int value = std::stoi(call.substr(4));
        EXPECT_GE(value, last);
        last = value;
        steps += value > 10 ? 1 : 0;
    }
    EXPECT_GE(steps, 5u);
    const std::string info = Output("pdfinfo -f 1 -l 999 '" + report + "'");
    const int landscape = CountLandscapePages(info);
    // Three blocks of about 50 columns, four pages each: not hundreds of pages of one-letter lines.
    EXPECT_GE(landscape, 6);
    EXPECT_LE(landscape, 16);
    const std::string text = Output("pdftotext -layout '" + report + "' -");
    std::size_t heads = 0;
    for (std::size_t at = text.find("Who chose"); at != std::string::npos; at = text.find("Who chose", at + 1))
        ++heads;
    EXPECT_EQ(heads, static_cast<std::size_t>(landscape));
    // Each name is drawn whole once per block of columns.
    std::size_t names = 0;
    for (std::size_t at = text.find("117. Member 117 Featherstonehaugh"); at != std::string::npos;
         at = text.find("117. Member 117 Featherstonehaugh", at + 1))
        ++names;
    EXPECT_GE(names, 2u);
    // The rankings of 120 members run over two pages each, their head row on both.
    std::size_t rankingHeads = 0;
    for (std::size_t at = text.find("Number of choices"); at != std::string::npos; at = text.find("Number of choices", at + 1))
        ++rankingHeads;
    EXPECT_GE(rankingHeads, 12u);
}

// The status groups of 700 members: a few rows of hundreds of names, pages long. The head row comes
// again on each page, the line after the table follows it, and no page is left empty.
TEST(PdfReport, LongRichTableRepeatsItsHeadAndLeavesNoEmptyPage)
{
    if (!HasPoppler())
        GTEST_SKIP() << "poppler-utils (pdfinfo, pdftotext) are not installed; the PDF is not read back";
    InstallBuiltCatalogue();
    TFileAccess store;
    constexpr int32_t kMembers = 700;
    AddLongNamedRing(store, kMembers);
    for (int32_t id = 1; id <= kMembers; ++id)
        store.AgainstChoices().Add(1, id, (id + 1) % kMembers + 1);
    TReportRegs regs;
    for (const TReportPartInfo& part : kReportParts)
        regs.OffParts += part.Letter == 'S' ? "" : std::string(1, part.Letter);
    TTempDir temp;
    const std::string report = temp.File("groups.pdf");
    TPdfBuilder builder({TReportKind::Investigation, 1}, false, report);
    builder.SetStore(store);
    builder.SetReportRegs(regs);
    builder.Generate();
    const std::string info = Output("pdfinfo '" + report + "'");
    const int pages = PageCount(info);
    ASSERT_GE(pages, 3);
    for (int p = 2; p <= pages; ++p) {
        const std::string text =
            Output("pdftotext -f " + std::to_string(p) + " -l " + std::to_string(p) + " '" + report + "' -");
        EXPECT_NE(text.find("Number of members"), std::string::npos) << "no head row on page " << p;
        if (p == pages) {
            EXPECT_NE(text.find("Cut-offs"), std::string::npos) << "the line after the table";
        }
    }
}

// A picture of 200 labels in a row, 20 000 pixels wide: one page would shrink it past reading, so it
// runs in bands over pages, every label in them; a picture not ten times wider than high
// stays whole on one page. The drawing skips what lies outside its clip, as the views do.
TEST(PdfReport, PictureFarWiderThanAPageRunsInBands)
{
    if (!HasPoppler())
        GTEST_SKIP() << "poppler-utils (pdfinfo, pdftotext) are not installed; the PDF is not read back";
    const auto labels = [](int count) {
        return [count](QPainter& painter) {
            const QRectF clip = painter.hasClipping() ? painter.clipBoundingRect() : QRectF(0, 0, 1e9, 1e9);
            for (int i = 0; i < count; ++i) {
                if (clip.intersects(QRectF(i * 100, 150, 100, 50)))
                    painter.drawText(QRectF(i * 100 + 20, 150, 60, 50), Qt::AlignCenter, QString("L%1").arg(i));
            }
        };
    };
    TTempDir temp;
    for (const int count : {200, 18}) {
        const std::vector<TPdfBlock> blocks = {
            {.Html = "<h2>Chart</h2>", .Landscape = true, .Picture = labels(count), .PictureSize = QSize(count * 100, 350)}};
        const std::string pdf = temp.File("bands.pdf");
        std::string error;
        ASSERT_TRUE(ReplaceFile(pdf, RenderPdf(blocks, "Bands"), error)) << error;
        const std::string info = Output("pdfinfo '" + pdf + "'");
        const int pages = PageCount(info);
        if (count == 18) {
            EXPECT_EQ(pages, 1);
            continue;
        }
        EXPECT_GE(pages, 5);
        // Every label shows, a label at a band's edge in both bands, none more often.
        std::vector<int> seen(count, 0);
        const std::string text = Output("pdftotext '" + pdf + "' -");
        for (std::size_t at = text.find('L'); at != std::string::npos; at = text.find('L', at + 1)) {
            const int i = std::atoi(text.c_str() + at + 1);
            if (i >= 0 && i < count)
                ++seen[static_cast<std::size_t>(i)];
        }
        for (int i = 0; i < count; ++i)
            EXPECT_TRUE(seen[static_cast<std::size_t>(i)] == 1 || seen[static_cast<std::size_t>(i)] == 2) << "L" << i;
    }
}

} // namespace
