#pragma once

#include <vector>

#include <QPointer>
#include <QUndoCommand>

#include "views/choices/selections.h"

class TSelectionForm;

// One mark of a choices window before and after an edit; chooser and chosen are member positions.
struct TMarkChange {
    int Chooser = 0;
    int Chosen = 0;
    TSelectType Before = stNone;
    TSelectType After = stNone;
};

// A change of marks in a choices window as one step of the project's undo stack. The window puts
// the marks back through its grid, which holds them to the investigation's limits. Once the
// window is closed the step has nothing left to act on and drops out of the stack.
class TChoicesCommand final : public QUndoCommand {
public:
    TChoicesCommand(TSelectionForm& form, std::vector<TMarkChange> changes, const QString& text);

    void undo() override;
    void redo() override;

private:
    void Put(bool after);

    QPointer<TSelectionForm> m_form;
    std::vector<TMarkChange> m_changes;
    bool m_made = true;
};
