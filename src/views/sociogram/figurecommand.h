#pragma once

#include <cstddef>

#include "analysis/investigationobj.h"
#include "views/sociogram/graphform.h"
#include "views/undostack.h"

// One figure of a sociogram before and after an edit: the kind of view it was made in (its index
// among the window's places), the member's position and the figure's place.
struct TFigureChange {
    std::size_t PlaceIndex = 0;
    std::size_t Member = 0;
    TNodePlace Before;
    TNodePlace After;
    // An arrangement also changes the rings behind the figures; one change of the step carries them.
    bool Rings = false;
    TInvestigationObject::TRings RingsBefore;
    TInvestigationObject::TRings RingsAfter;
};

// A move, resize or figure change of sociogram figures.
using TFigureCommand = TWindowCommand<TGraphForm, TFigureChange>;
