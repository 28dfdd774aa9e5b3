#include "shell/selobjectform.h"

#include <map>
#include <string>

#include <QDialogButtonBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/dialogbuttons.h"
#include "platform/helpviewer.h"
#include "platform/langcontroller.h"
#include "store/fileacc.h"

namespace {

// The list's texts: a name that several clients (criteria) share, as two pupils of the same name
// in two classes, is followed by its group's name in brackets so the entries can be told apart.
std::vector<QString> ShownNames(TFileAccess& store, TSelObjectForm::TKind kind, const std::vector<TSelObjectForm::TEntry>& entries)
{
    std::map<QString, int> uses;
    for (const TSelObjectForm::TEntry& entry : entries)
        ++uses[entry.Name];
    std::vector<QString> shown;
    shown.reserve(entries.size());
    for (const TSelObjectForm::TEntry& entry : entries) {
        QString text = entry.Name;
        if (uses[entry.Name] > 1 && (kind == TSelObjectForm::KindClient || kind == TSelObjectForm::KindCriterion)) {
            std::string group;
            if (kind == TSelObjectForm::KindClient && store.ClientGroups().FindById(entry.GroupId))
                group = store.ClientGroups().GetName();
            else if (kind == TSelObjectForm::KindCriterion && store.CriteriaGroups().FindById(entry.GroupId))
                group = store.CriteriaGroups().GetName();
            if (!group.empty())
                text += QStringLiteral(" (") + QString::fromStdString(group) + QLatin1Char(')');
        }
        shown.push_back(text);
    }
    return shown;
}

} // namespace

TSelObjectForm::TSelObjectForm(QWidget* owner, TFileAccess& store, TKind kind, THelpTopic helpTopic)
    : QDialog(owner)
{
    setObjectName("SelObjectForm");
    setWindowTitle("Object selection");

    auto* label = new QLabel("Object:", this);
    label->setObjectName("LabelObject");
    m_combo = new QComboBox(this);
    m_combo->setObjectName("ComboBox");
    m_combo->setMinimumWidth(320);
    m_combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    label->setBuddy(m_combo);
    const TDialogButtons row = MakeOkCancelHelpButtons(this, {.Cancel = "ExitButton"});
    m_ok = row.Ok;
    QPushButton* cancel = row.Cancel;
    QPushButton* help = row.Help;

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_combo);
    layout->addSpacing(6);
    layout->addWidget(row.Box);

    connect(m_ok, &QPushButton::clicked, this, [this] {
        m_confirmed = true;
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, [this] {
        m_confirmed = false;
        reject();
    });
    connect(help, &QPushButton::clicked, this, [helpTopic] { ShowHelpTopic(helpTopic); });

    TLanguageController::Translate(*this);

    FillEntries(store, kind);
    for (const QString& shown : ShownNames(store, kind, m_entries))
        m_combo->addItem(shown);
    if (!m_entries.empty()) {
        m_combo->setCurrentIndex(0);
        m_chosen = m_entries.front();
    }
    m_ok->setEnabled(!m_entries.empty());
    connect(m_combo, &QComboBox::currentIndexChanged, this, [this](int index) { ComboBoxChange(index); });
}

void TSelObjectForm::FillEntries(TFileAccess& store, TKind kind)
{
    auto text = [](const std::string& s) { return QString::fromStdString(s); };
    switch (kind) {
    case KindClientGroup:
        for (int32_t i = 0; i < store.ClientGroups().Count(); ++i)
            m_entries.push_back({store.ClientGroups().At(i).Id, -1, text(store.ClientGroups().At(i).Name)});
        break;
    case KindClient:
        for (int32_t i = 0; i < store.Clients().Count(); ++i) {
            const TAClient& client = store.Clients().At(i);
            m_entries.push_back({client.Id, client.GroupId, text(client.FullName)});
        }
        break;
    case KindCriteriaGroup:
        for (int32_t i = 0; i < store.CriteriaGroups().Count(); ++i)
            m_entries.push_back({store.CriteriaGroups().At(i).Id, -1, text(store.CriteriaGroups().At(i).Name)});
        break;
    case KindCriterion:
        for (int32_t i = 0; i < store.Criteria().Count(); ++i) {
            const TACritery& criterion = store.Criteria().At(i);
            m_entries.push_back({criterion.Id, criterion.GroupId, text(criterion.Name)});
        }
        break;
    case KindInvestigation:
        for (int32_t i = 0; i < store.Investigations().Count(); ++i)
            m_entries.push_back({store.Investigations().At(i).Id, -1, text(store.Investigations().At(i).Name)});
        break;
    default:
        break;
    }
}

void TSelObjectForm::ComboBoxChange(int index)
{
    if (index >= 0 && index < static_cast<int>(m_entries.size()))
        m_chosen = m_entries[static_cast<std::size_t>(index)];
}

TRepSelObjectForm::TRepSelObjectForm(QWidget* owner, TFileAccess& store, TKind kind)
    : TSelObjectForm(owner, store, kind, THelpTopic::ReportObject)
{
}
