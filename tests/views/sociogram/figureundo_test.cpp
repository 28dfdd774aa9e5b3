#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QTest>
#include <QUndoStack>

#include "settings/regs.h"
#include "store/fileacc.h"
#include "util/service.h"
#include "views/sociogram/graphform.h"
#include "views/sociogram/graphiccontrol.h"
#include "views/sociogram/sociopanel.h"
#include "views/undostack.h"

// A move, a resize, a group move, a figure change and an arrangement of the sample's sociogram are one step each:
// undone, the stored placements are written as before, byte for byte; redone, as after.
TEST(FigureUndo, FigureEditsUndoAndRedoByteForByte)
{
    Regs().Load();
    TFileAccess store(TREMLOW_SOURCE_DATA_DIR "/examples/school-class.soi");
    ASSERT_TRUE(store.Load());
    QUndoStack stack;
    const TScopedService<QUndoStack> installed(SetProjectUndoStack, &stack);
    TGraphForm form(store, 1, QStringLiteral("Desk neighbours"));
    const auto& nodes = form.Nodes();
    ASSERT_GT(nodes.size(), 2u);
    auto saved = [&] {
        form.SaveState();
        std::string text;
        EXPECT_TRUE(store.BuildFileText(text));
        return text;
    };
    // The gesture ends when the button is released over a figure or the surface.
    auto released = [&](QWidget* where) {
        QTest::mouseRelease(where, Qt::LeftButton);
        QCoreApplication::processEvents();
    };
    const std::vector<std::pair<const char*, std::function<void()>>> edits = {
        {"move",
         [&] {
             nodes[0]->move(nodes[0]->pos() + QPoint(40, 15));
             released(nodes[0]);
         }},
        {"resize",
         [&] {
             nodes[1]->resize(nodes[1]->size() + QSize(30, 20));
             released(nodes[1]);
         }},
        {"group move",
         [&] {
             for (int i : {1, 2})
                 nodes[static_cast<size_t>(i)]->move(nodes[static_cast<size_t>(i)]->pos() + QPoint(0, 50));
             released(&form.Surface());
         }},
        {"figure",
         [&] {
             nodes[2]->SetComponentStyle(nodes[2]->ComponentStyle() == csEllipse ? csTriangle : csEllipse);
             form.NoteFigureChanges();
         }},
        // An arrangement takes its rings with it when undone.
        {"target arrangement", [&] { form.ArrangeBy(TLayoutKind::Target); }},
    };
    for (const auto& [name, edit] : edits) {
        SCOPED_TRACE(name);
        const std::string before = saved();
        edit();
        ASSERT_EQ(stack.count(), 1);
        const std::string after = saved();
        ASSERT_NE(after, before);
        stack.undo();
        EXPECT_EQ(saved(), before);
        stack.redo();
        EXPECT_EQ(saved(), after);
        stack.undo();
        stack.clear();
    }
}
