#pragma once

#include <QString>
#include <QStringList>
#include <QUndoCommand>

#include "store/storeedit.h"

class QUndoStack;
class TFileAccess;

// The undo stack of the open project, which every edit of the tree, the dialogs and the views
// goes on; nullptr while no project is open (edits are then not recorded).
QUndoStack* ProjectUndoStack();
// Sets the stack (nullptr: none); returns the previous one.
QUndoStack* SetProjectUndoStack(QUndoStack* stack);

// The text of an undo step: the catalogue text of key with %1, %2 ... filled in.
QString UndoText(const char* key, const QStringList& args = {});

// A change of the project's tables as one undo step: made once through the store's own add,
// change and remove, then taken back and made again from what it recorded. After each undo or
// redo the windows are told (TNotifyCode::TablesRestored) so they show the tables again.
class TStoreCommand final : public QUndoCommand {
public:
    TStoreCommand(TFileAccess& store, TStoreEdit edit, const QString& text);

    void undo() override;
    void redo() override;

private:
    TFileAccess& m_store;
    TStoreEdit m_edit;
    bool m_made = true;
};

// Puts a finished change on the project's stack; nothing when the change left the tables as they
// were or no stack is set.
void PushStoreEdit(TFileAccess& store, TStoreEdit edit, const QString& text);
