#pragma once

#include "util/messagesink.h"

// Shows the core's messages in a plain information box over the active window, titled with the
// catalogue's message title (or "Tremlow" before the catalogue is loaded).
class TGuiMessageSink final : public IMessageSink {
public:
    void ShowText(const std::string& text) override;
};
