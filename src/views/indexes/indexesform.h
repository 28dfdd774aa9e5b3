#pragma once

#include <array>

#include "views/viewform.h"

class QAction;
class QMenu;
class QScrollArea;
class TGraphicChart;

// The sociometric indices of one investigation as two charts, one above the other: the four group
// indices as bars and every member's four individual indices as lines, each point labelled with
// its value, for the positive or the negative choices.
class TIndexesForm final : public TVisualChildForm {
    Q_OBJECT

public:
    // Throws TAppError (the "LESS_2_CLIENTS" text) when the investigation has fewer than two members.
    TIndexesForm(TFileAccess& store, int investId, const QString& title, QWidget* parent = nullptr);
    ~TIndexesForm() override;

    // The window keeps no state of its own.
    void SaveState() override {}
    void LoadState() override {}
    void CaptureState() override {}
    void Build() override;
    void Initialize() override;
    void Refresh() override;
    void ApplySettings() override;
    // Both charts stacked: as wide as the wider one, as tall as both.
    QSize PictureSize() const override;
    void PaintPicture(QPainter& painter) override;

    TGraphicChart& GroupChart() { return *m_groupChart; }
    TGraphicChart& PrivateChart() { return *m_privateChart; }
    QMenu& PopupMenu() { return *m_popup; }
    QScrollArea& ScrollBox() { return *m_scroll; }
    // The member chart's key pinned to the right of the visible part while the chart's own key,
    // at its far right, is out of sight.
    QWidget& PinnedKey() { return *m_key; }


    // Menu handlers: a kind for the main window to show; the picture to the clipboard or a file.
    void PopupItemChoicesClick(int kind);
    void ItemCopyClick();
    void ItemSaveAsClick();
    // Writes the member and group indices with status levels and groups as CSV or Excel.
    void ItemExportIndicesClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildGroupChart();
    void BuildPrivateChart();
    void PlaceCharts();
    void ShowCheckedKind();
    void PlaceKey();

    QScrollArea* m_scroll = nullptr;
    QWidget* m_chartsPanel = nullptr;
    TGraphicChart* m_groupChart = nullptr;
    TGraphicChart* m_privateChart = nullptr;
    QMenu* m_popup = nullptr;
    QWidget* m_key = nullptr;
    std::array<QAction*, 2> m_kindItems{};
    int m_checkedKind = 1;
};
