#pragma once

#include <utility>
#include <vector>

#include <QWidget>

#include "views/notify.h"
#include "util/service.h"

// Stands in for the main window as the receiver of notifications while it lives, recording
// each code with its sender; the previous receiver is back afterwards.
class TNotifyRecorder final : public TNotifyReceiver {
public:
    TNotifyRecorder() = default;
    TNotifyRecorder(const TNotifyRecorder&) = delete;
    TNotifyRecorder& operator=(const TNotifyRecorder&) = delete;

    void HandleNotify(TNotifyCode code, QWidget* sender) override
    {
        codes.push_back(code);
        sent.emplace_back(code, sender);
    }

    std::vector<TNotifyCode> codes;
    std::vector<std::pair<TNotifyCode, QWidget*>> sent;

private:
    TScopedService<TNotifyReceiver> m_installed{SetNotifyReceiver, this};
};
