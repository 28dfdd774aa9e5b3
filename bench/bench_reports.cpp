// The investigation report of investigations of 500, 1000 and 2000 members (5 positive and 3
// negative choices each, every part on) written as HTML and as a Word document, and the report
// document alone. Peak memory is read from outside, one size at a time:
//   /usr/bin/time -v bench_reports --benchmark_filter='WordReport/2000/'
// (the HTML page is written to its file in blocks and the Word body streams to a temporary file,
// so neither is held whole; bench/README.md has the figures).
#include <algorithm>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "reports/htmlbuilder.h"
#include "reports/wordbuilder.h"
#include "i18n/langconv.h"
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
    store->CriteriaGroups().Add(1, "Questions");
    store->Criteria().Add(1, 1, "Whom would you choose?");
    for (int id = 1; id <= members; ++id)
        store->Clients().Add(id, kGroup, "Member " + std::to_string(id), id % 2 == 0, 30000);
    store->Investigations().Add({.Id = kInvest,
                                 .ClientGroupId = kGroup,
                                 .CriterionId = 1,
                                 .CriteriaGroupId = 1,
                                 .Name = "Generated",
                                 .Date = 40000,
                                 .AllowAgainst = true,
                                 .MaxChoices = 5});
    for (int from = 1; from <= members; ++from) {
        std::vector<int> picked;
        while (picked.size() < 8) {
            const int to = other(random);
            if (to != from && std::find(picked.begin(), picked.end(), to) == picked.end())
                picked.push_back(to);
        }
        for (std::size_t i = 0; i < picked.size(); ++i) {
            if (i < 5)
                store->ForChoices().Add(kInvest, from, picked[i]);
            else
                store->AgainstChoices().Add(kInvest, from, picked[i]);
        }
    }
    return store;
}

// The catalogue from the source tree's language file.
void InstallCatalogue()
{
    if (!HasLangConv())
        SetLangConv(std::make_unique<TDlgLangConverter>(TREMLOW_SOURCE_LANGUAGE_FILE));
}

std::string OutFile(const char* name)
{
    return (std::filesystem::temp_directory_path() / name).string();
}

template <typename Builder> void BM_InvestigationReport(benchmark::State& state, const char* file)
{
    InstallCatalogue();
    const std::unique_ptr<TFileAccess> store = MakeProject(static_cast<int>(state.range(0)));
    const std::string path = OutFile(file);
    for (auto _ : state) {
        Builder builder({TReportKind::Investigation, kInvest}, false, path);
        builder.SetStore(*store);
        builder.SetReportRegs(TReportRegs{});
        builder.Generate();
    }
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
    std::filesystem::remove(path);
}

void BM_ReportDocument(benchmark::State& state)
{
    InstallCatalogue();
    const std::unique_ptr<TFileAccess> store = MakeProject(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::string document =
            BuildReportDocument(*store, {TReportKind::Investigation, kInvest}, TReportRegs{}, 46000);
        benchmark::DoNotOptimize(document);
    }
}

void BM_HtmlReport(benchmark::State& state)
{
    BM_InvestigationReport<THTMLBuilder>(state, "tremlow-bench-report.html");
}

void BM_WordReport(benchmark::State& state)
{
    BM_InvestigationReport<TWordBuilder>(state, "tremlow-bench-report.docx");
}

BENCHMARK(BM_ReportDocument)->Arg(500)->Arg(1000)->Arg(2000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HtmlReport)->Arg(500)->Arg(1000)->Arg(2000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_WordReport)->Arg(500)->Arg(1000)->Arg(2000)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
