#include "shell/projectsession.h"

#include <QDir>
#include <QFileInfo>
#include <QUndoStack>
#include <QWidget>

#include "i18n/langconv.h"
#include "i18n/storemessages.h"
#include "platform/langcontroller.h"
#include "platform/messagedialog.h"
#include "platform/modalseam.h"
#include "platform/savefile.h"
#include "settings/regs.h"
#include "shell/inputform.h"
#include "store/fileacc.h"
#include "store/projectlock.h"
#include "store/updatefile.h"
#include "util/error.h"
#include "util/safefile.h"
#include "views/undostack.h"
#include "util/messagesink.h"

namespace {

// An 8-bit project whose code page could not hold all of its text was saved as UTF-8.
void TellSavedAsUtf8(const TFileAccess& store)
{
    if (store.SavedAsUtf8())
        MessageSink().ShowText(SavedAsUtf8Text());
}

// What the reader looked for where it stopped, in words; empty where nothing more is known.
const char* ExpectedKey(TStoreErrorCode code)
{
    switch (code) {
    case TStoreErrorCode::MissingSection:
        return "PROJECT_EXPECTED_SECTION";
    case TStoreErrorCode::BadColumnCount:
        return "PROJECT_EXPECTED_COLUMNS";
    case TStoreErrorCode::IncompleteSection:
        return "PROJECT_EXPECTED_RECORD";
    case TStoreErrorCode::BadValue:
        return "PROJECT_EXPECTED_VALUE";
    case TStoreErrorCode::TooLarge:
        return "PROJECT_EXPECTED_SIZE";
    default:
        return nullptr;
    }
}

} // namespace

TProjectSession::TProjectSession(QWidget* dialogParent)
    : m_dialogParent(dialogParent), m_undo(new QUndoStack(this))
{
    // The stack holds the changes it applies; the store's own flag then only tells of changes
    // made beside it.
    connect(m_undo, &QUndoStack::indexChanged, this, [this] {
        if (m_store)
            m_store->SetModified(false);
        SetOutsideChange(m_outsideChange);
    });
    connect(m_undo, &QUndoStack::cleanChanged, this, [this] { SetOutsideChange(m_outsideChange); });
}

TProjectSession::~TProjectSession()
{
    Free();
}

bool TProjectSession::IsModified() const
{
    return m_store && (m_outsideChange || ChangedSinceClean(*m_undo));
}

void TProjectSession::MarkModified()
{
    if (m_store)
        SetOutsideChange(true);
}

void TProjectSession::Sync()
{
    if (m_store && !m_applying && m_store->IsModified())
        SetOutsideChange(true);
}

void TProjectSession::Push(QUndoCommand* command)
{
    Sync();
    m_applying = true;
    m_undo->push(command);
    m_applying = false;
}

void TProjectSession::Undo()
{
    Sync();
    m_applying = true;
    UndoStep(*m_undo);
    m_applying = false;
}

void TProjectSession::Redo()
{
    Sync();
    m_applying = true;
    RedoStep(*m_undo);
    m_applying = false;
}

void TProjectSession::SetOutsideChange(bool value)
{
    m_outsideChange = value;
    const bool modified = IsModified();
    if (modified != m_lastModified) {
        m_lastModified = modified;
        Q_EMIT ModifiedChanged(modified);
    }
}

void TProjectSession::Install(std::unique_ptr<TFileAccess> store)
{
    m_store = std::move(store);
    SetCurrentProject(m_store.get());
    SetProjectFolder(m_store->FileName());
    m_undo->clear();
    m_undo->setClean();
    m_store->SetModified(false);
    SetOutsideChange(false);
}

void TProjectSession::Free()
{
    m_lock.reset();
    m_undo->clear();
    if (m_store && CurrentProject() == m_store.get())
        SetCurrentProject(nullptr);
    if (m_store)
        SetProjectFolder({});
    m_store.reset();
    SetOutsideChange(false);
}

bool TProjectSession::Create()
{
    if (HasProject() && !Close())
        return false;
    auto store = std::make_unique<TFileAccess>();
    store->Users().Add(1, "admin", "");
    Install(std::move(store));
    // A project that was never written is unsaved work.
    SetOutsideChange(true);
    Q_EMIT ProjectChanged();
    return true;
}

bool TProjectSession::Open(const QString& path)
{
    const QFileInfo info(path);
    if (info.isDir())
        throw TAppError(LangConv().GetText("PROJECT_IS_FOLDER") + "\n" + QDir::toNativeSeparators(path).toStdString());
    if (!info.isFile()) {
        // Only a path that was in the recent list has been taken out of it.
        bool recent = false;
        for (int k = 1; k <= 10; ++k)
            recent = recent || QString::fromStdString(Regs().GetRecentProject(k)).trimmed() == path.trimmed();
        if (recent) {
            Regs().RemoveRecentProject(path.toStdString());
            Q_EMIT RecentChanged();
        }
        throw TAppError(LangConv().GetText(recent ? "PROJECT_NO_FILE" : "PROJECT_FILE_NOT_FOUND") + "\n" +
                        QDir::toNativeSeparators(path).toStdString());
    }
    const QString fullPath = info.absoluteFilePath();
    // The open project's own file is read after its changes were saved or let go.
    if (HasProject() && QFileInfo(QString::fromStdString(m_store->FileName())) == info && !Close())
        return false;
    // No other program may change the file while it is open here (the conversion writes it too).
    std::unique_ptr<TProjectLock> lock = LockFile(fullPath);
    if (!lock || !OfferRecoveryCopy(fullPath))
        return false;
    // An older file is converted first, when the user allows it; otherwise it is not opened.
    TUpdateFile update(fullPath.toStdString());
    if (!update.Check([this] { return AskConvertOldFile(); }, NotChangedText()))
        return false;
    auto store = std::make_unique<TFileAccess>(fullPath.toStdString());
    if (!store->Load()) {
        // A wrong pick costs nothing: the open project stays as it is.
        ReportUnreadable(*store, fullPath, QString::fromStdString(update.BackupName()));
        return false;
    }
    if (store->LoginRequired()) {
        TInputForm login(store->Users(), QStringLiteral("UserName"), m_dialogParent);
        if (Modal().Exec(login) != QDialog::Accepted || !login.Succeeded())
            return false;
    }
    if (HasProject() && !Close())
        return false;
    Install(std::move(store));
    m_lock = std::move(lock);
    Regs().AddRecentProject(fullPath.toStdString());
    Q_EMIT RecentChanged();
    Q_EMIT ProjectChanged();
    return true;
}

void TProjectSession::ReportUnreadable(const TFileAccess& store, const QString& path, const QString& backupName)
{
    const TStoreError& error = store.LastError();
    QString text = CatalogueText("PROJECT_UNREADABLE_MSG") + "\n" + QDir::toNativeSeparators(path);
    if (error.Line > 0)
        text += "\n" + CatalogueText("ERROR_PLACE_LINE") + ": " + QString::number(error.Line);
    if (const char* expected = ExpectedKey(error.Code))
        text += "\n" + CatalogueText(expected);
    else if (!error.Reason.empty())
        text += "\n" + CatalogueText("ERROR_PLACE_REASON") + ": " + QString::fromStdString(error.Reason);
    // A conversion just now names its own backup; otherwise the usual one is offered.
    const QString backup = backupName.isEmpty() ? path + ".bak" : backupName;
    if (QFileInfo(backup).isFile())
        text += "\n\n" + CatalogueText("PROJECT_OPEN_BACKUP_MSG").arg(QDir::toNativeSeparators(backup));
    else
        text += "\n\n" + CatalogueText("PROJECT_CHECK_FILE_MSG");
    Modal().Error(m_dialogParent, CatalogueText("APPLICATION_NAME"), text);
}

std::unique_ptr<TProjectLock> TProjectSession::LockFile(const QString& path)
{
    auto lock = std::make_unique<TProjectLock>();
    const std::string file = path.toStdString();
    if (!lock->Acquire(file, "Tremlow")) {
        // A folder that takes no lock file (a read-only share) leaves the project to be read only.
        if (!lock->HeldByOther())
            return lock;
        Modal().Error(m_dialogParent, CatalogueText("APPLICATION_NAME"),
                      QString::fromStdString(ProjectLockedText(file, lock->Holder())));
        return nullptr;
    }
    if (lock->TookOverStale())
        MessageSink().ShowText(StaleLockText(lock->Holder()));
    return lock;
}

bool TProjectSession::OfferRecoveryCopy(const QString& path)
{
    const std::string file = path.toStdString();
    const std::string copy = RecoveryCopyOf(file);
    if (copy.empty())
        return true;
    // No opens the file as it is and keeps the copy, so nothing is lost either way.
    TMessageDialog box(m_dialogParent);
    box.DialogType = mdYesNo;
    box.Title = CatalogueText("APPLICATION_NAME");
    box.Caption = QString::fromStdString(RecoveryCopyText(QFileInfo(path).fileName().toStdString(),
                                                          QFileInfo(QString::fromStdString(copy)).fileName().toStdString())) +
                  " " + CatalogueText("RECOVERY_RESTORE_QUESTION");
    if (box.Execute() != TMessageDialog::kYes)
        return true;
    std::string errorText;
    if (!RestoreRecoveryCopy(file, errorText)) {
        Modal().Error(m_dialogParent, CatalogueText("APPLICATION_NAME"), QString::fromStdString(errorText));
        return false;
    }
    return true;
}

bool TProjectSession::AskConvertOldFile()
{
    TMessageDialog box(m_dialogParent);
    box.DialogType = mdYesNoHelp;
    box.Title = CatalogueText("APPLICATION_NAME");
    box.Caption = CatalogueText("MUST_NEW_FILE");
    box.HelpContext = THelpTopic::Upgrade;
    return box.Execute() == TMessageDialog::kYes;
}

bool TProjectSession::Save()
{
    if (!m_store)
        return false;
    if (m_views.Commit && !m_views.Commit())
        return false;
    if (QString::fromStdString(m_store->FileName()).trimmed().isEmpty())
        return SaveAs();
    if (!m_store->Save()) {
        std::string text = StoreErrorText(m_store->LastError());
        // A file that cannot be written keeps the changes only in another one.
        if (m_store->LastError().Code == TStoreErrorCode::CannotWrite)
            text += "\n\n" + LangConv().GetText("PROJECT_USE_SAVE_AS_MSG");
        MessageSink().ShowText(text);
        return false;
    }
    TellSavedAsUtf8(*m_store);
    m_undo->setClean();
    SetOutsideChange(false);
    return true;
}

bool TProjectSession::SaveAs()
{
    if (!m_store)
        return false;
    if (m_views.Commit && !m_views.Commit())
        return false;
    QString name = Modal().SaveFileName(m_dialogParent, CatalogueText("PROJECT_SAVEDIALOG_TITLE"),
                                        QString::fromStdString(m_store->FileName()),
                                        CatalogueText("PROJECT_FILTER_HEAD") + " (*.soi)");
    if (name.isEmpty())
        return false;
    if (!name.endsWith(".soi")) {
        name += ".soi";
        // The dialog asked about the name as typed; the file now named is another one.
        if (QFileInfo::exists(name)) {
            TMessageDialog box(m_dialogParent);
            box.DialogType = mdYesNo;
            box.Caption = QFileInfo(name).fileName() + ": " + CatalogueText("PROJECT_FILE_EXISTS_MSG");
            box.Title = CatalogueText("PROJECT_SAVEDIALOG_TITLE");
            if (box.Execute() != TMessageDialog::kYes)
                return false;
        }
    }
    // The new file is locked like the one opened; the old one is let go once saved.
    std::unique_ptr<TProjectLock> lock;
    if (QFileInfo(name) != QFileInfo(QString::fromStdString(m_store->FileName()))) {
        lock = LockFile(QFileInfo(name).absoluteFilePath());
        if (!lock)
            return false;
    }
    const std::string previous = m_store->FileName();
    m_store->SetFileName(name.toStdString());
    if (!m_store->Save()) {
        ReportStoreError(m_store->LastError());
        // The project keeps the name under which it is known to be stored.
        m_store->SetFileName(previous);
        return false;
    }
    if (lock)
        m_lock = std::move(lock);
    TellSavedAsUtf8(*m_store);
    m_undo->setClean();
    SetOutsideChange(false);
    SetProjectFolder(m_store->FileName());
    Regs().AddRecentProject(name.toStdString());
    Q_EMIT RecentChanged();
    return true;
}

bool TProjectSession::ConfirmSave()
{
    Sync();
    if (!IsModified())
        return true;
    TMessageDialog box(m_dialogParent);
    box.Caption = CatalogueText("PROJECT_CONFIRMSAVEDIALOG_CAPTION");
    box.Title = CatalogueText("PROJECT_CONFIRMSAVEDIALOG_TITLE");
    box.HelpContext = THelpTopic::SaveQuestion;
    box.DialogType = mdYesNoCancelHelp;
    const int answer = box.Execute();
    if (answer == TMessageDialog::kNo)
        return true;
    // Cancel, Escape and the close box keep the project open; a project the user wants saved is
    // not closed until it is.
    return answer == TMessageDialog::kYes && Save();
}

bool TProjectSession::Close()
{
    if (!HasProject())
        return true;
    // Every question comes before any window closes, so Cancel leaves everything as it was.
    if (m_views.Confirm && !m_views.Confirm())
        return false;
    if (!ConfirmSave())
        return false;
    if (m_views.Close && !m_views.Close())
        return false;
    Free();
    Q_EMIT ProjectChanged();
    return true;
}
