#pragma once

#include <functional>

#include <QColor>
#include <QString>

class QDialog;
class QWidget;

// Every modal window and question of the program runs through this seam, so that tests can
// answer them without a person. The application installs the desktop behaviour; tests install
// a script (tests/support/ui/scriptedseam.h).
class TModalSeam {
public:
    virtual ~TModalSeam() = default;

    // Runs a dialog modally and returns its result code (QDialog::Accepted/Rejected or done()'s value).
    virtual int Exec(QDialog& dialog) = 0;
    // A plain information box with one OK button.
    virtual void Information(QWidget* parent, const QString& title, const QString& text) = 0;
    // An error box with one OK button; by default shown as Information does.
    virtual void Error(QWidget* parent, const QString& title, const QString& text);
    // File dialogs; an empty string means the user cancelled.
    virtual QString OpenFileName(QWidget* parent, const QString& caption, const QString& dir,
                                 const QString& filter) = 0;
    virtual QString SaveFileName(QWidget* parent, const QString& caption, const QString& dir,
                                 const QString& filter) = 0;
    // A save dialog that also tells which filter was chosen (selectedFilter: the one offered
    // first on entry, the chosen one on return). It does not ask about overwriting: the caller
    // asks on the name it finally writes.
    virtual QString SaveFileNameWithFilter(QWidget* parent, const QString& caption, const QString& dir,
                                           const QString& filter, QString& selectedFilter);
    // Opens a web address in the desktop's browser; false when that fails.
    virtual bool OpenUrl(const QString& url) = 0;
    // The platform's colour dialog; an invalid colour means the user cancelled.
    virtual QColor PickColor(QWidget* parent, const QColor& initial);
};

// The desktop behaviour: real modal loops and the platform's dialogs.
class TDesktopModalSeam final : public TModalSeam {
public:
    int Exec(QDialog& dialog) override;
    void Information(QWidget* parent, const QString& title, const QString& text) override;
    void Error(QWidget* parent, const QString& title, const QString& text) override;
    QString OpenFileName(QWidget* parent, const QString& caption, const QString& dir,
                         const QString& filter) override;
    QString SaveFileName(QWidget* parent, const QString& caption, const QString& dir,
                         const QString& filter) override;
    QString SaveFileNameWithFilter(QWidget* parent, const QString& caption, const QString& dir,
                                   const QString& filter, QString& selectedFilter) override;
    bool OpenUrl(const QString& url) override;
};

// The seam in force; the desktop one until another is installed.
TModalSeam& Modal();
// Installs a seam (nullptr restores the desktop one); returns the previous one (nullptr for desktop).
TModalSeam* SetModalSeam(TModalSeam* seam);
