#include "util/messagesink.h"

#include <iostream>

#include "util/service.h"

namespace {

class TStderrMessages final : public IMessageSink {
public:
    void ShowText(const std::string& text) override { std::cerr << text << '\n'; }
};

TStderrMessages g_stderrMessages;
TServiceSlot<IMessageSink> g_messages(&g_stderrMessages);

} // namespace

IMessageSink& MessageSink()
{
    return *g_messages.Get();
}

IMessageSink* SetMessageSink(IMessageSink* sink)
{
    return g_messages.Install(sink);
}
