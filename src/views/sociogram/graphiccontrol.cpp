#include "views/sociogram/graphiccontrol.h"

#include <algorithm>
#include <cmath>

#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include "platform/literaltext.h"
#include "platform/modalseam.h"
#include "i18n/langconv.h"
#include "util/error.h"
#include "util/text.h"

namespace {

constexpr int kGripSize = 6;
constexpr int kHitTolerance = 10;
constexpr int kShortTextMax = 255;

QString CatalogueText(const char* key, const char* fallback)
{
    if (!HasLangConv())
        return QString::fromUtf8(fallback);
    return QString::fromStdString(LangConv().GetText(key));
}

QString ShortText(const QString& text)
{
    return QString::fromStdString(CutChars(text.toStdString(), kShortTextMax));
}

// The horizontal span a text covers from its pen origin: its advance and every pixel its glyphs
// reach (italic and large glyphs overhang the advance, mostly to the right).
struct TTextSpan {
    int Left = 0;
    int Right = 0;
    int Width() const { return Right - Left; }
};

TTextSpan TextSpan(const QFontMetrics& metrics, const QString& text)
{
    if (text.isEmpty())
        return {};
    const QRect ink = metrics.boundingRect(text);
    return {std::min(0, ink.left()), std::max(metrics.horizontalAdvance(text), ink.left() + ink.width())};
}

bool Near(int a, int b)
{
    return std::abs(a - b) <= kHitTolerance;
}

} // namespace

TSocioGraphicControl::TSocioGraphicControl(QWidget* surface) : QWidget(surface)
{
    setObjectName(QStringLiteral("SocioGraphicControl"));
    setFocusPolicy(Qt::ClickFocus);
    setMouseTracking(true);
    // Around its figure the node shows the surface, so arrowheads at the figure's edge stay visible.
    resize(80, 120);
    if (TNodeSurface* nodes = Surface())
        nodes->AddNode(this);
}

TSocioGraphicControl::~TSocioGraphicControl()
{
    if (TNodeSurface* surface = Surface())
        surface->RemoveNode(this);
}

TNodeSurface* TSocioGraphicControl::Surface() const
{
    return dynamic_cast<TNodeSurface*>(parentWidget());
}

void TSocioGraphicControl::SetComponentStyle(TComponentStyle style)
{
    m_style = style;
    update();
}

void TSocioGraphicControl::SetFigureBackColor(const QColor& color)
{
    if (color == m_figureBackColor)
        return;
    m_figureBackColor = color;
    update();
}

void TSocioGraphicControl::SetBColor(const QColor& color)
{
    if (color == m_bColor)
        return;
    m_bColor = color;
    update();
}

void TSocioGraphicControl::SetBackBrush(Qt::BrushStyle style)
{
    m_backBrush = style;
    update();
}

void TSocioGraphicControl::SetLineColor(const QColor& color)
{
    m_lineColor = color;
    update();
}

void TSocioGraphicControl::SetLineWidth(int width)
{
    m_lineWidth = static_cast<int16_t>(width);
    update();
}

bool TSocioGraphicControl::CaptionInUse(const QString& caption) const
{
    const TNodeSurface* surface = Surface();
    if (!surface)
        return false;
    for (const TSocioGraphicControl* node : surface->Nodes()) {
        if (node != this && node->m_caption == caption)
            return true;
    }
    return false;
}

void TSocioGraphicControl::SetCaption(const QString& caption)
{
    const QString text = ShortText(caption);
    if (!m_captionPending && CaptionInUse(text)) {
        Modal().Information(this, CatalogueText("MESSAGE_DLG_TITLE", "Tremlow"),
                            text + QStringLiteral(" : ") +
                                CatalogueText("CAPTION_IS_EXISTING", "Such caption is existing already!"));
        return;
    }
    m_caption = text;
    m_measures.Valid = false;
    AutoSize();
    m_captionPending = false;
    update();
}

void TSocioGraphicControl::SetCaptionFont(const QFont& font, const QColor& color)
{
    AssignCaptionFont(font, color);
    AutoSize();
    update();
}

void TSocioGraphicControl::AssignCaptionFont(const QFont& font, const QColor& color)
{
    m_captionFont = font;
    m_measures.Valid = false;
    m_captionColor = color;
    update();
}

void TSocioGraphicControl::SetIsInfo(bool value)
{
    if (value == m_isInfo)
        return;
    m_isInfo = value;
    update();
}

void TSocioGraphicControl::SetInfo(const QString& info)
{
    const QString text = ShortText(info);
    if (text == m_info)
        return;
    m_info = text;
    m_measures.InfoValid = false;
    update();
}

void TSocioGraphicControl::SetInfoFont(const QFont& font, const QColor& color)
{
    m_infoFont = font;
    m_measures.InfoValid = false;
    m_infoColor = color;
    update();
}

void TSocioGraphicControl::SetSelected(bool value)
{
    if (value == m_selected)
        return;
    m_selected = value;
    update();
}

void TSocioGraphicControl::SetHighlighted(bool value)
{
    if (value == m_highlighted)
        return;
    m_highlighted = value;
    update();
}

const TSocioGraphicControl::TTextMeasures& TSocioGraphicControl::CaptionMeasures() const
{
    if (!m_measures.Valid) {
        const QFontMetrics metrics(m_captionFont);
        const TTextSpan span = TextSpan(metrics, m_caption);
        m_measures.Height = metrics.height();
        m_measures.Ascent = metrics.ascent();
        m_measures.SpanLeft = span.Left;
        m_measures.SpanRight = span.Right;
        m_measures.Ink = metrics.tightBoundingRect(m_caption);
        m_measures.ShownValid = false;
        m_measures.Valid = true;
    }
    return m_measures;
}

const TSocioGraphicControl::TTextMeasures& TSocioGraphicControl::InfoMeasures() const
{
    if (!m_measures.InfoValid) {
        const QFontMetrics metrics(m_infoFont);
        m_measures.InfoWidth = metrics.horizontalAdvance(m_info);
        m_measures.InfoHeight = metrics.height();
        m_measures.InfoValid = true;
    }
    return m_measures;
}

int TSocioGraphicControl::CaptionTextHeight() const
{
    return CaptionMeasures().Height;
}

int TSocioGraphicControl::CaptionWidth() const
{
    const TTextMeasures& measures = CaptionMeasures();
    return measures.SpanRight - measures.SpanLeft;
}

int TSocioGraphicControl::MaxAutoWidth() const
{
    return QFontMetrics(m_captionFont).averageCharWidth() * kMaxAutoChars + 10;
}

int TSocioGraphicControl::FittedWidth() const
{
    return std::min(CaptionWidth() + 10, MaxAutoWidth());
}

void TSocioGraphicControl::AutoSize()
{
    // As wide as the caption needs, up to a limit; a longer name is cut with an ellipsis.
    const int width = FittedWidth();
    int height = static_cast<int>(std::nearbyint(width / 0.8));
    const int captionBox = CaptionTextHeight() + 2 - m_lineWidth;
    if (height < captionBox)
        height = captionBox + 50;
    resize(width, height);
}

void TSocioGraphicControl::TakePendingCaption()
{
    if (!m_captionPending)
        return;
    int n = 1;
    while (CaptionInUse(QStringLiteral("Caption ") + QString::number(n)))
        ++n;
    m_captionPending = false;
    SetCaption(QStringLiteral("Caption ") + QString::number(n));
}

void TSocioGraphicControl::AddRelation(const QString& targetCaption, Qt::PenStyle style, const QColor& color,
                                       int width)
{
    if (!CaptionInUse(targetCaption))
        throw TAppError(CatalogueText("RELATION_TARGET_ABSENT",
                                      "The component with such caption is absent! No relation will be created.")
                            .toStdString());
    m_relations.push_back({targetCaption, nullptr, style, color, width});
    if (TNodeSurface* surface = Surface())
        surface->NodeChanged(this);
}

void TSocioGraphicControl::AddRelation(TSocioGraphicControl* target, Qt::PenStyle style, const QColor& color,
                                       int width, int sign)
{
    if (!target || target == this || target->parentWidget() != parentWidget())
        throw TAppError(CatalogueText("RELATION_TARGET_ABSENT",
                                      "The component with such caption is absent! No relation will be created.")
                            .toStdString());
    m_relations.push_back({target->Caption(), target, style, color, width, sign});
}

// ---------------------------------------------------------------------------------------------
// Painting

void TSocioGraphicControl::PaintTo(QPainter& painter, int x, int y)
{
    Paint(painter, x, y, false);
}

void TSocioGraphicControl::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    Paint(painter, 0, 0, true);
}

void TSocioGraphicControl::Paint(QPainter& painter, int x, int y, bool ownCanvas)
{
    TakePendingCaption();
    const int w = width();
    const int h = height();
    const int lw = m_lineWidth;
    const TNodeSurface* surface = Surface();
    const Qt::BrushStyle surfaceStyle = surface ? surface->BackStyle() : Qt::SolidPattern;
    const QColor surfaceColor = surface ? surface->BackColor() : m_bColor;
    const bool resizing = m_resizing;

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    // 1. The node's rectangle, unless it has the surface's own look (then the arrows ending at the
    // figure stay visible around it).
    if (m_bColor != surfaceColor || !surface)
        painter.fillRect(QRect(x, y, w, h), QBrush(m_bColor, surfaceStyle));

    // The caption box.
    const TTextMeasures& measures = CaptionMeasures();
    const int textHeight = measures.Height;
    const int boxLeft = x + lw;
    const int boxTop = y + lw;
    const int c = y + textHeight + 2;

    // 2. Brush and pen of the figure.
    QBrush figureBrush(m_figureBackColor, m_backBrush);
    if (resizing)
        figureBrush = m_style == csRectangle ? QBrush(surfaceColor, surfaceStyle) : QBrush(m_bColor, m_backBrush);
    const QPen figurePen(m_lineColor, lw, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
    painter.setBrush(figureBrush);
    painter.setPen(QPen(Qt::black, 1));
    if (lw > 0 || m_style == csRectangle || m_style == csEllipse)
        painter.setPen(lw > 0 ? figurePen : QPen(Qt::NoPen));

    // 3. The figure.
    TFigureFrame frame{x, y, w, h, c, textHeight + 2 - lw};
    switch (m_style) {
    case csNone:
        break;
    case csRectangle:
        painter.drawRect(QRect(x, y, w - 1, h - 1));
        if (lw > 0 && m_isInfo && !resizing) {
            painter.setFont(m_infoFont);
            const TTextMeasures& info = InfoMeasures();
            const QPoint origin(boxLeft + lw + 1, c + 2 * lw);
            const QRect infoRect(origin, QSize(info.InfoWidth, info.InfoHeight));
            painter.fillRect(infoRect, m_figureBackColor);
            painter.setPen(m_infoColor);
            painter.drawText(infoRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, m_info);
        }
        break;
    case csEllipse:
        painter.drawEllipse(QRect(QPoint(boxLeft, c), QPoint(x + w - 1, y + h - 1)));
        break;
    default: {
        const std::vector<QPoint> points = FigurePoints(m_style, frame);
        painter.drawPolygon(points.data(), static_cast<int>(points.size()));
        break;
    }
    }

    // 4. The caption: whole when it fits between the figure's sides, else cut at a word end with
    // "…" (the full name is the node's hint). The text is fitted before it is drawn, so every
    // picture format shows what the screen shows.
    const bool rectangleCaption = m_style == csRectangle && !resizing;
    const QBrush captionBrush = rectangleCaption ? QBrush(m_figureBackColor, m_backBrush)
                                                 : QBrush(m_bColor, surfaceStyle);
    painter.setFont(m_captionFont);
    painter.setPen(m_captionColor);
    const QString& shown = ShownMeasures().Shown;
    const QRect box = CaptionBox(x, y);
    if (!box.isEmpty()) {
        painter.fillRect(box, captionBrush);
        if (shown == m_caption && !measures.Ink.isEmpty()) {
            // Centred on the node by the glyphs' ink, so an italic or large caption stands in the
            // middle instead of leaning right.
            const int originX = x + (w - measures.Ink.width()) / 2 - measures.Ink.left();
            painter.drawText(QPoint(originX, boxTop + measures.Ascent), shown);
        } else {
            painter.drawText(QPoint(box.left() - m_measures.ShownLeft, boxTop + measures.Ascent), shown);
        }
    }

    // 5. The line under the caption strip of a rectangle.
    if (m_style == csRectangle) {
        painter.setPen(lw > 0 ? figurePen : QPen(m_lineColor, 1));
        painter.drawLine(x, y + textHeight + 2, x + w - 1, y + textHeight + 2);
    }

    // 6. Grips, on the node's own canvas only.
    if (ownCanvas) {
        const bool black = m_focused && !resizing && !m_moving && !m_selected;
        for (const auto& [draw, colour] : {std::pair{black, QColor(Qt::black)},
                                          std::pair{m_highlighted, QColor(0x80, 0x80, 0x80)}}) {
            if (!draw)
                continue;
            for (int i = 0; i <= 2; ++i) {
                for (int j = 0; j <= 2; ++j) {
                    if (i == 1 && j == 1)
                        continue;
                    painter.fillRect(QRect(x + i * (w / 2 - 3), y + j * (h / 2 - 3), kGripSize, kGripSize), colour);
                }
            }
        }
    }
    painter.restore();
}

// ---------------------------------------------------------------------------------------------
// Mouse and focus

int TSocioGraphicControl::HandleAt(QPoint pos) const
{
    const int mx = pos.x();
    const int my = pos.y();
    const int w = width();
    const int h = height();
    int handle = 0;
    if (Near(mx, 0) && Near(my, 0))
        handle = 1;
    if (Near(mx, w) && Near(my, h))
        handle = 8;
    if (Near(mx, 0) && Near(my, h))
        handle = 6;
    if (Near(mx, w) && Near(my, 0))
        handle = 3;
    if (Near(mx, 0) && Near(my, h / 2))
        handle = 4;
    if (Near(mx, w) && Near(my, h / 2))
        handle = 5;
    if (Near(mx, w / 2) && Near(my, 0))
        handle = 2;
    if (Near(mx, w / 2) && Near(my, h))
        handle = 7;
    return handle;
}

namespace {

Qt::CursorShape HandleCursor(int handle)
{
    switch (handle) {
    case 1:
    case 8:
        return Qt::SizeFDiagCursor;
    case 3:
    case 6:
        return Qt::SizeBDiagCursor;
    case 4:
    case 5:
        return Qt::SizeHorCursor;
    case 2:
    case 7:
        return Qt::SizeVerCursor;
    default:
        return Qt::ArrowCursor;
    }
}

} // namespace

void TSocioGraphicControl::ApplyResize(QPoint pos)
{
    int mx = pos.x();
    int my = pos.y();
    // Neither edge may be dragged past the surface's left or top border.
    if ((m_handle == 1 || m_handle == 4 || m_handle == 6) && x() + mx < 0)
        mx = -x();
    if ((m_handle == 1 || m_handle == 2 || m_handle == 3) && y() + my < 0)
        my = -y();
    QRect g = geometry();
    int left = g.left();
    int top = g.top();
    int w = g.width();
    int h = g.height();
    switch (m_handle) {
    case 1:
        top += my, h -= my, left += mx, w -= mx;
        break;
    case 2:
        top += my, h -= my;
        break;
    case 3:
        top += my, h -= my, w = mx;
        break;
    case 4:
        left += mx, w -= mx;
        break;
    case 5:
        w = mx;
        break;
    case 6:
        h = my, left += mx, w -= mx;
        break;
    case 7:
        h = my;
        break;
    case 8:
        h = my, w = mx;
        break;
    default:
        return;
    }
    setGeometry(left, top, std::max(1, w), std::max(1, h));
}

void TSocioGraphicControl::mousePressEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::RightButton) {
        // The node that was clicked is the one the figure menu changes.
        if (!hasFocus())
            setFocus(Qt::MouseFocusReason);
        if (TNodeSurface* surface = Surface())
            surface->MenuRequested(this);
        if (m_popupMenu)
            m_popupMenu->popup(mapToGlobal(pos));
        event->accept();
        return;
    }
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    raise();
    if (!hasFocus())
        setFocus(Qt::MouseFocusReason);
    TNodeSurface* surface = Surface();
    if (m_selected) {
        if (surface)
            surface->StartGroupDrag(this, pos);
    } else {
        if (surface)
            surface->ClearSelection();
        // The handle found by the last mouse move, which only a focused node has.
        m_grab = pos;
        if (m_handle != 0)
            m_resizing = true;
        else
            m_moving = true;
        update();
    }
    Q_EMIT Clicked();
}

void TSocioGraphicControl::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    TNodeSurface* surface = Surface();
    if (surface && surface->IsGroupDragging()) {
        surface->GroupDragTo(mapTo(parentWidget(), pos));
        return;
    }
    if (m_resizing) {
        ApplyResize(pos);
        if (surface)
            surface->NodeChanged(this);
        update();
        return;
    }
    if (m_moving) {
        const QPoint delta = pos - m_grab;
        int left = x() + delta.x();
        int top = y() + delta.y();
        if (left < 0)
            left = x();
        if (top < 0)
            top = y();
        if (left != x() || top != y()) {
            move(left, top);
            if (surface)
                surface->NodeChanged(this);
        }
        return;
    }
    m_grab = pos;
    m_handle = m_focused ? HandleAt(pos) : 0;
    setCursor(m_handle ? HandleCursor(m_handle) : (surface ? parentWidget()->cursor().shape() : Qt::ArrowCursor));
}

void TSocioGraphicControl::mouseReleaseEvent(QMouseEvent* event)
{
    TNodeSurface* surface = Surface();
    if (surface && surface->IsGroupDragging()) {
        surface->EndGroupDrag();
        event->accept();
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    if (m_resizing) {
        resize(std::max(width(), kMinWidth), std::max(height(), kMinHeight));
        m_resizing = false;
    }
    m_moving = false;
    m_handle = 0;
    if (surface) {
        surface->NodeChanged(this);
        parentWidget()->repaint();
    }
    update();
}

void TSocioGraphicControl::contextMenuEvent(QContextMenuEvent* event)
{
    // The right button already opened the menu; the menu key opens it here.
    if (event->reason() != QContextMenuEvent::Mouse && m_popupMenu) {
        if (TNodeSurface* surface = Surface())
            surface->MenuRequested(this);
        m_popupMenu->popup(mapToGlobal(event->pos()));
    }
    event->accept();
}

void TSocioGraphicControl::focusInEvent(QFocusEvent* event)
{
    m_focused = !m_selected;
    update();
    QWidget::focusInEvent(event);
}

bool TSocioGraphicControl::event(QEvent* event)
{
    // A cut caption's full name is the node's hint, looked up when the hint is asked for.
    if (event->type() == QEvent::ToolTip) {
        const QString hint = ShownCaption() == m_caption ? QString() : LiteralToolTip(m_caption);
        if (toolTip() != hint)
            setToolTip(hint);
    }
    return QWidget::event(event);
}

void TSocioGraphicControl::focusOutEvent(QFocusEvent* event)
{
    // A pop-up menu opened on the node leaves it the focused node its figure items act on.
    if (event->reason() == Qt::PopupFocusReason) {
        QWidget::focusOutEvent(event);
        return;
    }
    m_focused = false;
    update();
    QWidget::focusOutEvent(event);
}

QString TSocioGraphicControl::ShownCaption() const
{
    return ShownMeasures().Shown;
}

const TSocioGraphicControl::TTextMeasures& TSocioGraphicControl::ShownMeasures() const
{
    CaptionMeasures(); // a new caption or font drops the cut made for the old one
    const int room = width() - 2 * m_lineWidth;
    if (!m_measures.ShownValid || m_measures.ShownRoom != room) {
        m_measures.Shown = CutCaption(room);
        if (m_measures.Shown == m_caption) {
            m_measures.ShownLeft = m_measures.SpanLeft;
            m_measures.ShownRight = m_measures.SpanRight;
        } else {
            const TTextSpan span = TextSpan(QFontMetrics(m_captionFont), m_measures.Shown);
            m_measures.ShownLeft = span.Left;
            m_measures.ShownRight = span.Right;
        }
        m_measures.ShownRoom = room;
        m_measures.ShownValid = true;
    }
    return m_measures;
}

QString TSocioGraphicControl::CutCaption(int room) const
{
    if (CaptionWidth() <= room || m_caption.trimmed().isEmpty())
        return m_caption;
    const QFontMetrics metrics(m_captionFont);
    const QString ellipsis(QChar(0x2026));
    // The longest run of whole words that fits with the ellipsis; else as many letters as fit.
    for (qsizetype end = m_caption.lastIndexOf(QLatin1Char(' ')); end > 0;
         end = m_caption.lastIndexOf(QLatin1Char(' '), end - 1)) {
        const QString cut = m_caption.left(end).trimmed() + ellipsis;
        if (!m_caption.left(end).trimmed().isEmpty() && TextSpan(metrics, cut).Width() <= room)
            return cut;
    }
    for (qsizetype length = m_caption.size() - 1; length > 0; --length) {
        const QString cut = m_caption.left(length) + ellipsis;
        if (TextSpan(metrics, cut).Width() <= room)
            return cut;
    }
    return ellipsis;
}

QRect TSocioGraphicControl::CaptionBox(int x, int y) const
{
    const TTextMeasures& measures = CaptionMeasures();
    const int lw = m_lineWidth;
    const QString& shown = ShownMeasures().Shown;
    const int textWidth = m_measures.ShownRight - m_measures.ShownLeft;
    const QRect inner(x + lw, y + lw, width() - 2 * lw, std::max(0, measures.Height + 2 - lw));
    if (shown == m_caption && !measures.Ink.isEmpty()) {
        const int originX = x + (width() - measures.Ink.width()) / 2 - measures.Ink.left();
        return QRect(originX + measures.SpanLeft, inner.top(), textWidth, inner.height()).intersected(inner);
    }
    // A blank caption's box is centred; a cut one starts at the left, as the name reads.
    const int left = shown == m_caption ? inner.left() + (inner.width() - textWidth) / 2 : inner.left();
    return QRect(left, inner.top(), textWidth, inner.height()).intersected(inner);
}

std::vector<QPolygonF> TSocioGraphicControl::Outline() const
{
    const int textHeight = CaptionMeasures().Height;
    const TFigureFrame frame{x(), y(), width(), height(), y() + textHeight + 2, textHeight + 2 - m_lineWidth};
    return NodeOutline(m_style, frame, CaptionBox(x(), y()));
}
