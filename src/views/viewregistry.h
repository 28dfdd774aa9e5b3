#pragma once

#include <functional>
#include <vector>

#include <QString>

class TFileAccess;
class TVisualChildForm;

// One kind of investigation view window: how the main window and `tremlow export` name and make it.
struct TViewEntry {
    const char* Name;     // the view's name on the command line ("graph", "indexes", "target")
    int Kind;             // the main window's active-view kind (2 indexes, 3 graph, 4 target)
    const char* MenuKey;  // catalogue key of its Window-menu entry ("GRAPH_MENU_ADD", ...)
    // Makes the window for an investigation; throws TAppError when it cannot show it.
    std::function<TVisualChildForm*(TFileAccess& store, int investId, const QString& title)> Create;
};

// Every view window kind, one line each in viewregistry.cpp.
const std::vector<TViewEntry>& ViewEntries();
// The entry of a name or a kind; nullptr when there is none.
const TViewEntry* FindViewByName(const QString& name);
const TViewEntry* FindViewByKind(int kind);
