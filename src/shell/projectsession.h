#pragma once

#include <functional>
#include <memory>

#include <QObject>
#include <QString>

class QUndoCommand;
class QUndoStack;
class QWidget;
class TFileAccess;
class TProjectLock;

// What the session needs from the windows that show the open project.
struct TSessionViews {
    // Asks every view its own question and writes what views hold into the project (choices not
    // yet saved, figure places), closing none; false when the user kept a view as it is.
    std::function<bool()> Confirm;
    // Writes the choices the views hold into the project before it is saved; false on a failure.
    std::function<bool()> Commit;
    // Closes every view; false when one stayed open.
    std::function<bool()> Close;
};

// Keeps track of the open project: its file, its life from open or create to close, the save
// questions and its undo history.
class TProjectSession final : public QObject {
    Q_OBJECT

public:
    // The questions and file dialogs the session shows belong to dialogParent's window.
    explicit TProjectSession(QWidget* dialogParent);
    ~TProjectSession() override;
    TProjectSession(const TProjectSession&) = delete;
    TProjectSession& operator=(const TProjectSession&) = delete;

    void SetViews(TSessionViews views) { m_views = std::move(views); }

    // The open project, nullptr while none is open.
    TFileAccess* Store() const { return m_store.get(); }
    bool HasProject() const { return m_store != nullptr; }
    // The edits of the open project; empty and clean while none is open.
    QUndoStack* UndoStack() const { return m_undo; }
    // Applies a command and keeps it on the stack. Pushing here rather than on the stack itself
    // keeps a change the command makes while notifying the windows from being taken for a change
    // beside the stack. Undo and Redo step the same way.
    void Push(QUndoCommand* command);
    void Undo();
    void Redo();

    // Unmodified exactly when the undo stack is at its clean index and no change outside the
    // stack (one that cannot be undone, e.g. the users list) was made since the last save or load.
    bool IsModified() const;
    // Records a change made outside the undo stack; the project stays modified until saved.
    void MarkModified();
    // Takes the store's own modified flag as a change outside the stack; the main window calls
    // it after each command so that a direct change to the tables is not missed.
    void Sync();

    // A new project with the default user "admin", after closing the open one.
    bool Create();
    // Loads the project file (after converting an older one, and the login when it asks for one)
    // and only then closes the open project and takes the new one. Throws TAppError for a path
    // that is no file; false when the user stopped or the file could not be read (said so).
    bool Open(const QString& path);
    // Save writes to the project's file, or runs SaveAs for a project without one.
    bool Save();
    bool SaveAs();
    // The save question, then the views closed and the project let go; false keeps it open.
    bool Close();

Q_SIGNALS:
    // A project was created or opened (it is in Store()), or the open one was closed.
    void ProjectChanged();
    // The recent-projects list changed.
    void RecentChanged();
    void ModifiedChanged(bool modified);

private:
    // The project question: true to go on (after a save for Yes), false for Cancel.
    bool ConfirmSave();
    bool AskConvertOldFile();
    // Locks path for this program; nullptr (said why) when another program holds it.
    std::unique_ptr<TProjectLock> LockFile(const QString& path);
    // Offers to put back the copy an interrupted save left of path; false when the user stopped.
    bool OfferRecoveryCopy(const QString& path);
    // The one box for a project file that could not be read: where, what was expected, what to do.
    void ReportUnreadable(const TFileAccess& store, const QString& path, const QString& backupName);
    void Install(std::unique_ptr<TFileAccess> store);
    void Free();
    void SetOutsideChange(bool value);

    QWidget* m_dialogParent;
    std::unique_ptr<TFileAccess> m_store;
    // The open project's file is locked against other writers while it is open here.
    std::unique_ptr<TProjectLock> m_lock;
    QUndoStack* m_undo;
    TSessionViews m_views;
    // A change that the undo stack does not hold was made since the last save or load.
    bool m_outsideChange = false;
    // A command is being applied or reverted: the store's flag is the stack's doing.
    bool m_applying = false;
    bool m_lastModified = false;
};
