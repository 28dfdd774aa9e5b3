#pragma once

#include <QString>

#include "shell/findkind.h"

class QWidget;
class TFileAccess;

// What a create or change flow did: whether the tables were written, and the object's Id and
// name so the caller can add or rename its tree node.
struct TEntityResult {
    bool Done = false;
    int Id = -99999;
    QString Name;
};

// The create and change flows of the project objects. Each runs its dialog through the modal
// seam and, on OK, writes the tables; Done is false when the user cancelled or the flow refused
// (the refusal has then been shown to the user).
TEntityResult CreateClientGroup(QWidget* parent, TFileAccess& store, int newId);
TEntityResult ChangeClientGroup(QWidget* parent, TFileAccess& store, int id);
TEntityResult CreateClient(QWidget* parent, TFileAccess& store, int groupId, int newId);
TEntityResult ChangeClient(QWidget* parent, TFileAccess& store, int id, int groupId);
TEntityResult CreateCriteriaGroup(QWidget* parent, TFileAccess& store, int newId);
TEntityResult ChangeCriteriaGroup(QWidget* parent, TFileAccess& store, int id);
TEntityResult CreateCriterion(QWidget* parent, TFileAccess& store, int groupId, int newId);
TEntityResult ChangeCriterion(QWidget* parent, TFileAccess& store, int id, int groupId);
TEntityResult CreateInvestigation(QWidget* parent, TFileAccess& store, int newId);
TEntityResult ChangeInvestigation(QWidget* parent, TFileAccess& store, int id);

// The answer of the find dialog. Flags: 1 case sensitive, 2 whole string. Type: 0 any name,
// 1 client groups, 2 clients, 3 criteria groups, 4 criteria, 5 investigations.
struct TFindRequest {
    bool Find = false;
    QString Text;
    TFindType Type = TFindType::AnyObject;
    TFindFlags Flags = TFindFlags::None;
};

// Runs the find dialog filled from the remembered search; Find is false when the user closed it.
TFindRequest RunFindForm(QWidget* parent, const TFindRequest& remembered);
