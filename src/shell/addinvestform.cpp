#include "shell/addinvestform.h"

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSpinBox>

#include "platform/langcontroller.h"
#include "platform/nameorder.h"

TAddInvestForm::TAddInvestForm(QWidget* parent)
    : TEntityFormBase(parent, QStringLiteral("AddInvestForm"), QStringLiteral("InvestEdit"), 0,
                      QStringLiteral("ExpandedMemo"), THelpTopic::Investigation)
{
    m_clientGroups = new QComboBox(this);
    m_clientGroups->setObjectName(QStringLiteral("ClientsGroupComboBox"));
    m_clients = new QListWidget(this);
    m_clients->setObjectName(QStringLiteral("ClientsListBox"));
    m_clients->setSelectionMode(QAbstractItemView::NoSelection);
    m_clients->setFocusPolicy(Qt::NoFocus);
    // About six names are visible; the description takes the extra height when resized.
    m_clients->setFixedHeight(m_clients->fontMetrics().lineSpacing() * 6 + 2 * m_clients->frameWidth() + 4);
    m_criteriaGroups = new QComboBox(this);
    m_criteriaGroups->setObjectName(QStringLiteral("CriteriesGroupComboBox"));
    m_criteria = new QComboBox(this);
    m_criteria->setObjectName(QStringLiteral("CriteryComboBox"));
    m_allowAgainst = new QCheckBox(this);
    m_allowAgainst->setObjectName(QStringLiteral("AllowAgainstCheckBox"));
    m_maxChoices = new QSpinBox(this);
    m_maxChoices->setObjectName(QStringLiteral("NumsSelectionsSpinEdit"));
    m_maxChoices->setRange(0, 0);
    m_maxChoices->setKeyboardTracking(false);
    m_maxChoices->setEnabled(false);

    // Long group and criterion names must not stretch the dialog beyond the screen.
    for (QComboBox* box : {m_clientGroups, m_criteriaGroups, m_criteria}) {
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        box->setMinimumContentsLength(24);
    }

    QFormLayout* fields = FieldsLayout();
    fields->addRow(MakeLabel(QStringLiteral("ClientsGroupLabel"), m_clientGroups), m_clientGroups);
    fields->addRow(MakeLabel(QStringLiteral("ClientsListLabel"), m_clients), m_clients);
    fields->addRow(MakeLabel(QStringLiteral("CriteriesGroupLabel"), m_criteriaGroups),
                   m_criteriaGroups);
    fields->addRow(MakeLabel(QStringLiteral("CriteryLabel"), m_criteria), m_criteria);
    fields->addRow(MakeLabel(QStringLiteral("NumsSelectionsLabel"), m_maxChoices), m_maxChoices);
    fields->addRow(QString(), m_allowAgainst);
    m_maxChoices->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    m_maxChoices->setMinimumWidth(m_maxChoices->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 40);
    FinishLayout();

    setTabOrder(NameEdit(), m_clientGroups);
    setTabOrder(m_clientGroups, m_criteriaGroups);
    setTabOrder(m_criteriaGroups, m_criteria);
    setTabOrder(m_criteria, m_maxChoices);
    setTabOrder(m_maxChoices, m_allowAgainst);
    setTabOrder(m_allowAgainst, DescriptionMemo());

    connect(m_clientGroups, &QComboBox::currentIndexChanged, this,
            &TAddInvestForm::ClientGroupChanged);
    connect(m_criteriaGroups, &QComboBox::currentIndexChanged, this,
            &TAddInvestForm::CriteriaGroupChanged);
    connect(m_maxChoices, &QSpinBox::valueChanged, this, &TAddInvestForm::MaxChoicesChanged);
    m_maxChoices->installEventFilter(this);
    connect(m_allowAgainst, &QCheckBox::toggled, this, &TAddInvestForm::AllowAgainstToggled);
    TLanguageController::Translate(*this);
}

void TAddInvestForm::Fill(const TInvestFormData& formData, int investId, int clientGroupId,
                          int criteriaGroupId, int criterionId, bool allowAgainst, int maxChoices)
{
    m_filling = true;
    m_data = formData;
    m_investId = investId;
    m_storedGroupId = investId == -1 ? -1 : clientGroupId;

    const auto indexOf = [](const std::vector<TInvestFormData::TEntry>& entries, int id) {
        const auto found = std::find_if(entries.begin(), entries.end(),
                                        [id](const auto& entry) { return entry.Id == id; });
        return found == entries.end() ? 0 : static_cast<int>(found - entries.begin());
    };

    m_clientGroups->clear();
    for (const auto& group : m_data.ClientGroups)
        m_clientGroups->addItem(group.Name, group.Id);
    m_criteriaGroups->clear();
    for (const auto& group : m_data.CriteriaGroups)
        m_criteriaGroups->addItem(group.Name, group.Id);

    const bool adding = investId == -1;
    if (!m_data.ClientGroups.empty())
        m_clientGroups->setCurrentIndex(adding ? 0 : indexOf(m_data.ClientGroups, clientGroupId));
    if (!m_data.CriteriaGroups.empty())
        m_criteriaGroups->setCurrentIndex(adding ? 0
                                                 : indexOf(m_data.CriteriaGroups, criteriaGroupId));
    m_previousGroupIndex = m_clientGroups->currentIndex();
    FillClients();
    FillCriteria();
    if (!adding && m_criteria->count() > 0) {
        const auto found = m_data.CriteriaOfGroup.find(CriteriaGroupId());
        if (found != m_data.CriteriaOfGroup.end())
            m_criteria->setCurrentIndex(indexOf(found->second, criterionId));
    }

    // A new investigation lets every member choose every other member.
    m_maxChoices->setValue(adding ? m_maxChoices->maximum() : maxChoices);
    m_allowAgainst->setChecked(adding ? false : allowAgainst);
    m_filling = false;
}

int TAddInvestForm::ClientGroupId() const
{
    return m_clientGroups->currentIndex() < 0 ? -1 : m_clientGroups->currentData().toInt();
}

int TAddInvestForm::CriteriaGroupId() const
{
    return m_criteriaGroups->currentIndex() < 0 ? -1 : m_criteriaGroups->currentData().toInt();
}

int TAddInvestForm::CriterionId() const
{
    return m_criteria->currentIndex() < 0 ? -1 : m_criteria->currentData().toInt();
}

bool TAddInvestForm::AllowAgainst() const
{
    return m_allowAgainst->isChecked();
}

int TAddInvestForm::MaxChoices() const
{
    return m_maxChoices->value();
}

int TAddInvestForm::ClientCount() const
{
    return m_clients->count();
}

int TAddInvestForm::CriterionCount() const
{
    return m_criteria->count();
}

void TAddInvestForm::FillClients()
{
    const bool wasFilling = m_filling;
    m_filling = true;
    m_clients->clear();
    const auto found = m_data.ClientsOfGroup.find(ClientGroupId());
    if (found != m_data.ClientsOfGroup.end()) {
        QStringList names = found->second.Names;
        std::stable_sort(names.begin(), names.end(), NameLess);
        m_clients->addItems(names);
    }
    const int count = m_clients->count();
    if (count <= 1) {
        m_maxChoices->setRange(0, 0);
        m_maxChoices->setValue(0);
        m_maxChoices->setEnabled(false);
    } else {
        // Lowering the maximum also lowers a larger value to it.
        m_maxChoices->setRange(0, count - 1);
        m_maxChoices->setEnabled(true);
    }
    m_filling = wasFilling;
}

void TAddInvestForm::FillCriteria()
{
    m_criteria->clear();
    const auto found = m_data.CriteriaOfGroup.find(CriteriaGroupId());
    if (found == m_data.CriteriaOfGroup.end())
        return;
    for (const auto& criterion : found->second)
        m_criteria->addItem(criterion.Name, criterion.Id);
    m_criteria->setCurrentIndex(0);
}

void TAddInvestForm::ClientGroupChanged(int /*index*/)
{
    if (m_filling)
        return;
    // Recorded choices belong to the members of the stored group; moving the investigation to
    // another group would attach them to different people.
    if (HasChoices() && ClientGroupId() != m_storedGroupId) {
        m_filling = true;
        m_clientGroups->setCurrentIndex(m_previousGroupIndex);
        m_filling = false;
        Tell("CLIENTGROUP_NO_CHANGE");
    }
    m_previousGroupIndex = m_clientGroups->currentIndex();
    FillClients();
    m_filling = true;
    m_maxChoices->setValue(m_maxChoices->maximum());
    m_filling = false;
}

void TAddInvestForm::CriteriaGroupChanged(int /*index*/)
{
    if (m_filling)
        return;
    FillCriteria();
}

void TAddInvestForm::MaxChoicesChanged(int value)
{
    if (m_filling)
        return;
    const int least = LargestChoicesOfMember();
    if (value < least) {
        m_maxRaised = true;
        Tell("MAX_NUM_CHOICES_IS_LOW");
        m_filling = true;
        m_maxChoices->setValue(least);
        m_filling = false;
    }
}

bool TAddInvestForm::eventFilter(QObject* watched, QEvent* event)
{
    // Enter takes the maximum typed and goes on to press OK; a maximum that had to be raised keeps
    // the dialog open instead, so the user sees the value before confirming it.
    if (watched == m_maxChoices && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            m_maxRaised = false;
            m_maxChoices->interpretText();
            if (m_maxRaised)
                return true;
        }
    }
    return TEntityFormBase::eventFilter(watched, event);
}

void TAddInvestForm::AllowAgainstToggled(bool checked)
{
    if (m_filling || checked)
        return;
    if (HasNegativeChoices()) {
        Tell("NO_AGAINST_OFF");
        m_filling = true;
        m_allowAgainst->setChecked(true);
        m_filling = false;
    }
}

int TAddInvestForm::LargestChoicesOfMember() const
{
    int largest = 0;
    const auto members = m_data.ClientsOfGroup.find(ClientGroupId());
    if (members == m_data.ClientsOfGroup.end())
        return 0;
    for (int id : members->second.Ids) {
        for (const auto* counts : {&m_data.PositiveByChooser, &m_data.NegativeByChooser}) {
            const auto found = counts->find(id);
            if (found != counts->end())
                largest = std::max(largest, found->second);
        }
    }
    return largest;
}

bool TAddInvestForm::HasChoices() const
{
    return !m_data.PositiveByChooser.empty() || !m_data.NegativeByChooser.empty();
}

bool TAddInvestForm::HasNegativeChoices() const
{
    return !m_data.NegativeByChooser.empty();
}

void TAddInvestForm::Tell(const char* key)
{
    ShowCatalogueMessage(this, key);
}
