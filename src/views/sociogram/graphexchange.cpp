// The graph window's export of the investigation as a network for graph programs.
#include <algorithm>

#include "analysis/investigationobj.h"
#include "analysis/statusgroups.h"
#include "exchange/exchangetext.h"
#include "exchange/networkexport.h"
#include "layout/viewgraph.h"
#include "platform/modalseam.h"
#include "platform/savefile.h"
#include "settings/regs.h"
#include "util/messagesink.h"
#include "views/sociogram/graphform.h"
#include "views/sociogram/graphiccontrol.h"

void TGraphForm::ItemExportNetworkClick()
{
    const QString path = AskSaveFileName(
        this, QString::fromStdString(ExchangeText("NETWORK_EXPORT_TITLE", "Export the network")),
        QString::fromStdString(ExchangeText(
            "NETWORK_FILTER", "GraphML (*.graphml);;GEXF (*.gexf);;Pajek (*.net);;Edge list CSV (*.csv)")));
    if (path.isEmpty())
        return;
    const TStatusThresholds thresholds =
        StatusThresholdsFromHundredths(Regs().Status.ExtremeThreshold, Regs().Status.AverageThreshold);
    TNetwork network = BuildNetwork(Store(), Model(), ComputeStatusGroups(Model(), thresholds), Kind());
    // The nodes stand where the window shows them, moved or not since the places were stored.
    CaptureState();
    const int placeKind = Kind() == TChoiceKind::Any ? ChoiceKindCode(TChoiceKind::Placement) : ChoiceKindCode(Kind());
    const std::vector<TNodePlace>& places = Places(placeKind);
    for (std::size_t i = 0; i < network.Nodes.size() && i < places.size(); ++i) {
        const TNodePlace& place = places[i];
        if (place.Left == TNodePlace::kUnsetPlace || place.Top == TNodePlace::kUnsetPlace)
            continue;
        network.Nodes[i].Placed = true;
        network.Nodes[i].X = place.Left + std::max(place.Width, 0) / 2.0;
        network.Nodes[i].Y = place.Top + std::max(place.Height, 0) / 2.0;
    }
    std::string error;
    if (!WriteNetwork(network, path.toStdString(), error))
        MessageSink().ShowText(error);
}

std::string TGraphForm::ViewGraphMl()
{
    std::vector<TViewFigure> figures;
    for (const TSocioGraphicControl* node : Nodes())
        figures.push_back({node->Caption().toStdString(), node->x(), node->y(), node->width(), node->height()});
    return ViewGraphMlText(figures, LayoutGraph().Edges);
}
