#pragma once

#include <vector>

#include "analysis/waves.h"
#include "views/viewform.h"

class QMenu;
class QTabWidget;
class QTableWidget;
class QTextBrowser;
class TChangeSociogram;

// Investigations of one group compared over time: for each pair of consecutive waves the members
// (sortable, those who moved between status groups marked), who joined and left, the changes of
// choices and mutual pairs, the stability figures, the status transitions and the group indices
// side by side, and the sociogram of change. Copied as tab-separated text, saved as CSV, printed;
// it writes nothing back.
class TCompareForm final : public TVisualChildForm {
    Q_OBJECT

public:
    // Compares investId with withIds in that order. Throws TAppError with the reason when the
    // investigations cannot be compared, or the "LESS_2_CLIENTS" text for a group too small.
    TCompareForm(TFileAccess& store, int investId, const std::vector<int32_t>& withIds, const QString& title,
                 QWidget* parent = nullptr);
    ~TCompareForm() override;

    void SaveState() override {}
    void LoadState() override {}
    void Build() override;
    void Initialize() override {}
    void Refresh() override;
    void CaptureState() override {}
    void ApplySettings() override;
    QSize PictureSize() const override;
    void PaintPicture(QPainter& painter) override;

    const TWaveSeries& Series() const { return m_series; }
    // The investigations compared, earliest first.
    const std::vector<int32_t>& WaveIds() const { return m_ids; }
    QTabWidget& Tabs() { return *m_tabs; }
    QTableWidget& MemberTable(int pair) { return *m_members.at(static_cast<std::size_t>(pair)); }
    QMenu& Menu() { return *m_menu; }

    // The pair shown: its summary and its members in the order shown, tab-separated.
    QString TableText() const;
    std::string CsvText() const;

    void ItemCopyClick();
    void ItemSaveCsvClick();
    void ItemPrintClick();

    // Shows the sociogram of change of a pair (its tab); the picture is then the sociogram.
    void ShowSociogram(int pair);
    TChangeSociogram& Sociogram(int pair) { return *m_sociograms.at(static_cast<std::size_t>(pair)); }

private:
    void FillMembers(QTableWidget& table, const TWaveComparison& pair);
    // The pair of the tab shown, and whether the tab is its sociogram.
    int CurrentPair() const;
    bool SociogramShown() const;
    // The summary blocks and the member table of a pair, as rows of text.
    std::vector<std::vector<QStringList>> PrintedTables(int pair) const;

    std::vector<int32_t> m_ids;
    TWaveSeries m_series;
    QTabWidget* m_tabs = nullptr;
    std::vector<QTableWidget*> m_members;
    std::vector<QTextBrowser*> m_summaries;
    std::vector<TChangeSociogram*> m_sociograms;
    QMenu* m_menu = nullptr;
};
