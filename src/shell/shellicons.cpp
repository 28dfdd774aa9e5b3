#include "shell/shellicons.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <map>

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

// Every picture is drawn on a 16 x 16 grid and scaled to the pixmap size.
constexpr int kGrid = 16;

const QColor kOutline(0x3c, 0x46, 0x55);
const QColor kBlue(0x2f, 0x6f, 0xc4);
const QColor kLightBlue(0x8f, 0xb8, 0xe8);
const QColor kGreen(0x2e, 0x9a, 0x48);
const QColor kRed(0xd0, 0x3a, 0x2f);
const QColor kOrange(0xe8, 0x8a, 0x1a);
const QColor kYellow(0xf2, 0xc1, 0x4e);
const QColor kDarkYellow(0xc8, 0x93, 0x20);
const QColor kPurple(0x7b, 0x4f, 0xc0);
const QColor kPaper(0xfd, 0xfd, 0xfb);
const QColor kGrey(0x8a, 0x93, 0xa0);

QPen Pen(const QColor& color, double width = 1.0)
{
    QPen pen(color, width);
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    return pen;
}

// Draws a part at an offset and scale within the grid.
template <typename F>
void Sub(QPainter& p, double x, double y, double scale, F draw)
{
    p.save();
    p.translate(x, y);
    p.scale(scale, scale);
    draw();
    p.restore();
}

// A closed outline through the points, in order.
QPainterPath Outline(std::initializer_list<QPointF> points)
{
    QPainterPath path;
    path.moveTo(*points.begin());
    for (auto point = points.begin() + 1; point != points.end(); ++point)
        path.lineTo(*point);
    path.closeSubpath();
    return path;
}

void Person(QPainter& p, double cx, double top, double s, const QColor& color)
{
    p.setPen(Pen(color.darker(140), 0.8));
    p.setBrush(color);
    p.drawEllipse(QPointF(cx, top + 2.6 * s), 2.3 * s, 2.3 * s);
    QPainterPath body;
    body.moveTo(cx - 4.2 * s, top + 12 * s);
    body.cubicTo(cx - 4.2 * s, top + 6 * s, cx + 4.2 * s, top + 6 * s, cx + 4.2 * s, top + 12 * s);
    body.closeSubpath();
    p.drawPath(body);
}

// A sheet with a folded corner, and as many lines of text on it.
void Page(QPainter& p, const QRectF& r, int lines = 0)
{
    const double fold = r.width() * 0.3;
    p.setPen(Pen(kOutline, 0.9));
    p.setBrush(kPaper);
    p.drawPath(Outline({r.topLeft(), QPointF(r.right() - fold, r.top()), QPointF(r.right(), r.top() + fold),
                        r.bottomRight(), r.bottomLeft()}));
    p.setBrush(QColor(0xdd, 0xe2, 0xea));
    p.drawPath(Outline({QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold),
                        QPointF(r.right(), r.top() + fold)}));
    if (lines > 0) {
        p.setPen(Pen(kGrey, 0.8));
        const double step = (r.height() - 5) / lines;
        for (int i = 0; i < lines; ++i) {
            const double y = r.top() + 4.5 + i * step;
            p.drawLine(QPointF(r.left() + 2, y), QPointF(r.right() - 2, y));
        }
    }
}

void Folder(QPainter& p, bool open = false)
{
    p.setPen(Pen(kDarkYellow.darker(120), 0.9));
    p.setBrush(kDarkYellow);
    p.drawPath(Outline({{1, 3}, {6, 3}, {7.5, 4.5}, {15, 4.5}, {15, 13.5}, {1, 13.5}}));
    p.setBrush(kYellow);
    if (open) {
        p.drawPath(Outline({{3, 7}, {15.5, 7}, {13.5, 13.5}, {1, 13.5}}));
    } else {
        p.drawRoundedRect(QRectF(1, 6, 14, 7.5), 0.8, 0.8);
    }
}

// A white disc behind a badge in the lower right corner, so the badge reads over any picture.
void BadgeBack(QPainter& p, double cx = 12, double cy = 12, double r = 4.2)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 235));
    p.drawEllipse(QPointF(cx, cy), r, r);
}

void SignDisc(QPainter& p, double cx, double cy, double r, const QColor& color, char sign)
{
    p.setPen(Pen(color.darker(130), 0.8));
    p.setBrush(color);
    p.drawEllipse(QPointF(cx, cy), r, r);
    p.setPen(Pen(Qt::white, r * 0.42));
    const double a = r * 0.55;
    if (sign == '+' || sign == '-')
        p.drawLine(QPointF(cx - a, cy), QPointF(cx + a, cy));
    if (sign == '+')
        p.drawLine(QPointF(cx, cy - a), QPointF(cx, cy + a));
    if (sign == 'x') {
        p.drawLine(QPointF(cx - a * 0.8, cy - a * 0.8), QPointF(cx + a * 0.8, cy + a * 0.8));
        p.drawLine(QPointF(cx - a * 0.8, cy + a * 0.8), QPointF(cx + a * 0.8, cy - a * 0.8));
    }
}

// A sign disc over a white badge in the lower right corner.
void CornerSign(QPainter& p, const QColor& color, char sign)
{
    BadgeBack(p);
    SignDisc(p, 12, 12, 3.6, color, sign);
}

// A bold white question mark centred in r.
void QuestionMark(QPainter& p, const QRectF& r, int pixelSize)
{
    QFont font("DejaVu Sans");
    font.setBold(true);
    font.setPixelSize(pixelSize);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(r, Qt::AlignCenter, "?");
}

void Bubble(QPainter& p, const QRectF& r, const QColor& color, bool mark)
{
    QPainterPath path;
    path.addRoundedRect(r, r.height() * 0.3, r.height() * 0.3);
    QPainterPath tail;
    tail.moveTo(r.left() + r.width() * 0.25, r.bottom() - 0.5);
    tail.lineTo(r.left() + r.width() * 0.15, r.bottom() + r.height() * 0.35);
    tail.lineTo(r.left() + r.width() * 0.5, r.bottom() - 0.5);
    tail.closeSubpath();
    path = path.united(tail);
    p.setPen(Pen(color.darker(140), 0.9));
    p.setBrush(color);
    p.drawPath(path);
    if (mark)
        QuestionMark(p, r, std::max(1, static_cast<int>(r.height() * 0.95)));
}

void Arrow(QPainter& p, QPointF from, QPointF to, const QColor& color, double width = 1.0)
{
    p.setPen(Pen(color, width));
    p.drawLine(from, to);
    const QPointF d = to - from;
    const double len = std::max(0.01, std::hypot(d.x(), d.y()));
    const QPointF u(d.x() / len, d.y() / len);
    const QPointF n(-u.y(), u.x());
    const double head = 1.9 + width;
    QPolygonF tip;
    tip << to << to - u * head + n * head * 0.6 << to - u * head - n * head * 0.6;
    p.setBrush(color);
    p.setPen(Pen(color, 0.5));
    p.drawPolygon(tip);
}

// A curved arrow turning back to the left (undo) or, mirrored, on to the right (redo).
void TurnArrow(QPainter& p, bool back)
{
    p.save();
    if (!back) {
        p.translate(16, 0);
        p.scale(-1, 1);
    }
    QPainterPath path;
    path.moveTo(13.5, 13);
    path.cubicTo(13.5, 6.5, 9, 5, 4.5, 5.5);
    p.setPen(Pen(kBlue, 1.8));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    QPolygonF tip;
    tip << QPointF(1, 5.6) << QPointF(6, 1.6) << QPointF(6, 9.6);
    p.setPen(Pen(kBlue, 0.5));
    p.setBrush(kBlue);
    p.drawPolygon(tip);
    p.restore();
}

void Sociogram(QPainter& p)
{
    const QPointF a(3.5, 4), b(12.5, 4), c(8, 12.5), d(8, 7.2);
    Arrow(p, a, b - QPointF(2.4, 0), kGreen, 0.9);
    Arrow(p, b, c + QPointF(1.4, -2.2), kGreen, 0.9);
    Arrow(p, c, a + QPointF(0.9, 2.4), kRed, 0.9);
    p.setPen(Pen(kGreen, 0.9));
    p.drawLine(d, a);
    const QColor nodes[] = {kBlue, kPurple, kOrange, kLightBlue};
    const QPointF points[] = {a, b, c, d};
    for (int i = 0; i < 4; ++i) {
        p.setPen(Pen(nodes[i].darker(140), 0.8));
        p.setBrush(nodes[i]);
        p.drawEllipse(points[i], i == 3 ? 1.6 : 2.2, i == 3 ? 1.6 : 2.2);
    }
}

void Grid(QPainter& p)
{
    p.setPen(Pen(kOutline, 0.8));
    p.setBrush(kPaper);
    p.drawRect(QRectF(1.5, 1.5, 13, 13));
    p.setBrush(QColor(0xdd, 0xe6, 0xf3));
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(1.5, 1.5, 13, 3.25));
    p.drawRect(QRectF(1.5, 1.5, 3.25, 13));
    p.setPen(Pen(kGrey, 0.6));
    for (int i = 1; i < 4; ++i) {
        p.drawLine(QPointF(1.5 + i * 3.25, 1.5), QPointF(1.5 + i * 3.25, 14.5));
        p.drawLine(QPointF(1.5, 1.5 + i * 3.25), QPointF(14.5, 1.5 + i * 3.25));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(kGreen);
    p.drawEllipse(QPointF(9.6, 6.3), 1.1, 1.1);
    p.drawEllipse(QPointF(6.3, 12.8), 1.1, 1.1);
    p.setBrush(kRed);
    p.drawEllipse(QPointF(12.9, 9.6), 1.1, 1.1);
}

void Magnifier(QPainter& p)
{
    p.setPen(Pen(kOutline, 1.3));
    p.setBrush(QColor(0xd8, 0xe9, 0xfb));
    p.drawEllipse(QPointF(6.5, 6.5), 4.3, 4.3);
    p.setPen(Pen(kOutline, 2.4));
    p.drawLine(QPointF(9.8, 9.8), QPointF(14, 14));
}

void Gear(QPainter& p, double cx, double cy, double r)
{
    QPainterPath path;
    const int teeth = 8;
    for (int i = 0; i < teeth * 2; ++i) {
        const double a0 = (i - 0.5) * M_PI / teeth;
        const double a1 = (i + 0.5) * M_PI / teeth;
        const double rr = (i % 2 == 0) ? r : r * 0.74;
        const QPointF p0(cx + rr * std::cos(a0), cy + rr * std::sin(a0));
        const QPointF p1(cx + rr * std::cos(a1), cy + rr * std::sin(a1));
        if (i == 0)
            path.moveTo(p0);
        else
            path.lineTo(p0);
        path.lineTo(p1);
    }
    path.closeSubpath();
    QPainterPath hole;
    hole.addEllipse(QPointF(cx, cy), r * 0.32, r * 0.32);
    path = path.subtracted(hole);
    p.setPen(Pen(kOutline, 0.8));
    p.setBrush(QColor(0x9a, 0xa7, 0xb8));
    p.drawPath(path);
}

void Floppy(QPainter& p)
{
    p.setPen(Pen(kBlue.darker(150), 0.9));
    p.setBrush(kBlue);
    p.drawPath(Outline({{1.5, 1.5}, {12.5, 1.5}, {14.5, 3.5}, {14.5, 14.5}, {1.5, 14.5}}));
    p.setBrush(kPaper);
    p.drawRect(QRectF(4, 1.5, 7.5, 4.5));
    p.setBrush(QColor(0xe6, 0xec, 0xf5));
    p.drawRoundedRect(QRectF(3.5, 8.5, 9, 6), 0.6, 0.6);
    p.setBrush(kBlue.darker(150));
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(8.6, 2.3, 1.8, 3));
}

void Pencil(QPainter& p)
{
    p.save();
    p.translate(8, 8);
    p.rotate(45);
    p.setPen(Pen(kOutline, 0.8));
    p.setBrush(kOrange);
    p.drawRect(QRectF(-1.8, -7, 3.6, 10));
    p.setBrush(QColor(0xf1, 0xa5, 0xa5));
    p.drawRect(QRectF(-1.8, -8.2, 3.6, 1.8));
    p.setBrush(QColor(0xf5, 0xdc, 0xb0));
    QPolygonF tip;
    tip << QPointF(-1.8, 3) << QPointF(1.8, 3) << QPointF(0, 7);
    p.drawPolygon(tip);
    p.setBrush(kOutline);
    QPolygonF lead;
    lead << QPointF(-0.6, 5.6) << QPointF(0.6, 5.6) << QPointF(0, 7);
    p.drawPolygon(lead);
    p.restore();
}

void Tray(QPainter& p)
{
    p.setPen(Pen(kOutline, 1.0));
    p.setBrush(QColor(0xdf, 0xe5, 0xee));
    p.drawPath(Outline({{1.5, 9.5}, {4.5, 9.5}, {5.5, 11.5}, {10.5, 11.5}, {11.5, 9.5}, {14.5, 9.5},
                        {14.5, 14.5}, {1.5, 14.5}}));
}

void Printer(QPainter& p)
{
    p.setPen(Pen(kOutline, 0.9));
    p.setBrush(kPaper);
    p.drawRect(QRectF(4, 1.5, 8, 5));
    p.setBrush(QColor(0x9a, 0xa7, 0xb8));
    p.drawRoundedRect(QRectF(1.5, 6, 13, 6), 1, 1);
    p.setBrush(kPaper);
    p.drawRect(QRectF(4, 10, 8, 4.5));
    p.setPen(Pen(kGrey, 0.7));
    p.drawLine(QPointF(5.5, 12), QPointF(10.5, 12));
    p.setPen(Qt::NoPen);
    p.setBrush(kGreen);
    p.drawEllipse(QPointF(12.5, 8), 0.8, 0.8);
}

void Door(QPainter& p)
{
    p.setPen(Pen(kOutline, 0.9));
    p.setBrush(QColor(0xb0, 0x7a, 0x4a));
    p.drawRect(QRectF(2, 1.5, 8, 13));
    p.setBrush(QColor(0x7d, 0x52, 0x2e));
    QPolygonF leaf;
    leaf << QPointF(2, 1.5) << QPointF(6.5, 3) << QPointF(6.5, 15.5) << QPointF(2, 14.5);
    p.drawPolygon(leaf);
    Arrow(p, QPointF(8.5, 8), QPointF(15, 8), kRed, 1.6);
}

void Rings(QPainter& p)
{
    const QColor fills[] = {QColor(0xe7, 0xee, 0xf8), QColor(0xc7, 0xd9, 0xf2), QColor(0x9d, 0xbf, 0xea)};
    const double radii[] = {7, 4.8, 2.6};
    for (int i = 0; i < 3; ++i) {
        p.setPen(Pen(kBlue.darker(120), 0.8));
        p.setBrush(fills[i]);
        p.drawEllipse(QPointF(8, 8), radii[i], radii[i]);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(kRed);
    p.drawEllipse(QPointF(8, 8), 1.2, 1.2);
    p.setBrush(kGreen);
    p.drawEllipse(QPointF(11.6, 5.2), 1.1, 1.1);
    p.setBrush(kOrange);
    p.drawEllipse(QPointF(3.4, 10.5), 1.1, 1.1);
}

void Bars(QPainter& p)
{
    p.setPen(Pen(kOutline, 1.0));
    p.drawLine(QPointF(1.5, 1.5), QPointF(1.5, 14.5));
    p.drawLine(QPointF(1.5, 14.5), QPointF(14.5, 14.5));
    const QColor colors[] = {kBlue, kGreen, kOrange, kPurple};
    const double heights[] = {6, 10, 4, 8};
    for (int i = 0; i < 4; ++i) {
        p.setPen(Pen(colors[i].darker(140), 0.7));
        p.setBrush(colors[i]);
        p.drawRect(QRectF(3 + i * 3, 14 - heights[i], 2.2, heights[i]));
    }
}

void Group(QPainter& p)
{
    Person(p, 4.5, 1.5, 0.75, kLightBlue);
    Person(p, 11.5, 1.5, 0.75, kLightBlue);
    Person(p, 8, 4.5, 0.9, kBlue);
}

void Draw(QPainter& p, TShellIcon which)
{
    switch (which) {
    case TShellIcon::None:
        break;
    case TShellIcon::NodeProject:
        Page(p, QRectF(2, 1, 12, 14));
        Sub(p, 3, 4, 0.65, [&] { Sociogram(p); });
        break;
    case TShellIcon::NodeClientGroups:
        Folder(p);
        Sub(p, 5, 5.5, 0.62, [&] { Group(p); });
        break;
    case TShellIcon::NodeClientGroup:
        Group(p);
        break;
    case TShellIcon::NodeClient:
        Person(p, 8, 1.2, 1.15, kBlue);
        break;
    case TShellIcon::NodeCriteria:
        Folder(p);
        Bubble(p, QRectF(6.5, 6.5, 7, 5), kOrange, true);
        break;
    case TShellIcon::NodeCriteriaGroup:
        Bubble(p, QRectF(5.5, 1, 9.5, 6.5), QColor(0xf3, 0xb8, 0x6a), false);
        Bubble(p, QRectF(1, 6, 10, 7), kOrange, true);
        break;
    case TShellIcon::NodeCriterion:
        Bubble(p, QRectF(1.5, 2, 13, 9), kOrange, true);
        break;
    case TShellIcon::NodeInvestigations:
        Folder(p);
        Sub(p, 5, 5.3, 0.62, [&] { Sociogram(p); });
        break;
    case TShellIcon::NodeInvestigation:
    case TShellIcon::Graph:
        Sociogram(p);
        break;
    case TShellIcon::ProjectCreate:
        Page(p, QRectF(2, 1, 10, 13), 3);
        CornerSign(p, kGreen, '+');
        break;
    case TShellIcon::ProjectOpen:
        Folder(p, true);
        break;
    case TShellIcon::ProjectSave:
        Floppy(p);
        break;
    case TShellIcon::ProjectSaveAs:
        Sub(p, 0, 0, 0.8, [&] { Floppy(p); });
        Sub(p, 6, 6, 0.62, [&] { Pencil(p); });
        break;
    case TShellIcon::ProjectClose:
        Page(p, QRectF(2, 1, 10, 13), 3);
        CornerSign(p, kRed, 'x');
        break;
    case TShellIcon::Import:
        Tray(p);
        Arrow(p, QPointF(8, 0.8), QPointF(8, 10.5), kGreen, 1.8);
        break;
    case TShellIcon::Export:
        Tray(p);
        Arrow(p, QPointF(8, 10.5), QPointF(8, 0.8), kBlue, 1.8);
        break;
    case TShellIcon::Print:
        Printer(p);
        break;
    case TShellIcon::Exit:
        Door(p);
        break;
    case TShellIcon::Users:
        Person(p, 5.5, 2, 0.95, kGreen);
        Person(p, 10.5, 3.5, 0.95, kBlue);
        break;
    case TShellIcon::Find:
        Magnifier(p);
        break;
    case TShellIcon::FindNext:
        Sub(p, 0, 0, 0.85, [&] { Magnifier(p); });
        BadgeBack(p, 12, 4, 3.8);
        Arrow(p, QPointF(9.5, 4), QPointF(15.5, 4), kGreen, 1.4);
        break;
    case TShellIcon::ToolbarsTuning:
        p.setPen(Pen(kOutline, 0.9));
        p.setBrush(QColor(0xe3, 0xe8, 0xef));
        p.drawRoundedRect(QRectF(1, 2, 14, 5), 1, 1);
        p.setBrush(kBlue);
        p.drawRect(QRectF(2.6, 3.3, 2.4, 2.4));
        p.setBrush(kGreen);
        p.drawRect(QRectF(6.3, 3.3, 2.4, 2.4));
        p.setBrush(kOrange);
        p.drawRect(QRectF(10, 3.3, 2.4, 2.4));
        Gear(p, 10.5, 11.5, 4.2);
        break;
    case TShellIcon::Parameters:
        Gear(p, 8, 8, 7);
        break;
    case TShellIcon::SaveChoices:
        Grid(p);
        Sub(p, 7.5, 7.5, 0.55, [&] {
            p.setPen(Qt::NoPen);
            p.setBrush(Qt::white);
            p.drawRect(QRectF(0, 0, 16, 16));
            Floppy(p);
        });
        break;
    case TShellIcon::ClearChoices:
        Grid(p);
        CornerSign(p, kRed, 'x');
        break;
    case TShellIcon::Positive:
        SignDisc(p, 8, 8, 6.5, kGreen, '+');
        break;
    case TShellIcon::Negative:
        SignDisc(p, 8, 8, 6.5, kRed, '-');
        break;
    case TShellIcon::AnyChoices:
        p.setPen(Pen(kOutline, 0.8));
        p.setBrush(kGreen);
        p.drawPie(QRectF(1.5, 1.5, 13, 13), 45 * 16, 180 * 16);
        p.setBrush(kRed);
        p.drawPie(QRectF(1.5, 1.5, 13, 13), 225 * 16, 180 * 16);
        p.setPen(Pen(Qt::white, 1.6));
        p.drawLine(QPointF(3.8, 6.3), QPointF(7.2, 6.3));
        p.drawLine(QPointF(5.5, 4.6), QPointF(5.5, 8));
        p.drawLine(QPointF(8.8, 10), QPointF(12.2, 10));
        break;
    case TShellIcon::CreateNode:
        p.setPen(Pen(kOutline, 0.9));
        p.setBrush(kLightBlue);
        p.drawRoundedRect(QRectF(1.5, 2, 9, 6), 1.2, 1.2);
        p.drawLine(QPointF(4, 8), QPointF(4, 12));
        p.drawLine(QPointF(4, 12), QPointF(7.5, 12));
        CornerSign(p, kGreen, '+');
        break;
    case TShellIcon::ChangeNode:
        Pencil(p);
        break;
    case TShellIcon::DeleteNode:
        SignDisc(p, 8, 8, 6.5, kRed, 'x');
        break;
    case TShellIcon::Choices:
        Grid(p);
        break;
    case TShellIcon::Indexes:
        Bars(p);
        break;
    case TShellIcon::Target:
        Rings(p);
        break;
    case TShellIcon::Status: {
        // Four members in four colours: the status groups.
        p.setPen(Pen(kOutline, 0.7));
        const QColor colours[] = {kGreen, kRed, kGrey, kOrange};
        const QPointF centres[] = {{4.5, 4.5}, {11.5, 4.5}, {4.5, 11.5}, {11.5, 11.5}};
        for (int i = 0; i < 4; ++i) {
            p.setBrush(colours[i]);
            p.drawEllipse(centres[i], 3.2, 3.2);
        }
        break;
    }
    case TShellIcon::ReportNode:
        Page(p, QRectF(2.5, 1, 11, 14), 4);
        break;
    case TShellIcon::ReportClientGroup:
    case TShellIcon::ReportClient:
    case TShellIcon::ReportCriteriaGroup:
    case TShellIcon::ReportCriterion:
    case TShellIcon::ReportInvestigation: {
        Page(p, QRectF(1, 1, 10, 13), 3);
        BadgeBack(p, 11.5, 11.5, 4.6);
        TShellIcon badge = TShellIcon::NodeInvestigation;
        if (which == TShellIcon::ReportClientGroup)
            badge = TShellIcon::NodeClientGroup;
        else if (which == TShellIcon::ReportClient)
            badge = TShellIcon::NodeClient;
        else if (which == TShellIcon::ReportCriteriaGroup)
            badge = TShellIcon::NodeCriteriaGroup;
        else if (which == TShellIcon::ReportCriterion)
            badge = TShellIcon::NodeCriterion;
        Sub(p, 7.2, 7.2, 0.55, [&] { Draw(p, badge); });
        break;
    }
    case TShellIcon::Undo:
        TurnArrow(p, true);
        break;
    case TShellIcon::Redo:
        TurnArrow(p, false);
        break;
    case TShellIcon::Help:
        p.setPen(Pen(kBlue.darker(140), 0.8));
        p.setBrush(kBlue);
        p.drawEllipse(QPointF(8, 8), 6.8, 6.8);
        QuestionMark(p, QRectF(0, 0, 16, 16), 11);
        break;
    case TShellIcon::Tremlow:
        p.setPen(Pen(kBlue.darker(140), 0.8));
        p.setBrush(QColor(0xf4, 0xf7, 0xfc));
        p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
        Sub(p, 1, 1, 0.875, [&] { Sociogram(p); });
        break;
    }
}

QPixmap Render(TShellIcon which, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(static_cast<double>(size) / kGrid, static_cast<double>(size) / kGrid);
    Draw(p, which);
    return pixmap;
}

} // namespace

QIcon ShellIcon(TShellIcon which)
{
    static std::map<TShellIcon, QIcon> cache;
    auto found = cache.find(which);
    if (found != cache.end())
        return found->second;
    QIcon icon;
    if (which != TShellIcon::None) {
        for (int size : {16, 20, 24, 32, 40, 48, 64})
            icon.addPixmap(Render(which, size));
    }
    cache.emplace(which, icon);
    return icon;
}

QIcon NodeKindIcon(TNodeKind kind)
{
    const int number = static_cast<int>(kind);
    if (number < static_cast<int>(TNodeKind::Project) || number > static_cast<int>(TNodeKind::Investigation))
        return {};
    return ShellIcon(static_cast<TShellIcon>(number));
}
