#pragma once

#include <string>

#include <QDialog>

#include "platform/helptopics.h"

#include "exchange/rosterimport.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// The preview of a class list import: the client group that will be created with its clients,
// what was assumed, and every row that will be refused with its reason. OK is offered only when
// nothing is refused; the caller then applies Plan() to the project.
class TRosterImportForm final : public QDialog {
    Q_OBJECT

public:
    static constexpr THelpTopic kHelpTopic = THelpTopic::RosterImport;

    // bytes: the class list file as read; fileName names it in the window.
    TRosterImportForm(std::string bytes, const QString& fileName, const QString& groupName,
                      QWidget* parent = nullptr);

    const TRosterPlan& Plan() const { return m_plan; }

private:
    void Replan();

    std::string m_bytes;
    TRosterPlan m_plan;
    QLineEdit* m_groupEdit = nullptr;
    QListWidget* m_clients = nullptr;
    QListWidget* m_refused = nullptr;
    QLabel* m_summary = nullptr;
    QPushButton* m_okButton = nullptr;
};
