#include "shell/confirmform.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "platform/helpviewer.h"
#include "platform/langcontroller.h"

TConfirmForm::TConfirmForm(THelpTopic helpTopic, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ConfirmForm"));
    setModal(true);

    auto* icon = new QLabel(this);
    const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion, nullptr, this).pixmap(size, size));
    auto* message = new QLabel(this);
    message->setObjectName(QStringLiteral("MessageLabel"));
    message->setWordWrap(true);
    message->setMinimumWidth(240);

    auto* yes = new QPushButton(this);
    yes->setObjectName(QStringLiteral("YesButton"));
    yes->setDefault(true);
    auto* no = new QPushButton(this);
    no->setObjectName(QStringLiteral("NoButton"));
    no->setAutoDefault(false);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(yes, QDialogButtonBox::YesRole);
    buttons->addButton(no, QDialogButtonBox::NoRole);
    buttons->setCenterButtons(true);

    auto* row = new QHBoxLayout;
    row->addWidget(icon, 0, Qt::AlignTop);
    row->addSpacing(8);
    row->addWidget(message, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addSpacing(6);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(yes, &QPushButton::clicked, this, &QDialog::accept);
    connect(no, &QPushButton::clicked, this, &QDialog::reject);
    auto* helpKey = new QShortcut(QKeySequence::HelpContents, this);
    connect(helpKey, &QShortcut::activated, this, [helpTopic] { ShowHelpTopic(helpTopic); });
    TLanguageController::Translate(*this);
}
