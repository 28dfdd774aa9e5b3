#include "shell/toolbarform.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/helpviewer.h"
#include "platform/langcontroller.h"
#include "views/notify.h"

TToolbarForm::TToolbarForm(QWidget* owner, const QStringList& captions,
                           const std::array<bool, kCount>& flags)
    : QDialog(owner), m_flags(flags)
{
    setObjectName("ToolbarForm");
    setWindowTitle("Toolbar tuning");

    m_list = new QListWidget(this);
    m_list->setObjectName("ToolbarCheckListBox");
    auto* close = new QPushButton("&Close", this);
    close->setObjectName("CloseBitBtn");
    close->setDefault(true);
    auto* help = new QPushButton("&Help", this);
    help->setObjectName("HelpBitBtn");

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(close);
    buttons->addWidget(help);
    buttons->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);

    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(help, &QPushButton::clicked, this, [] { ShowHelpTopic(THelpTopic::ToolBars); });

    TLanguageController::Translate(*this);

    // The entries are the tool bars' own captions, set after translation.
    for (int i = 0; i < kCount; ++i) {
        auto* item = new QListWidgetItem(i < captions.size() ? captions[i] : QString(), m_list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setCheckState(m_flags[static_cast<std::size_t>(i)] ? Qt::Checked : Qt::Unchecked);
    }
    m_list->setMinimumHeight(m_list->sizeHintForRow(0) * kCount + 2 * m_list->frameWidth() + 4);
    connect(m_list, &QListWidget::itemChanged, this, [this] { ToolbarCheckListBoxClickCheck(); });
}

void TToolbarForm::ToolbarCheckListBoxClickCheck()
{
    for (int i = 0; i < kCount && i < m_list->count(); ++i)
        m_flags[static_cast<std::size_t>(i)] = m_list->item(i)->checkState() == Qt::Checked;
    SendNotify(TNotifyCode::ToolbarsChanged, this);
}
