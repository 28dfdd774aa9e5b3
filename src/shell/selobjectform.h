#pragma once

#include <vector>

#include <QDialog>
#include <QString>

#include "platform/helptopics.h"

class QComboBox;
class QPushButton;
class TFileAccess;

// Picks one object of a kind from the open project: client groups (0), clients (1),
// criteria groups (2), criteria (3) or investigations (4).
class TSelObjectForm : public QDialog {
    Q_OBJECT

public:
    enum TKind { KindClientGroup = 0, KindClient = 1, KindCriteriaGroup = 2, KindCriterion = 3, KindInvestigation = 4 };

    struct TEntry {
        int Id = -1;
        int GroupId = -1;
        QString Name;
    };

    TSelObjectForm(QWidget* owner, TFileAccess& store, TKind kind, THelpTopic helpTopic = THelpTopic::Contents);

    const std::vector<TEntry>& Entries() const { return m_entries; }
    bool Confirmed() const { return m_confirmed; }
    int ChosenId() const { return m_chosen.Id; }
    int ChosenGroupId() const { return m_chosen.GroupId; }
    QString ChosenName() const { return m_chosen.Name; }

private:
    void FillEntries(TFileAccess& store, TKind kind);
    void ComboBoxChange(int index);

    std::vector<TEntry> m_entries;
    TEntry m_chosen;
    bool m_confirmed = false;
    QComboBox* m_combo = nullptr;
    QPushButton* m_ok = nullptr;
};

// The object pick window of the report commands.
class TRepSelObjectForm final : public TSelObjectForm {
    Q_OBJECT

public:
    TRepSelObjectForm(QWidget* owner, TFileAccess& store, TKind kind);
};
