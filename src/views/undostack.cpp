#include "views/undostack.h"

#include <algorithm>

#include <QUndoStack>

#include "i18n/langconv.h"
#include "util/service.h"
#include "views/notify.h"

namespace {

TServiceSlot<QUndoStack> g_stack;

} // namespace

QUndoStack* ProjectUndoStack()
{
    return g_stack.Get();
}

QUndoStack* SetProjectUndoStack(QUndoStack* stack)
{
    return g_stack.Install(stack);
}

QString UndoText(const char* key, const QStringList& args)
{
    QString text = HasLangConv() ? QString::fromStdString(LangConv().GetText(key)) : QString::fromLatin1(key);
    for (const QString& arg : args)
        text = text.arg(arg);
    return text;
}

TStoreCommand::TStoreCommand(TFileAccess& store, TStoreEdit edit, const QString& text)
    : QUndoCommand(text), m_store(store), m_edit(std::move(edit))
{
}

void TStoreCommand::undo()
{
    m_edit.Revert(m_store);
    SendNotify(TNotifyCode::TablesRestored, nullptr);
}

void TStoreCommand::redo()
{
    // The change itself was made before the step was pushed.
    if (m_made) {
        m_made = false;
        return;
    }
    m_edit.Apply(m_store);
    SendNotify(TNotifyCode::TablesRestored, nullptr);
}

namespace {

bool WindowGone(const QUndoCommand* command)
{
    const auto* step = dynamic_cast<const TWindowStep*>(command);
    return step && step->WindowGone();
}

// Whether a step between the clean index and the current one passes test; while the clean state
// cannot be reached again, whether any step does.
template <typename TTest> bool AnyStepSinceClean(const QUndoStack& stack, TTest test)
{
    if (stack.isClean())
        return false;
    const int clean = stack.cleanIndex();
    const int from = clean < 0 ? 0 : std::min(clean, stack.index());
    const int to = clean < 0 ? stack.count() : std::max(clean, stack.index());
    for (int i = from; i < to; ++i) {
        if (test(stack.command(i)))
            return true;
    }
    return false;
}

} // namespace

bool ChangedSinceClean(const QUndoStack& stack)
{
    // A saved state that cannot be reached again differs from the project whatever the steps are.
    if (!stack.isClean() && stack.cleanIndex() < 0)
        return true;
    return AnyStepSinceClean(stack, [](const QUndoCommand* command) { return !WindowGone(command); });
}

bool WindowChangedSinceClean(const QUndoStack& stack, const QObject& window)
{
    return AnyStepSinceClean(stack, [&window](const QUndoCommand* command) {
        const auto* step = dynamic_cast<const TWindowStep*>(command);
        return step && step->MadeIn(window);
    });
}

void UndoStep(QUndoStack& stack)
{
    while (stack.canUndo()) {
        const bool gone = WindowGone(stack.command(stack.index() - 1));
        stack.undo();
        if (!gone)
            return;
    }
}

void RedoStep(QUndoStack& stack)
{
    while (stack.canRedo()) {
        const bool gone = WindowGone(stack.command(stack.index()));
        stack.redo();
        if (!gone)
            return;
    }
}

void PushStoreEdit(TFileAccess& store, TStoreEdit edit, const QString& text)
{
    QUndoStack* stack = ProjectUndoStack();
    if (!edit.Finish(store) || !stack)
        return;
    stack->push(new TStoreCommand(store, std::move(edit), text));
}
