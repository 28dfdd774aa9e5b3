// The choices grid of a 300-member group: painting it whole, and changing one mark in a
// window-sized view with the repaint that follows. Runs offscreen.
#include <cstdlib>

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QScrollArea>
#include <QStringList>

#include "views/choices/selections.h"

namespace {

constexpr int kMembers = 300;

// A grid of kMembers members, each choosing the next one.
void Fill(TSelections& grid)
{
    QStringList names;
    for (int i = 1; i <= kMembers; ++i)
        names << QStringLiteral("Member %1").arg(i);
    grid.SetCaptions(names);
    grid.SetCellCount(kMembers + 1);
    grid.SetNumSelLimit(kMembers);
    for (int i = 0; i < kMembers; ++i)
        grid.SetCell((i + 1) % kMembers, i, stFor);
}

void BM_PaintWholeGrid(benchmark::State& state)
{
    TSelections grid;
    Fill(grid);
    QImage image(grid.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&image);
        grid.PaintTo(painter);
    }
}
BENCHMARK(BM_PaintWholeGrid)->Unit(benchmark::kMillisecond);

// As in the choices window: the grid in a scroll area of a window's size, a mark changed in view.
void BM_ToggleMarkAndRepaint(benchmark::State& state)
{
    QScrollArea area;
    auto* grid = new TSelections;
    Fill(*grid);
    area.setWidget(grid);
    area.resize(1000, 700);
    area.show();
    QApplication::processEvents(); // the first paint of the window is not a toggle
    int i = 0;
    for (auto _ : state) {
        const int column = 2 + i % 3;
        const int row = 6 + i % 7; // never a member's own cell
        grid->SetCell(column, row, grid->Cell(column, row) == stFor ? stNone : stFor);
        QApplication::processEvents();
        ++i;
    }
}
BENCHMARK(BM_ToggleMarkAndRepaint)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
