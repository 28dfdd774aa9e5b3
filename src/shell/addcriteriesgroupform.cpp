#include "shell/addcriteriesgroupform.h"

#include "platform/langcontroller.h"

TAddCriteriesGroupForm::TAddCriteriesGroupForm(QWidget* parent)
    : TEntityFormBase(parent, QStringLiteral("AddCriteriesGroupForm"), QStringLiteral("CriteriesGroupEdit"),
                      255, QStringLiteral("CriteriesGroupExpandedMemo"), THelpTopic::CriteriaGroup)
{
    FinishLayout();
    TLanguageController::Translate(*this);
}
