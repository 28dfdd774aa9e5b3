#pragma once

#include <vector>

#include <QDialog>

class QListWidget;
class QPushButton;
class TFileAccess;

// Picks the investigations to compare one investigation with: those of the same client group
// first, the others marked; the later waves follow in the order they were ticked.
class TComparePickForm final : public QDialog {
    Q_OBJECT

public:
    TComparePickForm(QWidget* owner, TFileAccess& store, int investId);

    QListWidget& List() { return *m_list; }
    bool Confirmed() const { return m_confirmed; }
    // The ticked investigations in the order they were ticked.
    const std::vector<int>& ChosenIds() const { return m_chosen; }

private:
    void ItemChanged(int row);

    std::vector<int> m_ids; // by row
    std::vector<int> m_chosen;
    bool m_confirmed = false;
    QListWidget* m_list = nullptr;
    QPushButton* m_ok = nullptr;
};
