// The sociogram of change of two waves of 2000 members: one window-sized view of it painted, as
// on scrolling, and the whole picture drawn band by band, as on saving. Runs offscreen.
#include <cstdlib>
#include <memory>

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include "analysis/waves.h"
#include "i18n/langconv.h"
#include "picturebench.h"
#include "views/compare/changesociogram.h"
#include "wavesproject.h"

namespace {

struct TChangeFixture {
    TFileAccess store;
    TWaveSeries series;
    TChangeFixture()
    {
        wavesbench::MakeProject(store);
        series = CompareInvestigations(store, {1, 2});
    }
};

void BM_PaintChangeSociogramView2000(benchmark::State& state)
{
    TChangeFixture data;
    const TChangeSociogram view(data.store, data.series.Waves[0], data.series.Waves[1]);
    const QSize size = view.PictureSize();
    QImage image(1000, 700, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&image);
        const QPoint at(size.width() / 2 - 500, size.height() / 2 - 350);
        painter.translate(-at);
        painter.setClipRect(QRect(at, image.size()));
        view.PaintTo(painter);
    }
    state.counters["arrows"] = static_cast<double>(view.Arrows().size());
}
BENCHMARK(BM_PaintChangeSociogramView2000)->Unit(benchmark::kMillisecond);

void BM_DrawChangeSociogramBands2000(benchmark::State& state)
{
    TChangeFixture data;
    const TChangeSociogram view(data.store, data.series.Waves[0], data.series.Waves[1]);
    for (auto _ : state)
        DrawInBands(view.PictureSize(), [&view](QPainter& painter) { view.PaintTo(painter); });
}
BENCHMARK(BM_DrawChangeSociogramBands2000)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    // The key of the picture takes its texts from the message catalogue.
    SetLangConv(std::make_unique<TDlgLangConverter>(TREMLOW_SOURCE_LANGUAGE_FILE));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
