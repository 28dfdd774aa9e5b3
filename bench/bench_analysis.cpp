// Investigation model on generated groups of 250 to 2000 members, 10 positive and 5 negative
// choices each: construction, every group index of all kinds, every individual index and status
// level of both kinds and the ten orderings. Prints the time per size and the growth per doubling.
// Then the model and every index beside python-igraph building the same two graphs and computing
// degrees, mutual pairs and cohesion (peer_indices.py), 250 to 8000 members with 13 positive and 4
// negative choices each, in the same run, with the ratio.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <cmath>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include <unistd.h>

#include "analysis/investigationobj.h"
#include "analysis/indices.h"
#include "store/fileacc.h"

namespace {

constexpr int32_t kInvest = 1;
constexpr int32_t kGroup = 1;

// A project of one investigation of that many members, each choosing `positive` and `negative`
// distinct others; the peer script reads investigation 7.
std::unique_ptr<TFileAccess> MakeProject(int members, int positive = 10, int negative = 5, int32_t invest = kInvest)
{
    auto store = std::make_unique<TFileAccess>();
    std::mt19937 random(static_cast<unsigned>(members));
    std::uniform_int_distribution<int> other(1, members);
    store->ClientGroups().Add(kGroup, "Study");
    for (int id = 1; id <= members; ++id)
        store->Clients().Add(id, kGroup, "Member " + std::to_string(id), id % 2 == 0, 30000);
    store->Investigations().Add({.Id = invest,
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
        while (picked.size() < static_cast<std::size_t>(std::min(positive + negative, members - 1))) {
            const int to = other(random);
            if (to == from || std::find(picked.begin(), picked.end(), to) != picked.end())
                continue;
            picked.push_back(to);
        }
        for (std::size_t i = 0; i < picked.size(); ++i) {
            if (i < static_cast<std::size_t>(positive))
                store->ForChoices().Add(invest, from, picked[i]);
            else
                store->AgainstChoices().Add(invest, from, picked[i]);
        }
    }
    return store;
}

// Every index of the model, of both kinds: what the peer does with its two graphs and more.
double AllIndices(const TInvestigationObject& model)
{
    double sum = 0;
    for (const TChoiceKind kind : {TChoiceKind::Positive, TChoiceKind::Negative, TChoiceKind::Any})
        sum += model.IndexP(kind) + model.IndexSa(kind) + model.IndexJ(kind) + model.IndexN(kind);
    for (const TChoiceKind kind : {TChoiceKind::Positive, TChoiceKind::Negative})
        for (int32_t i = 0; i < model.ClientCount(); ++i)
            sum += model.IndexPi(i, kind) + model.IndexAi(i, kind) + model.IndexEi(i, kind) +
                   model.IndexSti(i, kind) + model.StatusLevel(i, kind);
    return sum + model.MutualCount(-1, TChoiceKind::Positive) + model.MutualCount(-1, TChoiceKind::Negative);
}

double ThreadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Median CPU ms of our work on each store. The sizes take turns, round after round: this
// machine's speed drifts between spells of some milliseconds, and a size timed in one block
// would land in one spell, skewing the growth between sizes.
std::vector<double> OwnMedianMs(const std::vector<std::unique_ptr<TFileAccess>>& stores, int32_t invest, int rounds)
{
    std::vector<std::vector<double>> times(stores.size());
    for (int round = 0; round <= rounds; ++round) {
        for (std::size_t i = 0; i < stores.size(); ++i) {
            const double start = ThreadCpuMs();
            const TInvestigationObject model(*stores[i], invest);
            benchmark::DoNotOptimize(AllIndices(model));
            if (round > 0) // the first round warms the caches
                times[i].push_back(ThreadCpuMs() - start);
        }
    }
    std::vector<double> medians;
    for (const std::vector<double>& t : times)
        medians.push_back(Median(t));
    return medians;
}

// Median CPU ms of the peer on the file, or a negative number when it cannot run.
double PeerMedianMs(const std::string& file, int iters)
{
    const std::string command =
        "/usr/bin/python3 '" TREMLOW_PEER_SCRIPT "' igraph-build '" + file + "' " + std::to_string(iters) + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return -1;
    std::string output;
    char chunk[512];
    while (std::fgets(chunk, sizeof chunk, pipe))
        output += chunk;
    const int status = pclose(pipe);
    double minWall = 0, medianWall = 0, minCpu = 0, medianCpu = -1;
    if (status == 0 &&
        std::sscanf(output.c_str(), "%lf %lf %lf %lf", &minWall, &medianWall, &minCpu, &medianCpu) == 4)
        return medianCpu;
    std::fprintf(stderr, "peer failed (%d): %s\n", status, output.c_str());
    return -1;
}

// The table of our time beside the peer's, per size, with the ratio and the growth per doubling.
void CompareWithPeer()
{
    char folder[] = "/tmp/tremlow-bench-XXXXXX";
    if (!mkdtemp(folder))
        return;
    constexpr int32_t kPeerInvest = 7;
    std::printf("\nModel and every index vs python-igraph building the two graphs (degrees, mutual pairs,\n"
                "cohesion); 13 positive and 4 negative choices per member; median CPU ms\n");
    std::printf("%8s %10s %10s %8s %10s %10s\n", "members", "tremlow", "igraph", "ratio", "growth", "peer gr.");
    const std::vector<int> sizes = {250, 1000, 2000, 4000, 8000};
    std::vector<std::string> files;
    std::vector<std::unique_ptr<TFileAccess>> stores;
    for (const int members : sizes) {
        files.push_back(std::string(folder) + "/peer" + std::to_string(members) + ".soi");
        {
            const std::unique_ptr<TFileAccess> made = MakeProject(members, 13, 4, kPeerInvest);
            made->SetFileName(files.back());
            if (!made->Save())
                return;
        }
        stores.push_back(std::make_unique<TFileAccess>(files.back()));
        if (!stores.back()->Load())
            return;
    }
    const std::vector<double> own = OwnMedianMs(stores, kPeerInvest, 201);
    double previousOwn = 0, previousPeer = 0;
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        const int members = sizes[i];
        const double peer = PeerMedianMs(files[i], members <= 2000 ? 41 : 15);
        std::printf("%8d %10.3f ", members, own[i]);
        if (peer > 0)
            std::printf("%10.3f %7.2fx ", peer, own[i] / peer);
        else
            std::printf("%10s %8s ", "n/a", "-");
        // Growth per doubling, from the step before (sizes grow by 4x first, then 2x).
        const double steps = members == 1000 ? 2 : 1;
        if (previousOwn > 0)
            std::printf("%9.2fx ", std::pow(own[i] / previousOwn, 1 / steps));
        else
            std::printf("%10s ", "-");
        if (previousPeer > 0 && peer > 0)
            std::printf("%9.2fx\n", std::pow(peer / previousPeer, 1 / steps));
        else
            std::printf("%10s\n", "-");
        previousOwn = own[i];
        previousPeer = peer;
        std::remove(files[i].c_str());
    }
    rmdir(folder);
    if (previousPeer <= 0)
        std::printf("python-igraph not found: apt-get install python3-igraph, run again for the ratio\n");
}

void BM_InvestigationAnalysis(benchmark::State& state)
{
    const int members = static_cast<int>(state.range(0));
    const std::unique_ptr<TFileAccess> store = MakeProject(members);
    std::vector<TInvestClient> sorted;
    for (auto _ : state) {
        const TInvestigationObject model(*store, kInvest);
        double sum = AllIndices(model);
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
    CompareWithPeer();
    return 0;
}
