#pragma once

#include <map>
#include <vector>

#include <QStringList>

#include "shell/entityform.h"

class QCheckBox;
class QComboBox;
class QListWidget;
class QSpinBox;

// What the investigation dialog shows and checks, read from the project beforehand so the
// dialog itself does not walk the tables.
struct TInvestFormData {
    struct TEntry {
        int Id = -1;
        QString Name;
    };
    struct TGroupClients {
        std::vector<int> Ids;  // table order
        QStringList Names;     // full names, table order
    };

    std::vector<TEntry> ClientGroups;                   // table order
    std::map<int, TGroupClients> ClientsOfGroup;        // by client group Id
    std::vector<TEntry> CriteriaGroups;                 // table order
    std::map<int, std::vector<TEntry>> CriteriaOfGroup; // by criteria group Id, table order
    // Choices already made in the investigation being changed, counted per choosing client Id.
    std::map<int, int> PositiveByChooser;
    std::map<int, int> NegativeByChooser;
};

// The dialog that creates or changes an investigation: name, client group (with its members
// shown), criteria group and criterion, whether negative choices are allowed, the maximum of
// choices per member, and description. It refuses edits that would contradict choices already
// recorded and repairs them in place.
class TAddInvestForm final : public TEntityFormBase {
    Q_OBJECT

public:
    explicit TAddInvestForm(QWidget* parent = nullptr);

    // Fills the drop-downs. investId is -1 for a new investigation; in change mode the entries
    // of the stored Ids are selected and the stored values shown.
    void Fill(const TInvestFormData& formData, int investId, int clientGroupId = -1, int criteriaGroupId = -1,
              int criterionId = -1, bool allowAgainst = false, int maxChoices = 0);

    // Ids of the selected entries; -1 when a drop-down is empty.
    int ClientGroupId() const;
    int CriteriaGroupId() const;
    int CriterionId() const;
    bool AllowAgainst() const;
    int MaxChoices() const;
    int ClientCount() const;
    int CriterionCount() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FillClients();
    void FillCriteria();
    void ClientGroupChanged(int index);
    void CriteriaGroupChanged(int index);
    void MaxChoicesChanged(int value);
    void AllowAgainstToggled(bool checked);
    // Largest number of positive and of negative choices one member of the selected group made.
    int LargestChoicesOfMember() const;
    bool HasChoices() const;
    bool HasNegativeChoices() const;
    void Tell(const char* key);

    TInvestFormData m_data;
    int m_investId = -1;
    int m_storedGroupId = -1;
    int m_previousGroupIndex = -1;
    bool m_filling = false;
    // The maximum typed was below the choices already made and was raised to them.
    bool m_maxRaised = false;

    QComboBox* m_clientGroups = nullptr;
    QListWidget* m_clients = nullptr;
    QComboBox* m_criteriaGroups = nullptr;
    QComboBox* m_criteria = nullptr;
    QCheckBox* m_allowAgainst = nullptr;
    QSpinBox* m_maxChoices = nullptr;
};
