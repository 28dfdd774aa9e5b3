#include "views/notify.h"

#include <QCoreApplication>
#include <QMetaObject>

#include "util/service.h"

namespace {

TServiceSlot<TNotifyReceiver> g_receiver;

} // namespace

TNotifyReceiver* NotifyReceiver()
{
    return g_receiver.Get();
}

TNotifyReceiver* SetNotifyReceiver(TNotifyReceiver* receiver)
{
    return g_receiver.Install(receiver);
}

void SendNotify(TNotifyCode code, QWidget* sender)
{
    if (TNotifyReceiver* receiver = g_receiver.Get())
        receiver->HandleNotify(code, sender);
}

void PostNotify(TNotifyCode code, QWidget* sender)
{
    QPointer<QWidget> guarded(sender);
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [code, guarded]() {
            if (TNotifyReceiver* receiver = g_receiver.Get())
                receiver->HandleNotify(code, guarded.data());
        },
        Qt::QueuedConnection);
}
