#include "shell/addclientsgroupform.h"

#include "platform/langcontroller.h"

TAddClientsGroupForm::TAddClientsGroupForm(QWidget* parent)
    : TEntityFormBase(parent, QStringLiteral("AddClientsGroupForm"), QStringLiteral("ClientsGroupEdit"), 255,
                      QStringLiteral("GroupExpandedMemo"), 71)
{
    FinishLayout();
    TLanguageController::Translate(*this);
}
