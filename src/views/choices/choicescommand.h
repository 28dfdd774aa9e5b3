#pragma once

#include "views/choices/selections.h"
#include "views/undostack.h"

class TSelectionForm;

// One mark of a choices window before and after an edit; chooser and chosen are member positions.
struct TMarkChange {
    int Chooser = 0;
    int Chosen = 0;
    TSelectType Before = stNone;
    TSelectType After = stNone;
};

// A change of marks in a choices window; the window puts the marks back through its grid, which
// holds them to the investigation's limits.
using TChoicesCommand = TWindowCommand<TSelectionForm, TMarkChange>;
