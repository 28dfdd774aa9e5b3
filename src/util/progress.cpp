#include "util/progress.h"

namespace {

class TSilentProgress final : public IProgressSink {
public:
    void Begin() override {}
    void Advance(int) override {}
    void SetValue(int) override {}
    void End() override {}
};

TSilentProgress g_silentProgress;
IProgressSink* g_progress = &g_silentProgress;

} // namespace

IProgressSink& ProgressSink()
{
    return *g_progress;
}

IProgressSink* SetProgressSink(IProgressSink* sink)
{
    IProgressSink* previous = g_progress == &g_silentProgress ? nullptr : g_progress;
    g_progress = sink ? sink : &g_silentProgress;
    return previous;
}

TProgressScope::TProgressScope()
{
    ProgressSink().Begin();
}

TProgressScope::~TProgressScope()
{
    ProgressSink().End();
}
