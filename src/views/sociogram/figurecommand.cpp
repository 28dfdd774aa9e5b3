#include "views/sociogram/figurecommand.h"

TFigureCommand::TFigureCommand(TGraphForm& form, std::size_t placeIndex, std::vector<TFigureChange> changes,
                               const QString& text)
    : QUndoCommand(text), m_form(&form), m_placeIndex(placeIndex), m_changes(std::move(changes))
{
}

void TFigureCommand::undo()
{
    Put(false);
}

void TFigureCommand::redo()
{
    // The window made the change before the step was pushed.
    if (m_made) {
        m_made = false;
        return;
    }
    Put(true);
}

void TFigureCommand::Put(bool after)
{
    if (!m_form) {
        setObsolete(true);
        return;
    }
    m_form->PutPlaces(m_placeIndex, m_changes, after);
}
