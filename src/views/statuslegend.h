#pragma once

#include <array>
#include <cstdint>

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>
#include <QWidget>

#include "analysis/statusgroups.h"

class QPainter;

// The colour a status group is shown in (status table cells, sociogram figures, target names).
QColor StatusGroupColor(TStatusGroup group);
// The group's name from the language file.
QString StatusGroupName(TStatusGroup group);
// The thresholds in force (from the settings).
TStatusThresholds CurrentStatusThresholds();

// The key to the status colours beside a sociogram or a target diagram: a title, then one line per
// group with its colour swatch, its name and the number of members in it. It paints itself on
// screen and, through PaintTo, into the view's pictures; the mouse goes through it to the view.
class TStatusLegend final : public QWidget {
    Q_OBJECT

public:
    explicit TStatusLegend(QWidget* parent = nullptr);
    ~TStatusLegend() override;

    // The number of members in each group.
    void SetCounts(const TStatusResult& result);
    void SetTextFont(const QFont& font, const QColor& color);
    void SetBackColor(const QColor& color);
    void SetLineColor(const QColor& color);

    // The texts in the order drawn: the title, then one line per group.
    QStringList Lines() const;
    // Where a group's swatch is drawn, in the legend's own coordinates.
    QRect SwatchRect(TStatusGroup group) const;

    // Draws the legend with its top-left corner at the painter's origin.
    void PaintTo(QPainter& painter);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void FitToContents();
    int LinePitch() const;

    std::array<int32_t, kAllStatusGroups.size()> m_counts{};
    QFont m_font;
    QColor m_textColor = Qt::black;
    QColor m_backColor = Qt::white;
    QColor m_lineColor = Qt::black;
};
