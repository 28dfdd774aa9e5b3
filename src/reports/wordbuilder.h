#pragma once

#include <memory>

#include "reports/docxdoc.h"
#include "reports/reporter.h"

// Writes reports and blanks as a Word document (.docx) with the styles "Tremlow Heading 1",
// "Tremlow Heading 2" and "Tremlow Standard"; tables are centred, every cell centred.
class TWordBuilder final : public TReporter {
public:
    using TReporter::TReporter;

    void Format() override;
    void FormatTable(const TTableRows& rows, std::string& out) override;
    void Write() override;
    void Sociocard() override;
    void Sociomatrix() override;

    // The document being built (after Format or a blank); null before.
    const TDocxDocument* WordDocument() const { return m_document.get(); }

    // Word tables hold at most this many columns; wider tables are split into several that
    // each repeat the first column.
    static constexpr int kMaxColumns = 63;

private:
    // Creates the document with the three styles; false (and the message shown) on failure.
    bool Prepare();
    // Adds a table at the insertion point and fills and centres its cells; darkDiagonal
    // shades the cells whose row and column name the same member (the sociomatrix).
    void PutTable(const TTableRows& rows, bool darkDiagonal = false);

    std::unique_ptr<TDocxDocument> m_document;
};
