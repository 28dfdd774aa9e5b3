#include "shell/addcriteryform.h"

#include "platform/langcontroller.h"

TAddCriteryForm::TAddCriteryForm(QWidget* parent)
    : TEntityFormBase(parent, QStringLiteral("AddCriteryForm"), QStringLiteral("CriteryEdit"), 255,
                      QStringLiteral("CriteryExpandedMemo"), THelpTopic::Criterion)
{
    FinishLayout();
    TLanguageController::Translate(*this);
}
