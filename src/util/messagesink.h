#pragma once

#include <string>

// Shows a message to the user: the GUI in a plain information box, the CLI on stderr,
// tests into a recorder.
class IMessageSink {
public:
    virtual ~IMessageSink() = default;
    virtual void ShowText(const std::string& text) = 0;
};

// The process-wide sink; until one is installed, messages go to stderr.
IMessageSink& MessageSink();
// Installs a sink (nullptr restores the stderr one); returns the previous one.
IMessageSink* SetMessageSink(IMessageSink* sink);
