#pragma once

#include <deque>
#include <functional>

#include <QString>
#include <QStringList>

#include "platform/modalseam.h"
#include "util/service.h"

class QAbstractButton;

// Answers modal windows from a script while it is installed. Each expected dialog names the
// objectName it must have (a prefix; empty accepts any) and a handler that fills and closes it.
// A dialog still open after its handler is closed as by its own close control (rejected).
// On destruction it restores the previous seam and fails the test if expectations are left.
class TScriptedModalSeam final : public TModalSeam {
public:
    using THandler = std::function<void(QDialog&)>;

    TScriptedModalSeam();
    ~TScriptedModalSeam() override;
    TScriptedModalSeam(const TScriptedModalSeam&) = delete;
    TScriptedModalSeam& operator=(const TScriptedModalSeam&) = delete;

    void ExpectDialog(const QString& objectName, THandler handler);
    // Presses the button with this objectName (or text) in the dialog.
    void ExpectDialogButton(const QString& objectName, const QString& button);
    void ExpectOpenFile(const QString& path);
    void ExpectSaveFile(const QString& path);
    // A save dialog answered with a path and the filter entry containing filterPart (e.g. "*.png").
    void ExpectSaveFile(const QString& path, const QString& filterPart);

    int Exec(QDialog& dialog) override;
    void Information(QWidget* parent, const QString& title, const QString& text) override;
    QString OpenFileName(QWidget* parent, const QString& caption, const QString& dir,
                         const QString& filter) override;
    QString SaveFileName(QWidget* parent, const QString& caption, const QString& dir,
                         const QString& filter) override;
    QString SaveFileNameWithFilter(QWidget* parent, const QString& caption, const QString& dir,
                                   const QString& filter, QString& selectedFilter) override;
    bool OpenUrl(const QString& url) override;

    bool AllConsumed() const;

    QStringList informations;   // texts of the information boxes shown
    QStringList dialogsShown;   // objectNames of the dialogs run
    QStringList openedUrls;
    QStringList saveFolders;    // the folder each save dialog started in (or the name it proposed)
    QStringList openFolders;    // the folder each open dialog started in
    bool urlOpens = true;

private:
    struct TExpectation {
        QString name;
        THandler handler;
    };
    std::deque<TExpectation> m_dialogs;
    std::deque<QString> m_openFiles;
    std::deque<QString> m_saveFiles;
    std::deque<QString> m_saveFilters;  // parallel to m_saveFiles; empty keeps the offered one
    TScopedService<TModalSeam> m_installed{SetModalSeam, this};
};

// Finds a button of a dialog by objectName or by its text (without '&').
QAbstractButton* FindButton(QWidget& parent, const QString& nameOrText);
