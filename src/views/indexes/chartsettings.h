#pragma once

class TGraphicChart;
struct TIndexesRegs;

// Gives the two index charts the look of the settings: background, colours, fonts and titles.
// The indexes window and the options dialog's sample use it alike, so the sample shows what the
// window will.
void ApplyIndexesChartSettings(TGraphicChart& group, TGraphicChart& members, const TIndexesRegs& regs);
