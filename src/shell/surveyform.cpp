#include "shell/surveyform.h"

#include <algorithm>

#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QSpinBox>
#include <QVBoxLayout>

#include "platform/helpviewer.h"
#include "platform/langcontroller.h"
#include "platform/literaltext.h"
#include "platform/messagedialog.h"
#include "platform/modalseam.h"
#include "surveyweb/surveyserver.h"
#include "platform/surveyslips.h"
#include "store/fileacc.h"
#include "survey/surveyintake.h"
#include "util/error.h"

namespace {

constexpr int kPupilIdRole = Qt::UserRole;
constexpr int kQrScale = 6;

} // namespace

TSurveyForm::TSurveyForm(TFileAccess& store, int investId, QWidget* parent)
    : QDialog(parent), m_store(store), m_investId(investId)
{
    std::optional<TSurveySetup> setup = SurveySetupOf(store, investId);
    if (!setup)
        throw TAppError(CatalogueText("NO_SELECTED_NODE").toStdString());
    m_collection = std::make_unique<TSurveyCollection>(std::move(*setup));
    m_server = std::make_unique<TSurveyServer>(*m_collection);
    m_hadChoices = PupilsWithChoices(store, investId);

    setObjectName(QStringLiteral("SurveyForm"));
    setModal(true);
    auto* interfaceLabel = new QLabel(this);
    interfaceLabel->setObjectName(QStringLiteral("InterfaceLabel"));
    m_interfaces = new QComboBox(this);
    m_interfaces->setObjectName(QStringLiteral("InterfaceCombo"));
    m_interfaces->addItems(TSurveyServer::CandidateAddresses());
    interfaceLabel->setBuddy(m_interfaces);
    auto* portLabel = new QLabel(this);
    portLabel->setObjectName(QStringLiteral("PortLabel"));
    m_port = new QSpinBox(this);
    m_port->setObjectName(QStringLiteral("PortSpin"));
    m_port->setRange(1024, 65535);
    m_port->setValue(kDefaultPort);
    portLabel->setBuddy(m_port);

    m_address = new QLabel(this);
    m_address->setObjectName(QStringLiteral("AddressLabel"));
    m_address->setTextFormat(Qt::PlainText);
    m_address->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont big = m_address->font();
    big.setPointSizeF(big.pointSizeF() * 1.8);
    big.setBold(true);
    m_address->setFont(big);
    m_qr = new QLabel(this);
    m_qr->setObjectName(QStringLiteral("QrLabel"));
    m_qr->setAlignment(Qt::AlignCenter);
    m_qr->setMinimumSize(40 * kQrScale, 40 * kQrScale);
    auto* question = new QLabel(this);
    question->setObjectName(QStringLiteral("QuestionLabel"));
    question->setTextFormat(Qt::PlainText);
    question->setWordWrap(true);
    QFont larger = question->font();
    larger.setPointSizeF(larger.pointSizeF() * 1.2);
    question->setFont(larger);

    m_progress = new QLabel(this);
    m_progress->setObjectName(QStringLiteral("ProgressLabel"));
    m_pupils = new QListWidget(this);
    m_pupils->setObjectName(QStringLiteral("PupilsList"));
    for (const TSurveyPupil& pupil : m_collection->Setup().Pupils) {
        auto* item = new QListWidgetItem(m_pupils);
        item->setData(kPupilIdRole, pupil.Id);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    }

    auto* slips = new QPushButton(this);
    slips->setObjectName(QStringLiteral("PrintSlipsButton"));
    m_reset = new QPushButton(this);
    m_reset->setObjectName(QStringLiteral("ResetCodeButton"));
    auto* stop = new QPushButton(this);
    stop->setObjectName(QStringLiteral("StopButton"));
    stop->setDefault(true);
    auto* help = new QPushButton(this);
    help->setObjectName(QStringLiteral("HelpButton"));

    auto* where = new QHBoxLayout;
    where->addWidget(interfaceLabel);
    where->addWidget(m_interfaces, 1);
    where->addWidget(portLabel);
    where->addWidget(m_port);
    auto* left = new QVBoxLayout;
    left->addLayout(where);
    left->addWidget(m_address);
    left->addWidget(question);
    left->addWidget(slips, 0, Qt::AlignLeft);
    left->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addLayout(left, 1);
    top->addWidget(m_qr);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_reset);
    buttons->addStretch(1);
    buttons->addWidget(help);
    buttons->addWidget(stop);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_progress);
    layout->addWidget(m_pupils, 1);
    layout->addLayout(buttons);
    resize(760, 620);

    connect(m_interfaces, &QComboBox::currentIndexChanged, this, [this] { Listen(); });
    connect(m_port, &QSpinBox::editingFinished, this, [this] {
        if (m_port->value() != static_cast<int>(m_server->Port()))
            Listen();
    });
    connect(m_server.get(), &TSurveyServer::Answered, this, [this] { RefreshPupils(); });
    connect(m_pupils, &QListWidget::currentRowChanged, this, [this] { RefreshPupils(); });
    connect(m_reset, &QPushButton::clicked, this, [this] { ResetSelectedCode(); });
    connect(slips, &QPushButton::clicked, this, [this] { PrintSlips(); });
    connect(stop, &QPushButton::clicked, this, [this] { accept(); });
    connect(help, &QPushButton::clicked, this, [] { ShowHelpTopic(kHelpTopic); });
    auto* helpKey = new QShortcut(QKeySequence::HelpContents, this);
    connect(helpKey, &QShortcut::activated, this, [] { ShowHelpTopic(kHelpTopic); });

    TLanguageController::Translate(*this);
    question->setText(QString::fromStdString(m_collection->Setup().Question));
    const QString investName = QString::fromStdString(m_collection->Setup().InvestName);
    setWindowTitle(windowTitle() + QStringLiteral(" (") + LiteralTitle(investName) + ')');
    Listen();
    RefreshPupils();
}

TSurveyForm::~TSurveyForm() = default;

void TSurveyForm::Listen()
{
    if (m_server->Start(m_interfaces->currentText(), static_cast<quint16>(m_port->value()))) {
        m_address->setText(m_server->Url());
        m_qr->setPixmap(QPixmap::fromImage(QrImage(m_server->Url()))
                            .scaled(m_qr->minimumSize(), Qt::KeepAspectRatio, Qt::FastTransformation));
        return;
    }
    m_address->setText(CatalogueText("SURVEY_CANNOT_LISTEN").arg(m_port->value()));
    m_qr->clear();
}

void TSurveyForm::RefreshPupils()
{
    const TSurveyCollection& collection = *m_collection;
    const QString had = CatalogueText("SURVEY_HAS_CHOICES");
    for (int row = 0; row < m_pupils->count(); ++row) {
        QListWidgetItem* item = m_pupils->item(row);
        const int32_t id = item->data(kPupilIdRole).toInt();
        const auto& pupil = collection.Setup().Pupils[static_cast<std::size_t>(row)];
        QString text = QString::fromStdString(pupil.Name);
        if (std::ranges::find(m_hadChoices, id) != m_hadChoices.end())
            text += QStringLiteral("  — ") + had;
        item->setText(text);
        item->setCheckState(collection.HasAnswered(id) ? Qt::Checked : Qt::Unchecked);
    }
    m_progress->setText(CatalogueText("SURVEY_PROGRESS")
                            .arg(collection.AnsweredCount())
                            .arg(collection.Setup().Pupils.size()));
    const QListWidgetItem* current = m_pupils->currentItem();
    m_reset->setEnabled(current && collection.HasAnswered(current->data(kPupilIdRole).toInt()));
}

void TSurveyForm::ResetSelectedCode()
{
    const QListWidgetItem* current = m_pupils->currentItem();
    if (!current)
        return;
    TMessageDialog question(this);
    question.Title = windowTitle();
    question.DialogType = TMessageDialog::mdYesNo;
    question.Caption = CatalogueText("SURVEY_RESET_QUESTION").arg(current->text());
    if (question.Execute() != TMessageDialog::kYes)
        return;
    m_collection->ResetCode(current->data(kPupilIdRole).toInt());
    RefreshPupils();
}

void TSurveyForm::PrintSlips()
{
    if (!m_server->IsListening())
        return;
    const QString name = QString::fromStdString(m_collection->Setup().InvestName) + QStringLiteral(" slips.pdf");
    const QString path = Modal().SaveFileName(this, CatalogueText("SURVEY_SLIPS_TITLE"), QDir::home().filePath(name),
                                              QStringLiteral("PDF (*.pdf)"));
    if (path.isEmpty())
        return;
    QString reason;
    if (!WriteSurveySlips(path, *m_collection, m_server->Url(), &reason))
        Modal().Information(this, windowTitle(), CatalogueText("SURVEY_SLIPS_FAILED") + '\n' + reason);
}

void TSurveyForm::TakeAnswers()
{
    const std::vector<TSurveyAnswer> answers = m_collection->Answers();
    if (answers.empty())
        return;
    const int repeated = static_cast<int>(std::ranges::count_if(answers, [this](const TSurveyAnswer& a) {
        return std::ranges::find(m_hadChoices, a.PupilId) != m_hadChoices.end();
    }));
    bool replace = false;
    if (repeated > 0) {
        TMessageDialog question(this);
        question.Title = windowTitle();
        question.DialogType = TMessageDialog::mdYesNo;
        question.Caption = CatalogueText("SURVEY_REPLACE_QUESTION").arg(repeated);
        replace = question.Execute() == TMessageDialog::kYes;
    }
    m_intake = PlanSurveyIntake(m_store, m_investId, answers, replace);
    ApplyStoredChoices(m_store, m_investId, m_intake.After);
    m_took = true;
}

void TSurveyForm::done(int result)
{
    if (m_closing)
        return;
    m_closing = true;
    m_server->Stop();
    const int waiting = m_collection->AnsweredCount();
    bool take = result == QDialog::Accepted;
    if (!take && waiting > 0) {
        // Closing without Stop: the answers that arrived are offered first.
        TMessageDialog question(this);
        question.Title = windowTitle();
        question.DialogType = TMessageDialog::mdYesNo;
        question.Caption = CatalogueText("SURVEY_CLOSE_QUESTION").arg(waiting);
        take = question.Execute() == TMessageDialog::kYes;
    }
    if (take)
        TakeAnswers();
    QDialog::done(take ? QDialog::Accepted : QDialog::Rejected);
}
