#include "support/core/recorders.h"
#include <algorithm>

void TRecordingProgress::Begin()
{
    calls.push_back("begin");
    value = 0;
    ++depth;
}

void TRecordingProgress::Advance(int step)
{
    calls.push_back("advance " + std::to_string(step));
    if (step >= 0 && step < 100)
        value = std::min(100, value + step);
}

void TRecordingProgress::SetValue(int v)
{
    calls.push_back("set " + std::to_string(v));
    if (v >= 0 && v < 100)
        value = v;
}

void TRecordingProgress::End()
{
    calls.push_back("end");
    --depth;
}
