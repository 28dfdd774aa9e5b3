#pragma once

#include <cstdint>
#include <vector>

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QRect>
#include <QStringList>

#include "views/socioobject.h"

struct TChoicesRegs;

// Value of one cell of the sociomatrix (the ordinals are compared and stored).
enum TSelectType : uint8_t { stNone = 0, stFor = 1, stAgainst = 2 };
// Which axis is the chooser: sldLeft the row, sldUp the column.
enum TSelDirection : uint8_t { sldLeft = 0, sldUp = 1 };
enum TLegendPlace : uint8_t { lpRight = 0, lpDown = 1 };
// Where a mouse button went down; the numbers are those the grid's click has always reported.
enum class TPlace : uint8_t {
    Corner = 0,        // the top left caption cell
    CaptionColumn = 1, // the members' names down the left
    CaptionRow = 2,    // the members' names along the top
    Legend = 3,
    MemberCell = 4, // a cell of one member's choice of another
    Diagonal = 5,   // a member's cell of itself
    Elsewhere = 6,  // the totals and the empty space
};

// Cell geometry of the grid: column 0 and row 0 are the captions (first width = first height),
// then CellCount - 1 member columns and rows, then three totals columns and rows.
struct TSelGeometry {
    int First = 0;
    int ColumnWidth = 50;
    int RowHeight = 30;
    int CellCount = 0;

    int ColumnLeft(int c) const { return c == 0 ? 0 : First + (c - 1) * ColumnWidth; }
    int RowTop(int r) const { return r == 0 ? 0 : First + (r - 1) * RowHeight; }
    int ColumnWidthOf(int c) const { return c == 0 ? First : ColumnWidth; }
    int RowHeightOf(int r) const { return r == 0 ? First : RowHeight; }
    QRect Cell(int c, int r) const;
    // Column (row) 0 .. CellCount - 1 under a coordinate; -1 past the last one.
    int HitColumn(int x) const;
    int HitRow(int y) const;
    // Matrix with its totals; 0 when CellCount is 0.
    int HorzExtent() const;
    int VertExtent() const;
    // Range of columns (rows) 0 .. CellCount + 2 that meet [from, to], for painting a clip.
    void ColumnRange(int from, int to, int& first, int& last) const;
    void RowRange(int from, int to, int& first, int& last) const;
};

// Where text of a size goes in a cell: centred when it fits, else the cell moved one pixel right.
QRect CenteredTextRect(const QRect& cell, const QSize& text);

// The sociomatrix control: one row and one column per member, a positive or negative mark
// where a chooser meets a chosen member, totals of given and received choices, and the
// per-chooser limits enforced while the user clicks.
class TSelections final : public TSocioObject {
    Q_OBJECT

public:
    explicit TSelections(QWidget* parent = nullptr);
    ~TSelections() override;

    // Fonts with their colours.
    const QFont& CaptionFont() const { return m_captionFont; }
    const QColor& CaptionFontColor() const { return m_captionColor; }
    void SetCaptionFont(const QFont& font, const QColor& color);
    const QFont& LegendFont() const { return m_legendFont; }
    void SetLegendFont(const QFont& font, const QColor& color);
    const QFont& SymbolForFont() const { return m_forFont; }
    const QColor& SymbolForFontColor() const { return m_forColor; }
    void SetSymbolForFont(const QFont& font, const QColor& color);
    const QFont& SymbolAgainstFont() const { return m_againstFont; }
    const QColor& SymbolAgainstFontColor() const { return m_againstColor; }
    void SetSymbolAgainstFont(const QFont& font, const QColor& color);

    const QStringList& Captions() const { return m_captions; }
    // Copies the names; when there are fewer member captions than NumSelLimit, the limit
    // becomes the number of captions.
    void SetCaptions(const QStringList& captions);

    const QColor& BackColor() const { return m_backColor; }
    void SetBackColor(const QColor& color);
    Qt::BrushStyle BackStyle() const { return m_backStyle; }
    void SetBackStyle(Qt::BrushStyle style);
    const QColor& LineColor() const { return m_lineColor; }
    void SetLineColor(const QColor& color);
    Qt::PenStyle LineStyle() const { return m_lineStyle; }
    void SetLineStyle(Qt::PenStyle style);
    QPainter::CompositionMode LineMode() const { return m_lineMode; }
    void SetLineMode(QPainter::CompositionMode mode);
    int LineWidth() const { return m_lineWidth; }
    void SetLineWidth(int width);
    int RowHeight() const { return m_rowHeight; }
    void SetRowHeight(int height);
    int ColumnWidth() const { return m_columnWidth; }
    void SetColumnWidth(int width);
    const QColor& BorderAreaColor() const { return m_borderAreaColor; }
    void SetBorderAreaColor(const QColor& color);
    Qt::BrushStyle BorderAreaStyle() const { return m_borderAreaStyle; }
    void SetBorderAreaStyle(Qt::BrushStyle style);
    const QColor& CommonColor() const { return m_commonColor; }
    void SetCommonColor(const QColor& color);
    Qt::BrushStyle CommonStyle() const { return m_commonStyle; }
    void SetCommonStyle(Qt::BrushStyle style);

    int CellCount() const { return m_cellCount; }
    // 2 or more: that many rows and columns, every cell empty; below 2: no matrix (0).
    void SetCellCount(int count);

    bool IsLegend() const { return m_isLegend; }
    void SetIsLegend(bool value);
    const QColor& LegendColor() const { return m_legendColor; }
    void SetLegendColor(const QColor& color);
    const QColor& MiddleCellColor() const { return m_middleCellColor; }
    void SetMiddleCellColor(const QColor& color);
    TLegendPlace LegendPlace() const { return m_legendPlace; }
    void SetLegendPlace(TLegendPlace place);
    int LegendOrder() const { return m_legendOrder; }
    void SetLegendOrder(int gap);
    Qt::BrushStyle LegendStyle() const { return m_legendStyle; }
    void SetLegendStyle(Qt::BrushStyle style);

    bool IsActivSelCell() const { return m_isActivSelCell; }
    void SetIsActivSelCell(bool value);
    const QColor& FocusCellSelColor() const { return m_focusCellSelColor; }
    void SetFocusCellSelColor(const QColor& color);
    const QColor& NotFocusCellSelColor() const { return m_notFocusCellSelColor; }
    void SetNotFocusCellSelColor(const QColor& color);

    const QString& SymbolFor() const { return m_symbolFor; }
    void SetSymbolFor(const QString& symbol);
    const QString& SymbolAgainst() const { return m_symbolAgainst; }
    void SetSymbolAgainst(const QString& symbol);
    const QColor& BorderColor() const { return m_borderColor; }
    void SetBorderColor(const QColor& color);

    TSelDirection SelDirection() const { return m_selDirection; }
    // Transposes the stored marks so that every choice keeps its chooser and chosen member.
    void SetSelDirection(TSelDirection direction);
    const QColor& SelDirArrowColor() const { return m_selDirArrowColor; }
    void SetSelDirArrowColor(const QColor& color);
    int SelDirArrDeep() const { return m_selDirArrDeep; }
    void SetSelDirArrDeep(int deep);
    int SelDirArrPerCent() const { return m_selDirArrPerCent; }
    // Throws TAppError outside 0 .. 100 and keeps the old value.
    void SetSelDirArrPerCent(int percent);
    int ArrowLineWidth() const { return m_arrowLineWidth; }
    void SetArrowLineWidth(int width);
    const QColor& ArrowLineColor() const { return m_arrowLineColor; }
    void SetArrowLineColor(const QColor& color);

    bool IsAgainst() const { return m_isAgainst; }
    void SetIsAgainst(bool value);
    int NumSelLimit() const { return m_numSelLimit; }
    void SetNumSelLimit(int limit);

    // Cells by member indices (0-based): matrix cell (column + 1, row + 1).
    TSelectType Cell(int column, int row) const;
    // Throws TAppError when the value is not admitted there; the cell then stays as it was.
    void SetCell(int column, int row, TSelectType value);
    // Every member cell back to stNone.
    void ClearAll();

    // Active cell (matrix coordinates; -1 when none).
    int ActiveColumn() const { return m_activeCol; }
    int ActiveRow() const { return m_activeRow; }
    bool HasActiveCell() const;
    // Makes member cell (c, r) active (matrix coordinates); a caption, diagonal or outside cell
    // leaves no cell active. The admission flags follow the new active cell.
    void SetActiveCell(int c, int r);
    TSelectType ActiveCellSelType() const;
    // Sets the active cell through SetCell (so it may throw); nothing without an active cell.
    void SetActiveCellSelType(TSelectType value);
    // Why a value is not admitted in matrix cell (c, r), in the user's words (from the catalogue).
    QString RefusalText(int c, int r, TSelectType value) const;

    // Admission of a value for matrix cell (c, r) by the chooser's counts; a test for stFor
    // sets PositiveAllowed, one for stAgainst NegativeAllowed.
    bool IsAllowed(int c, int r, TSelectType value);
    bool PositiveAllowed() const { return m_positiveAllowed; }
    bool NegativeAllowed() const { return m_negativeAllowed; }

    // Positive and negative marks along a matrix row (column), over the members.
    int CountInRow(int r, TSelectType value) const;
    // Goes up with every change of a mark, by a click or a call; a click on a caption, on the
    // diagonal or on a cell that refuses the mark leaves it as it was.
    uint64_t Revision() const { return m_revision; }
    int CountInColumn(int c, TSelectType value) const;

    // A member's name as the grid shows it: cut with an ellipsis when it is wider than the
    // caption column may grow; the full name is the caption cell's hint.
    QString ShownCaption(int member) const;

    TSelGeometry Geometry() const;
    QRect LegendRect() const;
    TPlace PlaceAt(const QPoint& point) const;

    // The top-left corner of the part of the grid a scrolled view shows. While the grid is
    // scrolled down (right), the caption row (column) is drawn at the top (left) of that part,
    // over the cells, and clicks and hints there go to the captions, as in a spreadsheet.
    // Pictures are not affected.
    void SetFrozenOrigin(const QPoint& origin);
    QPoint FrozenOrigin() const { return m_frozenOrigin; }
    // The grid point a point of the widget stands for: a point on a frozen caption strip
    // becomes the point of the caption cell it shows.
    QPoint GridPoint(const QPoint& point) const;

    void FitToContents() override;
    void PaintTo(QPainter& painter) override;

Q_SIGNALS:
    // A left click at matrix column numX, row numY with its place code.
    void Click(int numX, int numY, TPlace place);
    // The mouse moved over the grid (after the active cell and the admission flags changed).
    void MouseMoved(int x, int y);
    // A key changed member cell (c, r).
    void CellKeyed(int c, int r);
    // A key asked for a value the cell does not admit; the text says why.
    void Refused(const QString& text);
    // The keyboard moved the active cell; the rectangle should be scrolled into view.
    void ActiveCellMoved(const QRect& cell);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

private:
    // Keyboard entry: moves the active cell by whole cells, stepping over the diagonal.
    void MoveActive(int dc, int dr);
    // The first cell of the next chooser's line (Enter).
    void NextChooser();
    void KeyValue(TSelectType value);
    void KeyCycle();
    void Activate(int c, int r);
    TSelectType& At(int c, int r) { return m_cells[static_cast<size_t>(r) * m_cellCount + c]; }
    TSelectType At(int c, int r) const { return m_cells[static_cast<size_t>(r) * m_cellCount + c]; }
    void Changed();
    void RecomputeFirst();
    QString CaptionText(int member) const;
    void UpdateActiveArea(int c, int r);
    void PaintCellText(QPainter& painter, const QRect& cell, const QString& text);
    void PaintArrow(QPainter& painter, const QRect& cell);
    void PaintSigma(QPainter& painter, const QRect& cell);
    void PaintFrame(QPainter& painter, const QRect& cell, const QColor& color, int width);
    void PaintHighlight(QPainter& painter);
    // The frozen caption row and column strips in widget coordinates (empty when not frozen).
    int FrozenStripSize() const;
    QRect FrozenRowRect() const;
    QRect FrozenColumnRect() const;
    void PaintFrozenCaptions(QPainter& painter, const QRect& exposed);

    QFont m_captionFont;
    QColor m_captionColor = Qt::black;
    QFont m_legendFont;
    QColor m_legendColorText = Qt::black;
    QFont m_forFont;
    QColor m_forColor = Qt::red;
    QFont m_againstFont;
    QColor m_againstColor = Qt::blue;
    QStringList m_captions;
    QColor m_backColor;
    Qt::BrushStyle m_backStyle = Qt::SolidPattern;
    QColor m_lineColor = Qt::black;
    Qt::PenStyle m_lineStyle = Qt::SolidLine;
    QPainter::CompositionMode m_lineMode = QPainter::CompositionMode_SourceOver;
    int m_lineWidth = 1;
    int m_rowHeight = 30;
    int m_columnWidth = 50;
    QColor m_borderAreaColor;
    Qt::BrushStyle m_borderAreaStyle = Qt::SolidPattern;
    QColor m_commonColor = Qt::white;
    Qt::BrushStyle m_commonStyle = Qt::SolidPattern;
    int m_cellCount = 0;
    std::vector<TSelectType> m_cells;
    uint64_t m_revision = 0;
    bool m_isLegend = true;
    QColor m_legendColor = Qt::white;
    QColor m_middleCellColor;
    TLegendPlace m_legendPlace = lpRight;
    int m_legendOrder = 20;
    Qt::BrushStyle m_legendStyle = Qt::SolidPattern;
    bool m_isActivSelCell = true;
    QColor m_focusCellSelColor = Qt::red;
    QColor m_notFocusCellSelColor = Qt::blue;
    QString m_symbolFor = QStringLiteral("+");
    QString m_symbolAgainst = QStringLiteral("-");
    QColor m_borderColor = Qt::black;
    TSelDirection m_selDirection = sldLeft;
    QColor m_selDirArrowColor = Qt::green;
    int m_selDirArrDeep = 10;
    int m_selDirArrPerCent = 20;
    int m_arrowLineWidth = 1;
    QColor m_arrowLineColor = Qt::black;
    bool m_isAgainst = true;
    int m_numSelLimit = 4;

    int m_first = 0;
    int m_activeCol = -1;
    int m_activeRow = -1;
    int m_prevCol = -1;
    int m_prevRow = -1;
    bool m_focused = false;
    QPoint m_frozenOrigin;
    bool m_positiveAllowed = false;
    bool m_negativeAllowed = false;
};

// Gives a grid the look of the choices settings: arrows, choice symbols and their fonts, captions,
// lines, cell sizes and colours. The choices window and the options dialog's sample both use it.
void ApplyChoicesSettings(TSelections& grid, const TChoicesRegs& regs);
