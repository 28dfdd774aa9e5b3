#include "platform/dialogbuttons.h"

#include <QDialogButtonBox>
#include <QPushButton>

TDialogButtons MakeOkCancelHelpButtons(QWidget* parent)
{
    TDialogButtons buttons;
    buttons.Ok = new QPushButton(parent);
    buttons.Ok->setObjectName(QStringLiteral("OKButton"));
    buttons.Ok->setDefault(true);
    buttons.Cancel = new QPushButton(parent);
    buttons.Cancel->setObjectName(QStringLiteral("CancelButton"));
    buttons.Cancel->setAutoDefault(false);
    buttons.Help = new QPushButton(parent);
    buttons.Help->setObjectName(QStringLiteral("HelpButton"));
    buttons.Help->setAutoDefault(false);
    buttons.Box = new QDialogButtonBox(parent);
    buttons.Box->addButton(buttons.Ok, QDialogButtonBox::AcceptRole);
    buttons.Box->addButton(buttons.Cancel, QDialogButtonBox::RejectRole);
    buttons.Box->addButton(buttons.Help, QDialogButtonBox::HelpRole);
    return buttons;
}
