#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include <QColor>

#include "analysis/statusgroups.h"
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

// The figure stored for a node figure (0 for none) and back.
int32_t FigureTypeOf(TComponentStyle style);
TComponentStyle FigureOfType(int32_t figType);

// The sociogram of one investigation: one node per member, arrows for the positive choices, the
// negative ones or both. Each kind keeps its own node places and figures while the window is open;
// closing stores all three in the project's GRAPH table.
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

    // Menu handlers: the figure of an item for the focused node; a kind for the main window to show.
    void FigureTypeMenuItemClick(TComponentStyle style);
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
    void NoteFigureChanges();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::vector<TNodePlace>& CurrentPlaces();
    // The places of the nodes on screen now, in member order.
    std::vector<TNodePlace> ScreenPlaces() const;
    void MakeArrows();
    void ApplyPlaces();
    void ApplyStatusColors();
    // Keeps the legend right of the rightmost node, level with the top row.
    void PlaceLegend();

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
    std::vector<TNodePlace> m_seen; // the nodes on screen when the window last looked
    TStatusResult m_status;
    bool m_statusColors = false;
    QColor m_figureColor; // the figures' own colour, shown while the status colours are off
    TStatusLegend* m_legend = nullptr;
};
