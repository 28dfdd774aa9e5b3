#pragma once

#include <cstdint>
#include <vector>

#include <QColor>
#include <QFont>
#include <QMenu>
#include <QPointer>
#include <QString>
#include <QWidget>

#include "views/sociogram/sociogeometry.h"


class QPainter;
class TSocioGraphicControl;

// What a node needs from the surface it lives on (its parent widget): the surface keeps the list
// of its nodes, repaints what a node's move or resize uncovers, drags the selected nodes together
// and gives the background a node blends into. TSocioPanel implements it.
class TNodeSurface {
public:
    virtual void AddNode(TSocioGraphicControl* node) = 0;
    virtual void RemoveNode(TSocioGraphicControl* node) = 0;
    // Nodes in the order they were made.
    virtual const std::vector<TSocioGraphicControl*>& Nodes() const = 0;
    // A node moved, changed size or got an arrow.
    virtual void NodeChanged(TSocioGraphicControl* node) = 0;
    virtual QColor BackColor() const = 0;
    virtual Qt::BrushStyle BackStyle() const = 0;
    virtual void ClearSelection() = 0;
    // A selected node was pressed: the selected nodes follow the mouse until the button is released.
    virtual void StartGroupDrag(TSocioGraphicControl* node, QPoint posInNode) = 0;
    virtual bool IsGroupDragging() const = 0;
    virtual void GroupDragTo(QPoint pos) = 0;
    virtual void EndGroupDrag() = 0;
    // The node's menu is being opened on it: its items act on this node.
    virtual void MenuRequested(TSocioGraphicControl* node) = 0;

protected:
    ~TNodeSurface() = default;
};

// One outgoing arrow of a node: the node it points to, with its pen.
struct TRelation {
    QString TargetCaption;                       // the caption the arrow was made for
    QPointer<class TSocioGraphicControl> Target; // the node itself, when the arrow was made for a node
    Qt::PenStyle PenStyle = Qt::SolidLine;
    QColor Color = Qt::black;
    int Width = 1;
    int Sign = 1; // +1 a positive choice, -1 a negative one
};

// A sociogram node: one member drawn as a figure with the member's name as caption. It paints
// itself, lets the user move and resize it with the mouse, keeps its outgoing arrows, and can
// paint itself onto any painter at a given origin for pictures. Its parent is a widget that is
// a TNodeSurface (a TSocioPanel).
class TSocioGraphicControl final : public QWidget {
    Q_OBJECT

public:
    static constexpr int kMinWidth = 50;
    static constexpr int kMinHeight = 80;
    // The widest a node makes itself for its caption, in average characters of its font.
    static constexpr int kMaxAutoChars = 24;

    explicit TSocioGraphicControl(QWidget* surface);
    ~TSocioGraphicControl() override;

    TComponentStyle ComponentStyle() const { return m_style; }
    void SetComponentStyle(TComponentStyle style);
    QColor FigureBackColor() const { return m_figureBackColor; }
    void SetFigureBackColor(const QColor& color);
    QColor BColor() const { return m_bColor; }
    void SetBColor(const QColor& color);
    Qt::BrushStyle BackBrush() const { return m_backBrush; }
    void SetBackBrush(Qt::BrushStyle style);
    QColor LineColor() const { return m_lineColor; }
    void SetLineColor(const QColor& color);
    int LineWidth() const { return m_lineWidth; }
    void SetLineWidth(int width);
    QString Caption() const { return m_caption; }
    // The first assignment is taken as it is; a later caption that another node of the surface
    // has is refused with a message. Auto-sizes the node.
    void SetCaption(const QString& caption);
    const QFont& CaptionFont() const { return m_captionFont; }
    QColor CaptionColor() const { return m_captionColor; }
    // Copies the font and auto-sizes the node.
    void SetCaptionFont(const QFont& font, const QColor& color);
    // Takes the font without auto-sizing.
    void AssignCaptionFont(const QFont& font, const QColor& color);
    bool IsInfo() const { return m_isInfo; }
    void SetIsInfo(bool value);
    QString Info() const { return m_info; }
    void SetInfo(const QString& info);
    void SetInfoFont(const QFont& font, const QColor& color);
    QMenu* PopupMenu() const { return m_popupMenu; }
    void SetPopupMenu(QMenu* menu) { m_popupMenu = menu; }

    bool IsSelected() const { return m_selected; }
    void SetSelected(bool value);
    bool IsHighlighted() const { return m_highlighted; }
    void SetHighlighted(bool value);
    bool IsFocused() const { return m_focused; }
    bool IsResizing() const { return m_handle != 0 && m_resizing; }
    bool IsMoving() const { return m_moving; }
    // The resize handle under the mouse (0 none, 1..8 from top-left to bottom-right).
    int ActiveHandle() const { return m_handle; }

    // Arrows. The caption form fails with TAppError when no other node of the surface has that
    // caption; the node form points at that node whatever its caption.
    void AddRelation(const QString& targetCaption, Qt::PenStyle style, const QColor& color, int width);
    void AddRelation(TSocioGraphicControl* target, Qt::PenStyle style, const QColor& color, int width, int sign = 1);
    void ClearRelations() { m_relations.clear(); }
    int RelationCount() const { return static_cast<int>(m_relations.size()); }
    const TRelation& Relation(int index) const { return m_relations.at(static_cast<std::size_t>(index)); }

    // Scratch number of the surface's layout (arrows pointing at the node, -1 once placed).
    int Tag() const { return m_tag; }
    void SetTag(int tag) { m_tag = tag; }

    // Draws the node (background, figure, caption, info line; no grips) with its top-left corner at (x, y).
    void PaintTo(QPainter& painter, int x, int y);

    // Whether a caption is used by another node of the same surface.
    bool CaptionInUse(const QString& caption) const;
    // Geometry of the caption strip for the current font and line width.
    int CaptionTextHeight() const;
    int CaptionWidth() const;
    // The widest the node makes itself for its caption in the current font.
    int MaxAutoWidth() const;
    // The width the caption needs, up to MaxAutoWidth(): what a new node takes.
    int FittedWidth() const;
    // The caption as drawn: whole, or cut at a word end with an ellipsis when the node is too narrow.
    QString ShownCaption() const;
    // Where the caption is drawn (and its strip filled) for the drawing origin (x, y).
    QRect CaptionBox(int x, int y) const;
    // The figure and caption strip as drawn at the node's place on the surface: arrows end on it.
    std::vector<QPolygonF> Outline() const;
    // The resize handle a point of the node lies on (the focused node's rule; later matches win).
    int HandleAt(QPoint pos) const;

Q_SIGNALS:
    void Clicked();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // The caption's and info line's measures in their fonts, kept until the text or the font
    // changes: laying a text out costs more than drawing it, and a frame of a large sociogram
    // would otherwise lay out every caption several times.
    struct TTextMeasures {
        bool Valid = false;
        int Height = 0;
        int Ascent = 0;
        int SpanLeft = 0;  // the caption's glyphs reach from its pen origin ...
        int SpanRight = 0; // ... to here (advance and overhang)
        QRect Ink;         // the caption's tight ink rectangle
        // The caption as drawn, cut for ShownRoom pixels, and its span; remeasured with the caption.
        bool ShownValid = false;
        int ShownRoom = 0;
        QString Shown;
        int ShownLeft = 0;
        int ShownRight = 0;
        bool InfoValid = false;
        int InfoWidth = 0;
        int InfoHeight = 0;
    };
    const TTextMeasures& CaptionMeasures() const;
    const TTextMeasures& InfoMeasures() const;
    // The caption measures with the shown caption cut for the node's present width.
    const TTextMeasures& ShownMeasures() const;
    // The caption cut at a word end, else a letter, to fit room pixels with an ellipsis.
    QString CutCaption(int room) const;

    void Paint(QPainter& painter, int x, int y, bool ownCanvas);
    void AutoSize();
    void TakePendingCaption();
    void ApplyResize(QPoint pos);
    TNodeSurface* Surface() const;

    TComponentStyle m_style = csRectangle;
    QColor m_figureBackColor{0x00, 0x80, 0x80};
    QColor m_bColor{0x80, 0x80, 0x80};
    Qt::BrushStyle m_backBrush = Qt::SolidPattern;
    QColor m_lineColor = Qt::black;
    int m_lineWidth = 1;
    QString m_caption = QStringLiteral("Caption");
    QFont m_captionFont;
    QColor m_captionColor = Qt::black;
    bool m_isInfo = true;
    QString m_info = QStringLiteral("Info");
    QFont m_infoFont;
    QColor m_infoColor = Qt::black;
    QPointer<QMenu> m_popupMenu;

    int m_tag = 0;
    bool m_captionPending = true;
    bool m_focused = false;
    bool m_selected = false;
    bool m_highlighted = false;
    bool m_resizing = false;
    int m_handle = 0;
    bool m_moving = false;
    QPoint m_grab;
    std::vector<TRelation> m_relations;
    mutable TTextMeasures m_measures;
};
