#pragma once

#include <QColor>
#include <QFont>
#include <QList>
#include <QStringList>

#include "views/socioobject.h"

// A framed list of text lines that sizes itself to them, the legend beside a diagram; with
// IsEmptyHide it disappears while it has no lines.
class TStringsList final : public TSocioObject {
    Q_OBJECT

public:
    explicit TStringsList(QWidget* parent = nullptr);
    ~TStringsList() override;

    const QColor& BackColor() const { return m_backColor; }
    void SetBackColor(const QColor& color);
    const QFont& TextFont() const { return m_textFont; }
    const QColor& TextFontColor() const { return m_textColor; }
    void SetTextFont(const QFont& font, const QColor& color);
    const QStringList& Lines() const { return m_lines; }
    // Copies the lines; the legend is shown only if it has lines or IsEmptyHide is off.
    void SetLines(const QStringList& lines);
    // A bold line above the others saying what they list; empty for none.
    const QString& Heading() const { return m_heading; }
    void SetHeading(const QString& heading);
    // A colour swatch before each line (mark i belongs to line i); none while the list is empty.
    const QList<QColor>& LineMarks() const { return m_marks; }
    void SetLineMarks(const QList<QColor>& marks);
    // Heading, lines and their swatches at once, fitted once.
    void SetContents(const QString& heading, const QStringList& lines, const QList<QColor>& marks);
    // Where the swatch of line i is drawn (an empty rectangle when the line has none).
    QRect MarkRect(int line) const;
    // Left and right margin of the lines.
    int LeftOrder() const { return m_leftOrder; }
    void SetLeftOrder(int order);
    // Margin above the first line.
    int UpOrder() const { return m_upOrder; }
    void SetUpOrder(int order);
    // Gap below each line.
    int Order() const { return m_order; }
    void SetOrder(int order);
    bool IsEmptyHide() const { return m_isEmptyHide; }
    void SetIsEmptyHide(bool value);
    // Frame width; 0 draws a one-pixel frame in the control's own colour.
    int LineWidth() const { return m_lineWidth; }
    void SetLineWidth(int width);
    const QColor& LineColor() const { return m_lineColor; }
    void SetLineColor(const QColor& color);
    // Height beyond which the lines flow into further columns side by side; 0 keeps one column.
    int MaxHeight() const { return m_maxHeight; }
    void SetMaxHeight(int height);
    // Lines in each column (all of them in one column unless MaxHeight splits them).
    int RowsPerColumn() const { return m_rows; }

    // Whether the lines make the legend shown (with lines, or when empty legends are kept).
    bool IsShown() const { return !m_lines.isEmpty() || !m_isEmptyHide; }
    // Where line i (0-based) is written: its left and top.
    QPoint LinePos(int line) const;
    // Line under a point (0-based), -1 where there is none.
    int LineAt(QPoint point) const;

    void FitToContents() override;
    void PaintTo(QPainter& painter) override;

Q_SIGNALS:
    // The mouse moved over the legend: the line under it, or -1.
    void OnMouseMove(int line);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    int LineHeight() const { return m_lineHeight; }
    QFont HeadingFont() const;
    // Where the first line starts, below the heading.
    int LinesTop() const { return m_linesTop; }
    int ColumnPitch() const { return m_widest + m_leftOrder; }
    // The room a swatch takes before the text (0 without swatches).
    int MarkWidth() const;

    QColor m_backColor = Qt::white;
    QFont m_textFont;
    QColor m_textColor = Qt::black;
    QStringList m_lines;
    QString m_heading;
    QList<QColor> m_marks;
    int m_leftOrder = 20;
    int m_upOrder = 20;
    int m_order = 10;
    bool m_isEmptyHide = true;
    int m_lineWidth = 0;
    QColor m_lineColor = Qt::black;
    int m_maxHeight = 0;
    // Measured by FitToContents, which every change of font, heading or margins calls.
    int m_lineHeight = 0;
    int m_linesTop = 0;
    int m_widest = 0;
    int m_rows = 0;
};
