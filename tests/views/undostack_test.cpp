#include <gtest/gtest.h>

#include <QUndoStack>

#include "views/undostack.h"

namespace {

// A window's step whose window can be closed.
class TClosableStep final : public TWindowStep {
public:
    explicit TClosableStep(bool& gone) : TWindowStep(QStringLiteral("mark")), m_gone(gone) {}
    bool WindowGone() const override { return m_gone; }
    bool MadeIn(const QObject&) const override { return false; }
    void undo() override {}
    void redo() override {}

private:
    bool& m_gone;
};

class TPlainStep final : public QUndoCommand {
public:
    TPlainStep() : QUndoCommand(QStringLiteral("remove client")) {}
    void undo() override {}
    void redo() override {}
};

} // namespace

// The project differs from its saved state only by steps that still act on something: the marks a
// closed window let go count for nothing, so no save question is asked for them.
TEST(UndoStack, StepsOfClosedWindowsChangeNothingSinceTheSave)
{
    QUndoStack stack;
    stack.setClean();
    EXPECT_FALSE(ChangedSinceClean(stack));

    bool gone = false;
    stack.push(new TClosableStep(gone));
    EXPECT_TRUE(ChangedSinceClean(stack));
    gone = true;
    EXPECT_FALSE(ChangedSinceClean(stack));

    stack.push(new TPlainStep);
    EXPECT_TRUE(ChangedSinceClean(stack));
    stack.undo();
    EXPECT_FALSE(ChangedSinceClean(stack));

    // Undone past the save, a store step taken back is a change too.
    stack.clear();
    stack.push(new TPlainStep);
    stack.setClean();
    stack.undo();
    EXPECT_TRUE(ChangedSinceClean(stack));
    stack.redo();
    EXPECT_FALSE(ChangedSinceClean(stack));
}
