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

} // namespace

bool ChangedSinceClean(const QUndoStack& stack)
{
    if (stack.isClean())
        return false;
    const int clean = stack.cleanIndex();
    if (clean < 0)
        return true;
    for (int i = std::min(clean, stack.index()); i < std::max(clean, stack.index()); ++i) {
        if (!WindowGone(stack.command(i)))
            return true;
    }
    return false;
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
    if (!stack || !edit.Finish(store))
        return;
    stack->push(new TStoreCommand(store, std::move(edit), text));
}
