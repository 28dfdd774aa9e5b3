// The investigation report's pictures, drawn by the views, read back from each output.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <QCoreApplication>
#include <QImage>

#include "platform/pdfreport.h"
#include "reports/htmlbuilder.h"
#include "reports/textbuilder.h"
#include "reports/wordbuilder.h"
#include "reports/reportfixture.h"
#include "reports/reportorder.h"
#include "store/fileacc.h"
#include "support/core/tempdir.h"
#include "util/error.h"
#include "util/safefile.h"
#include "views/viewpictures.h"

namespace {

class ReportPictures : public ::testing::Test {
protected:
    void SetUp() override
    {
        InstallBuiltCatalogue();
        ASSERT_TRUE(m_store.Load());
    }
    // The offscreen windows announce themselves like any view; those notices end with the test.
    void TearDown() override { QCoreApplication::sendPostedEvents(); }

    // Writes the investigation report with the views' pictures; regs as given.
    template <typename TBuilder>
    TBuilder& Write(TBuilder& builder, const TReportRegs& regs = {})
    {
        builder.SetStore(m_store);
        builder.SetReportRegs(regs);
        builder.SetPictures(&*m_pictures);
        builder.Generate();
        return builder;
    }

    std::string File(const std::string& name) { return m_temp.File(name); }

    TFileAccess m_store{std::string(TREMLOW_TEST_DATA_DIR) + "/reports/sample/project.soi"};
    std::optional<TViewPictures> m_pictures{std::in_place, m_store};
    TTempDir m_temp;
};

// Report settings with a stored part order.
TReportRegs StoredOrder(const char* order)
{
    TReportRegs regs;
    regs.PartsOrder = order;
    return regs;
}

std::string Output(const std::string& command)
{
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
            out.append(buffer, n);
        ::pclose(pipe);
    }
    return out;
}

TEST_F(ReportPictures, HtmlInlinesEachPictureAsSvgAndOldSettingsLeaveThemOut)
{
    const int32_t placesBefore = m_store.Placements().Count();
    THTMLBuilder html({TReportKind::Investigation, 1}, false, File("r.html"));
    Write(html);
    // The windows drawn for the pictures put nothing back into the project, also when they go.
    m_pictures.reset();
    EXPECT_EQ(m_store.Placements().Count(), placesBefore);
    m_pictures.emplace(m_store);
    const std::string page = ReadFileBytes(File("r.html"));
    std::vector<std::string> sizes;
    for (std::size_t at = page.find("<svg"); at != std::string::npos; at = page.find("<svg", at + 1)) {
        const std::size_t end = page.find("</svg>", at);
        ASSERT_NE(end, std::string::npos);
        // The printed target lists every member, not only the ring a mouse would point at.
        if (sizes.size() == 1) {
            for (int32_t i = 0; i < m_store.Clients().Count(); ++i) {
                const std::string name = m_store.Clients().At(i).FullName;
                if (m_store.Clients().At(i).GroupId == 1) {
                    EXPECT_NE(page.substr(at, end - at).find(name), std::string::npos) << name;
                }
            }
        }
        pugi::xml_document svg;
        ASSERT_TRUE(svg.load_string(page.substr(at, end + 6 - at).c_str()));
        EXPECT_STRNE(svg.child("svg").attribute("viewBox").value(), "");
        EXPECT_TRUE(svg.find_node([](pugi::xml_node n) { return std::string(n.name()) == "text"; }))
            << "every picture names members or indices";
        sizes.push_back(svg.child("svg").attribute("viewBox").value());
    }
    EXPECT_EQ(sizes.size(), 4u);

    // Settings stored before the pictures: an order without their letters, or an empty one.
    for (const char* order : {"", "ABCDEFGHIJKLMNOPQRS"}) {
        THTMLBuilder old({TReportKind::Investigation, 1}, false, File("old.html"));
        Write(old, StoredOrder(order));
        const std::string oldPage = ReadFileBytes(File("old.html"));
        EXPECT_NE(oldPage.find("</html>"), std::string::npos);
        EXPECT_EQ(oldPage.find("<svg"), std::string::npos) << order;
    }
}

TEST_F(ReportPictures, WordEmbedsDecodablePngPicturesWithinTheTextWidth)
{
    TWordBuilder word({TReportKind::Investigation, 1}, false, File("r.docx"));
    Write(word);
    TDocxReader docx(File("r.docx"));
    ASSERT_TRUE(docx.Ok());

    pugi::xml_document types;
    ASSERT_TRUE(types.load_string(docx.PartBytes("[Content_Types].xml").c_str()));
    EXPECT_STREQ(types.child("Types").find_child_by_attribute("Default", "Extension", "png").attribute("ContentType").value(),
                 "image/png");
    pugi::xml_document rels;
    ASSERT_TRUE(rels.load_string(docx.PartBytes("word/_rels/document.xml.rels").c_str()));

    int pictures = 0;
    for (pugi::xpath_node blip : docx.Document().select_nodes("//a:blip")) {
        ++pictures;
        const pugi::xml_node rel =
            rels.child("Relationships").find_child_by_attribute("Relationship", "Id", blip.node().attribute("r:embed").value());
        ASSERT_TRUE(rel) << blip.node().attribute("r:embed").value();
        EXPECT_TRUE(std::string(rel.attribute("Type").value()).ends_with("/relationships/image"));
        const std::string png = docx.PartBytes("word/" + std::string(rel.attribute("Target").value()));
        const QImage image = QImage::fromData(reinterpret_cast<const uchar*>(png.data()), static_cast<int>(png.size()), "PNG");
        ASSERT_FALSE(image.isNull()) << rel.attribute("Target").value();

        // Drawn no wider than the text of a landscape page (635 EMU to the twip), in the picture's proportions.
        pugi::xml_node inline_ = blip.node();
        while (inline_ && std::string(inline_.name()) != "wp:inline")
            inline_ = inline_.parent();
        const pugi::xml_node extent = inline_.child("wp:extent");
        const double cx = extent.attribute("cx").as_double();
        const double cy = extent.attribute("cy").as_double();
        EXPECT_GT(cx, 0);
        EXPECT_LE(cx, DocxTextWidth(true) * 635.0);
        EXPECT_NEAR(cx / cy, static_cast<double>(image.width()) / image.height(), 0.02);
    }
    EXPECT_EQ(pictures, 4);
}

// The members' chart of 300 members, far wider than a page: Word gets it in page-wide bands, HTML
// at its own size in a box that scrolls, a text report's file in rows; the sample's pictures fit
// the page.
TEST_F(ReportPictures, FarWiderChartRunsInBandsOrRowsAndScrollsInHtml)
{
    m_store.ClientGroups().Add(99, "Year");
    for (int32_t id = 1001; id <= 1300; ++id) {
        m_store.Clients().Add(id, 99, "Member " + std::to_string(id), true, 40000);
        m_store.ForChoices().Add(99, id, id % 300 + 1001);
    }
    m_store.Investigations().Add({.Id = 99, .ClientGroupId = 99, .CriterionId = -1, .CriteriaGroupId = -1, .Name = "Wide"});
    TReportRegs regs;
    for (const TReportPartInfo& part : kReportParts)
        regs.OffParts += part.Letter == 'W' ? "" : std::string(1, part.Letter);
    THTMLBuilder html({TReportKind::Investigation, 99}, false, File("wide.html"));
    Write(html, regs);
    const std::string page = ReadFileBytes(File("wide.html"));
    EXPECT_NE(page.find("<div style=\"overflow-x:auto\"><svg"), std::string::npos);
    TWordBuilder word({TReportKind::Investigation, 99}, false, File("wide.docx"));
    Write(word, regs);
    TDocxReader docx(File("wide.docx"));
    ASSERT_TRUE(docx.Ok());
    EXPECT_GE(docx.Document().select_nodes("//a:blip").size(), 5u);
    // The text report's picture file: rows of a screen's width, one under another.
    TTextBuilder text({TReportKind::Investigation, 99}, false, File("wide.txt"));
    Write(text, regs);
    const QImage rows(QString::fromStdString(File("wide-member-indices.png")));
    EXPECT_LE(rows.width(), 1600);
    EXPECT_GT(rows.height(), 3 * rows.width());

    THTMLBuilder sample({TReportKind::Investigation, 1}, false, File("sample.html"));
    Write(sample);
    EXPECT_EQ(ReadFileBytes(File("sample.html")).find("overflow-x"), std::string::npos);
}

TEST_F(ReportPictures, TextReportWritesPngFilesBesideItAndNothingWhenItFails)
{
    TTextBuilder text({TReportKind::Investigation, 1}, false, File("r.txt"));
    Write(text);
    const std::string report = ReadFileBytes(File("r.txt"));
    for (const char* name : {"sociogram", "target", "group-indices", "member-indices"}) {
        const std::string png = File(std::string("r-") + name + ".png");
        EXPECT_NE(report.find(std::filesystem::path(png).filename().string()), std::string::npos) << name;
        EXPECT_FALSE(QImage(QString::fromStdString(png)).isNull()) << name;
    }

    // The report cannot be written (its name is a folder): the pictures written before it go too.
    std::filesystem::create_directory(File("folder.txt"));
    TTextBuilder failing({TReportKind::Investigation, 1}, false, File("folder.txt"));
    EXPECT_THROW(Write(failing), TAppError);
    EXPECT_FALSE(std::filesystem::exists(File("folder-sociogram.png")));
    EXPECT_FALSE(std::filesystem::exists(File("folder-member-indices.png")));
}

TEST_F(ReportPictures, PdfPaintsThePicturesAsVectors)
{
    if (std::system("command -v pdfinfo >/dev/null 2>&1 && command -v pdfimages >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "poppler-utils (pdfinfo, pdfimages) are not installed; the PDF is not read back";
    TPdfBuilder pdf({TReportKind::Investigation, 1}, false, File("r.pdf"));
    Write(pdf);
    TPdfBuilder plain({TReportKind::Investigation, 1}, false, File("plain.pdf"));
    Write(plain, StoredOrder(""));
    const auto pages = [](const std::string& info) {
        int n = 0;
        const std::size_t at = info.find("Pages:");
        return at == std::string::npos || std::sscanf(info.c_str() + at, "Pages: %d", &n) != 1 ? -1 : n;
    };
    // The pictures take pages of their own, at most one each; none of them is a raster image.
    const int plainPages = pages(Output("pdfinfo '" + File("plain.pdf") + "'"));
    const int picturePages = pages(Output("pdfinfo '" + File("r.pdf") + "'"));
    EXPECT_GT(plainPages, 0);
    EXPECT_GT(picturePages, plainPages);
    EXPECT_LE(picturePages, plainPages + 4);
    const std::string images = Output("pdfimages -list '" + File("r.pdf") + "'");
    EXPECT_NE(images.find("page"), std::string::npos) << "pdfimages printed no listing";
    EXPECT_EQ(images.find("image"), std::string::npos) << images;
}

} // namespace
