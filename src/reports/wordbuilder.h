#pragma once

#include <functional>
#include <memory>

#include "reports/docxdoc.h"
#include "reports/reporter.h"

// How a table is set in the document (column widths, orientation, column blocks).
struct TTableLayout;

// Writes reports and blanks as a Word document (.docx) with the styles "Tremlow Heading 1",
// "Tremlow Heading 2" and "Tremlow Standard". Tables are compact, with column widths fitted to
// their content; a table too wide for a portrait page gets landscape pages of its own, and one
// too wide even for those is split into blocks that each repeat the first column.
class TWordBuilder final : public TReporter {
public:
    using TReporter::TReporter;

    void Format() override;
    void Write() override;
    void Sociocard() override;
    void Sociomatrix() override;

    // Word tables hold at most this many columns.
    static constexpr int kMaxColumns = 63;

private:
    // Creates the document with the three styles; false (and the message shown) on failure.
    bool Prepare();
    // Writes a table read row by row from source; darkDiagonal shades the cells whose row and
    // column name the same member (the blank sociomatrix); handwriting leaves tall rows.
    // A layout measured already is passed in, so a large table is not measured twice.
    template <typename TSource>
    void PutTable(TSource& source, bool darkDiagonal = false, bool handwriting = false,
                  const TTableLayout* measured = nullptr);
    // A picture of the investigation under its heading (putWaiting writes it once the page is
    // chosen): as wide as the text, less when it would not fit the page, on a landscape page when
    // it is much wider than tall.
    void PutPicture(std::string_view name, const std::function<void()>& putWaiting);
    // The heading lines of both blanks: title and the lines below it.
    void BlankHeading(const std::string& title, const std::vector<std::string>& lines);

    std::unique_ptr<TDocxDocument> m_document;
};

// Whether a table of a report document (the content of its section) is too wide for
// a portrait page at the report's table font, by the rule the Word output lays it out with.
bool TableNeedsLandscape(std::string_view tableContent);
