#pragma once

#include <string>

#include <QString>

class QWidget;

// The save dialogs of the views' pictures and exports share one behaviour: they start in the
// folder used last (else the open project's folder), a name typed without one of the offered
// extensions gets the chosen filter's, and the replace question is asked about that final name.

// The folder the next save dialog starts in; empty until one was used.
QString& LastSaveFolder();
// The folder of the open project's file, given by whoever opens, saves and closes the project
// (an empty name: no project, or one without a file).
QString& ProjectFolder();
void SetProjectFolder(const std::string& projectFile);
// The folder used last, else the open project's folder, else empty (the dialog's own choice).
QString StartSaveFolder();

// The extensions of one filter entry, e.g. "Pictures (*.jpg *.jpeg)" gives {"jpg", "jpeg"}.
QStringList FilterExtensions(const QString& filterEntry);
// The name written for what was typed: kept when its extension is one the filter list offers,
// else completed with the first extension of the chosen entry. A dot in a folder name or a
// leading dot does not count as an extension.
QString CompleteFileName(const QString& typed, const QString& filter, const QString& chosenEntry);

// Runs the save dialog through the modal seam and answers the final name, or empty when the user
// cancelled or did not want an existing file replaced (closing the question keeps the file).
// chosenEntry, when given, holds the entry to offer first and receives the one chosen.
// replaceQuestion: the question's text after the file name; a general one when empty.
QString AskSaveFileName(QWidget* parent, const QString& title, const QString& filter,
                        QString* chosenEntry = nullptr, const QString& replaceQuestion = QString());
