// Comparing two waves of 2000 members (10 positive and 5 negative choices each, a third of the
// choices changed between the waves): from the stored project to every measure, and the
// comparison alone on waves already read.
#include <benchmark/benchmark.h>

#include "analysis/waves.h"
#include "store/fileacc.h"
#include "wavesproject.h"

namespace {

using wavesbench::MakeProject;

void BM_CompareInvestigations(benchmark::State& state)
{
    TFileAccess store;
    MakeProject(store);
    for (auto _ : state) {
        const TWaveSeries series = CompareInvestigations(store, {1, 2});
        benchmark::DoNotOptimize(series.Pairs.front().Spearman);
    }
}
BENCHMARK(BM_CompareInvestigations)->Unit(benchmark::kMillisecond);

void BM_CompareWaves(benchmark::State& state)
{
    TFileAccess store;
    MakeProject(store);
    const TWaveSeries series = CompareInvestigations(store, {1, 2});
    for (auto _ : state) {
        const TWaveComparison pair = CompareWaves(series.Waves[0], series.Waves[1]);
        benchmark::DoNotOptimize(pair.Kappa);
    }
}
BENCHMARK(BM_CompareWaves)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
