// Opening the indexes window of a large group and drawing what one screen of it shows.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include "settings/regs.h"
#include "store/fileacc.h"
#include "views/indexes/graphicchart.h"
#include "views/indexes/indexesform.h"

namespace {

// A project with one investigation of n members, each choosing up to three others.
std::unique_ptr<TFileAccess> MakeProject(int n)
{
    auto store = std::make_unique<TFileAccess>();
    store->ClientGroups().Add(1, "Group");
    for (int i = 1; i <= n; ++i)
        store->Clients().Add(i, 1, "Member " + std::to_string(i), true, 0);
    store->Investigations().Add({.Id = 1,
                                 .ClientGroupId = 1,
                                 .CriterionId = -1,
                                 .CriteriaGroupId = -1,
                                 .Name = "Investigation",
                                 .Date = 40000,
                                 .AllowAgainst = true,
                                 .MaxChoices = 3});
    std::mt19937 random(11);
    std::uniform_int_distribution<int> pick(1, n);
    for (int i = 1; i <= n; ++i) {
        for (int k = 0; k < 3; ++k) {
            const int to = pick(random);
            if (to != i)
                store->ForChoices().Add(1, i, to);
        }
    }
    return store;
}

void BM_OpenIndexesWindow(benchmark::State& state)
{
    const auto store = MakeProject(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        TIndexesForm form(*store, 1, "Investigation");
        benchmark::DoNotOptimize(form.PictureSize());
    }
}
BENCHMARK(BM_OpenIndexesWindow)->Arg(30)->Arg(2000)->Unit(benchmark::kMillisecond);

// One screen (1000 x 350 pixels) in the middle of the individual chart: what a scroll step repaints.
void BM_PaintVisiblePart(benchmark::State& state)
{
    const auto store = MakeProject(static_cast<int>(state.range(0)));
    TIndexesForm form(*store, 1, "Investigation");
    const TGraphicChart& chart = form.PrivateChart();
    const QRect visible(chart.width() / 2, 0, 1000, chart.height());
    QImage image(visible.size(), QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        painter.translate(-visible.topLeft());
        painter.setClipRect(visible);
        chart.PaintTo(painter, visible);
    }
}
BENCHMARK(BM_PaintVisiblePart)->Arg(30)->Arg(2000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Regs().Load();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
