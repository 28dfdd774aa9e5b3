// The main window's import of research data: class lists from spreadsheets.
#include <QFileInfo>

#include "exchange/csvreader.h"
#include "exchange/exchangetext.h"
#include "exchange/rosterimport.h"
#include "platform/modalseam.h"
#include "shell/objectstree.h"
#include "shell/rosterimportform.h"
#include "shell/socmain_f.h"
#include "store/fileacc.h"
#include "views/undostack.h"

void TSocMainForm::ImportClassList()
{
    if (!HasProject())
        return;
    // The class list most often lies next to the project.
    const QString projectFile = QString::fromStdString(Store()->FileName());
    const QString path = Modal().OpenFileName(
        this, QString::fromStdString(ExchangeText("ROSTER_OPEN_TITLE", "Import a class list")),
        projectFile.isEmpty() ? QString() : QFileInfo(projectFile).absolutePath(),
        QString::fromStdString(ExchangeText("CSV_FILTER", "CSV files (*.csv *.txt);;All files (*)")));
    if (path.isEmpty())
        return;
    std::string bytes;
    std::string error;
    if (!ReadImportFile(path.toStdString(), bytes, error)) {
        ShowError(QString::fromStdString(error));
        return;
    }
    TRosterImportForm form(std::move(bytes), QFileInfo(path).fileName(), QFileInfo(path).completeBaseName(), this);
    if (Modal().Exec(form) != QDialog::Accepted)
        return;
    TStoreEdit edit(*Store());
    if (ApplyRosterImport(*Store(), form.Plan()) < 0)
        return;
    PushStoreEdit(*Store(), std::move(edit),
                  UndoText("UNDO_IMPORT_CLASS_LIST", {QString::fromStdString(form.Plan().GroupName)}));
    m_tree->Rebuild();
    UpdateCommands();
    UpdateStatusBar();
}
