#include "platform/dialogbuttons.h"

#include <QDialogButtonBox>
#include <QPushButton>

TDialogButtons MakeOkCancelHelpButtons(QWidget* parent, const TDialogButtonNames& names)
{
    TDialogButtons buttons;
    buttons.Ok = new QPushButton(QString::fromUtf8(names.OkText), parent);
    buttons.Ok->setObjectName(QString::fromUtf8(names.Ok));
    buttons.Ok->setDefault(true);
    buttons.Cancel = new QPushButton(QStringLiteral("Cancel"), parent);
    buttons.Cancel->setObjectName(QString::fromUtf8(names.Cancel));
    buttons.Cancel->setAutoDefault(false);
    buttons.Help = new QPushButton(QStringLiteral("Help"), parent);
    buttons.Help->setObjectName(QString::fromUtf8(names.Help));
    buttons.Help->setAutoDefault(false);
    buttons.Box = new QDialogButtonBox(parent);
    buttons.Box->addButton(buttons.Ok, QDialogButtonBox::AcceptRole);
    buttons.Box->addButton(buttons.Cancel, QDialogButtonBox::RejectRole);
    buttons.Box->addButton(buttons.Help, QDialogButtonBox::HelpRole);
    return buttons;
}
