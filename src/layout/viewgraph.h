#pragma once

#include <string>
#include <vector>

#include "layout/layout.h"

// One figure of a sociogram as drawn: its member's name and its rectangle in pixels (top-left origin).
struct TViewFigure {
    std::string Label;
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
};

// The sociogram as drawn, as GraphML: one node per figure with label, x, y, width and height, one
// edge per arrow with its sign (+1 positive, -1 negative), so any graph tool can check a layout.
std::string ViewGraphMlText(const std::vector<TViewFigure>& figures, const std::vector<TLayoutEdge>& edges);
