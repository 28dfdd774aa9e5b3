// Comparing two waves of 2000 members (10 positive and 5 negative choices each, a third of the
// choices changed between the waves): from the stored project to every measure, and the
// comparison alone on waves already read.
#include <random>
#include <string>

#include <benchmark/benchmark.h>

#include "analysis/waves.h"
#include "store/fileacc.h"

namespace {

constexpr int kMembers = 2000;

void MakeProject(TFileAccess& store)
{
    std::mt19937 random(2000);
    std::uniform_int_distribution<int> other(1, kMembers);
    store.ClientGroups().Add(1, "Study");
    for (int id = 1; id <= kMembers; ++id)
        store.Clients().Add(id, 1, "Member " + std::to_string(id), id % 2 == 0, 30000);
    for (int wave = 1; wave <= 2; ++wave) {
        store.Investigations().Add({.Id = wave,
                                    .ClientGroupId = 1,
                                    .CriterionId = -1,
                                    .CriteriaGroupId = -1,
                                    .Name = "Wave " + std::to_string(wave),
                                    .Date = 40000.0 + wave,
                                    .AllowAgainst = true,
                                    .MaxChoices = 10});
    }
    for (int from = 1; from <= kMembers; ++from) {
        for (int k = 0; k < 15; ++k) {
            const int to = other(random);
            if (to == from)
                continue;
            // Two of three choices are made again in the second wave; the rest go elsewhere.
            const int later = k % 3 == 0 ? other(random) : to;
            if (k < 10) {
                store.ForChoices().Add(1, from, to);
                store.ForChoices().Add(2, from, later);
            } else {
                store.AgainstChoices().Add(1, from, to);
                store.AgainstChoices().Add(2, from, later);
            }
        }
    }
}

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
