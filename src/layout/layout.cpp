#include "layout/layout.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>
#include <random>
#include <utility>

#include <igraph.h>

namespace {

constexpr double kPi = 3.14159265358979323846;
// More distinct counts than this are grouped, so the rings stay few and wide.
constexpr int kMostRings = 6;
constexpr double kGoldenAngle = 2.399963229728653;
// Improving the order of the rings compares pairs of lines; beyond this many comparisons it stops.
constexpr int64_t kMostOrderWork = 20000000;
// Target rings stand this many figure pitches apart and offer this many slots per member (at
// least): the free angular space lets tied figures stand together, with fewer crossings.
constexpr double kRingGap = 1.5;
constexpr double kFreeSlots = 1.6;
// Choosing the better of two force-directed runs counts crossings twice, and a force-directed start
// of the target costs a run; beyond this many choices both are skipped.
constexpr std::size_t kMostCompareEdges = 3000;

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

// Shifts the figures so the leftmost and the topmost stand at the margin; answers the shift. A
// circle of radius reach around the origin counts as drawn too.
TLayoutPoint Normalise(std::vector<TLayoutPoint>& places, int margin, int reach = 0)
{
    if (places.empty())
        return {};
    int left = reach > 0 ? -reach : places.front().X;
    int top = reach > 0 ? -reach : places.front().Y;
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

// Figures placed on rings around one centre: each ring holds arcs (the whole circle, or two halves),
// each arc offers slots a pitch apart, at least as many as its members, and each member takes one.
struct TArc {
    double From = 0; // first angle (radians, screen y downward)
    double Span = 0; // 2 pi for a whole ring
    std::vector<int> Members;
    std::vector<int> Slot; // the slot of each member
    int Slots = 0;

    bool Whole() const { return Span >= 2 * kPi - 1e-9; }
    // A part arc keeps half a slot free at each end, so two halves never meet.
    double AngleOf(double slot) const
    {
        return Wrap(From + Span * (Whole() ? slot : slot + 0.5) / std::max(Slots, 1));
    }
};

TArc ArcOf(double from, double span)
{
    TArc arc;
    arc.From = from;
    arc.Span = span;
    return arc;
}

struct TRingPlan {
    double Radius = 0;
    std::vector<TArc> Arcs;
};

// Radius at which n figures spread over the span stand a pitch apart.
double RadiusFor(std::size_t n, double span, double pitch)
{
    if (n <= 1)
        return span >= 2 * kPi - 1e-9 ? 0 : pitch / 2;
    const double step = span / static_cast<double>(n);
    return pitch / (2 * std::sin(std::min(step, kPi) / 2));
}

// Sets every ring's radius (kRingGap pitches outside the previous ring, or wider where its members
// need it) and the slots each arc offers at that radius, at least room times its members: free
// slots let the order keep tied figures together.
void SizeRings(std::vector<TRingPlan>& rings, double pitch, double room)
{
    double previous = -pitch;
    for (TRingPlan& ring : rings) {
        double radius = previous + pitch * kRingGap;
        for (const TArc& arc : ring.Arcs)
            radius = std::max(radius, RadiusFor(static_cast<std::size_t>(std::ceil(static_cast<double>(arc.Members.size()) * room)),
                                                arc.Span, pitch));
        // A lone centre figure sits on the centre point.
        if (&ring == &rings.front() && ring.Arcs.size() == 1 && ring.Arcs.front().Members.size() == 1)
            radius = 0;
        ring.Radius = std::max(radius, 0.0);
        previous = ring.Radius;
        for (TArc& arc : ring.Arcs) {
            int slots = static_cast<int>(arc.Members.size());
            if (ring.Radius > pitch / 2) {
                const double step = 2 * std::asin(std::min(1.0, pitch / (2 * ring.Radius)));
                slots = std::max(slots, static_cast<int>(std::floor(arc.Span / step + 1e-6)));
            }
            arc.Slots = slots;
        }
    }
}

struct TCost {
    int64_t Crossings = 0;
    double Length = 0;

    // Fewer crossings first; at equal crossings, shorter lines (so ties stand close).
    bool operator<(const TCost& other) const
    {
        return Crossings != other.Crossings ? Crossings < other.Crossings : Length < other.Length - 1e-6;
    }
};

int64_t Orientation(const TCentre& a, const TCentre& b, const TCentre& c)
{
    const double v = (b.X - a.X) * (c.Y - a.Y) - (b.Y - a.Y) * (c.X - a.X);
    return v > 1e-9 ? 1 : (v < -1e-9 ? -1 : 0);
}

// The straight lines between tied figures (a mutual pair once), with the lines at each figure, so
// the crossings one move changes are counted without counting all of them again.
struct TLines {
    struct TSegment {
        TCentre P, Q;
        double Left, Right, Top, Bottom;
    };

    std::vector<std::pair<int, int>> Ends;
    std::vector<std::vector<int>> At;
    // Scratch of one count: the lines as drawn, and a mark on those already counted.
    mutable std::vector<TSegment> Segments;
    mutable std::vector<int> Mark;
    mutable std::vector<int> Mine;
    mutable int Stamp = 0;

    explicit TLines(const TLayoutGraph& graph) : At(graph.Nodes.size())
    {
        for (const auto& [key, count] : Ties(graph)) {
            At[static_cast<std::size_t>(key.first)].push_back(static_cast<int>(Ends.size()));
            At[static_cast<std::size_t>(key.second)].push_back(static_cast<int>(Ends.size()));
            Ends.push_back(key);
        }
        Mark.assign(Ends.size(), 0);
        Segments.resize(Ends.size());
    }

    void Draw(const std::vector<TCentre>& centres) const
    {
        for (std::size_t i = 0; i < Ends.size(); ++i) {
            const TCentre& p = centres[static_cast<std::size_t>(Ends[i].first)];
            const TCentre& q = centres[static_cast<std::size_t>(Ends[i].second)];
            Segments[i] = {p, q, std::min(p.X, q.X), std::max(p.X, q.X), std::min(p.Y, q.Y), std::max(p.Y, q.Y)};
        }
    }

    // Whether two drawn lines cross at a point inside both; lines sharing a figure do not.
    bool Cross(std::size_t i, std::size_t j) const
    {
        const TSegment& s = Segments[i];
        const TSegment& t = Segments[j];
        if (t.Right < s.Left || t.Left > s.Right || t.Bottom < s.Top || t.Top > s.Bottom)
            return false;
        const auto [a, b] = Ends[i];
        const auto [c, d] = Ends[j];
        if (c == a || c == b || d == a || d == b)
            return false;
        return Orientation(s.P, s.Q, t.P) * Orientation(s.P, s.Q, t.Q) < 0 &&
               Orientation(t.P, t.Q, s.P) * Orientation(t.P, t.Q, s.Q) < 0;
    }

    // The crossings on the lines at the given figures (each crossing once) and those lines' length;
    // work grows by the pairs of lines compared.
    TCost Cost(const std::vector<int>& figures, const std::vector<TCentre>& centres, int64_t& work) const
    {
        ++Stamp;
        Mine.clear();
        for (const int f : figures) {
            for (const int line : At[static_cast<std::size_t>(f)]) {
                if (Mark[static_cast<std::size_t>(line)] != Stamp) {
                    Mark[static_cast<std::size_t>(line)] = Stamp;
                    Mine.push_back(line);
                }
            }
        }
        Draw(centres);
        TCost cost;
        for (const int line : Mine) {
            const TSegment& s = Segments[static_cast<std::size_t>(line)];
            cost.Length += std::hypot(s.P.X - s.Q.X, s.P.Y - s.Q.Y);
            for (std::size_t other = 0; other < Ends.size(); ++other) {
                // A crossing between two of these lines is counted at the smaller one only.
                if (Mark[other] == Stamp && static_cast<int>(other) <= line)
                    continue;
                if (Cross(static_cast<std::size_t>(line), other))
                    ++cost.Crossings;
            }
        }
        work += static_cast<int64_t>(Mine.size() * Ends.size());
        return cost;
    }

    int64_t Total(const std::vector<TCentre>& centres) const
    {
        Draw(centres);
        int64_t crossings = 0;
        for (std::size_t i = 0; i < Ends.size(); ++i)
            for (std::size_t j = i + 1; j < Ends.size(); ++j)
                crossings += Cross(i, j) ? 1 : 0;
        return crossings;
    }
};

// Every figure's centre from its ring's radius and its slot.
void PlaceMember(const TRingPlan& ring, const TArc& arc, std::size_t i, std::vector<TCentre>& centres)
{
    const double a = arc.AngleOf(arc.Slot[i]);
    centres[static_cast<std::size_t>(arc.Members[i])] = {ring.Radius * std::cos(a), ring.Radius * std::sin(a)};
}

void PlaceArc(const TRingPlan& ring, const TArc& arc, std::vector<TCentre>& centres)
{
    for (std::size_t i = 0; i < arc.Members.size(); ++i)
        PlaceMember(ring, arc, i, centres);
}

// Puts the members of an arc in the slots nearest the angles they are pulled to, keeping the
// order of the pulls along the arc.
void SlotByPull(TArc& arc, std::vector<std::pair<double, int>>& pulls)
{
    const bool whole = arc.Whole();
    std::vector<std::pair<double, int>> keys;
    for (const auto& [angle, member] : pulls) {
        double along = Wrap(angle - arc.From);
        // A pull outside a part arc goes to the nearer end.
        if (!whole && along > arc.Span)
            along = 2 * kPi - along < along - arc.Span ? 0 : arc.Span;
        keys.emplace_back(along / arc.Span * arc.Slots - (whole ? 0 : 0.5), member);
    }
    std::stable_sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    const int n = static_cast<int>(keys.size());
    int previous = -1;
    for (int k = 0; k < n; ++k) {
        const int wanted = static_cast<int>(std::lround(keys[static_cast<std::size_t>(k)].first));
        previous = std::clamp(wanted, previous + 1, arc.Slots - (n - k));
        arc.Members[static_cast<std::size_t>(k)] = keys[static_cast<std::size_t>(k)].second;
        arc.Slot[static_cast<std::size_t>(k)] = previous;
    }
}

// Orders the figures of every arc so that chosen and choosing figures lie at similar angles: from
// where a force-directed layout put them (start, angles around its middle), else by barycentric
// sweeps, inner rings to outer and back (sweep); then, within a budget of work, moves a member to
// another slot or swaps two wherever that removes crossings (or, at equal crossings, shortens lines).
void OrderRings(const TLayoutGraph& graph, std::vector<TRingPlan>& rings, std::vector<TCentre>& centres, bool sweep,
                const std::vector<TCentre>* start)
{
    const TAdjacency adjacency = Adjacency(graph);
    // Rings start evenly filled and turned against each other, so their first members do not line up.
    for (std::size_t r = 0; r < rings.size(); ++r) {
        for (TArc& arc : rings[r].Arcs) {
            if (arc.Whole())
                arc.From = Wrap(arc.From + kGoldenAngle * static_cast<double>(r));
            const std::size_t n = arc.Members.size();
            arc.Slot.resize(n);
            for (std::size_t i = 0; i < n; ++i)
                arc.Slot[i] = static_cast<int>(i * static_cast<std::size_t>(arc.Slots) / n);
            PlaceArc(rings[r], arc, centres);
        }
    }
    auto sweepArc = [&](const TRingPlan& ring, TArc& arc) {
        std::vector<std::pair<double, int>> pulls;
        for (const int m : arc.Members) {
            double sx = 0;
            double sy = 0;
            for (const auto& [other, weight] : adjacency[static_cast<std::size_t>(m)]) {
                const TCentre& c = centres[static_cast<std::size_t>(other)];
                const double length = std::hypot(c.X, c.Y);
                if (length > 1e-9) {
                    sx += weight * c.X / length;
                    sy += weight * c.Y / length;
                }
            }
            const TCentre& own = centres[static_cast<std::size_t>(m)];
            // A figure without ties, or pulled equally every way, keeps its angle.
            pulls.emplace_back(std::hypot(sx, sy) < 1e-9 ? std::atan2(own.Y, own.X) : std::atan2(sy, sx), m);
        }
        SlotByPull(arc, pulls);
        PlaceArc(ring, arc, centres);
    };
    if (start) {
        TCentre mid;
        for (const TCentre& c : *start) {
            mid.X += c.X / static_cast<double>(start->size());
            mid.Y += c.Y / static_cast<double>(start->size());
        }
        for (TRingPlan& ring : rings) {
            for (TArc& arc : ring.Arcs) {
                std::vector<std::pair<double, int>> pulls;
                for (const int m : arc.Members) {
                    const TCentre& c = (*start)[static_cast<std::size_t>(m)];
                    pulls.emplace_back(std::atan2(c.Y - mid.Y, c.X - mid.X), m);
                }
                SlotByPull(arc, pulls);
                PlaceArc(ring, arc, centres);
            }
        }
    }
    for (int pass = 0; pass < (sweep && !start ? 8 : 0); ++pass) {
        if (pass % 2 == 0) {
            for (TRingPlan& ring : rings)
                for (TArc& arc : ring.Arcs)
                    sweepArc(ring, arc);
        } else {
            for (auto it = rings.rbegin(); it != rings.rend(); ++it)
                for (TArc& arc : it->Arcs)
                    sweepArc(*it, arc);
        }
    }

    const TLines lines(graph);
    int64_t work = 0;
    // Where each figure stands in the plan: ring, arc, index in the arc.
    struct TWhere {
        std::size_t Ring = 0, Arc = 0, Index = 0;
    };
    std::vector<TWhere> where(graph.Nodes.size());
    for (std::size_t r = 0; r < rings.size(); ++r)
        for (std::size_t a = 0; a < rings[r].Arcs.size(); ++a)
            for (std::size_t i = 0; i < rings[r].Arcs[a].Members.size(); ++i)
                where[static_cast<std::size_t>(rings[r].Arcs[a].Members[i])] = {r, a, i};
    std::vector<std::vector<int>> occupants(graph.Nodes.size());
    auto occupantsOf = [&](const TArc& arc) {
        std::vector<int> occupant(static_cast<std::size_t>(arc.Slots), -1);
        for (std::size_t i = 0; i < arc.Members.size(); ++i)
            occupant[static_cast<std::size_t>(arc.Slot[i])] = static_cast<int>(i);
        return occupant;
    };
    // Tries every other slot of the figure's arc (empty, or by a swap) and takes the best that
    // lowers the cost; answers whether the figure moved and, if so, who moved with it.
    std::vector<int> figures;
    auto bestMove = [&](int m, int& partner) {
        const TWhere at = where[static_cast<std::size_t>(m)];
        TRingPlan& ring = rings[at.Ring];
        TArc& arc = ring.Arcs[at.Arc];
        const std::vector<int> occupant = occupantsOf(arc);
        const int own = arc.Slot[at.Index];
        figures = {m};
        const TCost alone = lines.Cost(figures, centres, work);
        TCost bestGain;
        int bestSlot = -1;
        auto put = [&](std::size_t index, int slot) {
            arc.Slot[index] = slot;
            PlaceMember(ring, arc, index, centres);
        };
        for (int s = 0; s < arc.Slots && work < kMostOrderWork; ++s) {
            const int j = occupant[static_cast<std::size_t>(s)];
            if (s == own)
                continue;
            figures = {m};
            if (j >= 0)
                figures.push_back(arc.Members[static_cast<std::size_t>(j)]);
            const TCost before = j >= 0 ? lines.Cost(figures, centres, work) : alone;
            put(at.Index, s);
            if (j >= 0)
                put(static_cast<std::size_t>(j), own);
            const TCost after = lines.Cost(figures, centres, work);
            put(at.Index, own);
            if (j >= 0)
                put(static_cast<std::size_t>(j), s);
            // The gain as a cost of its own: fewer crossings first, then the shorter lines.
            const TCost gain{after.Crossings - before.Crossings, after.Length - before.Length};
            if (gain < bestGain) {
                bestGain = gain;
                bestSlot = s;
            }
        }
        if (bestSlot < 0)
            return false;
        const int j = occupant[static_cast<std::size_t>(bestSlot)];
        put(at.Index, bestSlot);
        if (j >= 0)
            put(static_cast<std::size_t>(j), own);
        partner = j >= 0 ? arc.Members[static_cast<std::size_t>(j)] : -1;
        return true;
    };
    // Improves figure by figure from a list of figures to look at; a figure that moved puts its
    // neighbours back on the list, as their best places may have changed.
    std::vector<char> listed(graph.Nodes.size(), 0);
    std::vector<int> queue;
    auto list = [&](int m) {
        if (!listed[static_cast<std::size_t>(m)]) {
            listed[static_cast<std::size_t>(m)] = 1;
            queue.push_back(m);
        }
    };
    auto improve = [&] {
        for (std::size_t head = 0; head < queue.size() && work < kMostOrderWork; ++head) {
            const int m = queue[head];
            listed[static_cast<std::size_t>(m)] = 0;
            int partner = -1;
            if (!bestMove(m, partner))
                continue;
            list(m);
            for (const int f : {m, partner}) {
                if (f >= 0)
                    for (const auto& tie : adjacency[static_cast<std::size_t>(f)])
                        list(tie.first);
            }
            if (partner >= 0)
                list(partner);
        }
        for (const int m : queue)
            listed[static_cast<std::size_t>(m)] = 0;
        queue.clear();
    };
    for (std::size_t m = 0; m < graph.Nodes.size(); ++m)
        list(static_cast<int>(m));
    improve();
    // Improvement stops where no single move helps; a few figures swapped at random (from a fixed
    // seed, so the result stays the same) and improved again may end with fewer crossings.
    // Each try counts all crossings once; large graphs skip the tries, and so does a plain circle,
    // which needs to be quick more than to be perfect.
    const auto perTry = static_cast<int64_t>(lines.Ends.size() * lines.Ends.size() / 2);
    if (perTry * 50 > kMostOrderWork || !sweep)
        return;
    std::mt19937 random(20261207);
    int64_t best = lines.Total(centres);
    std::vector<std::size_t> swappable;
    for (std::size_t r = 0; r < rings.size(); ++r)
        for (std::size_t a = 0; a < rings[r].Arcs.size(); ++a)
            if (rings[r].Arcs[a].Members.size() >= 2)
                swappable.push_back(r * 2 + a);
    while (best > 0 && !swappable.empty() && work < kMostOrderWork) {
        const std::vector<TRingPlan> saved = rings;
        const std::vector<TCentre> savedCentres = centres;
        for (int moves = 0; moves < 2; ++moves) {
            const std::size_t pick = swappable[random() % swappable.size()];
            TRingPlan& ring = rings[pick / 2];
            TArc& arc = ring.Arcs[pick % 2];
            const std::size_t i = random() % arc.Members.size();
            const std::size_t j = random() % arc.Members.size();
            std::swap(arc.Slot[i], arc.Slot[j]);
            PlaceMember(ring, arc, i, centres);
            PlaceMember(ring, arc, j, centres);
            for (const std::size_t k : {i, j}) {
                list(arc.Members[k]);
                for (const auto& tie : adjacency[static_cast<std::size_t>(arc.Members[k])])
                    list(tie.first);
            }
        }
        improve();
        const int64_t total = lines.Total(centres);
        work += perTry;
        if (total < best) {
            best = total;
        } else {
            rings = saved;
            centres = savedCentres;
        }
    }
}

std::vector<TCentre> ForceCentres(const TLayoutGraph& graph, const TLayoutOptions& options, bool weighted,
                                  const std::vector<TCentre>* start);

// target: rings of the target layout, with free slots and a first order from the angles of a
// force-directed layout (or barycentric sweeps, for graphs too large for one); else one circle in
// the given order.
// Boys and girls each fill their own half evenly, in the order found: the search for fewer
// crossings would otherwise crowd both groups against the line between the halves, and the
// halves would no longer read as halves.
void SpreadHalves(const std::vector<TRingPlan>& rings, std::vector<TCentre>& centres)
{
    for (const TRingPlan& ring : rings) {
        for (const TArc& arc : ring.Arcs) {
            if (arc.Whole() || arc.Members.empty())
                continue;
            std::vector<std::size_t> bySlot(arc.Members.size());
            std::iota(bySlot.begin(), bySlot.end(), std::size_t{0});
            std::stable_sort(bySlot.begin(), bySlot.end(), [&arc](std::size_t a, std::size_t b) { return arc.Slot[a] < arc.Slot[b]; });
            const double m = static_cast<double>(bySlot.size());
            for (std::size_t k = 0; k < bySlot.size(); ++k) {
                const double a = Wrap(arc.From + arc.Span * (static_cast<double>(k) + 0.5) / m);
                centres[static_cast<std::size_t>(arc.Members[bySlot[k]])] = {ring.Radius * std::cos(a),
                                                                             ring.Radius * std::sin(a)};
            }
        }
    }
}

TLayoutResult PlaceRings(const TLayoutGraph& graph, std::vector<TRingPlan>& rings, const TLayoutOptions& options,
                         bool target)
{
    SizeRings(rings, Pitch(graph, options.Gap), target ? kFreeSlots : 1.0);
    std::vector<TCentre> centres(graph.Nodes.size());
    std::vector<TCentre> start;
    if (target && graph.Edges.size() <= kMostCompareEdges)
        start = ForceCentres(graph, options, true, nullptr);
    OrderRings(graph, rings, centres, target, start.empty() ? nullptr : &start);
    SpreadHalves(rings, centres);
    TLayoutResult result;
    result.Places = TopLefts(graph, centres);
    RemoveOverlaps(graph, result.Places, options.Gap);
    // The target's outer ring is drawn, so it must not be cut at the left or the top.
    const int reach = target && !rings.empty() ? static_cast<int>(std::lround(rings.back().Radius)) : 0;
    const TLayoutPoint shift = Normalise(result.Places, options.Margin, reach);
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
            ring.Arcs = {ArcOf(kPi / 2, kPi), ArcOf(-kPi / 2, kPi)};
        else
            ring.Arcs = {ArcOf(-kPi / 2, 2 * kPi)};
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
    TArc arc = ArcOf(-kPi / 2, 2 * kPi);
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
    return TLines(graph).Total(centres);
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
