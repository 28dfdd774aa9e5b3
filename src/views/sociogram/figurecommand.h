#pragma once

#include <cstddef>
#include <vector>

#include <QPointer>
#include <QUndoCommand>

#include "views/sociogram/graphform.h"

// One figure of a sociogram before and after an edit: the member's position and its place.
struct TFigureChange {
    std::size_t Member = 0;
    TNodePlace Before;
    TNodePlace After;
};

// A move, resize or figure change of sociogram figures as one step of the project's undo stack,
// for one kind of view of the window. Once the window is closed the step drops out of the stack.
class TFigureCommand final : public QUndoCommand {
public:
    TFigureCommand(TGraphForm& form, std::size_t placeIndex, std::vector<TFigureChange> changes, const QString& text);

    void undo() override;
    void redo() override;

private:
    void Put(bool after);

    QPointer<TGraphForm> m_form;
    std::size_t m_placeIndex;
    std::vector<TFigureChange> m_changes;
    bool m_made = true;
};
