#include "platform/notify.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace {

TNotifyReceiver* g_receiver = nullptr;

} // namespace

TNotifyReceiver* NotifyReceiver()
{
    return g_receiver;
}

void SetNotifyReceiver(TNotifyReceiver* receiver)
{
    g_receiver = receiver;
}

void SendNotify(TNotifyCode code, QWidget* sender)
{
    if (g_receiver)
        g_receiver->HandleNotify(code, sender);
}

void PostNotify(TNotifyCode code, QWidget* sender)
{
    QPointer<QWidget> guarded(sender);
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [code, guarded]() {
            if (g_receiver)
                g_receiver->HandleNotify(code, guarded.data());
        },
        Qt::QueuedConnection);
}
