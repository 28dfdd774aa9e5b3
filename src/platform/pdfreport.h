#pragma once

#include <string>
#include <vector>

#include <QSize>

#include "platform/picturefile.h"
#include "reports/reporter.h"

// One run of pages of a PDF report: an HTML page and whether its pages lie landscape; a picture
// block has a drawing of PictureSize pixels under its HTML (its heading), scaled to the page; a
// table block has a table too wide for the text flow (the matrix of choices), drawn under its
// heading as a ruled grid on landscape pages.
struct TPdfBlock {
    std::string Html;
    bool Landscape = false;
    TDrawing Picture = {};
    QSize PictureSize = {};
    std::string Table = {}; // the table's content in the report document
    bool RepeatHead = false; // a table that may run over pages leads: head rows come again on each page
};

// Writes reports and blanks as PDF: the HTML builder's pages laid out by Qt on A4 or Letter
// pages (by the locale's measurement system) with page numbers; a table too wide for a portrait
// page gets landscape pages of its own, its section heading with it, drawn as a ruled grid: column
// heads again on every page, blocks of columns that each repeat the names when it is wider than
// the page, names cut with an ellipsis rather than broken. The report's pictures are
// painted as vectors, as wide as the text, each under its heading: the first on a new page, the
// next one below it when it fits there at full width. The blanks are drawn as ruled forms
// instead, so their grids fill the page evenly.
class TPdfBuilder final : public TReporter {
public:
    using TReporter::TReporter;

    void Format() override;
    void Write() override;
    void Sociocard() override;
    void Sociomatrix() override;

private:
    // Ends the run of sections so far and adds a block of the picture under its heading.
    void AddPicture(std::string_view name, std::string& heading, std::string& run);

    std::vector<TPdfBlock> m_blocks;
};

// The blank sociocard (portrait) and sociomatrix (landscape) drawn as forms with rows tall enough
// to write in, as the PDF file's bytes; a group of up to 35 members fits one page.
std::string SociocardPdf(const TBlankData& data);
std::string SociomatrixPdf(const TBlankData& data);

// Lays the blocks out on pages and returns the PDF file's bytes; title goes into its properties.
std::string RenderPdf(const std::vector<TPdfBlock>& blocks, const std::string& title);
