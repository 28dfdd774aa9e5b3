#include <gtest/gtest.h>

#include <stdexcept>

#include <QApplication>
#include <QImage>
#include <QProgressBar>

#include "platform/progressbar.h"
#include "util/progress.h"

namespace {

// Progress windows on screen, or all that exist when visibleOnly is false.
int OpenProgressWindows(bool visibleOnly = true)
{
    int count = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == "FormProcessBar" && (w->isVisible() || !visibleOnly))
            ++count;
    }
    return count;
}

TEST(PlatformProgressBar, WindowAndGaugeGeometry)
{
    TThreadProgressBar display;
    TFormProcessBar* form = display.Form();
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->size(), QSize(267, 34));
    EXPECT_TRUE(form->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(form->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(form->windowTitle(), "Processing");
    auto* gauge = form->findChild<QProgressBar*>("GaugeProcessBar");
    ASSERT_NE(gauge, nullptr);
    EXPECT_EQ(gauge->geometry(), QRect(10, 10, 248, 14));
    EXPECT_EQ(gauge->value(), 0);
    display.SetValue(40);
    EXPECT_EQ(gauge->text(), "40%");
    EXPECT_EQ(TThreadProgressBar::Current(), &display);
    EXPECT_TRUE(display.WorkerRunning());
}

TEST(PlatformProgressBar, AdvanceAndSetRules)
{
    TThreadProgressBar display;
    for (int i = 0; i < 11; ++i)
        display.Advance(10);
    EXPECT_EQ(display.Value(), 100);

    display.Restore(0);
    display.SetValue(30);
    display.SetValue(100);
    display.SetValue(-1);
    EXPECT_EQ(display.Value(), 30);
    display.Advance(-1);
    display.Advance(100);
    EXPECT_EQ(display.Value(), 30);
    display.Advance(99);
    EXPECT_EQ(display.Value(), 100);
    display.SetValue(0);
    EXPECT_EQ(display.Value(), 0);
}

TEST(PlatformProgressBar, GaugePaintsItsBarAsItMoves)
{
    TThreadProgressBar display;
    QProgressBar* gauge = display.Form()->Gauge();
    display.SetValue(50);
    const QImage image = gauge->grab().toImage();
    EXPECT_EQ(QColor(image.pixel(20, 7)), QColor(Qt::blue));
    EXPECT_NE(QColor(image.pixel(gauge->width() - 20, 7)), QColor(Qt::blue));
}

TEST(PlatformProgressBar, OnlyOneDisplayShowsAtATime)
{
    TThreadProgressBar outer;
    outer.SetValue(20);
    {
        TThreadProgressBar inner;
        EXPECT_EQ(TThreadProgressBar::Current(), &inner);
        EXPECT_FALSE(outer.Form()->isVisible());
        EXPECT_EQ(OpenProgressWindows(), 1);
    }
    EXPECT_EQ(TThreadProgressBar::Current(), &outer);
    EXPECT_TRUE(outer.Form()->isVisible());
    EXPECT_EQ(outer.Value(), 20);
}

TEST(PlatformProgressBar, FailingOperationStillRemovesTheWindow)
{
    TGuiProgressSink sink;
    IProgressSink* previous = SetProgressSink(&sink);
    EXPECT_THROW(
        {
            TProgressScope scope;
            scope.Advance(10);
            EXPECT_EQ(OpenProgressWindows(), 1);
            throw std::runtime_error("load failed half-way");
        },
        std::runtime_error);
    EXPECT_EQ(OpenProgressWindows(false), 0);
    EXPECT_EQ(TThreadProgressBar::Current(), nullptr);
    SetProgressSink(previous);
}

TEST(PlatformProgressBar, NestedOperationSharesOneWindowAndGivesTheValueBack)
{
    TGuiProgressSink sink;
    sink.Begin();
    sink.Advance(40);
    sink.Begin(); // a load inside an upgrade
    EXPECT_EQ(OpenProgressWindows(), 1);
    EXPECT_EQ(TThreadProgressBar::Current()->Value(), 0);
    sink.Advance(10);
    sink.Advance(95);
    EXPECT_EQ(TThreadProgressBar::Current()->Value(), 100);
    sink.End();
    ASSERT_NE(TThreadProgressBar::Current(), nullptr);
    EXPECT_EQ(TThreadProgressBar::Current()->Value(), 40);
    sink.End();
    EXPECT_EQ(TThreadProgressBar::Current(), nullptr);
    EXPECT_EQ(OpenProgressWindows(), 0);
    sink.End(); // an unmatched End is harmless
    sink.Advance(10);
    EXPECT_EQ(sink.Depth(), 0);
}

} // namespace
