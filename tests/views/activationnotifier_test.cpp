#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QWidget>

#include "views/activationnotifier.h"
#include "support/ui/notifyrecorder.h"

namespace {

std::vector<TNotifyCode> CodesFrom(const TNotifyRecorder& notes, QWidget* sender)
{
    std::vector<TNotifyCode> codes;
    for (const auto& [code, from] : notes.sent) {
        if (from == sender)
            codes.push_back(code);
    }
    return codes;
}

// A window in an MDI area notifies each time its sub-window becomes the active one, with its own
// code and itself as the sender; a window put into another sub-window follows it there.
TEST(ActivationNotifier, TellsEachActivationOfTheSubWindowHoldingTheWindow)
{
    TNotifyRecorder notes;
    QMdiArea area;
    area.resize(600, 400);
    area.show();
    auto* watched = new QWidget;
    new TActivationNotifier(watched, TNotifyCode::ChoicesActivated);
    QMdiSubWindow* first = area.addSubWindow(watched);
    QMdiSubWindow* other = area.addSubWindow(new QWidget);
    first->show();
    other->show();

    area.setActiveSubWindow(other);
    QCoreApplication::processEvents();
    notes.sent.clear();
    area.setActiveSubWindow(first);
    QCoreApplication::processEvents();
    EXPECT_EQ(CodesFrom(notes, watched), std::vector<TNotifyCode>{TNotifyCode::ChoicesActivated});

    // Activating another window says nothing about this one.
    notes.sent.clear();
    area.setActiveSubWindow(other);
    QCoreApplication::processEvents();
    EXPECT_TRUE(CodesFrom(notes, watched).empty());

    // Moved into a sub-window of its own: the new one counts, the old one no longer does.
    watched->setParent(nullptr);
    auto* second = new QMdiSubWindow;
    second->setWidget(watched);
    area.addSubWindow(second);
    second->show();
    area.setActiveSubWindow(other);
    QCoreApplication::processEvents();
    notes.sent.clear();
    area.setActiveSubWindow(first);
    QCoreApplication::processEvents();
    EXPECT_TRUE(CodesFrom(notes, watched).empty());
    area.setActiveSubWindow(second);
    QCoreApplication::processEvents();
    EXPECT_EQ(CodesFrom(notes, watched), std::vector<TNotifyCode>{TNotifyCode::ChoicesActivated});
}

} // namespace
