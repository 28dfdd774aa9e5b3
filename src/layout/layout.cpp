#include "layout/layout.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>
#include <utility>

#include <igraph.h>

namespace {

constexpr double kPi = 3.14159265358979323846;
// More distinct counts than this are grouped, so the rings stay few and wide.
constexpr int kMostRings = 6;
constexpr double kGoldenAngle = 2.399963229728653;
// Improving the order by single swaps counts every crossing again; beyond this it costs too much.
constexpr std::size_t kMostSwapEdges = 300;
// Choosing the better of two force-directed runs counts crossings twice; beyond this it is skipped.
constexpr std::size_t kMostCompareEdges = 3000;
// Trying every place for every figure costs figures^2 x ties^2 steps; beyond this it is skipped.
constexpr double kMostInsertionWork = 2e7;

struct TCentre {
    double X = 0;
    double Y = 0;
};

// Neighbours of each figure with the weight of their tie: one choice 1, a mutual pair 3.
using TAdjacency = std::vector<std::vector<std::pair<int, double>>>;

bool Valid(const TLayoutGraph& graph, const TLayoutEdge& edge)
{
    const int n = static_cast<int>(graph.Nodes.size());
    return edge.From >= 0 && edge.To >= 0 && edge.From < n && edge.To < n && edge.From != edge.To;
}

// Each tie once, as (smaller, larger) with the number of choices along it (1 or 2).
std::map<std::pair<int, int>, int> Ties(const TLayoutGraph& graph)
{
    std::map<std::pair<int, int>, std::pair<bool, bool>> directions;
    for (const TLayoutEdge& edge : graph.Edges) {
        if (!Valid(graph, edge))
            continue;
        const auto key = std::minmax(edge.From, edge.To);
        auto& seen = directions[{key.first, key.second}];
        (edge.From < edge.To ? seen.first : seen.second) = true;
    }
    std::map<std::pair<int, int>, int> ties;
    for (const auto& [key, seen] : directions)
        ties[key] = (seen.first && seen.second) ? 2 : 1;
    return ties;
}

TAdjacency Adjacency(const TLayoutGraph& graph)
{
    TAdjacency adjacency(graph.Nodes.size());
    for (const auto& [key, count] : Ties(graph)) {
        const double weight = count == 2 ? 3.0 : 1.0;
        adjacency[static_cast<std::size_t>(key.first)].emplace_back(key.second, weight);
        adjacency[static_cast<std::size_t>(key.second)].emplace_back(key.first, weight);
    }
    return adjacency;
}

// The distance two figure centres need so that no two figures of the graph overlap, gap included.
double Pitch(const TLayoutGraph& graph, int gap)
{
    double widest = 1;
    double highest = 1;
    for (const TLayoutNode& node : graph.Nodes) {
        widest = std::max(widest, static_cast<double>(node.Width));
        highest = std::max(highest, static_cast<double>(node.Height));
    }
    return std::hypot(widest + gap, highest + gap);
}

std::vector<TLayoutPoint> TopLefts(const TLayoutGraph& graph, const std::vector<TCentre>& centres)
{
    std::vector<TLayoutPoint> places(centres.size());
    for (std::size_t i = 0; i < centres.size(); ++i) {
        places[i] = {static_cast<int>(std::lround(centres[i].X - graph.Nodes[i].Width / 2.0)),
                     static_cast<int>(std::lround(centres[i].Y - graph.Nodes[i].Height / 2.0))};
    }
    return places;
}

// Shifts the figures so the leftmost and the topmost stand at the margin; answers the shift.
TLayoutPoint Normalise(std::vector<TLayoutPoint>& places, int margin)
{
    if (places.empty())
        return {};
    int left = places.front().X;
    int top = places.front().Y;
    for (const TLayoutPoint& p : places) {
        left = std::min(left, p.X);
        top = std::min(top, p.Y);
    }
    const TLayoutPoint shift{margin - left, margin - top};
    for (TLayoutPoint& p : places) {
        p.X += shift.X;
        p.Y += shift.Y;
    }
    return shift;
}

double Wrap(double angle)
{
    angle = std::fmod(angle, 2 * kPi);
    return angle < 0 ? angle + 2 * kPi : angle;
}

// Figures placed on rings around one centre: each ring holds arcs (the whole circle, or two halves)
// and each arc an ordered list of figures spread evenly over it.
struct TArc {
    double From = 0;   // first angle (radians, screen y downward)
    double Span = 0;   // 2 pi for a whole ring
    std::vector<int> Members;
    double Shift = 0.5; // a part arc: where in its share of the arc each member stands (0..1)
};

struct TRingPlan {
    double Radius = 0;
    std::vector<TArc> Arcs;
};

void AssignAngles(const TArc& arc, std::vector<double>& angles)
{
    const std::size_t n = arc.Members.size();
    const bool whole = arc.Span >= 2 * kPi - 1e-9;
    for (std::size_t i = 0; i < n; ++i) {
        const double step = whole ? arc.Span * static_cast<double>(i) / static_cast<double>(n)
                                  : arc.Span * (static_cast<double>(i) + arc.Shift) / static_cast<double>(n);
        angles[static_cast<std::size_t>(arc.Members[i])] = Wrap(arc.From + step);
    }
}

// Radius at which n figures spread over the span stand a pitch apart.
double RadiusFor(std::size_t n, double span, double pitch)
{
    if (n <= 1)
        return span >= 2 * kPi - 1e-9 ? 0 : pitch / 2;
    const double step = span / static_cast<double>(n);
    return pitch / (2 * std::sin(std::min(step, kPi) / 2));
}

std::vector<TCentre> CentresOf(const std::vector<TRingPlan>& rings, const std::vector<double>& angles,
                               std::size_t count)
{
    std::vector<TCentre> centres(count);
    for (const TRingPlan& ring : rings) {
        for (const TArc& arc : ring.Arcs) {
            for (const int m : arc.Members) {
                const double a = angles[static_cast<std::size_t>(m)];
                centres[static_cast<std::size_t>(m)] = {ring.Radius * std::cos(a), ring.Radius * std::sin(a)};
            }
        }
    }
    return centres;
}

int64_t CrossingsOfCentres(const TLayoutGraph& graph, const std::vector<TCentre>& centres);

// Orders the figures of every arc so that chosen and choosing figures lie at similar angles:
// barycentric sweeps, inner rings to outer and back, then single swaps of neighbours that remove
// crossings while the graph is small enough to count them.
void OrderRings(const TLayoutGraph& graph, std::vector<TRingPlan>& rings, std::vector<double>& angles, bool sweep)
{
    const TAdjacency adjacency = Adjacency(graph);
    // Rings start turned against each other, so their first members do not line up.
    for (std::size_t r = 0; r < rings.size(); ++r) {
        for (TArc& arc : rings[r].Arcs) {
            if (arc.Span >= 2 * kPi - 1e-9)
                arc.From = Wrap(arc.From + kGoldenAngle * static_cast<double>(r));
            else
                arc.Shift = 0.2 + 0.6 * std::fmod(0.5 + 0.618034 * static_cast<double>(r), 1.0);
            AssignAngles(arc, angles);
        }
    }
    auto sweepArc = [&](TArc& arc) {
        std::vector<std::pair<double, int>> keys;
        for (const int m : arc.Members) {
            double sx = 0;
            double sy = 0;
            for (const auto& [other, weight] : adjacency[static_cast<std::size_t>(m)]) {
                sx += weight * std::cos(angles[static_cast<std::size_t>(other)]);
                sy += weight * std::sin(angles[static_cast<std::size_t>(other)]);
            }
            const double own = angles[static_cast<std::size_t>(m)];
            // A figure without ties, or pulled equally every way, keeps its angle.
            const double pull = std::hypot(sx, sy) < 1e-9 ? own : std::atan2(sy, sx);
            // Angles counted from the arc's start, so the sort runs along the arc.
            keys.emplace_back(Wrap(pull - arc.From), m);
        }
        std::stable_sort(keys.begin(), keys.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (std::size_t i = 0; i < keys.size(); ++i)
            arc.Members[i] = keys[i].second;
        // A whole ring also turns so its members stand nearest the angles they are pulled to.
        if (arc.Span >= 2 * kPi - 1e-9 && !keys.empty()) {
            double sx = 0;
            double sy = 0;
            for (std::size_t i = 0; i < keys.size(); ++i) {
                const double base = 2 * kPi * static_cast<double>(i) / static_cast<double>(keys.size());
                sx += std::cos(keys[i].first - base);
                sy += std::sin(keys[i].first - base);
            }
            if (std::hypot(sx, sy) > 1e-9)
                arc.From = Wrap(arc.From + std::atan2(sy, sx));
        } else if (!keys.empty()) {
            // A half ring cannot turn; its members slide within their shares toward their pulls.
            double sum = 0;
            for (std::size_t i = 0; i < keys.size(); ++i)
                sum += std::min(keys[i].first, arc.Span) / arc.Span * static_cast<double>(keys.size()) -
                       static_cast<double>(i);
            arc.Shift = std::clamp(sum / static_cast<double>(keys.size()), 0.2, 0.8);
        }
        AssignAngles(arc, angles);
    };
    for (int pass = 0; pass < (sweep ? 6 : 0); ++pass) {
        if (pass % 2 == 0) {
            for (TRingPlan& ring : rings)
                for (TArc& arc : ring.Arcs)
                    sweepArc(arc);
        } else {
            for (auto it = rings.rbegin(); it != rings.rend(); ++it)
                for (TArc& arc : it->Arcs)
                    sweepArc(arc);
        }
    }
    if (graph.Edges.size() > kMostSwapEdges)
        return;
    int64_t best = CrossingsOfCentres(graph, CentresOf(rings, angles, graph.Nodes.size()));
    // Small groups: every figure tries every other place on its arc.
    const double ties = static_cast<double>(graph.Edges.size());
    const double figures = static_cast<double>(graph.Nodes.size());
    if (figures * figures * ties * ties <= kMostInsertionWork) {
        for (int pass = 0; pass < 4 && best > 0; ++pass) {
            bool improved = false;
            for (TRingPlan& ring : rings) {
                for (TArc& arc : ring.Arcs) {
                    const std::size_t n = arc.Members.size();
                    for (std::size_t from = 0; from < n; ++from) {
                        for (std::size_t to = 0; to < n; ++to) {
                            if (to == from)
                                continue;
                            const std::vector<int> before = arc.Members;
                            const int moved = arc.Members[from];
                            arc.Members.erase(arc.Members.begin() + static_cast<std::ptrdiff_t>(from));
                            arc.Members.insert(arc.Members.begin() + static_cast<std::ptrdiff_t>(to), moved);
                            AssignAngles(arc, angles);
                            const int64_t crossings =
                                CrossingsOfCentres(graph, CentresOf(rings, angles, graph.Nodes.size()));
                            if (crossings < best) {
                                best = crossings;
                                improved = true;
                            } else {
                                arc.Members = before;
                                AssignAngles(arc, angles);
                            }
                        }
                    }
                }
            }
            if (!improved)
                break;
        }
    }
    for (int pass = 0; pass < 3 && best > 0; ++pass) {
        bool improved = false;
        for (TRingPlan& ring : rings) {
            for (TArc& arc : ring.Arcs) {
                const std::size_t n = arc.Members.size();
                const bool whole = arc.Span >= 2 * kPi - 1e-9;
                const std::size_t pairs = whole && n > 2 ? n : (n > 0 ? n - 1 : 0);
                for (std::size_t i = 0; i < pairs; ++i) {
                    const std::size_t j = (i + 1) % n;
                    std::swap(arc.Members[i], arc.Members[j]);
                    AssignAngles(arc, angles);
                    const int64_t crossings = CrossingsOfCentres(graph, CentresOf(rings, angles, graph.Nodes.size()));
                    if (crossings < best) {
                        best = crossings;
                        improved = true;
                    } else {
                        std::swap(arc.Members[i], arc.Members[j]);
                        AssignAngles(arc, angles);
                    }
                }
            }
        }
        if (!improved)
            break;
    }
}

// sweep: order the rings by barycentric sweeps before the crossings are counted.
TLayoutResult PlaceRings(const TLayoutGraph& graph, std::vector<TRingPlan>& rings, const TLayoutOptions& options,
                         bool sweep)
{
    const double pitch = Pitch(graph, options.Gap);
    std::vector<double> angles(graph.Nodes.size(), 0.0);
    OrderRings(graph, rings, angles, sweep);
    double previous = -pitch;
    for (TRingPlan& ring : rings) {
        double radius = previous + pitch;
        for (const TArc& arc : ring.Arcs)
            radius = std::max(radius, RadiusFor(arc.Members.size(), arc.Span, pitch));
        // A lone centre figure sits on the centre point.
        if (&ring == &rings.front() && ring.Arcs.size() == 1 && ring.Arcs.front().Members.size() == 1)
            radius = 0;
        ring.Radius = std::max(radius, 0.0);
        previous = ring.Radius;
    }
    TLayoutResult result;
    result.Places = TopLefts(graph, CentresOf(rings, angles, graph.Nodes.size()));
    RemoveOverlaps(graph, result.Places, options.Gap);
    const TLayoutPoint shift = Normalise(result.Places, options.Margin);
    result.Centre = shift;
    for (const TRingPlan& ring : rings)
        result.Rings.push_back({static_cast<int>(std::lround(ring.Radius)), 0});
    return result;
}

std::vector<int> CountsReceived(const TLayoutGraph& graph, bool positiveOnly)
{
    std::vector<int> counts(graph.Nodes.size(), 0);
    for (const TLayoutEdge& edge : graph.Edges) {
        if (Valid(graph, edge) && (!positiveOnly || edge.Sign > 0))
            ++counts[static_cast<std::size_t>(edge.To)];
    }
    return counts;
}

TLayoutResult GridLayout(const TLayoutGraph& graph, const TLayoutOptions& options)
{
    const std::vector<int> received = CountsReceived(graph, false);
    int pitchWidth = 0;
    int pitchHeight = 0;
    for (const TLayoutNode& node : graph.Nodes) {
        pitchWidth = std::max(pitchWidth, node.Width);
        pitchHeight = std::max(pitchHeight, node.Height);
    }
    // Most chosen first; equal counts keep their order.
    std::vector<int> order(graph.Nodes.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return received[static_cast<std::size_t>(a)] > received[static_cast<std::size_t>(b)];
    });
    TLayoutResult result;
    result.Places.resize(graph.Nodes.size());
    int column = 0;
    int row = 0;
    int shell = 0;
    for (const int i : order) {
        result.Places[static_cast<std::size_t>(i)] = {options.Margin + column * (pitchWidth + options.Margin),
                                                      options.Margin + row * (pitchHeight + options.Margin)};
        // Square shells: down column k from row 0 to row k, then left along row k.
        if (row != shell)
            ++row;
        else if (column > 0)
            --column;
        else
            column = ++shell, row = 0;
    }
    return result;
}

TLayoutResult TargetLayout(const TLayoutGraph& graph, const TLayoutOptions& options)
{
    const std::vector<int> received = ReceivedCounts(graph);
    std::vector<int> distinct(received.begin(), received.end());
    std::sort(distinct.begin(), distinct.end(), std::greater<>());
    distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
    // About the square root of the group size in rings, so each ring holds several members.
    const int wanted = std::clamp(static_cast<int>(std::lround(std::sqrt(static_cast<double>(received.size())))), 2,
                                  kMostRings);
    const int ringCount = std::min(static_cast<int>(distinct.size()), wanted);
    // Ring of each distinct count, most chosen innermost; many counts are grouped evenly.
    auto ringOf = [&](int count) {
        const auto at = std::find(distinct.begin(), distinct.end(), count) - distinct.begin();
        return static_cast<int>(at * ringCount / static_cast<std::ptrdiff_t>(distinct.size()));
    };
    std::vector<TRingPlan> rings(static_cast<std::size_t>(ringCount));
    std::vector<int> ringLeast(static_cast<std::size_t>(ringCount), distinct.empty() ? 0 : distinct.front());
    for (TRingPlan& ring : rings) {
        if (options.SexHalves)
            ring.Arcs = {TArc{kPi / 2, kPi, {}}, TArc{-kPi / 2, kPi, {}}};
        else
            ring.Arcs = {TArc{-kPi / 2, 2 * kPi, {}}};
    }
    for (std::size_t i = 0; i < graph.Nodes.size(); ++i) {
        const int r = ringOf(received[i]);
        TRingPlan& ring = rings[static_cast<std::size_t>(r)];
        const bool left = options.SexHalves && graph.Nodes[i].Sex == TLayoutSex::Male;
        ring.Arcs[options.SexHalves && !left ? 1 : 0].Members.push_back(static_cast<int>(i));
        ringLeast[static_cast<std::size_t>(r)] = std::min(ringLeast[static_cast<std::size_t>(r)], received[i]);
    }
    for (TRingPlan& ring : rings) {
        ring.Arcs.erase(std::remove_if(ring.Arcs.begin(), ring.Arcs.end(),
                                       [](const TArc& arc) { return arc.Members.empty(); }),
                        ring.Arcs.end());
    }
    TLayoutResult result = PlaceRings(graph, rings, options, true);
    for (std::size_t r = 0; r < result.Rings.size(); ++r)
        result.Rings[r].Received = ringLeast[r];
    return result;
}

TLayoutResult CircleLayout(const TLayoutGraph& graph, const TLayoutOptions& options)
{
    // A first order by breadth-first search from the most tied figure keeps neighbours together.
    const TAdjacency adjacency = Adjacency(graph);
    const std::size_t n = graph.Nodes.size();
    std::vector<double> strength(n, 0);
    for (std::size_t i = 0; i < n; ++i)
        for (const auto& tie : adjacency[i])
            strength[i] += tie.second;
    std::vector<int> byStrength(n);
    std::iota(byStrength.begin(), byStrength.end(), 0);
    std::stable_sort(byStrength.begin(), byStrength.end(), [&](int a, int b) {
        return strength[static_cast<std::size_t>(a)] > strength[static_cast<std::size_t>(b)];
    });
    std::vector<bool> seen(n, false);
    TArc arc{-kPi / 2, 2 * kPi, {}};
    for (const int start : byStrength) {
        if (seen[static_cast<std::size_t>(start)])
            continue;
        seen[static_cast<std::size_t>(start)] = true;
        std::size_t head = arc.Members.size();
        arc.Members.push_back(start);
        while (head < arc.Members.size()) {
            auto ties = adjacency[static_cast<std::size_t>(arc.Members[head++])];
            std::stable_sort(ties.begin(), ties.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
            for (const auto& tie : ties) {
                if (!seen[static_cast<std::size_t>(tie.first)]) {
                    seen[static_cast<std::size_t>(tie.first)] = true;
                    arc.Members.push_back(tie.first);
                }
            }
        }
    }
    std::vector<TRingPlan> rings{TRingPlan{0, {std::move(arc)}}};
    // The breadth-first order already keeps ties short; sweeps on one circle would bunch them.
    TLayoutResult result = PlaceRings(graph, rings, options, false);
    // A circle needs no ring drawn behind it.
    result.Rings.clear();
    return result;
}

// igraph's Fruchterman-Reingold layout scaled so that a tie is about 2.2 pitches long.
std::vector<TCentre> ForceCentres(const TLayoutGraph& graph, const TLayoutOptions& options, bool weighted,
                                  const std::vector<TCentre>* start)
{
    const std::size_t n = graph.Nodes.size();
    const auto ties = Ties(graph);
    igraph_vector_int_t edges;
    igraph_vector_int_init(&edges, static_cast<igraph_integer_t>(2 * ties.size()));
    igraph_vector_t weights;
    igraph_vector_init(&weights, static_cast<igraph_integer_t>(ties.size()));
    igraph_integer_t e = 0;
    for (const auto& [key, count] : ties) {
        VECTOR(edges)[2 * e] = key.first;
        VECTOR(edges)[2 * e + 1] = key.second;
        // Mutual pairs pull harder, so they stand close.
        VECTOR(weights)[e] = weighted && count == 2 ? 3.0 : 1.0;
        ++e;
    }
    igraph_t g;
    igraph_create(&g, &edges, static_cast<igraph_integer_t>(n), IGRAPH_UNDIRECTED);
    igraph_matrix_t coords;
    igraph_matrix_init(&coords, static_cast<igraph_integer_t>(n), 2);
    if (start) {
        for (std::size_t i = 0; i < n; ++i) {
            MATRIX(coords, static_cast<igraph_integer_t>(i), 0) = (*start)[i].X;
            MATRIX(coords, static_cast<igraph_integer_t>(i), 1) = (*start)[i].Y;
        }
    }
    igraph_rng_seed(igraph_rng_default(), 20261207);
    const igraph_integer_t iterations = n > 500 ? 150 : 500;
    igraph_layout_fruchterman_reingold(&g, &coords, start != nullptr, iterations, std::sqrt(static_cast<double>(n)),
                                       IGRAPH_LAYOUT_AUTOGRID, &weights, nullptr, nullptr, nullptr, nullptr);
    std::vector<TCentre> centres(n);
    for (std::size_t i = 0; i < n; ++i)
        centres[i] = {MATRIX(coords, static_cast<igraph_integer_t>(i), 0), MATRIX(coords, static_cast<igraph_integer_t>(i), 1)};
    igraph_matrix_destroy(&coords);
    igraph_destroy(&g);
    igraph_vector_destroy(&weights);
    igraph_vector_int_destroy(&edges);

    // Scale: the mean tie as long as 2.2 pitches.
    double total = 0;
    std::size_t count = 0;
    for (const auto& [key, c] : ties) {
        const TCentre& a = centres[static_cast<std::size_t>(key.first)];
        const TCentre& b = centres[static_cast<std::size_t>(key.second)];
        total += std::hypot(a.X - b.X, a.Y - b.Y);
        ++count;
    }
    const double pitch = Pitch(graph, options.Gap);
    const double mean = count > 0 ? total / static_cast<double>(count) : 1.0;
    const double scale = mean > 1e-9 ? 2.2 * pitch / mean : pitch;
    for (TCentre& c : centres) {
        c.X *= scale;
        c.Y *= scale;
    }
    return centres;
}

TLayoutResult ForceLayout(const TLayoutGraph& graph, const TLayoutOptions& options)
{
    // Started from the ordered circle, so the result is the same on every run.
    const TLayoutResult circle = CircleLayout(graph, options);
    std::vector<TCentre> start(graph.Nodes.size());
    const double pitch = Pitch(graph, options.Gap);
    for (std::size_t i = 0; i < start.size(); ++i) {
        start[i] = {(circle.Places[i].X + graph.Nodes[i].Width / 2.0) / pitch,
                    (circle.Places[i].Y + graph.Nodes[i].Height / 2.0) / pitch};
    }
    TLayoutResult result;
    result.Places = TopLefts(graph, ForceCentres(graph, options, true, &start));
    RemoveOverlaps(graph, result.Places, options.Gap);
    Normalise(result.Places, options.Margin);
    // While crossings are cheap to count, a second run from igraph's own random start (seeded, so
    // still the same every time) is kept when it crosses less.
    if (graph.Edges.size() <= kMostCompareEdges) {
        std::vector<TLayoutPoint> other = PlainForceLayout(graph, options);
        if (CountCrossings(graph, other) < CountCrossings(graph, result.Places))
            result.Places = std::move(other);
    }
    return result;
}

struct TBox {
    double Left, Top, Right, Bottom;
};

int64_t Orientation(const TCentre& a, const TCentre& b, const TCentre& c)
{
    const double v = (b.X - a.X) * (c.Y - a.Y) - (b.Y - a.Y) * (c.X - a.X);
    return v > 1e-9 ? 1 : (v < -1e-9 ? -1 : 0);
}

int64_t CrossingsOfCentres(const TLayoutGraph& graph, const std::vector<TCentre>& centres)
{
    std::vector<std::pair<int, int>> lines;
    for (const auto& [key, count] : Ties(graph))
        lines.push_back(key);
    int64_t crossings = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto [a, b] = lines[i];
        const TCentre& p1 = centres[static_cast<std::size_t>(a)];
        const TCentre& p2 = centres[static_cast<std::size_t>(b)];
        const double minX = std::min(p1.X, p2.X), maxX = std::max(p1.X, p2.X);
        const double minY = std::min(p1.Y, p2.Y), maxY = std::max(p1.Y, p2.Y);
        for (std::size_t j = i + 1; j < lines.size(); ++j) {
            const auto [c, d] = lines[j];
            if (c == a || c == b || d == a || d == b)
                continue;
            const TCentre& q1 = centres[static_cast<std::size_t>(c)];
            const TCentre& q2 = centres[static_cast<std::size_t>(d)];
            if (std::max(q1.X, q2.X) < minX || std::min(q1.X, q2.X) > maxX || std::max(q1.Y, q2.Y) < minY ||
                std::min(q1.Y, q2.Y) > maxY)
                continue;
            if (Orientation(p1, p2, q1) * Orientation(p1, p2, q2) < 0 &&
                Orientation(q1, q2, p1) * Orientation(q1, q2, p2) < 0)
                ++crossings;
        }
    }
    return crossings;
}

} // namespace

const char* LayoutName(TLayoutKind kind)
{
    switch (kind) {
    case TLayoutKind::Target:
        return "target";
    case TLayoutKind::Force:
        return "force";
    case TLayoutKind::Circle:
        return "circle";
    case TLayoutKind::Grid:
        break;
    }
    return "grid";
}

bool LayoutOfName(const std::string& name, TLayoutKind& kind)
{
    for (const TLayoutKind k : {TLayoutKind::Grid, TLayoutKind::Target, TLayoutKind::Force, TLayoutKind::Circle}) {
        if (name == LayoutName(k)) {
            kind = k;
            return true;
        }
    }
    return false;
}

std::vector<int> ReceivedCounts(const TLayoutGraph& graph)
{
    const bool anyPositive =
        std::any_of(graph.Edges.begin(), graph.Edges.end(), [&](const TLayoutEdge& e) { return e.Sign > 0; });
    return CountsReceived(graph, anyPositive);
}

TLayoutResult MakeLayout(TLayoutKind kind, const TLayoutGraph& graph, const TLayoutOptions& options)
{
    if (graph.Nodes.empty())
        return {};
    switch (kind) {
    case TLayoutKind::Target:
        return TargetLayout(graph, options);
    case TLayoutKind::Force:
        return ForceLayout(graph, options);
    case TLayoutKind::Circle:
        return CircleLayout(graph, options);
    case TLayoutKind::Grid:
        break;
    }
    return GridLayout(graph, options);
}

void RemoveOverlaps(const TLayoutGraph& graph, std::vector<TLayoutPoint>& places, int gap)
{
    const std::size_t n = std::min(places.size(), graph.Nodes.size());
    std::vector<TCentre> at(n);
    for (std::size_t i = 0; i < n; ++i)
        at[i] = {static_cast<double>(places[i].X), static_cast<double>(places[i].Y)};
    auto box = [&](std::size_t i) {
        return TBox{at[i].X, at[i].Y, at[i].X + graph.Nodes[i].Width + gap, at[i].Y + graph.Nodes[i].Height + gap};
    };
    std::vector<std::size_t> order(n);
    // Pairs that overlap push each other apart along the axis where they overlap less, each half
    // the way; the figures are visited by their left edge, so only near ones are compared.
    bool clear = false;
    for (int round = 0; round < 60 && !clear; ++round) {
        clear = true;
        std::iota(order.begin(), order.end(), 0);
        std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            return at[a].X != at[b].X ? at[a].X < at[b].X : a < b;
        });
        for (std::size_t oi = 0; oi < n; ++oi) {
            const std::size_t i = order[oi];
            for (std::size_t oj = oi + 1; oj < n; ++oj) {
                const std::size_t j = order[oj];
                const TBox a = box(i);
                const TBox b = box(j);
                if (b.Left >= a.Right)
                    break;
                const double dx = std::min(a.Right, b.Right) - std::max(a.Left, b.Left);
                const double dy = std::min(a.Bottom, b.Bottom) - std::max(a.Top, b.Top);
                if (dx <= 0 || dy <= 0)
                    continue;
                clear = false;
                const double ax = (a.Left + a.Right) / 2, bx = (b.Left + b.Right) / 2;
                const double ay = (a.Top + a.Bottom) / 2, by = (b.Top + b.Bottom) / 2;
                if (dx <= dy) {
                    const double sign = bx > ax || (bx == ax && j > i) ? 1 : -1;
                    at[i].X -= sign * (dx / 2 + 0.5);
                    at[j].X += sign * (dx / 2 + 0.5);
                } else {
                    const double sign = by > ay || (by == ay && j > i) ? 1 : -1;
                    at[i].Y -= sign * (dy / 2 + 0.5);
                    at[j].Y += sign * (dy / 2 + 0.5);
                }
            }
        }
    }
    for (std::size_t i = 0; i < n; ++i)
        places[i] = {static_cast<int>(std::floor(at[i].X)), static_cast<int>(std::floor(at[i].Y))};
    if (clear && !AnyOverlap(graph, places))
        return;
    // What pushing left over is settled by moving figures right, in order of their left edge,
    // past every figure already settled that they meet: no overlap can remain.
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return places[a].X != places[b].X ? places[a].X < places[b].X : a < b;
    });
    std::vector<std::size_t> settled;
    for (const std::size_t i : order) {
        bool moved = true;
        while (moved) {
            moved = false;
            for (const std::size_t s : settled) {
                const bool meetX = places[i].X < places[s].X + graph.Nodes[s].Width + gap &&
                                   places[s].X < places[i].X + graph.Nodes[i].Width + gap;
                const bool meetY = places[i].Y < places[s].Y + graph.Nodes[s].Height + gap &&
                                   places[s].Y < places[i].Y + graph.Nodes[i].Height + gap;
                if (meetX && meetY) {
                    places[i].X = places[s].X + graph.Nodes[s].Width + gap;
                    moved = true;
                }
            }
        }
        settled.push_back(i);
    }
}

int64_t CountCrossings(const TLayoutGraph& graph, const std::vector<TLayoutPoint>& places)
{
    std::vector<TCentre> centres(places.size());
    for (std::size_t i = 0; i < places.size() && i < graph.Nodes.size(); ++i)
        centres[i] = {places[i].X + graph.Nodes[i].Width / 2.0, places[i].Y + graph.Nodes[i].Height / 2.0};
    return CrossingsOfCentres(graph, centres);
}

bool AnyOverlap(const TLayoutGraph& graph, const std::vector<TLayoutPoint>& places)
{
    const std::size_t n = std::min(places.size(), graph.Nodes.size());
    std::vector<std::size_t> order(n);
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return places[a].X < places[b].X; });
    for (std::size_t oi = 0; oi < n; ++oi) {
        const std::size_t i = order[oi];
        for (std::size_t oj = oi + 1; oj < n; ++oj) {
            const std::size_t j = order[oj];
            if (places[j].X >= places[i].X + graph.Nodes[i].Width)
                break;
            if (places[i].Y < places[j].Y + graph.Nodes[j].Height && places[j].Y < places[i].Y + graph.Nodes[i].Height)
                return true;
        }
    }
    return false;
}

std::vector<TLayoutPoint> PlainForceLayout(const TLayoutGraph& graph, const TLayoutOptions& options)
{
    if (graph.Nodes.empty())
        return {};
    std::vector<TLayoutPoint> places = TopLefts(graph, ForceCentres(graph, options, false, nullptr));
    RemoveOverlaps(graph, places, options.Gap);
    Normalise(places, options.Margin);
    return places;
}
