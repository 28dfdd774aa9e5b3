#include "shell/addclientsgroupform.h"

#include "platform/langcontroller.h"

TAddClientsGroupForm::TAddClientsGroupForm(QWidget* parent)
    : TEntityFormBase(parent, QStringLiteral("AddClientsGroupForm"), QStringLiteral("ClientsGroupEdit"), 255,
                      QStringLiteral("GroupExpandedMemo"), THelpTopic::ClientGroup)
{
    FinishLayout();
    TLanguageController::Translate(*this);
}
