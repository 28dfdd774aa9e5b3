#pragma once

#include <memory>
#include <string>
#include <string_view>

// A word-processing document in Office Open XML (.docx), built in memory and written as one zip
// package: paragraph styles with font size and bold, typed text and paragraphs at an insertion
// point, tables addressed by index and cell, paragraph alignment. It offers what the Word builder
// needs of a word processor's document, with the same insertion-point model: text goes into the
// current paragraph at the end of the document, a table is placed before it.
class TDocxDocument final {
public:
    TDocxDocument();
    ~TDocxDocument();
    TDocxDocument(const TDocxDocument&) = delete;
    TDocxDocument& operator=(const TDocxDocument&) = delete;

    // Adds a paragraph style; outlineLevel 0, 1, ... marks a heading level, -1 body text.
    void AddStyle(const std::string& name, int sizePoints, bool bold, int outlineLevel = -1);
    // Gives the current paragraph a style added before (by name).
    void SetStyle(const std::string& name);
    // Types text into the current paragraph: a carriage return or line feed starts a new
    // paragraph of the same style, a tab is a tab stop.
    void TypeText(std::string_view text);
    // Starts a new paragraph of the current style.
    void TypeParagraph();

    // Adds a centred, bordered table of rows x columns (both at least 1) before the current
    // paragraph; its cells take the current style. Returns its index, counting from 1.
    int AddTable(int rows, int columns);
    int TableCount() const;
    // Replaces the text of cell (row, column), counting from 1; a carriage return starts a new
    // paragraph inside the cell. Throws std::out_of_range for a cell that does not exist.
    void SetCellText(int table, int row, int column, std::string_view text);
    // Centres every paragraph of the cell.
    void CenterCell(int table, int row, int column);
    // Fills the cell's background with a colour given as six hex digits ("000000").
    void ShadeCell(int table, int row, int column, const std::string& color);

    // The whole package as bytes.
    std::string SaveToBytes() const;
    // Writes the package to path (crash-safe replace); false with errorText on failure.
    bool SaveAs(const std::string& path, std::string& errorText) const;

private:
    struct TImpl;
    std::unique_ptr<TImpl> m_impl;
};
