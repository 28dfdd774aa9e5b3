// Investigation model on generated groups of 250 to 2000 members, 10 positive and 5 negative
// choices each: construction, every group index of all kinds, every individual index and status
// level of both kinds and the ten orderings. Prints the time per size and the growth per doubling.
#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "analysis/investigationobj.h"
#include "store/fileacc.h"

namespace {

constexpr int32_t kInvest = 1;
constexpr int32_t kGroup = 1;

std::unique_ptr<TFileAccess> MakeProject(int members)
{
    auto store = std::make_unique<TFileAccess>();
    std::mt19937 random(static_cast<unsigned>(members));
    std::uniform_int_distribution<int> other(1, members);
    store->ClientGroups().Add(kGroup, "Study");
    for (int id = 1; id <= members; ++id)
        store->Clients().Add(id, kGroup, "Member " + std::to_string(id), id % 2 == 0, 30000);
    store->Investigations().Add({.Id = kInvest,
                                 .ClientGroupId = kGroup,
                                 .CriterionId = -1,
                                 .CriteriaGroupId = -1,
                                 .Name = "Generated",
                                 .Date = 40000,
                                 .AllowAgainst = true,
                                 .MaxChoices = 10});
    // Distinct chosen members per chooser, never itself; a member is not both liked and disliked.
    for (int from = 1; from <= members; ++from) {
        std::vector<int> picked;
        while (picked.size() < 15) {
            const int to = other(random);
            if (to == from || std::find(picked.begin(), picked.end(), to) != picked.end())
                continue;
            picked.push_back(to);
        }
        for (std::size_t i = 0; i < picked.size(); ++i) {
            if (i < 10)
                store->ForChoices().Add(kInvest, from, picked[i]);
            else
                store->AgainstChoices().Add(kInvest, from, picked[i]);
        }
    }
    return store;
}

void BM_InvestigationAnalysis(benchmark::State& state)
{
    const int members = static_cast<int>(state.range(0));
    const std::unique_ptr<TFileAccess> store = MakeProject(members);
    std::vector<TInvestClient> sorted;
    for (auto _ : state) {
        const TInvestigationObject model(*store, kInvest);
        double sum = 0;
        for (const TChoiceKind kind : {TChoiceKind::Positive, TChoiceKind::Negative, TChoiceKind::Any})
            sum += model.IndexP(kind) + model.IndexSa(kind) + model.IndexJ(kind) + model.IndexN(kind);
        for (const TChoiceKind kind : {TChoiceKind::Positive, TChoiceKind::Negative})
            for (int32_t i = 0; i < model.ClientCount(); ++i)
                sum += model.IndexPi(i, kind) + model.IndexAi(i, kind) + model.IndexEi(i, kind) +
                       model.IndexSti(i, kind) + model.StatusLevel(i, kind);
        for (const TClientOrder order : kAllClientOrders)
            sum += model.SortClients(order, sorted);
        benchmark::DoNotOptimize(sum);
    }
    state.SetComplexityN(members);
}

BENCHMARK(BM_InvestigationAnalysis)
    ->Arg(250)
    ->Arg(500)
    ->Arg(1000)
    ->Arg(2000)
    ->MinTime(0.5)
    ->Unit(benchmark::kMillisecond);

// Console output plus the mean time of every size, for the growth table.
class TGrowthReporter final : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && run.iterations > 0)
                times[run.complexity_n] = {run.real_accumulated_time / static_cast<double>(run.iterations),
                                           run.cpu_accumulated_time / static_cast<double>(run.iterations)};
    }

    struct TTimes {
        double real = 0; // seconds per iteration
        double cpu = 0;
    };
    std::map<int64_t, TTimes> times; // by members
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    TGrowthReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    // Growth per doubling of the members, on CPU time (wall time suffers on a busy machine).
    std::printf("\n%8s %12s %12s %14s\n", "members", "wall ms", "cpu ms", "cpu growth");
    double previous = 0;
    for (const auto& [members, t] : reporter.times) {
        std::printf("%8lld %12.3f %12.3f ", static_cast<long long>(members), t.real * 1e3, t.cpu * 1e3);
        if (previous > 0)
            std::printf("%13.2fx\n", t.cpu / previous);
        else
            std::printf("%14s\n", "-");
        previous = t.cpu;
    }
    return 0;
}
