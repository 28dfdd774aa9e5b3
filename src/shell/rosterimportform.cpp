#include "shell/rosterimportform.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include "exchange/exchangetext.h"
#include "exchange/tableexport.h"
#include "platform/dialogbuttons.h"
#include "platform/helpviewer.h"
#include "platform/langcontroller.h"

namespace {

QString Text(const char* key, const char* english, const std::string& arg1 = {}, const std::string& arg2 = {})
{
    return QString::fromStdString(ExchangeText(key, english, arg1, arg2));
}

} // namespace

TRosterImportForm::TRosterImportForm(std::string bytes, const QString& fileName, const QString& groupName,
                                     QWidget* parent)
    : QDialog(parent), m_bytes(std::move(bytes))
{
    setObjectName(QStringLiteral("RosterImportForm"));
    setModal(true);
    setSizeGripEnabled(true);

    auto* fileLabel = new QLabel(fileName, this);
    fileLabel->setObjectName(QStringLiteral("FileNameLabel"));
    fileLabel->setTextFormat(Qt::PlainText);
    auto* groupLabel = new QLabel(this);
    groupLabel->setObjectName(QStringLiteral("GroupNameLabel"));
    m_groupEdit = new QLineEdit(groupName, this);
    m_groupEdit->setObjectName(QStringLiteral("GroupNameEdit"));
    m_groupEdit->setMaxLength(255);
    groupLabel->setBuddy(m_groupEdit);
    auto* clientsLabel = new QLabel(this);
    clientsLabel->setObjectName(QStringLiteral("ClientsLabel"));
    m_clients = new QListWidget(this);
    m_clients->setObjectName(QStringLiteral("ClientsList"));
    clientsLabel->setBuddy(m_clients);
    auto* refusedLabel = new QLabel(this);
    refusedLabel->setObjectName(QStringLiteral("RefusedLabel"));
    m_refused = new QListWidget(this);
    m_refused->setObjectName(QStringLiteral("RefusedList"));
    refusedLabel->setBuddy(m_refused);
    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("SummaryLabel"));
    m_summary->setTextFormat(Qt::PlainText);
    m_summary->setWordWrap(true);

    const TDialogButtons row = MakeOkCancelHelpButtons(this);
    m_okButton = row.Ok;
    QPushButton* cancel = row.Cancel;
    QPushButton* help = row.Help;
    QDialogButtonBox* buttons = row.Box;
    connect(m_okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [] { ShowHelpTopic(kHelpTopic); });
    auto* helpKey = new QShortcut(QKeySequence::HelpContents, this);
    connect(helpKey, &QShortcut::activated, help, &QPushButton::click);

    auto* form = new QFormLayout;
    form->addRow(groupLabel, m_groupEdit);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fileLabel);
    layout->addLayout(form);
    layout->addWidget(clientsLabel);
    layout->addWidget(m_clients, 2);
    layout->addWidget(refusedLabel);
    layout->addWidget(m_refused, 1);
    layout->addWidget(m_summary);
    layout->addWidget(buttons);
    resize(560, 480);

    connect(m_groupEdit, &QLineEdit::textChanged, this, [this] { Replan(); });
    TLanguageController::Translate(*this);
    fileLabel->setText(fileName);
    Replan();
}

void TRosterImportForm::Replan()
{
    m_plan = PlanRosterImport(m_bytes, m_groupEdit->text().toStdString());
    m_clients->clear();
    m_refused->clear();
    for (const TAClient& client : m_plan.Clients) {
        std::string line = client.FullName + " (" + (client.IsMale ? "male" : "female");
        const std::string birth = IsoDate(client.BirthDate);
        if (!birth.empty())
            line += ", " + birth;
        m_clients->addItem(QString::fromStdString(line + ")"));
    }
    for (const TRefusedRow& row : m_plan.Refused) {
        m_refused->addItem(Text("ROSTER_REFUSED_ROW", "Line %1: %2", std::to_string(row.Line),
                                row.Excerpt + " \u2014 " + row.Reason));
    }
    QStringList summary;
    if (!m_plan.Failure.empty())
        summary << QString::fromStdString(m_plan.Failure);
    for (const std::string& note : m_plan.Notes)
        summary << QString::fromStdString(note);
    if (m_plan.CanApply()) {
        summary << Text("ROSTER_WILL_CREATE", "A client group \"%1\" with %2 clients will be created.",
                        m_plan.GroupName, std::to_string(m_plan.Clients.size()));
    } else if (!m_plan.Refused.empty()) {
        summary << Text("ROSTER_NOTHING_CREATED",
                        "Rows refused: %1. Nothing will be created until the file is corrected.",
                        std::to_string(m_plan.Refused.size()));
    }
    m_summary->setText(summary.join(QLatin1Char('\n')));
    m_okButton->setEnabled(m_plan.CanApply());
}
