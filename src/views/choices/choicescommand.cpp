#include "views/choices/choicescommand.h"

#include "views/choices/selectionform.h"

TChoicesCommand::TChoicesCommand(TSelectionForm& form, std::vector<TMarkChange> changes, const QString& text)
    : QUndoCommand(text), m_form(&form), m_changes(std::move(changes))
{
}

void TChoicesCommand::undo()
{
    Put(false);
}

void TChoicesCommand::redo()
{
    // The window made the change before the step was pushed.
    if (m_made) {
        m_made = false;
        return;
    }
    Put(true);
}

void TChoicesCommand::Put(bool after)
{
    if (!m_form) {
        setObsolete(true);
        return;
    }
    m_form->PutMarks(m_changes, after);
}
