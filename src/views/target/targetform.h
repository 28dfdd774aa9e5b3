#pragma once

#include <cstdint>
#include <vector>

#include "analysis/statusgroups.h"
#include "views/viewform.h"

class QAction;
class QMenu;
class QScrollArea;
class TStatusLegend;
class TStringsList;
class TTarget;

// The target window of an investigation: the members on concentric rings by the number of
// choices they received, with a legend naming the members of the ring under the mouse or of the
// ring last clicked.
class TTargetForm final : public TVisualChildForm {
    Q_OBJECT

public:
    // The ring value the legend shows when it shows none.
    static constexpr int32_t kNoRing = -99999;

    // Throws TAppError (the "LESS_2_CLIENTS" text) for an investigation of fewer than two members.
    TTargetForm(TFileAccess& store, int investId, const QString& title, QWidget* parent = nullptr);
    ~TTargetForm() override;

    // Nothing of the target is stored or carried between kinds.
    void SaveState() override {}
    void LoadState() override {}
    void Initialize() override {}
    void CaptureState() override {}
    void Build() override;
    void Refresh() override;
    void ApplySettings() override;

    // The diagram with the legend to its right, as high as the higher of the two.
    QSize PictureSize() const override;
    void PaintPicture(QPainter& painter) override;

    TTarget& Target() const { return *m_target; }
    TStringsList& Legend() const { return *m_legend; }
    // The ring whose members the legend lists (kNoRing before the first).
    int32_t LegendRing() const { return m_legendRing; }
    // The members' status groups (computed when the window opens).
    const TStatusResult& Status() const { return m_status; }
    // Whether the legend marks each member with the colour of its status group: switched on and
    // the investigation has status groups.
    bool StatusColorsShown() const { return m_statusColors && m_status.Available(); }
    // The key to the colours, below the rings; nullptr while the colours are off.
    TStatusLegend* StatusLegend() const { return m_statusLegend; }
    QMenu& Menu() const { return *m_popup; }

    // Marks the members by status group (with the key) or not, and remembers the choice in the settings.
    void PopupItemStatusColorsClick(bool on);
    // Lists every member in the legend with the choices received, the most chosen first, and
    // marks no ring: a printed target cannot be pointed at ring by ring.
    void ShowEveryRing();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateComponents();
    // Widens the rings so the diagram fills the window beside the legend (never below the
    // settings' ring width).
    void FitRingsToWindow();
    void PlaceContents();
    // Lists the members of a ring in the legend (nothing when it already does).
    void ShowLegend(int32_t ring);
    // Puts the members into the legend under heading, each line led by its count when withCounts.
    void ShowMembers(const QString& heading, const std::vector<int>& members, bool withCounts);
    void TargetMouseMove(int ring);
    void TargetMouseOutMove();
    void TargetLButtonDown(int ring);
    void PopupItemClick(int kind);
    void ItemCopyClick();
    void ItemSaveAsClick();
    void ApplyStatusColors();
    // The key takes the font and colours of the members' list.
    void StyleStatusLegend();
    // Where the key to the status colours sits: below the rings.
    QPoint StatusLegendPos() const;
    // Where the list of a ring's members starts: right of the rings (and of the key).
    int MembersLegendLeft() const;

    QScrollArea* m_scroll = nullptr;
    QWidget* m_contents = nullptr;
    TTarget* m_target = nullptr;
    TStringsList* m_legend = nullptr;
    QMenu* m_popup = nullptr;
    QAction* m_itemPositive = nullptr;
    QAction* m_itemNegative = nullptr;
    QAction* m_itemStatusColors = nullptr;
    std::vector<int32_t> m_counts;
    int32_t m_legendRing = kNoRing;
    TStatusResult m_status;
    bool m_statusColors = false;
    TStatusLegend* m_statusLegend = nullptr;
};
