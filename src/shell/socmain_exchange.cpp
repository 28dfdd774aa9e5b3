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
    const QString path = Modal().OpenFileName(
        this, QString::fromStdString(ExchangeText("ROSTER_OPEN_TITLE", "Import a class list")), QString(),
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
    TStoreEdit edit(*m_store);
    if (ApplyRosterImport(*m_store, form.Plan()) < 0)
        return;
    PushStoreEdit(*m_store, std::move(edit),
                  UndoText("UNDO_IMPORT_CLASS_LIST", {QString::fromStdString(form.Plan().GroupName)}));
    m_tree->Rebuild();
    UpdateCommands();
    UpdateStatusBar();
}
