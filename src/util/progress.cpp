#include "util/progress.h"

#include "util/service.h"

namespace {

class TSilentProgress final : public IProgressSink {
public:
    void Begin() override {}
    void Advance(int) override {}
    void SetValue(int) override {}
    void End() override {}
};

TSilentProgress g_silentProgress;
TServiceSlot<IProgressSink> g_progress(&g_silentProgress);

} // namespace

IProgressSink& ProgressSink()
{
    return *g_progress.Get();
}

IProgressSink* SetProgressSink(IProgressSink* sink)
{
    return g_progress.Install(sink);
}

TProgressScope::TProgressScope()
{
    ProgressSink().Begin();
}

TProgressScope::~TProgressScope()
{
    ProgressSink().End();
}
