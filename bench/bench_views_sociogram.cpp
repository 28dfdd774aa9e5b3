// Drawing, arranging and opening sociograms, and printing, copying and saving large views.
//
// Measured (RelWithDebInfo, 2-core AMD EPYC shared with other builds; CPU time, peak RSS from
// /usr/bin/time -v running one benchmark at a time):
//   draw 300 nodes, 3000 arrows      45.7 ms -> 13.0 ms (arrows 40 -> 7 ms: written straight
//                                     into the picture's pixels; nodes ~5 ms with their caption
//                                     measures kept, background ~1 ms)
//   repaint after moving one node    0.09 ms (only the node and its arrows' rectangles)
//   Arrange 2000 nodes               0.1 ms;  open the graph of 2000 members  51 ms, shown at
//                                     1000 x 700 and painted once  89 ms
//   1000-member choices grid (45280 x 35230 pixels):
//     print, Common (tiles)          4.6 s, 38 MB
//     print, Proportional            3.9 s, 256 MB
//     copy (scaled to 4534 x 3528)   0.5 s, 96 MB   (was one 6.3 GB image)
//     save as JPEG, band by band     5.7 s, 71 MB, 218 MB file  (was refused: too large)
//     save as PNG, band by band      16-19 s, 70 MB, 24 MB file (zlib's compression of the
//                                     4.8 GB of pixels is 70 % of it)
//     save as BMP                    refused: a bitmap file holds at most 4 GB
//   the graph of 2000 members with 13 choices each: opening, one drag step and the PNG save
//   beside drawing its bands alone are in bench/README.md
#include <benchmark/benchmark.h>

#include <memory>
#include <optional>
#include <random>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <QFileInfo>

#include "i18n/langconv.h"
#include "settings/regs.h"
#include "store/fileacc.h"
#include "views/choices/selectionform.h"
#include "views/sociogram/graphform.h"
#include "views/sociogram/graphiccontrol.h"
#include "views/sociogram/sociopanel.h"
#include "platform/picturefile.h"
#include "picturebench.h"
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

// A project with one investigation of n members, each choosing up to `choices` others.
std::unique_ptr<TFileAccess> MakeProject(int n, int choices = 3)
{
    auto store = std::make_unique<TFileAccess>();
    store->ClientGroups().Add(1, "Group");
    for (int i = 1; i <= n; ++i)
        store->Clients().Add(i, 1, "Member " + std::to_string(i), true, 0);
    store->CriteriaGroups().Add(1, "Questions");
    store->Criteria().Add(1, 1, "Whom would you sit next to?");
    store->Investigations().Add({.Id = 1,
                                 .ClientGroupId = 1,
                                 .CriterionId = 1,
                                 .CriteriaGroupId = 1,
                                 .Name = "Investigation",
                                 .Date = 40000,
                                 .AllowAgainst = true,
                                 .MaxChoices = 3});
    std::mt19937 random(11);
    std::uniform_int_distribution<int> pick(1, n);
    for (int i = 1; i <= n; ++i) {
        for (int k = 0; k < choices; ++k) {
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

// Opening it as the user sees it: built, shown at a usual window size and painted once; with 3
// and with 13 choices per member. Closing it (which stores the figures' places) is not counted.
void BM_ShowGraphWindow2000Members(benchmark::State& state)
{
    auto store = MakeProject(2000, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::optional<TGraphForm> form(std::in_place, *store, 1, "bench");
        form->resize(1000, 700);
        form->show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(form->grab());
        state.PauseTiming();
        form.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ShowGraphWindow2000Members)->Arg(3)->Arg(13)->Unit(benchmark::kMillisecond)->Iterations(3);

// Closing that window (13 choices per member), which stores every figure's place of the three
// kinds into the project: the first close adds the rows, later ones find and keep them.
void BM_CloseGraphWindow2000Members(benchmark::State& state)
{
    auto store = MakeProject(2000, 13);
    for (auto _ : state) {
        state.PauseTiming();
        std::optional<TGraphForm> form(std::in_place, *store, 1, "bench");
        state.ResumeTiming();
        form.reset();
    }
    state.counters["placements"] = store->Placements().Count();
}
BENCHMARK(BM_CloseGraphWindow2000Members)->Unit(benchmark::kMillisecond)->Iterations(3);

// One step of dragging a figure of that window (13 choices per member): the figure moved by a
// few pixels and what it damaged (the figure and its arrows, where it was and where it is)
// repainted. The figure is the one at the top left, on screen; it moves back and forth.
void BM_DragOneFigure2000Members(benchmark::State& state)
{
    auto store = MakeProject(2000, 13);
    TGraphForm form(*store, 1, "bench");
    form.resize(1000, 700);
    form.show();
    QApplication::processEvents();
    TSocioGraphicControl* node = form.Nodes().front();
    for (TSocioGraphicControl* other : form.Nodes()) {
        if (other->x() + other->y() < node->x() + node->y())
            node = other;
    }
    QPoint step(6, 4);
    for (auto _ : state) {
        node->move(node->pos() + step);
        form.Surface().NodeChanged(node);
        QApplication::processEvents();
        step = -step;
    }
}
BENCHMARK(BM_DragOneFigure2000Members)->Unit(benchmark::kMillisecond);

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

// Copying a 1000-member choices grid: the picture scaled down to the clipboard's limit.
void BM_CopyChoicesGrid1000Members(benchmark::State& state)
{
    auto store = MakeProject(1000);
    TSelectionForm form(*store, 1, "bench");
    for (auto _ : state) {
        const QImage picture = form.Picture();
        state.counters["width"] = picture.width();
        state.counters["height"] = picture.height();
    }
}
BENCHMARK(BM_CopyChoicesGrid1000Members)->Unit(benchmark::kMillisecond)->Iterations(1);

// Saving a 1000-member choices grid as a picture file, band by band (0 PNG, 1 JPEG).
void BM_SaveChoicesGrid1000Members(benchmark::State& state)
{
    auto store = MakeProject(1000);
    TSelectionForm form(*store, 1, "bench");
    QTemporaryDir dir;
    const bool png = state.range(0) == 0;
    const QString name = dir.filePath(png ? "grid.png" : "grid.jpg");
    for (auto _ : state) {
        QString error;
        if (!WritePicture(name, png ? TPictureFormat::Png : TPictureFormat::Jpeg, form.PictureSize(),
                          [&form](QPainter& painter) { form.PaintTo(painter); }, &error))
            state.SkipWithError(error.toStdString().c_str());
    }
    state.counters["MB"] = static_cast<double>(QFileInfo(name).size()) / (1024 * 1024);
}
BENCHMARK(BM_SaveChoicesGrid1000Members)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);

// Saving the graph of a 2000-member investigation as PNG, with 3 and with 13 choices per member.
void BM_SaveGraph2000Members(benchmark::State& state)
{
    auto store = MakeProject(2000, static_cast<int>(state.range(0)));
    TGraphForm form(*store, 1, "bench");
    QTemporaryDir dir;
    const QString name = dir.filePath("graph.png");
    const double start = ProcessCpuMs();
    for (auto _ : state)
        WritePicture(name, TPictureFormat::Png, form.PictureSize(), form.Drawing());
    state.counters["all_threads_cpu_ms"] = (ProcessCpuMs() - start) / static_cast<double>(state.iterations());
    state.counters["pixels"] = static_cast<double>(form.PictureSize().width()) * form.PictureSize().height();
}
BENCHMARK(BM_SaveGraph2000Members)->Arg(3)->Arg(13)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same picture drawn band by band as a save draws it (bands of 32 MB), without writing a
// file: the share of a save that is drawing, beside the share that is PNG packing.
void BM_DrawGraphBands2000Members(benchmark::State& state)
{
    auto store = MakeProject(2000, static_cast<int>(state.range(0)));
    TGraphForm form(*store, 1, "bench");
    for (auto _ : state)
        DrawInBands(form.PictureSize(), form.Drawing());
}
BENCHMARK(BM_DrawGraphBands2000Members)->Arg(13)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Regs().Load();
    // The graph window takes its texts from the message catalogue.
    SetLangConv(std::make_unique<TDlgLangConverter>(TREMLOW_SOURCE_LANGUAGE_FILE));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
