#pragma once

#include <utility>
#include <vector>

#include <QPointer>
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

// Puts a finished change on the project's stack; nothing when no stack is set or the change left
// the tables as they were (the project's modified flag then stays as it was too).
void PushStoreEdit(TFileAccess& store, TStoreEdit edit, const QString& text);

// A step whose changes a window holds itself (marks not yet saved, figures on screen).
class TWindowStep : public QUndoCommand {
public:
    using QUndoCommand::QUndoCommand;
    // The window was closed: the step has nothing left to act on.
    virtual bool WindowGone() const = 0;
    // Whether window made the step.
    virtual bool MadeIn(const QObject& window) const = 0;
};

// An edit a window made as one step: the window puts its changes back with PutBack(changes,
// after). Once the window is closed the step drops out of the stack when it is reached.
template <typename TWindow, typename TChange> class TWindowCommand final : public TWindowStep {
public:
    TWindowCommand(TWindow& window, std::vector<TChange> changes, const QString& text)
        : TWindowStep(text), m_window(&window), m_changes(std::move(changes))
    {
    }

    void undo() override { Put(false); }
    void redo() override
    {
        // The window made the change before the step was pushed.
        if (m_made) {
            m_made = false;
            return;
        }
        Put(true);
    }
    bool WindowGone() const override { return m_window.isNull(); }
    bool MadeIn(const QObject& window) const override
    {
        return static_cast<const QObject*>(m_window.data()) == &window;
    }

private:
    void Put(bool after)
    {
        if (!m_window) {
            setObsolete(true);
            return;
        }
        m_window->PutBack(m_changes, after);
    }

    QPointer<TWindow> m_window;
    std::vector<TChange> m_changes;
    bool m_made = true;
};

// Whether the project differs from where the stack was last set clean: steps of windows closed
// since (whose changes were let go with them) change nothing.
bool ChangedSinceClean(const QUndoStack& stack);
// Whether steps made in window lie between where the stack was last set clean and where it is,
// so that what the window shows differs from the saved project by the user's doing.
bool WindowChangedSinceClean(const QUndoStack& stack, const QObject& window);

// Undo and redo for the Edit menu: one step the user can see, passing over the steps of windows
// closed since, which drop out of the stack on the way.
void UndoStep(QUndoStack& stack);
void RedoStep(QUndoStack& stack);
