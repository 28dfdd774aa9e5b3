#include "util/messagesink.h"

#include <iostream>

namespace {

class TStderrMessages final : public IMessageSink {
public:
    void ShowText(const std::string& text) override { std::cerr << text << '\n'; }
};

TStderrMessages g_stderrMessages;
IMessageSink* g_messages = &g_stderrMessages;

} // namespace

IMessageSink& MessageSink()
{
    return *g_messages;
}

IMessageSink* SetMessageSink(IMessageSink* sink)
{
    IMessageSink* previous = g_messages == &g_stderrMessages ? nullptr : g_messages;
    g_messages = sink ? sink : &g_stderrMessages;
    return previous;
}
