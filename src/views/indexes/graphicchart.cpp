#include "views/indexes/graphicchart.h"

#include <algorithm>
#include <stdexcept>

#include <QFontMetrics>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include "util/numformat.h"
#include "util/text.h"

namespace {

// Digits of the scale labels and of the value labels at the points.
constexpr int kScaleDigits = 3;
constexpr int kPointDigits = 2;
// Horizontal offset of each further series' bars, so bars at the same x stay apart.
constexpr int kBarSeriesOffset = 4;
// At least as wide as any number the labels show in general format.
const QString kWidestNumber = QStringLiteral("-8.88E-888");

QString CutText(const QString& text)
{
    return QString::fromStdString(CutChars(text.toStdString()));
}

TChartFont MakeFont(const char* face, int size, bool bold, const QColor& color)
{
    TChartFont font;
    font.Font = QFont(face, size);
    font.Font.setBold(bold);
    font.Color = color;
    return font;
}

// Draws text with its top-left corner at (x, y).
void DrawTextAt(QPainter& painter, int x, int y, const QString& text)
{
    painter.drawText(x, y + QFontMetrics(painter.font()).ascent(), text);
}

void UsePen(QPainter& painter, const QColor& color, int width = 1)
{
    QPen pen(color);
    pen.setWidth(width);
    painter.setPen(pen);
}


// Whether the horizontal span [left, right] may show in the visible rectangle (an empty one shows
// all); a few pixels of slack cover pen widths and glyphs reaching past their advance.
bool ShowsX(const QRect& visible, int left, int right)
{
    constexpr int slack = 8;
    return visible.isEmpty() || (right + slack >= visible.left() && left - slack <= visible.right());
}

// The same for rows: a picture saved in bands shows a few rows of the chart at a time.
bool ShowsY(const QRect& visible, int top, int bottom)
{
    constexpr int slack = 8;
    return visible.isEmpty() || (bottom + slack >= visible.top() && top - slack <= visible.bottom());
}

} // namespace

// ---------------------------------------------------------------------------------------------

TDataSeries* TChartDataSeries::Find(int32_t key)
{
    for (TDataSeries& series : m_items) {
        if (series.Key == key)
            return &series;
    }
    return nullptr;
}

const TDataSeries* TChartDataSeries::Find(int32_t key) const
{
    for (const TDataSeries& series : m_items) {
        if (series.Key == key)
            return &series;
    }
    return nullptr;
}

TDataSeries& TChartDataSeries::Add(int32_t key, const QString& name, const QColor& color)
{
    m_items.push_back(TDataSeries{.Key = key, .Name = CutText(name), .Color = color, .Points = {}});
    return m_items.back();
}

// ---------------------------------------------------------------------------------------------

TGraphicChart::TGraphicChart(QWidget* parent)
    : QWidget(parent)
    , m_title("Chart")
    , m_titleFont(MakeFont("Arial", 11, true, Qt::red))
    , m_axeXTitleFont(MakeFont("Arial", 8, false, Qt::black))
    , m_axeYTitleFont(MakeFont("Arial", 8, false, Qt::black))
    , m_legendFont(MakeFont("Arial", 8, false, Qt::black))
{
    m_labelXFont.Font = font();
    m_labelYFont.Font = font();
    m_dataLabelFont.Font = font();
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(147, 105);
}

void TGraphicChart::Changed()
{
    update();
}

QFont TGraphicChart::PixelFont(const TChartFont& font) const
{
    // Sizes in pixels at the screen's resolution, so text keeps its size against the geometry
    // on pictures and printers of any resolution.
    QFont result = font.Font;
    if (result.pixelSize() <= 0) {
        const double pixels = font.Font.pointSizeF() * logicalDpiY() / 72.0;
        result.setPixelSize(std::max(1, static_cast<int>(RoundHalfEven(pixels))));
    }
    return result;
}

void TGraphicChart::UseFont(QPainter& painter, const TChartFont& font) const
{
    painter.setFont(PixelFont(font));
    UsePen(painter, font.Color);
}

template <typename T>
static bool Assign(T& target, const T& value)
{
    if (target == value)
        return false;
    target = value;
    return true;
}

void TGraphicChart::SetGridColor(const QColor& color)
{
    if (Assign(m_gridColor, color))
        Changed();
}

void TGraphicChart::SetChartType(TChartType type)
{
    if (Assign(m_chartType, type))
        Changed();
}

void TGraphicChart::SetBackGround(const QColor& color)
{
    if (Assign(m_backGround, color))
        Changed();
}

void TGraphicChart::SetBorderWidth(int width)
{
    if (Assign(m_borderWidth, std::clamp(width, 1, 4)))
        Changed();
}

void TGraphicChart::SetGrid(TGridType grid)
{
    if (Assign(m_grid, grid))
        Changed();
}

void TGraphicChart::SetChartColor(const QColor& color)
{
    if (Assign(m_chartColor, color))
        Changed();
}

void TGraphicChart::SetTitle(const QString& title)
{
    if (Assign(m_title, CutText(title)))
        Changed();
}

void TGraphicChart::SetAxeXTitle(const QString& title)
{
    if (Assign(m_axeXTitle, CutText(title)))
        Changed();
}

void TGraphicChart::SetAxeYTitle(const QString& title)
{
    if (Assign(m_axeYTitle, CutText(title)))
        Changed();
}

void TGraphicChart::SetFont(TChartFont& target, const TChartFont& font)
{
    if (Assign(target, font))
        Changed();
}

void TGraphicChart::SetTitleFont(const TChartFont& font) { SetFont(m_titleFont, font); }
void TGraphicChart::SetAxeXTitleFont(const TChartFont& font) { SetFont(m_axeXTitleFont, font); }
void TGraphicChart::SetAxeYTitleFont(const TChartFont& font) { SetFont(m_axeYTitleFont, font); }
void TGraphicChart::SetLegendFont(const TChartFont& font) { SetFont(m_legendFont, font); }
void TGraphicChart::SetLabelXFont(const TChartFont& font)
{
    m_maxXLabelWidth.reset();
    SetFont(m_labelXFont, font);
}
void TGraphicChart::SetLabelYFont(const TChartFont& font) { SetFont(m_labelYFont, font); }
void TGraphicChart::SetDataLabelFont(const TChartFont& font)
{
    m_maxPointNameWidth.reset();
    SetFont(m_dataLabelFont, font);
}

void TGraphicChart::SetDataLabelColor(const QColor& color)
{
    if (Assign(m_dataLabelColor, color))
        Changed();
}

void TGraphicChart::SetLegendColor(const QColor& color)
{
    if (Assign(m_legendColor, color))
        Changed();
}

void TGraphicChart::SetIsLegend(bool value)
{
    if (Assign(m_isLegend, value))
        Changed();
}

void TGraphicChart::SetPointLabels(TAxeLabel labels)
{
    if (Assign(m_pointLabels, labels))
        Changed();
}

void TGraphicChart::SetMinX(double value)
{
    if (Assign(m_ranges.MinX, value))
        Changed();
}

void TGraphicChart::SetMaxX(double value)
{
    if (Assign(m_ranges.MaxX, value))
        Changed();
}

void TGraphicChart::SetMinY(double value)
{
    if (Assign(m_ranges.MinY, value))
        Changed();
}

void TGraphicChart::SetMaxY(double value)
{
    if (Assign(m_ranges.MaxY, value))
        Changed();
}

void TGraphicChart::SetMarginLeftX(double value)
{
    if (Assign(m_ranges.MarginLeftX, value))
        Changed();
}

void TGraphicChart::SetMarginRightX(double value)
{
    if (Assign(m_ranges.MarginRightX, value))
        Changed();
}

void TGraphicChart::SetMarginTopY(double value)
{
    if (Assign(m_ranges.MarginTopY, value))
        Changed();
}

void TGraphicChart::SetMarginBottomY(double value)
{
    if (Assign(m_ranges.MarginBottomY, value))
        Changed();
}

void TGraphicChart::SetIntervalX(double value)
{
    if (!(value > 0))
        throw std::invalid_argument("Interval for X must be > 0!");
    if (Assign(m_ranges.IntervalX, value))
        Changed();
}

void TGraphicChart::SetIntervalY(double value)
{
    if (!(value > 0))
        throw std::invalid_argument("Interval for Y must be > 0!");
    if (Assign(m_ranges.IntervalY, value))
        Changed();
}

// ---------------------------------------------------------------------------------------------

void TGraphicChart::AddPoint(int32_t key, const QColor& color, const QString& seriesName, double x, double y,
                             const QString& pointName)
{
    TDataSeries* series = m_series.Find(key);
    if (!series)
        series = &m_series.Add(key, seriesName, color);
    series->Points.push_back(TDataPoint{.X = x, .Y = y, .Name = CutText(pointName)});
    m_maxPointNameWidth.reset();
    Changed();
}

void TGraphicChart::ClearData()
{
    m_series.Clear();
    m_maxPointNameWidth.reset();
    Changed();
}

void TGraphicChart::AddAxeXLabel(const QString& text)
{
    m_axeXLabels.append(text);
    m_maxXLabelWidth.reset();
    Changed();
}

void TGraphicChart::ClearAxeXLabels()
{
    m_axeXLabels.clear();
    m_maxXLabelWidth.reset();
    Changed();
}

int TGraphicChart::MaxAxeXLabelWidth() const
{
    if (!m_maxXLabelWidth) {
        const QFontMetrics metrics(PixelFont(m_labelXFont));
        int widest = 0;
        for (const QString& text : m_axeXLabels)
            widest = std::max(widest, metrics.horizontalAdvance(text));
        m_maxXLabelWidth = widest;
    }
    return *m_maxXLabelWidth;
}

int TGraphicChart::MaxPointNameWidth() const
{
    if (!m_maxPointNameWidth) {
        const QFontMetrics metrics(PixelFont(m_dataLabelFont));
        int widest = 0;
        for (int s = 0; s < m_series.Count(); ++s) {
            for (const TDataPoint& point : m_series.At(s).Points)
                widest = std::max(widest, metrics.horizontalAdvance(point.Name));
        }
        m_maxPointNameWidth = widest;
    }
    return *m_maxPointNameWidth;
}

// ---------------------------------------------------------------------------------------------
// Geometry

QSize TGraphicChart::LegendSize() const
{
    const QFontMetrics metrics(PixelFont(m_legendFont));
    int widest = 0;
    for (int i = 0; i < m_series.Count(); ++i)
        widest = std::max(widest, metrics.horizontalAdvance(m_series.At(i).Name));
    const int nameHeight = metrics.height();
    const int width = widest > 0 ? widest + 26 : 100;
    const int height = nameHeight > 0 ? m_series.Count() * (nameHeight + 2) + 10 : 100;
    return {width, height};
}

TPlotRect TGraphicChart::PlotArea() const
{
    const QFontMetrics titleMetrics(PixelFont(m_titleFont));
    const QFontMetrics axeXMetrics(PixelFont(m_axeXTitleFont));
    const QFontMetrics& lastMetrics = m_isLegend ? QFontMetrics(PixelFont(m_legendFont)) : axeXMetrics;

    TPlotRect plot;
    plot.Top = static_cast<int>(RoundHalfEven(titleMetrics.height() * 1.2));
    plot.Left = 2 * axeXMetrics.height() + axeXMetrics.horizontalAdvance("WWW");
    plot.Right = width() - lastMetrics.horizontalAdvance("10000") - (m_isLegend ? LegendSize().width() : 0);
    plot.Bottom = height() - static_cast<int>(RoundHalfEven(lastMetrics.height() * 2.4));

    // Larger fonts than the layout was made for must not push labels into the titles: keep room
    // for the rotated Y title and the widest Y label on the left, and for an X label line and the
    // X title below.
    const QFontMetrics labelY(PixelFont(m_labelYFont));
    int widestY = 0;
    for (double mark : ScaleMarks(m_ranges.MinY, m_ranges.MaxY, m_ranges.IntervalY))
        widestY = std::max(widestY, labelY.horizontalAdvance(QString::fromStdString(FormatGeneral(mark, kScaleDigits))));
    const int axeYHeight = QFontMetrics(PixelFont(m_axeYTitleFont)).height();
    plot.Left = std::max(plot.Left, 1 + axeYHeight + 4 + widestY + 2);
    const int below = 2 + QFontMetrics(PixelFont(m_labelXFont)).height() + 2 + axeXMetrics.height();
    plot.Bottom = std::min(plot.Bottom, height() - below);
    return plot;
}

// ---------------------------------------------------------------------------------------------
// Drawing

QRect TGraphicChart::ExposedOf(const QPainter& painter)
{
    return painter.hasClipping() ? painter.clipBoundingRect().toAlignedRect() : QRect();
}

void TGraphicChart::PaintTo(QPainter& painter, const QRect& exposed) const
{
    painter.save();
    painter.fillRect(rect(), m_backGround);
    DrawTitles(painter);

    const TPlotRect plot = PlotArea();
    const QRect plotRect(QPoint(plot.Left, plot.Top), QPoint(plot.Right, plot.Bottom));
    painter.fillRect(plotRect, m_chartColor);
    painter.setBrush(Qt::NoBrush);
    UsePen(painter, Qt::black, m_borderWidth);
    painter.drawRect(plotRect);

    const std::vector<double> marksX = ScaleMarks(m_ranges.MinX, m_ranges.MaxX, m_ranges.IntervalX);
    const std::vector<double> marksY = ScaleMarks(m_ranges.MinY, m_ranges.MaxY, m_ranges.IntervalY);
    DrawGrid(painter, plot, marksX, marksY, exposed);
    DrawScaleX(painter, plot, marksX, exposed);
    DrawScaleY(painter, plot, marksY);
    DrawSeries(painter, plot, exposed);
    if (m_pointLabels != TAxeLabel::alNone)
        DrawPointLabels(painter, plot, exposed);
    if (m_isLegend)
        DrawLegend(painter, plot);
    painter.restore();
}

void TGraphicChart::DrawTitles(QPainter& painter) const
{
    UseFont(painter, m_titleFont);
    DrawTextAt(painter, (width() - QFontMetrics(painter.font()).horizontalAdvance(m_title)) / 2, 1, m_title);

    UseFont(painter, m_axeXTitleFont);
    const QFontMetrics axeX = QFontMetrics(painter.font());
    DrawTextAt(painter, (width() - axeX.horizontalAdvance(m_axeXTitle)) / 2, height() - axeX.height(), m_axeXTitle);

    // The Y title reads upwards, centred on the chart's height.
    UseFont(painter, m_axeYTitleFont);
    const QFontMetrics axeY = QFontMetrics(painter.font());
    painter.save();
    painter.translate(1, (height() + axeY.horizontalAdvance(m_axeYTitle)) / 2);
    painter.rotate(-90);
    DrawTextAt(painter, 0, 0, m_axeYTitle);
    painter.restore();
}

void TGraphicChart::DrawGrid(QPainter& painter, const TPlotRect& plot, const std::vector<double>& marksX,
                             const std::vector<double>& marksY, const QRect& visible) const
{
    UsePen(painter, m_gridColor);
    if (m_grid == TGridType::gtVert || m_grid == TGridType::gtBoth) {
        for (double value : marksX) {
            const int x = ValueToPixelX(m_ranges, plot, value);
            if (ShowsX(visible, x, x))
                painter.drawLine(x, plot.Top, x, plot.Bottom);
        }
    }
    if (m_grid == TGridType::gtHorz || m_grid == TGridType::gtBoth) {
        for (double value : marksY) {
            const int y = ValueToPixelY(m_ranges, plot, value);
            painter.drawLine(plot.Left, y, plot.Right, y);
        }
    }
}

void TGraphicChart::DrawScaleX(QPainter& painter, const TPlotRect& plot, const std::vector<double>& marks,
                               const QRect& visible) const
{
    UseFont(painter, m_labelXFont);
    const QFontMetrics metrics = QFontMetrics(painter.font());
    // Marks far from the visible part are skipped before their labels are measured.
    const int reach = std::max(MaxAxeXLabelWidth(), metrics.horizontalAdvance(kWidestNumber)) / 2 + 1;
    const bool rowsShown = ShowsY(visible, plot.Bottom - 5, plot.Bottom + 2 + metrics.height());
    QString text;
    for (std::size_t i = 0; i < marks.size(); ++i) {
        const int x = ValueToPixelX(m_ranges, plot, marks[i]);
        const bool last = i + 1 == marks.size();
        if (!last && (!rowsShown || !ShowsX(visible, x - reach, x + reach)))
            continue;
        text = i < static_cast<std::size_t>(m_axeXLabels.size())
                   ? m_axeXLabels.at(static_cast<qsizetype>(i))
                   : QString::fromStdString(FormatGeneral(marks[i], kScaleDigits));
        const int textWidth = metrics.horizontalAdvance(text);
        const int left = x - textWidth / 2;
        if (!rowsShown || !ShowsX(visible, left, left + textWidth))
            continue;
        UsePen(painter, Qt::black);
        painter.drawLine(x, plot.Bottom - 5, x, plot.Bottom);
        painter.fillRect(QRect(left, plot.Bottom + 2, textWidth, metrics.height()), m_backGround);
        UsePen(painter, m_labelXFont.Color);
        DrawTextAt(painter, left, plot.Bottom + 2, text);
    }
    if (OnDrawScales)
        OnDrawScales(*this, TChartAxis::X, text);
}

void TGraphicChart::DrawScaleY(QPainter& painter, const TPlotRect& plot, const std::vector<double>& marks) const
{
    UseFont(painter, m_labelYFont);
    const QFontMetrics metrics = QFontMetrics(painter.font());
    QString text;
    for (double value : marks) {
        text = QString::fromStdString(FormatGeneral(value, kScaleDigits));
        const int y = ValueToPixelY(m_ranges, plot, value);
        UsePen(painter, Qt::black);
        painter.drawLine(plot.Left + 5, y, plot.Left, y);
        const int textWidth = metrics.horizontalAdvance(text);
        const QRect box(plot.Left - 2 - textWidth, y - metrics.height() / 2, textWidth, metrics.height());
        painter.fillRect(box, m_backGround);
        UsePen(painter, m_labelYFont.Color);
        DrawTextAt(painter, box.left(), box.top(), text);
    }
    if (OnDrawScales)
        OnDrawScales(*this, TChartAxis::Y, text);
}

void TGraphicChart::DrawSeries(QPainter& painter, const TPlotRect& plot, const QRect& visible) const
{
    const int barWidth = BarWidth(m_ranges, plot);
    for (int s = 0; s < m_series.Count(); ++s) {
        const TDataSeries& series = m_series.At(s);
        painter.setBrush(series.Color);
        UsePen(painter, series.Color, m_chartType == TChartType::ctLine ? 2 : 1);
        bool started = false;
        QPoint previous;
        for (const TDataPoint& point : series.Points) {
            if (!InsideRanges(m_ranges, point.X, point.Y))
                continue;
            const QPoint at(ValueToPixelX(m_ranges, plot, point.X), ValueToPixelY(m_ranges, plot, point.Y));
            switch (m_chartType) {
            case TChartType::ctScatter:
                if (ShowsX(visible, at.x() - 4, at.x() + 4) && ShowsY(visible, at.y() - 4, at.y() + 4))
                    painter.drawEllipse(at, 4, 4);
                break;
            case TChartType::ctLine:
                if (started && ShowsX(visible, std::min(previous.x(), at.x()), std::max(previous.x(), at.x())) &&
                    ShowsY(visible, std::min(previous.y(), at.y()), std::max(previous.y(), at.y())))
                    painter.drawLine(previous, at);
                started = true;
                previous = at;
                break;
            case TChartType::ctBar: {
                const int centre = at.x() + kBarSeriesOffset * s;
                const int left = centre - barWidth / 2;
                if (ShowsX(visible, left, left + barWidth) && ShowsY(visible, at.y(), plot.Bottom))
                    painter.fillRect(QRect(left, at.y(), barWidth, plot.Bottom - at.y()), series.Color);
                break;
            }
            }
        }
    }
    painter.setBrush(Qt::NoBrush);
}

void TGraphicChart::DrawPointLabels(QPainter& painter, const TPlotRect& plot, const QRect& visible) const
{
    UseFont(painter, m_dataLabelFont);
    const QFontMetrics metrics = QFontMetrics(painter.font());
    // Points far from the visible part are skipped before their labels are made and measured.
    const int widest = m_pointLabels == TAxeLabel::alName ? MaxPointNameWidth() : metrics.horizontalAdvance(kWidestNumber);
    const int reach = widest / 2 + 3;
    for (int s = 0; s < m_series.Count(); ++s) {
        for (const TDataPoint& point : m_series.At(s).Points) {
            if (!InsideRanges(m_ranges, point.X, point.Y))
                continue;
            const int x = ValueToPixelX(m_ranges, plot, point.X);
            const int y = ValueToPixelY(m_ranges, plot, point.Y);
            if (!ShowsX(visible, x - reach, x + reach) || !ShowsY(visible, y - metrics.height() - 5, y - 5))
                continue;
            QString text;
            switch (m_pointLabels) {
            case TAxeLabel::alXValue:
                text = QString::fromStdString(FormatGeneral(point.X, kPointDigits));
                break;
            case TAxeLabel::alYLabel:
                text = QString::fromStdString(FormatGeneral(point.Y, kPointDigits));
                break;
            case TAxeLabel::alName:
                text = point.Name;
                break;
            case TAxeLabel::alNone:
                return;
            }
            const int textWidth = metrics.horizontalAdvance(text);
            const int left = x - textWidth / 2;
            if (!ShowsX(visible, left - 2, left + textWidth + 2))
                continue;
            const int top = y - metrics.height() - 5;
            painter.fillRect(QRect(QPoint(left - 2, top), QPoint(left + textWidth + 2, y - 5)), m_dataLabelColor);
            DrawTextAt(painter, left, top, text);
        }
    }
}

QPoint TGraphicChart::LegendPlace() const
{
    const TPlotRect plot = PlotArea();
    return {plot.Right + 2, plot.Top};
}

void TGraphicChart::DrawLegend(QPainter& painter, const TPlotRect& plot) const
{
    DrawLegendAt(painter, {plot.Right + 2, plot.Top});
}

void TGraphicChart::DrawLegendAt(QPainter& painter, QPoint topLeft) const
{
    const QSize size = LegendSize();
    const QRect box(topLeft, size);
    painter.fillRect(box, m_legendColor);
    UsePen(painter, Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(box);

    UseFont(painter, m_legendFont);
    const int nameHeight = QFontMetrics(painter.font()).height();
    for (int i = 0; i < m_series.Count(); ++i) {
        const TDataSeries& series = m_series.At(i);
        const int top = box.top() + 5 + i * (nameHeight + 2);
        painter.fillRect(QRect(box.left() + 5, top + (nameHeight - 8) / 2, 8, 8), series.Color);
        DrawTextAt(painter, box.left() + 21, top, series.Name);
    }
}

// ---------------------------------------------------------------------------------------------

void TGraphicChart::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    PaintTo(painter, event->rect());
}

void TGraphicChart::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton && m_popupMenu) {
        m_popupMenu->popup(event->globalPosition().toPoint());
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}
