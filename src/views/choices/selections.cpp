#include "views/choices/selections.h"

#include <algorithm>
#include <cmath>

#include <QApplication>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainterPath>
#include <QPalette>
#include <QToolTip>

#include "analysis/choicerules.h"
#include "platform/fontcolor.h"
#include "platform/literaltext.h"
#include "i18n/langconv.h"
#include "settings/regs.h"
#include "util/error.h"

namespace {

const int kCutChars = 255;
// A name wider than this many average characters is cut with an ellipsis in the captions.
const int kCaptionChars = 22;

// The catalogue text of a key; the key itself while no catalogue is loaded.
QString Catalogue(const char* key)
{
    return HasLangConv() ? QString::fromStdString(LangConv().GetText(key)) : QString::fromLatin1(key);
}

// The cell's next value on a click or Space: empty, then +, then -, then empty again, skipping
// what the chooser's limits do not admit.
TSelectType NextCycleValue(TSelectType current, bool forAllowed, bool againstAllowed, bool isAgainst)
{
    switch (current) {
    case stNone:
        return forAllowed ? stFor : againstAllowed ? stAgainst : stNone;
    case stFor:
        return isAgainst && againstAllowed ? stAgainst : stNone;
    case stAgainst:
        return stNone;
    }
    return stNone;
}

QColor ButtonFace()
{
    return QApplication::palette().color(QPalette::Button);
}

}  // namespace

QRect TSelGeometry::Cell(int c, int r) const
{
    return QRect(ColumnLeft(c), RowTop(r), ColumnWidthOf(c), RowHeightOf(r));
}

int TSelGeometry::HitColumn(int x) const
{
    if (CellCount <= 0)
        return -1;
    if (x < First)
        return 0;
    if (ColumnWidth <= 0)
        return -1;
    const int c = 1 + (x - First) / ColumnWidth;
    return c < CellCount ? c : -1;
}

int TSelGeometry::HitRow(int y) const
{
    if (CellCount <= 0)
        return -1;
    if (y < First)
        return 0;
    if (RowHeight <= 0)
        return -1;
    const int r = 1 + (y - First) / RowHeight;
    return r < CellCount ? r : -1;
}

int TSelGeometry::HorzExtent() const
{
    return CellCount == 0 ? 0 : First + (CellCount + 3) * ColumnWidth;
}

int TSelGeometry::VertExtent() const
{
    return CellCount == 0 ? 0 : First + (CellCount + 3) * RowHeight;
}

namespace {

void Range(int from, int to, int first, int step, int count, int& lo, int& hi)
{
    const int last = count + 2;
    auto index = [&](int v) {
        if (v < first || step <= 0)
            return 0;
        return std::min(last, 1 + (v - first) / step);
    };
    lo = index(from);
    hi = (step <= 0) ? last : index(to);
}

}  // namespace

void TSelGeometry::ColumnRange(int from, int to, int& first, int& last) const
{
    Range(from, to, First, ColumnWidth, CellCount, first, last);
}

void TSelGeometry::RowRange(int from, int to, int& first, int& last) const
{
    Range(from, to, First, RowHeight, CellCount, first, last);
}

QRect CenteredTextRect(const QRect& cell, const QSize& text)
{
    if (text.width() <= cell.width() && text.height() <= cell.height()) {
        const int dx = static_cast<int>(std::lround((cell.width() - text.width()) / 2.0));
        const int dy = static_cast<int>(std::lround((cell.height() - text.height()) / 2.0));
        return QRect(cell.left() + dx, cell.top() + dy, text.width(), text.height());
    }
    return cell.translated(1, 0);
}

TSelections::TSelections(QWidget* parent) : TSocioObject(parent)
{
    m_captionFont = QFont(QStringLiteral("Arial"));
    m_captionFont.setPointSize(10);
    m_backColor = ButtonFace();
    m_borderAreaColor = ButtonFace();
    m_middleCellColor = ButtonFace();
    for (int i = 1; i <= 5; ++i)
        m_captions << QStringLiteral("Строка %1").arg(i);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    SetCellCount(5);
}

TSelections::~TSelections() = default;

void TSelections::Changed()
{
    update();
}

void TSelections::SetCaptionFont(const QFont& font, const QColor& color)
{
    m_captionFont = font;
    m_captionColor = color;
    FitToContents();
    Changed();
}

void TSelections::SetLegendFont(const QFont& font, const QColor& color)
{
    m_legendFont = font;
    m_legendColorText = color;
    FitToContents();
    Changed();
}

void TSelections::SetSymbolForFont(const QFont& font, const QColor& color)
{
    m_forFont = font;
    m_forColor = color;
    Changed();
}

void TSelections::SetSymbolAgainstFont(const QFont& font, const QColor& color)
{
    m_againstFont = font;
    m_againstColor = color;
    Changed();
}

void TSelections::SetCaptions(const QStringList& captions)
{
    m_captions = captions;
    if (m_captions.size() - 1 < m_numSelLimit)
        m_numSelLimit = static_cast<int>(m_captions.size());
    FitToContents();
    Changed();
}

void TSelections::SetBackColor(const QColor& color) { m_backColor = color; Changed(); }
void TSelections::SetBackStyle(Qt::BrushStyle style) { m_backStyle = style; Changed(); }
void TSelections::SetLineColor(const QColor& color) { m_lineColor = color; Changed(); }
void TSelections::SetLineStyle(Qt::PenStyle style) { m_lineStyle = style; Changed(); }
void TSelections::SetLineMode(QPainter::CompositionMode mode) { m_lineMode = mode; Changed(); }
void TSelections::SetLineWidth(int width) { m_lineWidth = width; Changed(); }
void TSelections::SetBorderAreaColor(const QColor& color) { m_borderAreaColor = color; Changed(); }
void TSelections::SetBorderAreaStyle(Qt::BrushStyle style) { m_borderAreaStyle = style; Changed(); }
void TSelections::SetCommonColor(const QColor& color) { m_commonColor = color; Changed(); }
void TSelections::SetCommonStyle(Qt::BrushStyle style) { m_commonStyle = style; Changed(); }
void TSelections::SetLegendColor(const QColor& color) { m_legendColor = color; Changed(); }
void TSelections::SetMiddleCellColor(const QColor& color) { m_middleCellColor = color; Changed(); }
void TSelections::SetLegendStyle(Qt::BrushStyle style) { m_legendStyle = style; Changed(); }
void TSelections::SetFocusCellSelColor(const QColor& color) { m_focusCellSelColor = color; Changed(); }
void TSelections::SetNotFocusCellSelColor(const QColor& color) { m_notFocusCellSelColor = color; Changed(); }
void TSelections::SetSymbolFor(const QString& symbol) { m_symbolFor = symbol; Changed(); }
void TSelections::SetSymbolAgainst(const QString& symbol) { m_symbolAgainst = symbol; Changed(); }
void TSelections::SetBorderColor(const QColor& color) { m_borderColor = color; Changed(); }
void TSelections::SetSelDirArrowColor(const QColor& color) { m_selDirArrowColor = color; Changed(); }
void TSelections::SetSelDirArrDeep(int deep) { m_selDirArrDeep = deep; Changed(); }
void TSelections::SetArrowLineWidth(int width) { m_arrowLineWidth = width; Changed(); }
void TSelections::SetArrowLineColor(const QColor& color) { m_arrowLineColor = color; Changed(); }
void TSelections::SetIsAgainst(bool value) { m_isAgainst = value; Changed(); }
void TSelections::SetNumSelLimit(int limit) { m_numSelLimit = limit; Changed(); }
void TSelections::SetIsActivSelCell(bool value) { m_isActivSelCell = value; Changed(); }

void TSelections::SetRowHeight(int height)
{
    m_rowHeight = height;
    FitToContents();
    Changed();
}

void TSelections::SetColumnWidth(int width)
{
    m_columnWidth = width;
    FitToContents();
    Changed();
}

void TSelections::SetIsLegend(bool value)
{
    m_isLegend = value;
    FitToContents();
    Changed();
}

void TSelections::SetLegendPlace(TLegendPlace place)
{
    m_legendPlace = place;
    FitToContents();
    Changed();
}

void TSelections::SetLegendOrder(int gap)
{
    m_legendOrder = gap;
    FitToContents();
    Changed();
}

void TSelections::SetCellCount(int count)
{
    if (count >= 2) {
        m_cellCount = count;
        m_cells.assign(static_cast<size_t>(count) * count, stNone);
    } else {
        m_cellCount = 0;
        m_cells.clear();
    }
    m_activeCol = m_activeRow = m_prevCol = m_prevRow = -1;
    FitToContents();
    Changed();
}

void TSelections::SetSelDirection(TSelDirection direction)
{
    if (direction == m_selDirection)
        return;
    m_selDirection = direction;
    for (int i = 1; i < m_cellCount; ++i)
        for (int j = i + 1; j < m_cellCount; ++j)
            std::swap(At(i, j), At(j, i));
    Changed();
}

void TSelections::SetSelDirArrPerCent(int percent)
{
    if (percent < 0 || percent > 100)
        throw TAppError(Catalogue("CHOICES_PERCENT_RANGE").toStdString());
    m_selDirArrPerCent = percent;
    Changed();
}

TSelectType TSelections::Cell(int column, int row) const
{
    const int c = column + 1;
    const int r = row + 1;
    if (c < 1 || r < 1 || c >= m_cellCount || r >= m_cellCount)
        return stNone;
    return At(c, r);
}

void TSelections::SetCell(int column, int row, TSelectType value)
{
    const int c = column + 1;
    const int r = row + 1;
    const bool inside = c >= 1 && r >= 1 && c < m_cellCount && r < m_cellCount;
    if (value == stNone) {
        if (inside && At(c, r) != stNone) {
            At(c, r) = stNone;
            ++m_revision;
            Changed();
        }
        return;
    }
    // The diagonal and cells outside the matrix never hold a choice.
    if (!inside || c == r || !IsAllowed(c, r, value))
        throw TAppError(RefusalText(c, r, value).toStdString());
    if (At(c, r) != value)
        ++m_revision;
    At(c, r) = value;
    Changed();
}

void TSelections::ClearAll()
{
    if (std::any_of(m_cells.begin(), m_cells.end(), [](TSelectType v) { return v != stNone; }))
        ++m_revision;
    std::fill(m_cells.begin(), m_cells.end(), stNone);
    Changed();
}

QString TSelections::RefusalText(int c, int r, TSelectType value) const
{
    if (c < 1 || r < 1 || c >= m_cellCount || r >= m_cellCount || c == r)
        return Catalogue("CHOICE_REFUSED_OWN_CELL");
    if (value == stAgainst && !m_isAgainst)
        return Catalogue("CHOICE_REFUSED_NO_NEGATIVE");
    QString text = Catalogue(value == stAgainst ? "CHOICE_REFUSED_NEGATIVE_LIMIT" : "CHOICE_REFUSED_POSITIVE_LIMIT");
    return text.replace(QStringLiteral("%1"), QString::number(m_numSelLimit));
}

bool TSelections::HasActiveCell() const
{
    return m_activeCol >= 1 && m_activeRow >= 1 && m_activeCol < m_cellCount && m_activeRow < m_cellCount &&
           m_activeCol != m_activeRow;
}

void TSelections::Activate(int c, int r)
{
    if (c == m_activeCol && r == m_activeRow)
        return;
    m_prevCol = m_activeCol;
    m_prevRow = m_activeRow;
    m_activeCol = c;
    m_activeRow = r;
    UpdateActiveArea(m_prevCol, m_prevRow);
    UpdateActiveArea(m_activeCol, m_activeRow);
}

void TSelections::SetActiveCell(int c, int r)
{
    if (c >= 1 && r >= 1 && c < m_cellCount && r < m_cellCount && c != r)
        Activate(c, r);
    else
        Activate(-1, -1);
    IsAllowed(m_activeCol, m_activeRow, stFor);
    IsAllowed(m_activeCol, m_activeRow, stAgainst);
    if (!HasActiveCell())
        m_positiveAllowed = m_negativeAllowed = false;
}

TSelectType TSelections::ActiveCellSelType() const
{
    if (m_activeCol < 1 || m_activeRow < 1 || m_activeCol >= m_cellCount || m_activeRow >= m_cellCount)
        return stNone;
    return At(m_activeCol, m_activeRow);
}

void TSelections::SetActiveCellSelType(TSelectType value)
{
    if (m_activeCol < 1 || m_activeRow < 1)
        return;
    SetCell(m_activeCol - 1, m_activeRow - 1, value);
    Changed();
}

int TSelections::CountInRow(int r, TSelectType value) const
{
    if (r < 1 || r >= m_cellCount)
        return 0;
    const TSelectType* row = &m_cells[static_cast<size_t>(r) * m_cellCount];
    return static_cast<int>(std::count(row + 1, row + m_cellCount, value));
}

int TSelections::CountInColumn(int c, TSelectType value) const
{
    if (c < 1 || c >= m_cellCount)
        return 0;
    int n = 0;
    for (int r = 1; r < m_cellCount; ++r)
        n += At(c, r) == value ? 1 : 0;
    return n;
}

bool TSelections::IsAllowed(int c, int r, TSelectType value)
{
    int positive = 0;
    int negative = 0;
    if (m_selDirection == sldLeft) {
        positive = CountInRow(r, stFor);
        negative = CountInRow(r, stAgainst);
    } else {
        positive = CountInColumn(c, stFor);
        negative = CountInColumn(c, stAgainst);
    }
    const TChoiceLimits limits{.MaxChoices = m_numSelLimit, .AllowNegative = m_isAgainst};
    switch (value) {
    case stNone:
        return true;
    case stFor:
        m_positiveAllowed = MayChooseMore(limits, TChoiceKind::Positive, positive);
        return m_positiveAllowed;
    case stAgainst:
        m_negativeAllowed = MayChooseMore(limits, TChoiceKind::Negative, negative);
        return m_negativeAllowed;
    }
    return false;
}

void TSelections::RecomputeFirst()
{
    const QFontMetrics fm(m_captionFont);
    int widest = 0;
    for (int m = 1; m <= m_captions.size(); ++m)
        widest = std::max(widest, fm.horizontalAdvance(ShownCaption(m)));
    m_first = widest + 25;
}

TSelGeometry TSelections::Geometry() const
{
    TSelGeometry g;
    g.First = m_first;
    g.ColumnWidth = m_columnWidth;
    g.RowHeight = m_rowHeight;
    g.CellCount = m_cellCount;
    return g;
}

QString TSelections::ShownCaption(int member) const
{
    const QFontMetrics fm(m_captionFont);
    const QString name = m_captions.value(member - 1).left(kCutChars);
    return fm.elidedText(name, Qt::ElideRight, kCaptionChars * fm.averageCharWidth());
}

QString TSelections::CaptionText(int member) const
{
    return m_isLegend ? QString::number(member) : ShownCaption(member);
}

QRect TSelections::LegendRect() const
{
    const int lines = std::max(0, std::min(static_cast<int>(m_captions.size()), m_cellCount - 1));
    const QFontMetrics fm(m_legendFont);
    int widest = 0;
    for (int i = 0; i < lines; ++i) {
        const QString line = QStringLiteral("\"%1\" - %2").arg(i + 1).arg(m_captions[i].left(kCutChars));
        widest = std::max(widest, fm.horizontalAdvance(line));
    }
    const QSize size(widest + 20, lines * (fm.height() + 2) + 20);
    const TSelGeometry g = Geometry();
    if (m_legendPlace == lpRight)
        return QRect(QPoint(g.HorzExtent() + m_legendOrder, 0), size);
    return QRect(QPoint(0, g.VertExtent() + m_legendOrder), size);
}

TPlace TSelections::PlaceAt(const QPoint& point) const
{
    const TSelGeometry g = Geometry();
    const int x = point.x();
    const int y = point.y();
    const int c = g.HitColumn(x);
    const int r = g.HitRow(y);
    TPlace place = TPlace::Elsewhere;
    if (x < g.First + m_cellCount * m_columnWidth && y < g.First + m_cellCount * m_rowHeight && c >= 0 && r >= 0)
        place = (c == r) ? TPlace::Diagonal : TPlace::MemberCell;
    const bool inFirstWidth = x < g.First;
    const bool inFirstHeight = y < g.First;
    if (inFirstWidth && y < g.VertExtent())
        place = TPlace::CaptionColumn;
    if (inFirstHeight && x < g.HorzExtent())
        place = TPlace::CaptionRow;
    if (inFirstWidth && inFirstHeight)
        place = TPlace::Corner;
    if (m_isLegend && m_cellCount > 2 && LegendRect().contains(point))
        place = TPlace::Legend;
    return place;
}

void TSelections::FitToContents()
{
    RecomputeFirst();
    const TSelGeometry g = Geometry();
    int width = g.HorzExtent() + 35;
    int height = g.VertExtent() + 25;
    if (m_isLegend) {
        const QRect legend = LegendRect();
        if (m_legendPlace == lpRight)
            width += legend.width() + m_legendOrder;
        else
            height += legend.height() + m_legendOrder;
    }
    resize(width, height);
}

void TSelections::UpdateActiveArea(int c, int r)
{
    if (c < 0 || r < 0)
        return;
    const TSelGeometry g = Geometry();
    update(g.Cell(c, r).adjusted(-3, -3, 3, 3));
    update(g.Cell(0, r).adjusted(-3, -3, 3, 3));
    update(g.Cell(c, 0).adjusted(-3, -3, 3, 3));
    // The caption cells' highlight shows on the frozen strips too.
    update(FrozenRowRect());
    update(FrozenColumnRect());
}

void TSelections::SetFrozenOrigin(const QPoint& origin)
{
    const QPoint clamped(std::max(0, origin.x()), std::max(0, origin.y()));
    if (clamped == m_frozenOrigin)
        return;
    m_frozenOrigin = clamped;
    // Scrolling copies what is on screen, strips included: the visible part is drawn anew.
    update();
}

int TSelections::FrozenStripSize() const
{
    // The caption cells with the frame line along their inner edge.
    return m_first + (m_lineWidth > 0 ? m_lineWidth / 2 + 1 : 0);
}

QRect TSelections::FrozenRowRect() const
{
    if (m_frozenOrigin.y() <= 0 || m_cellCount == 0)
        return {};
    // Over the matrix and its totals only, never over a legend beside or below them.
    const TSelGeometry g = Geometry();
    return QRect(0, m_frozenOrigin.y(), g.HorzExtent(), FrozenStripSize())
        .intersected(QRect(0, 0, g.HorzExtent(), g.VertExtent()));
}

QRect TSelections::FrozenColumnRect() const
{
    if (m_frozenOrigin.x() <= 0 || m_cellCount == 0)
        return {};
    const TSelGeometry g = Geometry();
    return QRect(m_frozenOrigin.x(), 0, FrozenStripSize(), g.VertExtent())
        .intersected(QRect(0, 0, g.HorzExtent(), g.VertExtent()));
}

QPoint TSelections::GridPoint(const QPoint& point) const
{
    QPoint grid = point;
    if (FrozenRowRect().contains(point))
        grid.setY(point.y() - m_frozenOrigin.y());
    if (FrozenColumnRect().contains(point))
        grid.setX(point.x() - m_frozenOrigin.x());
    return grid;
}

void TSelections::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        // The pop-up's commands act on the cell under the pointer, or on none.
        const TSelGeometry g = Geometry();
        const QPoint point = GridPoint(event->position().toPoint());
        SetActiveCell(g.HitColumn(point.x()), g.HitRow(point.y()));
    }
    if (event->button() != Qt::LeftButton) {
        TSocioObject::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    const QPoint point = GridPoint(event->position().toPoint());
    const TSelGeometry g = Geometry();
    const int c = g.HitColumn(point.x());
    const int r = g.HitRow(point.y());
    if (c >= 1 && r >= 1 && c != r) {
        m_prevCol = m_activeCol;
        m_prevRow = m_activeRow;
        m_activeCol = c;
        m_activeRow = r;
    }
    const TPlace place = PlaceAt(point);
    if (place == TPlace::MemberCell) {
        TSelectType& cell = At(c, r);
        const TSelectType before = cell;
        const bool forAllowed = IsAllowed(c, r, stFor);
        const bool againstAllowed = IsAllowed(c, r, stAgainst);
        cell = NextCycleValue(cell, forAllowed, againstAllowed, m_isAgainst);
        if (cell != before)
            ++m_revision;
        // Keep the pop-up entries in step with the cell just changed.
        IsAllowed(c, r, stFor);
        IsAllowed(c, r, stAgainst);
    }
    Changed();
    Q_EMIT Click(c, r, place);
}

void TSelections::mouseMoveEvent(QMouseEvent* event)
{
    try {
        const QPoint point = GridPoint(event->position().toPoint());
        const TSelGeometry g = Geometry();
        const int c = g.HitColumn(point.x());
        const int r = g.HitRow(point.y());
        if (m_isActivSelCell && c >= 1 && r >= 1 && c != r && (c != m_activeCol || r != m_activeRow)) {
            m_prevCol = m_activeCol;
            m_prevRow = m_activeRow;
            m_activeCol = c;
            m_activeRow = r;
            UpdateActiveArea(m_prevCol, m_prevRow);
            UpdateActiveArea(m_activeCol, m_activeRow);
        }
        IsAllowed(c, r, stFor);
        IsAllowed(c, r, stAgainst);
        Q_EMIT MouseMoved(point.x(), point.y());
    } catch (...) {
        // A failing listener must not break mouse tracking.
    }
    TSocioObject::mouseMoveEvent(event);
}

void TSelections::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
}

void TSelections::focusInEvent(QFocusEvent* event)
{
    m_focused = true;
    UpdateActiveArea(m_activeCol, m_activeRow);
    TSocioObject::focusInEvent(event);
}

void TSelections::focusOutEvent(QFocusEvent* event)
{
    m_focused = false;
    UpdateActiveArea(m_activeCol, m_activeRow);
    TSocioObject::focusOutEvent(event);
}

void TSelections::keyPressEvent(QKeyEvent* event)
{
    // Choices without the mouse: arrows move the active cell, + and - set it, Space cycles it
    // like a click, Delete clears it, Enter goes to the next chooser's first cell. Other keys
    // go to the parent (scrolling, shortcuts).
    if (m_cellCount < 3 || (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
        TSocioObject::keyPressEvent(event);
        return;
    }
    const QString text = event->text();
    switch (event->key()) {
    case Qt::Key_Left:
        MoveActive(-1, 0);
        break;
    case Qt::Key_Right:
        MoveActive(1, 0);
        break;
    case Qt::Key_Up:
        MoveActive(0, -1);
        break;
    case Qt::Key_Down:
        MoveActive(0, 1);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        NextChooser();
        break;
    case Qt::Key_Plus:
        KeyValue(stFor);
        break;
    case Qt::Key_Minus:
    case Qt::Key_Underscore:
        KeyValue(stAgainst);
        break;
    case Qt::Key_Space:
        KeyCycle();
        break;
    case Qt::Key_Delete:
    case Qt::Key_Backspace:
        KeyValue(stNone);
        break;
    default:
        if (!text.isEmpty() && (text == m_symbolFor || text == QStringLiteral("="))) {
            KeyValue(stFor);
        } else if (!text.isEmpty() && (text == m_symbolAgainst || text == QString(QChar(0x2212)))) {
            KeyValue(stAgainst);
        } else {
            TSocioObject::keyPressEvent(event);
            return;
        }
        break;
    }
    event->accept();
}

void TSelections::MoveActive(int dc, int dr)
{
    int c = m_activeCol;
    int r = m_activeRow;
    if (!HasActiveCell()) {
        // The first key picks the first choice of the first chooser.
        c = m_selDirection == sldLeft ? 2 : 1;
        r = m_selDirection == sldLeft ? 1 : 2;
    } else {
        c += dc;
        r += dr;
        if (c == r) {
            c += dc;
            r += dr;
        }
        if (c < 1 || r < 1 || c >= m_cellCount || r >= m_cellCount)
            return;
    }
    SetActiveCell(c, r);
    Q_EMIT ActiveCellMoved(Geometry().Cell(m_activeCol, m_activeRow));
}

void TSelections::NextChooser()
{
    if (!HasActiveCell()) {
        MoveActive(0, 0);
        return;
    }
    // The chooser's line is the row with sldLeft and the column with sldUp.
    int line = (m_selDirection == sldLeft ? m_activeRow : m_activeCol) + 1;
    if (line >= m_cellCount)
        line = 1;
    const int first = line == 1 ? 2 : 1;
    if (m_selDirection == sldLeft)
        SetActiveCell(first, line);
    else
        SetActiveCell(line, first);
    // Bring the row's (column's) caption into view together with the cell.
    const TSelGeometry g = Geometry();
    const QRect cell = g.Cell(m_activeCol, m_activeRow);
    Q_EMIT ActiveCellMoved(m_selDirection == sldLeft ? cell.united(g.Cell(0, m_activeRow))
                                                     : cell.united(g.Cell(m_activeCol, 0)));
}

void TSelections::KeyValue(TSelectType value)
{
    if (!HasActiveCell()) {
        MoveActive(0, 0);
        return;
    }
    const int c = m_activeCol;
    const int r = m_activeRow;
    if (At(c, r) == value)
        return;
    if (value != stNone && !IsAllowed(c, r, value)) {
        Q_EMIT Refused(RefusalText(c, r, value));
        return;
    }
    At(c, r) = value;
    ++m_revision;
    SetActiveCell(c, r);
    Changed();
    Q_EMIT CellKeyed(c, r);
}

void TSelections::KeyCycle()
{
    if (!HasActiveCell()) {
        MoveActive(0, 0);
        return;
    }
    const int c = m_activeCol;
    const int r = m_activeRow;
    const bool forAllowed = IsAllowed(c, r, stFor);
    const bool againstAllowed = IsAllowed(c, r, stAgainst);
    const TSelectType next = NextCycleValue(At(c, r), forAllowed, againstAllowed, m_isAgainst);
    if (next == At(c, r))
        return;
    At(c, r) = next;
    ++m_revision;
    SetActiveCell(c, r);
    Changed();
    Q_EMIT CellKeyed(c, r);
}

bool TSelections::event(QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return TSocioObject::event(event);
    // Hints: the full name on a caption cell, "chooser -> chosen" on a member cell.
    auto* help = static_cast<QHelpEvent*>(event);
    const TSelGeometry g = Geometry();
    const QPoint point = GridPoint(help->pos());
    const int c = g.HitColumn(point.x());
    const int r = g.HitRow(point.y());
    const int members = std::min(m_cellCount - 1, static_cast<int>(m_captions.size()));
    auto name = [this](int member) { return m_captions.value(member - 1).left(kCutChars); };
    QString hint;
    if (c == 0 && r >= 1 && r <= members)
        hint = name(r);
    else if (r == 0 && c >= 1 && c <= members)
        hint = name(c);
    else if (c >= 1 && r >= 1 && c <= members && r <= members && c != r)
        hint = m_selDirection == sldLeft ? name(r) + QStringLiteral(" \u2192 ") + name(c)
                                         : name(c) + QStringLiteral(" \u2192 ") + name(r);
    if (hint.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(help->globalPos(), LiteralToolTip(hint), this,
                           g.Cell(c, r).translated(help->pos() - point));
    return true;
}

void TSelections::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.setClipRect(event->rect());
    PaintTo(painter);
    PaintHighlight(painter);
    PaintFrozenCaptions(painter, event->rect());
}

void TSelections::PaintFrozenCaptions(QPainter& painter, const QRect& exposed)
{
    // The caption row, then the caption column, then the corner cell where both are frozen: each
    // is the grid itself drawn shifted by the scroll offset and clipped to its strip.
    const QRect row = FrozenRowRect();
    const QRect column = FrozenColumnRect();
    const struct {
        QRect strip;
        QPoint shift;
    } parts[] = {
        {row, QPoint(0, m_frozenOrigin.y())},
        {column, QPoint(m_frozenOrigin.x(), 0)},
        {row.intersected(column), m_frozenOrigin},
    };
    for (const auto& part : parts) {
        const QRect strip = part.strip.intersected(exposed);
        if (strip.isEmpty())
            continue;
        painter.save();
        painter.setClipRect(strip);
        painter.translate(part.shift);
        PaintTo(painter);
        PaintHighlight(painter);
        painter.restore();
    }
}

void TSelections::PaintCellText(QPainter& painter, const QRect& cell, const QString& text)
{
    const QFontMetrics fm(painter.font());
    const QSize size(fm.horizontalAdvance(text), fm.height());
    const QRect box = CenteredTextRect(cell, size);
    if (box.width() == size.width() && box.height() == size.height() && cell.contains(box)) {
        painter.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
        return;
    }
    painter.save();
    painter.setClipRect(cell, Qt::IntersectClip);
    painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
    painter.restore();
}

void TSelections::PaintFrame(QPainter& painter, const QRect& cell, const QColor& color, int width)
{
    if (width <= 0)
        return;
    QPen pen(color, width, m_lineStyle);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(cell);
}

void TSelections::PaintArrow(QPainter& painter, const QRect& cell)
{
    // A band bent through a quarter circle with a head: from the chooser's captions towards
    // the chosen members' captions. The sldUp shape is the sldLeft one mirrored on the diagonal.
    // The pictogram keeps a modest size in the middle of a large corner cell.
    const double side = cell.width();
    const double inset = side * m_selDirArrPerCent / 100.0;
    const double box = std::min(side - 2 * inset, 2.0 * std::max(m_rowHeight, m_columnWidth));
    const double deep = std::min<double>(std::max(0, m_selDirArrDeep), box / 3);
    const double radius = box - deep;
    if (radius <= 6)
        return;
    const double band = std::max(3.0, radius / 5.0);
    const double left = (side - box) / 2;
    const double bottom = left + box;
    const double cx = left + radius;  // centre of the arcs: (cx, bottom)
    const double endY = bottom - radius;
    QPainterPath path;
    path.moveTo(left, bottom);
    path.arcTo(QRectF(cx - radius, bottom - radius, 2 * radius, 2 * radius), 180, -90);
    path.lineTo(cx, endY - band * 0.6);
    path.lineTo(cx + deep, endY + band / 2);
    path.lineTo(cx, endY + band * 1.6);
    path.lineTo(cx, endY + band);
    const double inner = radius - band;
    path.arcTo(QRectF(cx - inner, bottom - inner, 2 * inner, 2 * inner), 90, 90);
    path.closeSubpath();

    painter.save();
    painter.setClipRect(cell, Qt::IntersectClip);
    painter.translate(cell.topLeft());
    if (m_selDirection == sldUp)
        painter.setTransform(QTransform(0, 1, 1, 0, 0, 0), true);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(m_arrowLineColor, std::max(1, m_arrowLineWidth), Qt::SolidLine));
    painter.setBrush(m_selDirArrowColor);
    painter.drawPath(path);
    painter.restore();
}

void TSelections::PaintSigma(QPainter& painter, const QRect& cell)
{
    int size = m_captionFont.pointSize() > 0 ? 2 * m_captionFont.pointSize() : 2 * m_captionFont.pixelSize();
    size = std::min({size, cell.width() - 4, cell.height() - 4});
    if (size < 4)
        return;
    const int x = cell.left() + (cell.width() - size) / 2;
    const int y = cell.top() + (cell.height() - size) / 2;
    const int mid = size / 2;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(m_captionColor, std::max(1, size / 10), Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
    const QPoint points[] = {QPoint(x + size, y + size / 6), QPoint(x + size, y), QPoint(x, y),
                             QPoint(x + mid, y + mid), QPoint(x, y + size), QPoint(x + size, y + size),
                             QPoint(x + size, y + size - size / 6)};
    painter.drawPolyline(points, 7);
    painter.restore();
}

void TSelections::PaintTo(QPainter& painter)
{
    const QRect clip = painter.hasClipping() ? painter.clipBoundingRect().toAlignedRect() : rect();
    painter.fillRect(rect(), QBrush(m_backColor, m_backStyle));
    const TSelGeometry g = Geometry();
    const int n = m_cellCount;

    if (n > 0) {
        int c0 = 0, c1 = 0, r0 = 0, r1 = 0;
        g.ColumnRange(clip.left(), clip.right(), c0, c1);
        g.RowRange(clip.top(), clip.bottom(), r0, r1);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);

        // Cells, frames and marks.
        for (int r = r0; r <= std::min(r1, n - 1); ++r) {
            for (int c = c0; c <= std::min(c1, n - 1); ++c) {
                const QRect cell = g.Cell(c, r);
                if (c == r)
                    painter.fillRect(cell, QBrush(m_middleCellColor, m_borderAreaStyle));
                else if (c == 0 || r == 0)
                    painter.fillRect(cell, QBrush(m_borderAreaColor, m_borderAreaStyle));
                else
                    painter.fillRect(cell, QBrush(m_commonColor, m_commonStyle));
                if (m_lineWidth > 0) {
                    painter.setCompositionMode(m_lineMode);
                    PaintFrame(painter, cell, m_lineColor, m_lineWidth);
                    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
                }
                if (c >= 1 && r >= 1 && c != r) {
                    const TSelectType v = At(c, r);
                    if (v == stFor) {
                        painter.setFont(m_forFont);
                        painter.setPen(m_forColor);
                        PaintCellText(painter, cell, m_symbolFor);
                    } else if (v == stAgainst) {
                        painter.setFont(m_againstFont);
                        painter.setPen(m_againstColor);
                        PaintCellText(painter, cell, m_symbolAgainst);
                    }
                }
            }
        }

        // Direction pictogram.
        if (c0 == 0 && r0 == 0)
            PaintArrow(painter, g.Cell(0, 0));

        // Totals: the extra columns count along each row, the extra rows along each column
        // (given or received choices depending on the direction).
        const QString titles[2] = {QStringLiteral("(+)"), QStringLiteral("(-)")};
        const bool gridTotals = c1 >= n || r1 >= n;
        int grand[2] = {0, 0};
        if (gridTotals && c1 >= n && r1 >= n) {
            grand[0] = static_cast<int>(std::count(m_cells.begin(), m_cells.end(), stFor));
            grand[1] = static_cast<int>(std::count(m_cells.begin(), m_cells.end(), stAgainst));
        }
        painter.setFont(m_captionFont);
        auto totalCell = [&](int c, int r) {
            const QRect cell = g.Cell(c, r);
            painter.fillRect(cell, QBrush(m_borderAreaColor, m_borderAreaStyle));
            if (m_lineWidth > 0) {
                painter.setCompositionMode(m_lineMode);
                PaintFrame(painter, cell, m_lineColor, m_lineWidth);
                painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
            }
            painter.setFont(m_captionFont);
            painter.setPen(m_captionColor);
            const int tc = c - n;  // 0..2 inside the totals columns
            const int tr = r - n;
            QString text;
            if (r == 0 && tc >= 0) {
                if (tc == 2)
                    PaintSigma(painter, cell);
                else
                    text = titles[tc];
            } else if (c == 0 && tr >= 0) {
                if (tr == 2)
                    PaintSigma(painter, cell);
                else
                    text = titles[tr];
            } else if (tc >= 0 && tr < 0) {
                const int p = CountInRow(r, stFor);
                const int m = CountInRow(r, stAgainst);
                text = QString::number(tc == 0 ? p : tc == 1 ? m : p + m);
            } else if (tr >= 0 && tc < 0) {
                const int p = CountInColumn(c, stFor);
                const int m = CountInColumn(c, stAgainst);
                text = QString::number(tr == 0 ? p : tr == 1 ? m : p + m);
            } else if (tc == tr) {
                text = QString::number(tc == 0 ? grand[0] : tc == 1 ? grand[1] : grand[0] + grand[1]);
            }
            if (!text.isEmpty())
                PaintCellText(painter, cell, text);
        };
        for (int r = r0; r <= r1; ++r)
            for (int c = std::max(c0, n); c <= c1; ++c)
                totalCell(c, r);
        for (int r = std::max(r0, n); r <= r1; ++r)
            for (int c = c0; c <= std::min(c1, n - 1); ++c)
                totalCell(c, r);

        // Legend.
        if (m_isLegend && n > 2) {
            const QRect legend = LegendRect();
            if (legend.intersects(clip)) {
                painter.fillRect(legend, QBrush(m_legendColor, m_legendStyle));
                painter.setFont(m_legendFont);
                painter.setPen(m_legendColorText);
                const QFontMetrics fm(m_legendFont);
                const int lines = std::min(static_cast<int>(m_captions.size()), n - 1);
                for (int i = 0; i < lines; ++i) {
                    const QString line = QStringLiteral("\"%1\" - %2").arg(i + 1).arg(m_captions[i].left(kCutChars));
                    painter.drawText(QPoint(legend.left() + 10, legend.top() + 10 + i * (fm.height() + 2) + fm.ascent()),
                                     line);
                }
            }
        }

        // Captions: row captions upright, column captions rotated (numbers upright with a legend).
        painter.setFont(m_captionFont);
        painter.setPen(m_captionColor);
        const QFontMetrics fm(m_captionFont);
        const int members = std::min(n - 1, static_cast<int>(m_captions.size()));
        if (c0 == 0)
            for (int m = std::max(1, r0); m <= std::min(members, r1); ++m)
                PaintCellText(painter, g.Cell(0, m), CaptionText(m));
        if (r0 == 0) {
            for (int m = std::max(1, c0); m <= std::min(members, c1); ++m) {
                const QRect cell = g.Cell(m, 0);
                const QString text = CaptionText(m);
                if (m_isLegend) {
                    PaintCellText(painter, cell, text);
                    continue;
                }
                const int w = fm.horizontalAdvance(text);
                const int h = fm.height();
                const QRect box = CenteredTextRect(cell, QSize(h, w));
                painter.save();
                painter.setClipRect(cell, Qt::IntersectClip);
                painter.translate(box.left(), box.top() + std::min(w, cell.height()));
                painter.rotate(-90);
                painter.drawText(QRect(0, 0, w, h), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
                painter.restore();
            }
        }
    }

    if (BorderWidth() != 0) {
        const int w = BorderWidth();
        painter.setPen(QPen(m_borderColor, w));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(rect()).adjusted(w / 2.0, w / 2.0, -w / 2.0, -w / 2.0));
    }
}

void TSelections::PaintHighlight(QPainter& painter)
{
    if (!m_isActivSelCell || m_cellCount == 0)
        return;
    const TSelGeometry g = Geometry();
    const int width = std::max(2, m_lineWidth + 1);
    auto frame = [&](int c, int r, const QColor& color, int w) {
        if (c < 1 || r < 1 || c >= m_cellCount || r >= m_cellCount)
            return;
        for (const QRect& cell : {g.Cell(c, r), g.Cell(0, r), g.Cell(c, 0)}) {
            if (w > 0)
                PaintFrame(painter, w > 1 ? cell.adjusted(1, 1, -1, -1) : cell, color, w);
        }
    };
    if (m_prevCol != m_activeCol || m_prevRow != m_activeRow)
        frame(m_prevCol, m_prevRow, m_lineColor, m_lineWidth);
    frame(m_activeCol, m_activeRow, m_focused ? m_focusCellSelColor : m_notFocusCellSelColor, width);
}

void ApplyChoicesSettings(TSelections& grid, const TChoicesRegs& regs)
{
    grid.SetArrowLineWidth(regs.ArrowLineWidth);
    grid.SetArrowLineColor(ToQColor(regs.ArrowColor));
    grid.SetSelDirArrowColor(ToQColor(regs.ArrowColor));
    if (!regs.SymbolFor.empty())
        grid.SetSymbolFor(QString::fromStdString(regs.SymbolFor));
    if (!regs.SymbolAgainst.empty())
        grid.SetSymbolAgainst(QString::fromStdString(regs.SymbolAgainst));
    QFont font;
    QColor color;
    ApplyFont(regs.SymbolForFont, font, color);
    grid.SetSymbolForFont(font, color);
    ApplyFont(regs.SymbolAgainstFont, font, color);
    grid.SetSymbolAgainstFont(font, color);
    ApplyFont(regs.CaptionFont, font, color);
    grid.SetCaptionFont(font, color);
    grid.SetLineWidth(regs.LineWidth);
    grid.SetRowHeight(regs.RowHeight);
    grid.SetColumnWidth(regs.ColumnWidth);
    grid.SetCommonColor(ToQColor(regs.CommonColor));
    grid.SetFocusCellSelColor(ToQColor(regs.FocusCellSelColor));
    grid.SetLineColor(ToQColor(regs.LineColor));
    grid.SetNotFocusCellSelColor(ToQColor(regs.LineColor));
    grid.SetBorderAreaColor(ToQColor(regs.AdditionalCellColor));
    grid.SetMiddleCellColor(ToQColor(regs.AdditionalCellColor));
}
