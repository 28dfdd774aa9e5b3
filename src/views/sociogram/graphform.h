#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include <QColor>
#include <QFont>
#include <QRect>

#include "analysis/investigationobj.h"
#include "analysis/statusgroups.h"
#include "layout/layout.h"
#include "views/sociogram/sociogeometry.h"
#include "views/viewform.h"

class QAction;
class QMenu;
class QScrollArea;
class TSocioGraphicControl;
class TSocioPanel;
class TStatusLegend;

// One node's stored place in one kind of view; -99999 in a coordinate means unset.
struct TNodePlace {
    int32_t Left = kUnsetPlace;
    int32_t Top = kUnsetPlace;
    int32_t Width = kUnsetPlace;
    int32_t Height = kUnsetPlace;
    int32_t FigType = 0;

    static constexpr int32_t kUnsetPlace = -99999;

    bool operator==(const TNodePlace&) const = default;
};
struct TFigureChange;

// A whole arrangement of the figures: each member's rectangle, in member order, and the faint
// rings drawn behind them (those of a target arrangement; none for the others).
struct TArrangement {
    std::vector<QRect> Geometries;
    QPoint RingCentre;
    std::vector<int> RingRadii;
};

// The figure stored for a node figure (0 for none) and back.
int32_t FigureTypeOf(TComponentStyle style);
TComponentStyle FigureOfType(int32_t figType);

// The sociogram of one investigation: one node per member, arrows for the positive choices, the
// negative ones or both. Each kind keeps its own node places and figures while the window is open;
// closing stores all three in the project's GRAPH table. Only the user's own edits count as a change
// of the project: an arrangement the program made by itself is stored for the next opening but asks
// for no save.
class TGraphForm final : public TVisualChildForm {
    Q_OBJECT

public:
    // Throws TAppError (the "LESS_2_CLIENTS" text) when the investigation has fewer than two members.
    TGraphForm(TFileAccess& store, int investId, const QString& title, QWidget* parent = nullptr);
    ~TGraphForm() override;

    void SaveState() override;
    void LoadState() override;
    void Build() override;
    void Initialize() override;
    void Refresh() override;
    void CaptureState() override;
    void ApplySettings() override;
    QSize PictureSize() const override;
    void PaintPicture(QPainter& painter) override;
    // Prints on white paper unless the screen's background colour is asked for.
    void Print(QPrinter& printer, TPrintType type, int copies) override;
    bool PrintsBackground() const { return m_printBackground; }
    void SetPrintsBackground(bool on);

    TSocioPanel& Surface() { return *m_surface; }
    // Nodes in member order.
    const std::vector<TSocioGraphicControl*>& Nodes() const { return m_nodes; }
    // Places of the placement kind 1, 2 or 0 (the view of both kinds), in member order.
    const std::vector<TNodePlace>& Places(int placeKind) const;
    QMenu& PanelMenu() { return *m_panelMenu; }
    QMenu& NodeMenu() { return *m_nodeMenu; }
    // The members' status groups (computed once, when the window opens).
    const TStatusResult& Status() const { return m_status; }
    // Whether the figures show their member's status group colour: switched on and the
    // investigation has status groups.
    bool StatusColorsShown() const { return m_statusColors && m_status.Available(); }
    // The key to the colours, on the surface right of the nodes; nullptr while the colours are off.
    TStatusLegend* StatusLegend() const { return m_legend; }

    // The figures and arrows of the view as drawn, for the layouts.
    TLayoutGraph LayoutGraph();
    // Arranges the figures automatically; the project stores the result like any move.
    void ArrangeBy(TLayoutKind kind);
    // Whether the target arrangement puts boys in the left half and girls in the right.
    bool SexHalves() const { return m_sexHalves; }
    void SetSexHalves(bool on);
    // Puts every figure where the arrangement says, in one step (an undoable step wraps this).
    void ApplyArrangement(const TArrangement& arrangement);
    // Whether pictures and printouts start with a line naming the investigation, its criterion, the
    // choices shown and the date.
    bool TitleLineShown() const { return m_titleLine; }
    void SetTitleLineShown(bool on);
    QString TitleLine() const;
    // The surface's and the figures' background (they share it, so figures show the surface around them).
    void SetBackgroundColour(const QColor& colour);
    // The view as drawn as GraphML (figure rectangles and signed arrows).
    std::string ViewGraphMl();

    // Menu handlers: the figure of an item for the node clicked (the whole selection when it is part of it); a kind for the main window to show.
    void FigureTypeMenuItemClick(TComponentStyle style);
    void ArrowFilterClick(int filter);
    void PopupItemChoicesClick(int kind);
    void ItemCopyClick();
    void ItemSaveasClick();
    // Writes the investigation as a network file (GraphML, GEXF, Pajek or edge-list CSV) with the
    // choices of the kind shown and the nodes where they stand now.
    void ItemExportNetworkClick();
    // Colours the figures by status group (with the legend) or back in the figure colour, and
    // remembers the choice in the settings.
    void PopupItemStatusColorsClick(bool on);

    // Puts the figures of an undo step back as they were before it or after it, in the places of
    // the kind of view each was made in (shown at once when that kind is on screen).
    void PutBack(const std::vector<TFigureChange>& changes, bool after);
    // Puts the figures moved, resized or changed since the window last looked on the project's
    // undo stack as one step.
    void NoteFigureChanges(const char* stepKey = nullptr, const TInvestigationObject::TRings* ringsBefore = nullptr);
    // The rings drawn behind the figures of the shown kind.
    TInvestigationObject::TRings ShownRings() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::vector<TNodePlace>& CurrentPlaces();
    // Stores the places of all kinds; closing tells whether the window is going.
    void WriteBack(bool closing);
    // Whether the figures differ from the saved project by the user's edits in this window.
    bool HoldsUnsavedEdits() const;
    // The places of the nodes on screen now, in member order.
    std::vector<TNodePlace> ScreenPlaces() const;
    void MakeArrows();
    void ApplyPlaces();
    void ApplyStatusColors();
    // Keeps the legend right of the rightmost node, level with the top row.
    void PlaceLegend();
    QFont TitleFont() const;
    // Height of the title strip above the sociogram in pictures (0 while it is off).
    int TitleHeight() const;

    QScrollArea* m_scroll = nullptr;
    TSocioPanel* m_surface = nullptr;
    QMenu* m_panelMenu = nullptr;
    QMenu* m_nodeMenu = nullptr;
    std::array<QAction*, 3> m_panelKinds{};
    std::array<QAction*, 3> m_nodeKinds{};
    std::array<QAction*, 2> m_statusItems{}; // node menu, background menu
    std::vector<QAction*> m_figureItems; // the separator before the kinds included
    std::vector<TSocioGraphicControl*> m_nodes;
    std::array<std::vector<TNodePlace>, 3> m_places; // placement kinds 1, 2, 0
    std::array<TInvestigationObject::TRings, 3> m_rings; // a target arrangement's rings, per kind
    std::vector<TNodePlace> m_seen; // the nodes on screen when the window last looked
    bool m_unrecordedEdits = false; // edits made while no undo stack took them
    TStatusResult m_status;
    bool m_statusColors = false;
    QColor m_figureColor; // the figures' own colour, shown while the status colours are off
    TStatusLegend* m_legend = nullptr;
    bool m_sexHalves = false;
    bool m_titleLine = false;
    bool m_printBackground = false;
    QAction* m_titleItem = nullptr;
    QAction* m_halvesItem = nullptr;
    QAction* m_printBackgroundItem = nullptr;
    std::array<QAction*, 3> m_arrowItems{};
};
