#include "views/viewregistry.h"

#include "views/indexes/indexesform.h"
#include "views/sociogram/graphform.h"
#include "views/target/targetform.h"
#include "views/status/statusform.h"
#include "views/viewform.h"

const std::vector<TViewEntry>& ViewEntries()
{
    // Each view window adds its own line here.
    static const std::vector<TViewEntry> entries = {
        {"graph", TViewKind::Graph, "GRAPH_MENU_ADD",
         [](TFileAccess& store, int id, const QString& title) { return new TGraphForm(store, id, title); }},
        {"indexes", TViewKind::Indexes, "INDEXES_MENU_ADD",
         [](TFileAccess& store, int id, const QString& title) { return new TIndexesForm(store, id, title); }},
        {"target", TViewKind::Target, "TARGET_MENU_ADD",
         [](TFileAccess& store, int id, const QString& title) { return new TTargetForm(store, id, title); }},
        {"status", TViewKind::Status, "STATUS_MENU_ADD",
         [](TFileAccess& store, int id, const QString& title) { return new TStatusForm(store, id, title); }},
    };
    return entries;
}

const TViewEntry* FindViewByName(const QString& name)
{
    for (const TViewEntry& entry : ViewEntries()) {
        if (name == QLatin1String(entry.Name))
            return &entry;
    }
    return nullptr;
}

const TViewEntry* FindViewByKind(TViewKind kind)
{
    for (const TViewEntry& entry : ViewEntries()) {
        if (entry.Kind == kind)
            return &entry;
    }
    return nullptr;
}
