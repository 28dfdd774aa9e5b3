#pragma once

#include <string>
#include <vector>

#include "util/messagesink.h"
#include "util/progress.h"
#include "util/service.h"

// Records the messages shown while it is installed; restores the previous sink on destruction.
class TRecordingMessages final : public IMessageSink {
public:
    TRecordingMessages() = default;
    TRecordingMessages(const TRecordingMessages&) = delete;
    TRecordingMessages& operator=(const TRecordingMessages&) = delete;

    void ShowText(const std::string& text) override { texts.push_back(text); }

    std::vector<std::string> texts;

private:
    TScopedService<IMessageSink> m_installed{SetMessageSink, this};
};

// Records progress calls ("begin", "advance 10", "set 40", "end") and the gauge value they give.
class TRecordingProgress final : public IProgressSink {
public:
    TRecordingProgress() = default;
    TRecordingProgress(const TRecordingProgress&) = delete;
    TRecordingProgress& operator=(const TRecordingProgress&) = delete;

    void Begin() override;
    void Advance(int step) override;
    void SetValue(int value) override;
    void End() override;

    std::vector<std::string> calls;
    int value = 0;
    int depth = 0;

private:
    TScopedService<IProgressSink> m_installed{SetProgressSink, this};
};
