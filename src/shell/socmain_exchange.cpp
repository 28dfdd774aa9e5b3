// The main window's research data commands: class lists from spreadsheets, answers collected in class
// and the comparison of investigations over time.
#include <QFileInfo>

#include "exchange/csvreader.h"
#include "exchange/exchangetext.h"
#include "exchange/rosterimport.h"
#include "i18n/langconv.h"
#include "platform/modalseam.h"
#include "shell/comparepickform.h"
#include "shell/shellicons.h"
#include "shell/objectstree.h"
#include "shell/rosterimportform.h"
#include "shell/surveyform.h"
#include "shell/socmain_f.h"
#include "store/fileacc.h"
#include "util/error.h"
#include "views/compare/compareform.h"
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

void TSocMainForm::CollectAnswers()
{
    const int id = SelectedInvestigationId();
    // The choices window works on a copy that it would write back over the answers.
    RefuseWhileChoicesOpen(id, m_tree->CurrentName());
    // Taking the answers in is one step of the undo history.
    TStoreEdit edit(*Store());
    TSurveyForm form(*Store(), id, this);
    Modal().Exec(form);
    if (form.TookAnswers()) {
        PushStoreEdit(*Store(), std::move(edit), UndoText("UNDO_SURVEY_ANSWERS", {QString::number(form.Intake().Taken)}));
        UpdateCommands();
        UpdateStatusBar();
    }
}

void TSocMainForm::CompareWith()
{
    const int id = SelectedInvestigationId();
    TComparePickForm pick(this, *Store(), id);
    Modal().Exec(pick);
    if (!pick.Confirmed())
        return;
    const QString name = m_tree->CurrentName();
    ShowInvestigationView(new TCompareForm(*Store(), id, pick.ChosenIds(), name), TShellIcon::Indexes,
                          "COMPARE_FORM_CAPTION", name);
}
