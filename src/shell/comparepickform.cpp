#include "shell/comparepickform.h"

#include <algorithm>

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/dialogbuttons.h"
#include "platform/helpviewer.h"
#include "platform/langcontroller.h"
#include "shell/entityform.h"
#include "store/fileacc.h"

TComparePickForm::TComparePickForm(QWidget* owner, TFileAccess& store, int investId) : QDialog(owner)
{
    setObjectName(QStringLiteral("ComparePickForm"));
    setWindowTitle(CatalogueText("COMPARE_PICK_TITLE"));
    TInvestTable& invests = store.Investigations();
    int32_t groupId = -1;
    QString name;
    if (invests.FindById(investId)) {
        groupId = invests.GetClientGroupId();
        name = QString::fromStdString(invests.GetName());
    }
    auto* layout = new QVBoxLayout(this);
    auto* prompt = new QLabel(CatalogueText("COMPARE_PICK_PROMPT").replace(QStringLiteral("%1"), name), this);
    prompt->setTextFormat(Qt::PlainText);
    prompt->setWordWrap(true);
    layout->addWidget(prompt);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("CompareList"));
    layout->addWidget(m_list, 1);
    for (const bool sameGroup : {true, false}) {
        for (int32_t i = 0; i < invests.Count(); ++i) {
            const auto& invest = invests.At(i);
            if (invest.Id == investId || (invest.ClientGroupId == groupId) != sameGroup)
                continue;
            // The date tells apart waves that share a name, as the waves of one survey often do.
            QString text = QString::fromStdString(invest.Name);
            if (const QDate date = DateFromDays(invest.Date); date.isValid())
                text += QStringLiteral(" (%1)").arg(QLocale().toString(date, QLocale::ShortFormat));
            if (!sameGroup)
                text += QStringLiteral(" ") + CatalogueText("COMPARE_PICK_OTHER_GROUP");
            auto* item = new QListWidgetItem(text, m_list);
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(Qt::Unchecked);
            m_ids.push_back(invest.Id);
        }
    }
    const TDialogButtons buttons = MakeOkCancelHelpButtons(this);
    m_ok = buttons.Ok;
    m_ok->setEnabled(false);
    layout->addWidget(buttons.Box);
    connect(m_list, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) { ItemChanged(m_list->row(item)); });
    connect(buttons.Ok, &QPushButton::clicked, this, [this] {
        m_confirmed = true;
        accept();
    });
    connect(buttons.Cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(buttons.Help, &QPushButton::clicked, this, [] { ShowHelpTopic(THelpTopic::Compare); });
    resize(420, 320);
    TLanguageController::Translate(*this);
}

void TComparePickForm::ItemChanged(int row)
{
    if (row < 0 || row >= static_cast<int>(m_ids.size()))
        return;
    const int id = m_ids[static_cast<std::size_t>(row)];
    std::erase(m_chosen, id);
    if (m_list->item(row)->checkState() == Qt::Checked)
        m_chosen.push_back(id);
    m_ok->setEnabled(!m_chosen.empty());
}
