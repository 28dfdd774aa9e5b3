// The choices window's exchange with other programs: choices read from a CSV file into the grid,
// and the grid written as a sociomatrix.
#include <unordered_map>

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "exchange/choicesimport.h"
#include "exchange/csvreader.h"
#include "exchange/exchangetext.h"
#include "exchange/tableexport.h"
#include "platform/modalseam.h"
#include "platform/savefile.h"
#include "store/fileacc.h"
#include "util/messagesink.h"
#include "views/choices/selectionform.h"
#include "views/choices/selections.h"
#include "views/undostack.h"

namespace {

QString Text(const char* key, const char* english, const std::string& arg1 = {}, const std::string& arg2 = {})
{
    return QString::fromStdString(ExchangeText(key, english, arg1, arg2));
}

// Shows the refused rows; true when the user takes the admitted choices.
bool ConfirmRefusals(QWidget* parent, const TChoicesPlan& plan)
{
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("ChoicesImportForm"));
    dialog.setWindowTitle(Text("CHOICES_IMPORT_TITLE", "Import choices"));
    auto* summary = new QLabel(Text("CHOICES_IMPORT_SUMMARY", "Choices that can be imported: %1. Rows refused: %2.",
                                    std::to_string(plan.Admitted()), std::to_string(plan.Refused.size())),
                               &dialog);
    summary->setObjectName(QStringLiteral("SummaryLabel"));
    summary->setWordWrap(true);
    auto* list = new QListWidget(&dialog);
    list->setObjectName(QStringLiteral("RefusedList"));
    for (const TRefusedRow& row : plan.Refused)
        list->addItem(Text("ROSTER_REFUSED_ROW", "Line %1: %2", std::to_string(row.Line),
                           row.Excerpt + " \u2014 " + row.Reason));
    auto* buttons = new QDialogButtonBox(&dialog);
    QPushButton* take = buttons->addButton(Text("CHOICES_IMPORT_ADMITTED", "Import the admitted choices"),
                                           QDialogButtonBox::AcceptRole);
    take->setObjectName(QStringLiteral("ImportButton"));
    take->setEnabled(plan.Admitted() > 0);
    QPushButton* cancel = buttons->addButton(QDialogButtonBox::Cancel);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    cancel->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(summary);
    layout->addWidget(list);
    layout->addWidget(buttons);
    dialog.resize(560, 360);
    return Modal().Exec(dialog) == QDialog::Accepted;
}

} // namespace

void TSelectionForm::ImportChoicesFile()
{
    const QString path = Modal().OpenFileName(this, Text("CHOICES_IMPORT_TITLE", "Import choices"), QString(),
                                              Text("CSV_FILTER", "CSV files (*.csv *.txt);;All files (*)"));
    if (path.isEmpty())
        return;
    const TChoicesPlan plan = PlanChoicesImportFile(m_store, m_investId, path.toStdString());
    if (!plan.Failure.empty() || plan.Empty) {
        MessageSink().ShowText(plan.Empty ? EmptyChoicesFileText() : plan.Failure);
        return;
    }
    if (!plan.Refused.empty() && !ConfirmRefusals(this, plan))
        return;
    std::unordered_map<int32_t, int> position;
    for (size_t p = 0; p < m_memberIds.size(); ++p)
        position.emplace(m_memberIds[p], static_cast<int>(p));
    m_selects->ClearAll();
    for (const auto& [list, kind] : {std::pair{&plan.Positive, stFor}, std::pair{&plan.Negative, stAgainst}}) {
        for (const TChoice& choice : *list) {
            const auto from = position.find(choice.FromId);
            const auto to = position.find(choice.ToId);
            if (from != position.end() && to != position.end())
                SetPairCell(from->second, to->second, kind);
        }
    }
    NoteGridChanges(UndoText("UNDO_IMPORT_CHOICES", {QString::number(plan.Admitted())}));
    RefreshText();
    MessageSink().ShowText(
        ExchangeText("CHOICES_IMPORT_DONE", "%1 choices were put into the grid. Save the choices to keep them.",
                     std::to_string(plan.Admitted())));
}

void TSelectionForm::ExportSociomatrix()
{
    const QString path = AskSaveFileName(
        this, Text("CHOICES_EXPORT_TITLE", "Export the sociomatrix"),
        Text("TABLE_FILTER", "Excel workbooks (*.xlsx);;CSV files (*.csv)"));
    if (path.isEmpty())
        return;
    std::vector<TExportSheet> sheets(1);
    TExportSheet& sheet = sheets.front();
    sheet.Name = "Sociomatrix";
    TExportRow header{TExportCell{}};
    for (const QString& name : m_memberNames)
        header.push_back(TExportCell::Of(name.toStdString()));
    sheet.Rows.push_back(std::move(header));
    const int n = static_cast<int>(m_memberIds.size());
    sheet.MadeRows = static_cast<std::size_t>(n);
    sheet.MakeRow = [this, n](std::size_t r, TExportRow& row) {
        const int chooser = static_cast<int>(r);
        row.assign(1, TExportCell::Of(m_memberNames[r].toStdString()));
        for (int chosen = 0; chosen < n; ++chosen) {
            const int value = chooser == chosen ? stNone : PairCell(chooser, chosen);
            row.push_back(TExportCell::Of(value == stFor ? 1.0 : value == stAgainst ? -1.0 : 0.0));
        }
    };
    std::string error;
    if (!WriteSheets(sheets, path.toStdString(), error))
        MessageSink().ShowText(error);
}
