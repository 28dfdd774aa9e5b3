#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Automatic arrangements of a sociogram: from the members' figure sizes and the choices between
// them, the top-left corner of every figure. Every arrangement is deterministic (the same input
// gives the same places) and leaves no two figures overlapping.

enum class TLayoutKind : uint8_t {
    Grid,   // by choices received, most chosen at the top left, in square shells around it
    Target, // concentric rings by choices received, the most chosen in the centre
    Force,  // force-directed, mutual pairs pulled closer (or plain, where that crosses less)
    Circle, // one circle, ordered to reduce crossings
};

// The word of a layout on the command line ("grid", "target", "force", "circle") and back.
const char* LayoutName(TLayoutKind kind);
bool LayoutOfName(const std::string& name, TLayoutKind& kind);

enum class TLayoutSex : uint8_t { Unknown, Male, Female };

struct TLayoutNode {
    int Width = 0;
    int Height = 0;
    TLayoutSex Sex = TLayoutSex::Unknown;
};

// One choice: From chose To; Sign +1 positive, -1 negative.
struct TLayoutEdge {
    int From = 0;
    int To = 0;
    int Sign = 1;
};

struct TLayoutGraph {
    std::vector<TLayoutNode> Nodes;
    std::vector<TLayoutEdge> Edges;
};

struct TLayoutOptions {
    int Margin = 35; // free space left and above the figures, and the grid's gap
    int Gap = 16;    // least free space between two figures of the other layouts
    bool SexHalves = false; // target: boys in the left half, girls in the right
};

struct TLayoutPoint {
    int X = 0;
    int Y = 0;
};

// A ring of the target layout, drawn faintly behind the figures.
struct TLayoutRing {
    int Radius = 0;
    int Received = 0; // the least number of choices received of the members on it
};

struct TLayoutResult {
    std::vector<TLayoutPoint> Places; // top-left corner of each figure, in node order
    TLayoutPoint Centre;              // the rings' centre
    std::vector<TLayoutRing> Rings;   // target layout only, innermost first
};

// The number of choices each member received that decide its place: positive ones when the graph
// has any, else all.
std::vector<int> ReceivedCounts(const TLayoutGraph& graph);

TLayoutResult MakeLayout(TLayoutKind kind, const TLayoutGraph& graph, const TLayoutOptions& options = {});

// Moves figures apart until no two overlap and each pair keeps at least gap pixels between
// them (a figure of size w x h at places[i]); stays close to the given places.
void RemoveOverlaps(const TLayoutGraph& graph, std::vector<TLayoutPoint>& places, int gap);

// The number of crossings of the straight lines between figure centres, a mutual pair counted
// as one line; lines sharing a figure do not cross.
int64_t CountCrossings(const TLayoutGraph& graph, const std::vector<TLayoutPoint>& places);

// Whether any two figures overlap (touching edges do not).
bool AnyOverlap(const TLayoutGraph& graph, const std::vector<TLayoutPoint>& places);

// igraph's Fruchterman-Reingold layout of the graph alone (no mutual weights, no order), scaled
// to the figure sizes and freed of overlaps: the yardstick the arrangements are measured by.
std::vector<TLayoutPoint> PlainForceLayout(const TLayoutGraph& graph, const TLayoutOptions& options = {});
