#include "views/sociogram/sociogeometry.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr long double kVerticalSlope = 9999.0L;
constexpr double kPi = 3.14159265358979323846;
constexpr int kStroke = 13;

int RoundNearest(long double value)
{
    return static_cast<int>(std::nearbyint(static_cast<double>(value)));
}

double Radians(double degrees)
{
    return degrees * kPi / 180.0;
}

struct TLine {
    long double Slope;
    long double Intercept;
};

TLine LineThrough(QPoint p1, QPoint p2)
{
    const long double slope = p1.x() == p2.x()
                                   ? kVerticalSlope
                                   : static_cast<long double>(p2.y() - p1.y()) / (p2.x() - p1.x());
    return {slope, p1.y() - slope * p1.x()};
}

// The point a fraction of the way from a down to b (whole pixels, truncated like the figures' halves).
int Between(int a, int b, int numerator, int denominator)
{
    return a + (b - a) * numerator / denominator;
}

// Inner points of a star: between outer points i and i+1, the crossing of the lines
// V[i]-V[i+skip] and V[i+1]-V[i+1-skip] (indices modulo the count).
std::vector<QPoint> Star(const std::vector<QPoint>& outer, int skip)
{
    const int n = static_cast<int>(outer.size());
    std::vector<QPoint> points;
    points.reserve(outer.size() * 2);
    for (int i = 0; i < n; ++i) {
        const QPoint a1 = outer[static_cast<std::size_t>(i)];
        const QPoint a2 = outer[static_cast<std::size_t>((i + skip) % n)];
        const QPoint b1 = outer[static_cast<std::size_t>((i + 1) % n)];
        const QPoint b2 = outer[static_cast<std::size_t>(((i + 1 - skip) % n + n) % n)];
        points.push_back(a1);
        points.push_back(LineCrossing(a1, a2, b1, b2));
    }
    return points;
}

std::vector<QPoint> PentagonPoints(const TFigureFrame& f)
{
    const int bottom = f.Y + f.Height - 1;
    const int m = Between(f.CaptionBottom, bottom, 2, 5);
    return {
        {f.X + f.Width / 2, f.CaptionBottom},
        {f.X + f.Width - 1, m},
        {f.X + 4 * f.Width / 5, bottom},
        {f.X + f.Width / 5, bottom},
        {f.X, m},
    };
}

std::vector<QPoint> Star7Outer(const TFigureFrame& f)
{
    const double a = f.Width / 2.0;
    const double b = (f.Height - f.CaptionBoxHeight) / 2.0;
    const double cx = f.X + f.Width / 2.0;
    const double cy = f.CaptionBottom + (f.Y + f.Height - f.CaptionBottom) / 2.0;
    std::vector<QPoint> points(7);
    points[0] = {f.X + f.Width / 2, f.CaptionBottom};
    for (int k = 1; k <= 3; ++k) {
        const double theta = Radians(90.0 - k * 360.0 / 7.0);
        const double t = std::tan(theta);
        const double denominator = std::sqrt(b * b + a * a * t * t);
        const double dx = denominator > 0 ? a * b / denominator : 0.0;
        const double dy = t * dx;
        points[static_cast<std::size_t>(k)] = {RoundNearest(cx + dx), RoundNearest(cy - dy)};
        points[static_cast<std::size_t>(7 - k)] = {RoundNearest(cx - dx), RoundNearest(cy - dy)};
    }
    return points;
}

} // namespace

QPoint LineCrossing(QPoint a1, QPoint a2, QPoint b1, QPoint b2)
{
    const TLine a = LineThrough(a1, a2);
    const TLine b = LineThrough(b1, b2);
    if (a.Slope == b.Slope) {
        const long double x = kVerticalSlope;
        return {RoundNearest(x), RoundNearest(a.Slope * x + a.Intercept)};
    }
    const long double x = (b.Intercept - a.Intercept) / (a.Slope - b.Slope);
    // y from the flatter line: the steep one would magnify the error of x.
    const TLine& flat = std::fabs(static_cast<double>(a.Slope)) <= std::fabs(static_cast<double>(b.Slope)) ? a : b;
    return {RoundNearest(x), RoundNearest(flat.Slope * x + flat.Intercept)};
}

std::vector<QPoint> FigurePoints(TComponentStyle style, const TFigureFrame& f)
{
    const int bottom = f.Y + f.Height - 1;
    const int right = f.X + f.Width - 1;
    switch (style) {
    case csTriangle:
        return {{f.X + f.Width / 2, f.CaptionBottom}, {right, bottom}, {f.X, bottom}};
    case csPentagon:
        return PentagonPoints(f);
    case csHexagon: {
        const int upper = Between(f.CaptionBottom, bottom, 2, 7);
        const int lower = Between(f.CaptionBottom, bottom, 5, 7);
        return {{f.X + f.Width / 2, f.CaptionBottom}, {right, upper}, {right, lower},
                {f.X + f.Width / 2, bottom},          {f.X, lower},   {f.X, upper}};
    }
    case csStar5:
        return Star(PentagonPoints(f), 2);
    case csStar7:
        return Star(Star7Outer(f), 3);
    default:
        return {};
    }
}

std::optional<TArrowHead> ArrowHeadAt(QPoint s, QPoint t, const QRect& target)
{
    if (s == t)
        return std::nullopt;
    const int left = target.left();
    const int top = target.top();
    const int right = target.left() + target.width();
    const int bottom = target.top() + target.height();
    TArrowHead head;
    if (s.x() == t.x()) {
        head.Entry = {t.x(), s.y() > t.y() ? bottom : top};
    } else if (s.y() == t.y()) {
        head.Entry = {s.x() > t.x() ? right : left, t.y()};
    } else {
        const int v = s.x() > t.x() ? right : left;
        const int h = s.y() > t.y() ? bottom : top;
        const long long dx = s.x() - t.x();
        const long long dy = s.y() - t.y();
        const int y = s.y() + RoundNearest(static_cast<long double>((v - s.x()) * dy) / dx);
        if (top <= y && y <= bottom)
            head.Entry = {v, y};
        else
            head.Entry = {s.x() + RoundNearest(static_cast<long double>((h - s.y()) * dx) / dy), h};
    }
    const double ex = head.Entry.x();
    const double ey = head.Entry.y();
    auto point = [](double x, double y) { return QPoint(RoundNearest(x), RoundNearest(y)); };
    if (s.x() == t.x()) {
        const double s165 = std::sin(Radians(165)), c165 = std::cos(Radians(165));
        const double s15 = std::sin(Radians(15)), c15 = std::cos(Radians(15));
        head.Ends = {point(ex + kStroke * s165, ey - kStroke * c165), point(ex + kStroke * s15, ey - kStroke * c15),
                     point(ex - kStroke * s15, ey + kStroke * c15), point(ex - kStroke * s15, ey + kStroke * c165)};
        return head;
    }
    const double a = std::atan(static_cast<double>(s.y() - t.y()) / (s.x() - t.x()));
    const double p = a - Radians(75);
    const double q = Radians(15) - a;
    head.Ends = {point(ex + kStroke * std::sin(p), ey - kStroke * std::cos(p)),
                 point(ex + kStroke * std::cos(q), ey - kStroke * std::sin(q)),
                 point(ex - kStroke * std::sin(p), ey + kStroke * std::cos(p)),
                 point(ex - kStroke * std::cos(q), ey + kStroke * std::sin(q))};
    return head;
}

QPoint ShellCell(int n)
{
    int shell = 0;
    int column = 0;
    int row = 0;
    for (int i = 0; i < n; ++i) {
        if (row != shell) {
            ++row;
        } else if (column > 0) {
            --column;
        } else {
            ++shell;
            column = shell;
            row = 0;
        }
    }
    return {column, row};
}

bool BandHits(const QRect& node, const QRect& band)
{
    const int nl = std::min(node.left(), node.right());
    const int nr = std::max(node.left(), node.right());
    const int nt = std::min(node.top(), node.bottom());
    const int nb = std::max(node.top(), node.bottom());
    const int bl = std::min(band.left(), band.right());
    const int br = std::max(band.left(), band.right());
    const int bt = std::min(band.top(), band.bottom());
    const int bb = std::max(band.top(), band.bottom());

    if (bl <= nl && nr <= br && bt <= nt && nb <= bb)
        return true;
    auto within = [](int v, int lo, int hi) { return lo <= v && v <= hi; };
    // Horizontal node edges against vertical band edges.
    for (int y : {nt, nb}) {
        for (int x : {bl, br}) {
            if (within(x, nl, nr) && within(y, bt, bb))
                return true;
        }
    }
    // Vertical node edges against horizontal band edges.
    for (int x : {nl, nr}) {
        for (int y : {bt, bb}) {
            if (within(y, nt, nb) && within(x, bl, br))
                return true;
        }
    }
    return false;
}

std::vector<QPolygonF> NodeOutline(TComponentStyle style, const TFigureFrame& f, const QRect& captionBox)
{
    std::vector<QPolygonF> outline;
    if (!captionBox.isEmpty())
        outline.emplace_back(QRectF(captionBox));
    switch (style) {
    case csNone:
        break;
    case csRectangle:
        outline.emplace_back(QRectF(f.X, f.Y, f.Width, f.Height));
        break;
    case csEllipse: {
        // The oval of the painting: from the caption's bottom to the node's bottom.
        const QRectF box(QPointF(f.X, f.CaptionBottom), QPointF(f.X + f.Width, f.Y + f.Height));
        QPolygonF polygon;
        constexpr int kSteps = 72;
        for (int i = 0; i <= kSteps; ++i) {
            const double a = 2 * kPi * i / kSteps;
            polygon << QPointF(box.center().x() + box.width() / 2 * std::cos(a),
                               box.center().y() + box.height() / 2 * std::sin(a));
        }
        outline.push_back(polygon);
        break;
    }
    default: {
        QPolygonF polygon;
        for (const QPoint& p : FigurePoints(style, f))
            polygon << QPointF(p);
        if (!polygon.isEmpty())
            polygon << polygon.front();
        outline.push_back(polygon);
        break;
    }
    }
    return outline;
}

std::optional<QPointF> OutlineEntry(QPointF s, QPointF t, const std::vector<QPolygonF>& outline)
{
    const QPointF d = t - s;
    double best = 2;
    for (const QPolygonF& polygon : outline) {
        for (int i = 0; i + 1 < polygon.size(); ++i) {
            const QPointF a = polygon[i];
            const QPointF e = polygon[i + 1] - a;
            const double denominator = d.x() * e.y() - d.y() * e.x();
            if (std::abs(denominator) < 1e-12)
                continue;
            const QPointF w = a - s;
            const double along = (w.x() * e.y() - w.y() * e.x()) / denominator; // on s-t
            const double on = (w.x() * d.y() - w.y() * d.x()) / denominator;    // on the edge
            if (along >= 0 && along <= 1 && on >= 0 && on <= 1)
                best = std::min(best, along);
        }
    }
    if (best > 1)
        return std::nullopt;
    return s + d * best;
}

std::array<QPointF, 3> ArrowHeadPoints(QPointF from, QPointF tip)
{
    constexpr double kLength = 12;
    constexpr double kHalfWidth = 4.5;
    const QPointF d = tip - from;
    const double length = std::hypot(d.x(), d.y());
    const QPointF unit = length > 0 ? d / length : QPointF(1, 0);
    const QPointF normal(-unit.y(), unit.x());
    const QPointF back = tip - unit * kLength;
    return {tip, back + normal * kHalfWidth, back - normal * kHalfWidth};
}
