#pragma once

#include <functional>
#include <vector>

#include <QString>

#include "views/viewkind.h"

class TFileAccess;
class TVisualChildForm;

// One kind of investigation view window: how the main window and `tremlow export` name and make it.
struct TViewEntry {
    const char* Name;     // the view's name on the command line ("graph", "indexes", "target")
    TViewKind Kind;       // the main window's active-view kind
    const char* MenuKey;  // catalogue key of its Window-menu entry ("GRAPH_MENU_ADD", ...)
    // Makes the window for an investigation; throws TAppError when it cannot show it.
    std::function<TVisualChildForm*(TFileAccess& store, int investId, const QString& title)> Create;
};

// Every view window kind, one line each in viewregistry.cpp.
const std::vector<TViewEntry>& ViewEntries();
// The entry of a name or a kind; nullptr when there is none.
const TViewEntry* FindViewByName(const QString& name);
const TViewEntry* FindViewByKind(TViewKind kind);
