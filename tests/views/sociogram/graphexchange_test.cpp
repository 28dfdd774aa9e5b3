// The graph window's network export: every member a node, the choices of the kind shown as edges,
// and the nodes where the window shows them now.
#include <gtest/gtest.h>

#include "analysis/projectbuilder.h"
#include "settings/regs.h"
#include "support/core/recorders.h"
#include "support/core/tempdir.h"
#include "support/ui/scriptedseam.h"
#include "views/sociogram/graphform.h"
#include "views/sociogram/graphiccontrol.h"

namespace {

size_t Count(const std::string& text, const std::string& part)
{
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

TEST(GraphExchange, ExportsTheKindShownWithTheNodesWhereTheyStand)
{
    Regs().Load();
    TProjectBuilder project;
    project.Members(5, 2, {21, 22, 23, 24});
    project.For(5, 21, 22).For(5, 22, 21).For(5, 23, 21).Against(5, 21, 23);
    TRecordingMessages messages;
    TScriptedModalSeam seam;
    const TTempDir dir;
    TGraphForm form(project.store, 5, "Week 1");
    form.SetChoiceKind(1);
    TSocioGraphicControl* first = form.Nodes().front();
    first->move(300, 400);
    seam.ExpectSaveFile(QString::fromStdString(dir.File("g.graphml")));
    form.ItemExportNetworkClick();
    EXPECT_TRUE(seam.AllConsumed());
    EXPECT_TRUE(messages.texts.empty());
    const std::string text = ReadFileBytes(dir.File("g.graphml"));
    EXPECT_EQ(Count(text, "<node "), 4u); // 24, who chose no one and was not chosen, included
    EXPECT_EQ(Count(text, "<edge "), 3u); // the positive choices shown
    const std::string x = std::to_string(300 + first->width() / 2);
    EXPECT_NE(text.find(">" + x + "<"), std::string::npos) << x;

    seam.ExpectSaveFile(QString::fromStdString(dir.File("no/such/folder/g.net")));
    form.ItemExportNetworkClick();
    EXPECT_EQ(messages.texts.size(), 1u);
}

} // namespace
