// Opening the indexes window of a large group, drawing what one screen of it shows, and saving
// the whole window as a PNG picture (drawn in bands).
#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>

#include <QApplication>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include "platform/picturefile.h"
#include "picturebench.h"

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

// The whole window of 2000 members saved as PNG: a wide picture, drawn a band at a time.
void BM_SaveIndexesPicture(benchmark::State& state)
{
    const auto store = MakeProject(static_cast<int>(state.range(0)));
    TIndexesForm form(*store, 1, "Investigation");
    QTemporaryDir dir;
    const QString name = dir.filePath("indexes.png");
    const double start = ProcessCpuMs();
    for (auto _ : state) {
        QString error;
        if (!WritePicture(name, TPictureFormat::Png, form.PictureSize(), form.Drawing(), &error))
            state.SkipWithError(error.toStdString().c_str());
    }
    state.counters["all_threads_cpu_ms"] = (ProcessCpuMs() - start) / static_cast<double>(state.iterations());
    state.counters["Mpixels"] = static_cast<double>(form.PictureSize().width()) * form.PictureSize().height() / 1e6;
    state.counters["MB"] = static_cast<double>(QFileInfo(name).size()) / 1e6;
}
BENCHMARK(BM_SaveIndexesPicture)->Arg(250)->Arg(2000)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same picture drawn band by band as a save draws it (bands of 32 MB), without writing a
// file: the share of a save that is drawing, beside the share that is PNG packing.
void BM_DrawIndexesBands(benchmark::State& state)
{
    const auto store = MakeProject(static_cast<int>(state.range(0)));
    TIndexesForm form(*store, 1, "Investigation");
    for (auto _ : state)
        DrawInBands(form.PictureSize(), form.Drawing());
}
BENCHMARK(BM_DrawIndexesBands)->Arg(2000)->Unit(benchmark::kMillisecond)->Iterations(2);

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
