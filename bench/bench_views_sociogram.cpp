// Drawing, arranging and opening sociograms, and printing a large choices grid.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>

#include "settings/regs.h"
#include "store/fileacc.h"
#include "views/choices/selectionform.h"
#include "views/sociogram/graphform.h"
#include "views/sociogram/graphiccontrol.h"
#include "views/sociogram/sociopanel.h"
#include "platform/printimage.h"

namespace {

// A surface of n nodes and arrows random arrows, laid out.
std::unique_ptr<TSocioPanel> MakeSurface(int n, int arrows)
{
    auto panel = std::make_unique<TSocioPanel>();
    std::vector<TSocioGraphicControl*> nodes;
    for (int i = 0; i < n; ++i) {
        auto* node = new TSocioGraphicControl(panel.get());
        node->SetCaption(QStringLiteral("Member %1").arg(i));
        node->SetComponentStyle(static_cast<TComponentStyle>(1 + i % 7));
        nodes.push_back(node);
    }
    std::mt19937 random(7);
    std::uniform_int_distribution<int> pick(0, n - 1);
    for (int a = 0; a < arrows; ++a) {
        const int from = pick(random);
        int to = pick(random);
        if (to == from)
            to = (to + 1) % n;
        nodes[static_cast<std::size_t>(from)]->AddRelation(nodes[static_cast<std::size_t>(to)], Qt::SolidLine,
                                                           Qt::black, 1);
    }
    panel->Arrange();
    return panel;
}

// A project with one investigation of n members, each choosing up to three others.
std::unique_ptr<TFileAccess> MakeProject(int n)
{
    auto store = std::make_unique<TFileAccess>();
    store->ClientGroups().Add(1, "Group");
    for (int i = 1; i <= n; ++i)
        store->Clients().Add(i, 1, "Member " + std::to_string(i), true, 0);
    store->CriteriaGroups().Add(1, "Questions");
    store->Criteria().Add(1, 1, "Whom would you sit next to?");
    store->Investigations().Add(1, 1, 1, 1, "Investigation", 40000, true, 3);
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

void BM_DrawSociogram300Nodes3000Arrows(benchmark::State& state)
{
    auto panel = MakeSurface(300, 3000);
    panel->FitToContents();
    QImage image(panel->size(), QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        panel->PaintTo(painter);
    }
    state.counters["pixels"] = image.width() * image.height();
}
BENCHMARK(BM_DrawSociogram300Nodes3000Arrows)->Unit(benchmark::kMillisecond);

// The part of the surface repainted when one node moves: its arrows and its own place.
void BM_RepaintOneMovedNode(benchmark::State& state)
{
    auto panel = MakeSurface(300, 3000);
    panel->FitToContents();
    TSocioGraphicControl* node = panel->Nodes()[150];
    QImage image(panel->size(), QImage::Format_RGB32);
    for (auto _ : state) {
        node->move(node->pos() + QPoint(1, 0));
        QPainter painter(&image);
        painter.setClipRect(node->geometry().adjusted(-200, -200, 200, 200));
        panel->PaintTo(painter);
    }
}
BENCHMARK(BM_RepaintOneMovedNode)->Unit(benchmark::kMillisecond);

void BM_Arrange2000Members(benchmark::State& state)
{
    auto panel = MakeSurface(2000, 6000);
    for (auto _ : state)
        panel->Arrange();
}
BENCHMARK(BM_Arrange2000Members)->Unit(benchmark::kMillisecond);

void BM_OpenGraphWindow2000Members(benchmark::State& state)
{
    auto store = MakeProject(2000);
    for (auto _ : state) {
        TGraphForm form(*store, 1, "bench");
        benchmark::DoNotOptimize(form.PictureSize());
    }
}
BENCHMARK(BM_OpenGraphWindow2000Members)->Unit(benchmark::kMillisecond)->Iterations(3);

// Printing a 1000-member choices grid, tile by tile, onto PDF pages.
void BM_PrintChoicesGrid1000Members(benchmark::State& state)
{
    auto store = MakeProject(1000);
    TSelectionForm form(*store, 1, "bench");
    QTemporaryDir dir;
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath("grid.pdf"));
        TPrintImage image(form.PictureSize(), [&form](QPainter& painter) { form.PaintTo(painter); },
                          static_cast<TPrintType>(state.range(0)));
        image.SetScreenDpi(96);
        image.PrintOnce(printer);
    }
}
BENCHMARK(BM_PrintChoicesGrid1000Members)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);

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
