#pragma once

#include "analysis/statusgroups.h"
#include "views/statuslegend.h"
#include "views/viewform.h"

class QLabel;
class QMenu;
class QTableWidget;

// The status groups of one investigation: a sortable table of the members with their nominations
// received, standard scores and group, and the number of members in each group. The table can be
// copied (tab-separated, for spreadsheets), saved as CSV and printed.
class TStatusForm final : public TVisualChildForm {
    Q_OBJECT

public:
    // Throws TAppError (the "LESS_2_CLIENTS" text) when the investigation has fewer than two members.
    TStatusForm(TFileAccess& store, int investId, const QString& title, QWidget* parent = nullptr);
    ~TStatusForm() override;

    void SaveState() override {}
    void LoadState() override {}
    void Build() override;
    void Initialize() override {}
    void Refresh() override;
    void CaptureState() override {}
    void ApplySettings() override;
    QSize ContentSize() const override;
    QSize PictureSize() const override;
    void PaintPicture(QPainter& painter) override;

    const TStatusResult& Result() const { return m_result; }
    QTableWidget& Table() { return *m_table; }
    QMenu& Menu() { return *m_menu; }

    // The table as tab-separated text in the order shown, with a header line.
    QString TableText() const;
    // The table as CSV (RFC 4180, CR LF), in member order.
    std::string CsvText() const;

    void ItemCopyClick();
    void ItemSaveCsvClick();
    void ItemPrintClick();

private:
    // The header texts of the table's columns.
    QStringList Headers() const;
    // The counts per group in one line, or why there are no groups.
    QString CountsLine() const;
    // The widths of the picture's table columns.
    std::vector<int> ColumnWidths() const;
    // The rows in the order shown: each row's texts.
    std::vector<QStringList> ShownRows() const;

    TStatusResult m_result;
    QLabel* m_counts = nullptr;
    QTableWidget* m_table = nullptr;
    QMenu* m_menu = nullptr;
};
