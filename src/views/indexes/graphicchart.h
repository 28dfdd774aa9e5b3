#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QWidget>

#include "views/indexes/chartgeometry.h"

class QMenu;
class QPainter;

// One point of a series: its values and the name shown with alName labels.
struct TDataPoint {
    double X = 0.0;
    double Y = 0.0;
    QString Name;
};

// The points of one series, in the order they were added.
using TChartDataList = std::vector<TDataPoint>;

// A series of points drawn in one colour under one legend entry.
struct TDataSeries {
    int32_t Key = 0;
    QString Name;
    QColor Color;
    TChartDataList Points;
};

// The series of a chart, in creation order; a series is found by its key.
class TChartDataSeries final {
public:
    int Count() const { return static_cast<int>(m_items.size()); }
    const TDataSeries& At(int index) const { return m_items.at(static_cast<std::size_t>(index)); }
    // The series with the key, or nullptr.
    TDataSeries* Find(int32_t key);
    const TDataSeries* Find(int32_t key) const;
    // Appends a new empty series and returns it.
    TDataSeries& Add(int32_t key, const QString& name, const QColor& color);
    void Clear() { m_items.clear(); }

private:
    std::vector<TDataSeries> m_items;
};

enum class TGridType : uint8_t { gtNone, gtHorz, gtVert, gtBoth };
enum class TChartType : uint8_t { ctScatter, ctLine, ctBar };
enum class TAxeLabel : uint8_t { alNone, alXValue, alYLabel, alName };
enum class TChartAxis : uint8_t { X, Y };

// A font with the colour its text is drawn in.
struct TChartFont {
    QFont Font;
    QColor Color = Qt::black;

    bool operator==(const TChartFont&) const = default;
};

// A two-axis chart of (x, y) series drawn as scattered circles, lines or bars inside a plot area,
// with a title, axis titles, scale labels, an optional grid, value labels at the points and a
// legend. The caller sets ranges, intervals and margins and adds the points; the chart computes
// nothing. Everything is drawn by PaintTo, so the screen, pictures and printouts look the same.
class TGraphicChart final : public QWidget {
    Q_OBJECT

public:
    // Raised after each scale is drawn with the axis and the text of its last label.
    using TDrawScales = std::function<void(const TGraphicChart& sender, TChartAxis axis, const QString& text)>;
    // Offered for callers that supply extra lines; the chart itself never raises it.
    using TNeedLines = std::function<void(TGraphicChart& sender, double& value, QColor& color, bool& finished)>;

    explicit TGraphicChart(QWidget* parent = nullptr);
    TGraphicChart(const TGraphicChart&) = delete;
    TGraphicChart& operator=(const TGraphicChart&) = delete;

    // Properties; every setter repaints when the value changed.
    QColor GridColor() const { return m_gridColor; }
    void SetGridColor(const QColor& color);
    TChartType ChartType() const { return m_chartType; }
    void SetChartType(TChartType type);
    QColor BackGround() const { return m_backGround; }
    void SetBackGround(const QColor& color);
    // 1 ... 4; values outside are pinned to the nearer end.
    int BorderWidth() const { return m_borderWidth; }
    void SetBorderWidth(int width);
    TGridType Grid() const { return m_grid; }
    void SetGrid(TGridType grid);
    QColor ChartColor() const { return m_chartColor; }
    void SetChartColor(const QColor& color);
    // Texts keep at most 255 characters.
    QString Title() const { return m_title; }
    void SetTitle(const QString& title);
    QString AxeXTitle() const { return m_axeXTitle; }
    void SetAxeXTitle(const QString& title);
    QString AxeYTitle() const { return m_axeYTitle; }
    void SetAxeYTitle(const QString& title);
    const TChartFont& TitleFont() const { return m_titleFont; }
    void SetTitleFont(const TChartFont& font);
    const TChartFont& AxeXTitleFont() const { return m_axeXTitleFont; }
    void SetAxeXTitleFont(const TChartFont& font);
    const TChartFont& AxeYTitleFont() const { return m_axeYTitleFont; }
    void SetAxeYTitleFont(const TChartFont& font);
    const TChartFont& LegendFont() const { return m_legendFont; }
    void SetLegendFont(const TChartFont& font);
    const TChartFont& LabelXFont() const { return m_labelXFont; }
    void SetLabelXFont(const TChartFont& font);
    const TChartFont& LabelYFont() const { return m_labelYFont; }
    void SetLabelYFont(const TChartFont& font);
    const TChartFont& DataLabelFont() const { return m_dataLabelFont; }
    void SetDataLabelFont(const TChartFont& font);
    QColor DataLabelColor() const { return m_dataLabelColor; }
    void SetDataLabelColor(const QColor& color);
    QColor LegendColor() const { return m_legendColor; }
    void SetLegendColor(const QColor& color);
    bool IsLegend() const { return m_isLegend; }
    void SetIsLegend(bool value);
    TAxeLabel PointLabels() const { return m_pointLabels; }
    void SetPointLabels(TAxeLabel labels);

    const TChartRanges& Ranges() const { return m_ranges; }
    double MinX() const { return m_ranges.MinX; }
    double MaxX() const { return m_ranges.MaxX; }
    double MinY() const { return m_ranges.MinY; }
    double MaxY() const { return m_ranges.MaxY; }
    double MarginLeftX() const { return m_ranges.MarginLeftX; }
    double MarginRightX() const { return m_ranges.MarginRightX; }
    double MarginTopY() const { return m_ranges.MarginTopY; }
    double MarginBottomY() const { return m_ranges.MarginBottomY; }
    double IntervalX() const { return m_ranges.IntervalX; }
    double IntervalY() const { return m_ranges.IntervalY; }
    void SetMinX(double value);
    void SetMaxX(double value);
    void SetMinY(double value);
    void SetMaxY(double value);
    void SetMarginLeftX(double value);
    void SetMarginRightX(double value);
    void SetMarginTopY(double value);
    void SetMarginBottomY(double value);
    // Throw std::invalid_argument and keep the old value unless the interval is > 0.
    void SetIntervalX(double value);
    void SetIntervalY(double value);

    // Shown at the cursor on the right mouse button; not owned.
    QMenu* PopupMenu() const { return m_popupMenu; }
    void SetPopupMenu(QMenu* menu) { m_popupMenu = menu; }

    TDrawScales OnDrawScales;
    TNeedLines OnNeedLinesX;
    TNeedLines OnNeedLinesY;

    // Data.
    // Appends a point to the series with the key; a missing series is created with the name and
    // colour given (an existing one keeps its own).
    void AddPoint(int32_t key, const QColor& color, const QString& seriesName, double x, double y,
                  const QString& pointName);
    // Removes every series with its points; the X label texts stay.
    void ClearData();
    const TChartDataSeries& Series() const { return m_series; }
    // The i-th X scale mark shows the i-th text instead of its value.
    void AddAxeXLabel(const QString& text);
    void ClearAxeXLabels();
    const QStringList& AxeXLabels() const { return m_axeXLabels; }
    // Width in pixels of the widest X label text in the font the labels are drawn in; 0 when none.
    int MaxAxeXLabelWidth() const;

    // The plot area for the chart's current size and fonts.
    TPlotRect PlotArea() const;
    // Draws the whole chart; with a non-empty exposed rectangle, only what may show inside it.
    void PaintTo(QPainter& painter, const QRect& exposed = {}) const;
    // The exposed rectangle of a painter drawing a picture in bands: its clip, or all when none.
    static QRect ExposedOf(const QPainter& painter);

    // The key of the series: its size, where the chart draws it (right of the plot, at its top),
    // and drawing it elsewhere with its top-left corner at the given point.
    QSize LegendSize() const;
    QPoint LegendPlace() const;
    void DrawLegendAt(QPainter& painter, QPoint topLeft) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void Changed();
    QFont PixelFont(const TChartFont& font) const;
    void UseFont(QPainter& painter, const TChartFont& font) const;
    void SetFont(TChartFont& target, const TChartFont& font);
    int MaxPointNameWidth() const;
    void DrawTitles(QPainter& painter) const;
    void DrawGrid(QPainter& painter, const TPlotRect& plot, const std::vector<double>& marksX,
                  const std::vector<double>& marksY, const QRect& visible) const;
    void DrawScaleX(QPainter& painter, const TPlotRect& plot, const std::vector<double>& marks,
                    const QRect& visible) const;
    void DrawScaleY(QPainter& painter, const TPlotRect& plot, const std::vector<double>& marks) const;
    void DrawSeries(QPainter& painter, const TPlotRect& plot, const QRect& visible) const;
    void DrawPointLabels(QPainter& painter, const TPlotRect& plot, const QRect& visible) const;
    void DrawLegend(QPainter& painter, const TPlotRect& plot) const;

    QColor m_gridColor = Qt::black;
    TChartType m_chartType = TChartType::ctScatter;
    QColor m_backGround = QColor(0xC0, 0xC0, 0xC0);
    int m_borderWidth = 1;
    TGridType m_grid = TGridType::gtNone;
    QColor m_chartColor = Qt::white;
    QString m_title;
    QString m_axeXTitle = "X";
    QString m_axeYTitle = "Y";
    TChartFont m_titleFont;
    TChartFont m_axeXTitleFont;
    TChartFont m_axeYTitleFont;
    TChartFont m_legendFont;
    TChartFont m_labelXFont;
    TChartFont m_labelYFont;
    TChartFont m_dataLabelFont;
    QColor m_dataLabelColor = QColor(0xFF, 0xFF, 0x00);
    QColor m_legendColor = Qt::white;
    bool m_isLegend = true;
    TAxeLabel m_pointLabels = TAxeLabel::alName;
    TChartRanges m_ranges;
    QMenu* m_popupMenu = nullptr;
    TChartDataSeries m_series;
    QStringList m_axeXLabels;
    // Widths measured once until the texts or their fonts change.
    mutable std::optional<int> m_maxXLabelWidth;
    mutable std::optional<int> m_maxPointNameWidth;
};
