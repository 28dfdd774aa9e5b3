#include "views/statuslegend.h"

#include <algorithm>

#include <QFontMetrics>
#include <QPainter>

#include "i18n/langconv.h"
#include "settings/regs.h"

namespace {

constexpr int kMargin = 8;
constexpr int kLineGap = 4;
constexpr int kSwatchGap = 6;

QString TextOf(const char* key, const char* english)
{
    return HasLangConv() && LangConv().HasText(key) ? QString::fromStdString(LangConv().GetText(key))
                                                    : QString::fromUtf8(english);
}

QFont TitleFont(const QFont& font)
{
    QFont bold = font;
    bold.setBold(true);
    return bold;
}

} // namespace

QColor StatusGroupColor(TStatusGroup group)
{
    switch (group) {
    case TStatusGroup::Popular:
        return QColor(0x7c, 0xcf, 0x7c);
    case TStatusGroup::Rejected:
        return QColor(0xee, 0x7a, 0x7a);
    case TStatusGroup::Neglected:
        return QColor(0xb8, 0xb8, 0xb8);
    case TStatusGroup::Controversial:
        return QColor(0xf2, 0xc0, 0x5c);
    case TStatusGroup::Average:
        return QColor(0x9c, 0xc4, 0xee);
    case TStatusGroup::Unclassified:
        break;
    }
    return QColor(Qt::white);
}

QString StatusGroupName(TStatusGroup group)
{
    return TextOf(StatusGroupKey(group), StatusGroupWord(group));
}

TStatusThresholds CurrentStatusThresholds()
{
    return StatusThresholdsFromHundredths(Regs().Status.ExtremeThreshold, Regs().Status.AverageThreshold);
}

TStatusLegend::TStatusLegend(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("StatusLegend"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    FitToContents();
}

TStatusLegend::~TStatusLegend() = default;

void TStatusLegend::SetCounts(const TStatusResult& result)
{
    m_counts = result.Counts;
    FitToContents();
    update();
}

void TStatusLegend::SetTextFont(const QFont& font, const QColor& color)
{
    m_font = font;
    m_textColor = color;
    FitToContents();
    update();
}

void TStatusLegend::SetBackColor(const QColor& color)
{
    m_backColor = color;
    update();
}

void TStatusLegend::SetLineColor(const QColor& color)
{
    m_lineColor = color;
    update();
}

QStringList TStatusLegend::Lines() const
{
    QStringList lines{TextOf("STATUS_LEGEND_TITLE", "Status groups")};
    for (const TStatusGroup group : kAllStatusGroups) {
        lines << StatusGroupName(group) + QStringLiteral(": ") +
                     QString::number(m_counts[static_cast<std::size_t>(group)]);
    }
    return lines;
}

int TStatusLegend::LinePitch() const
{
    return std::max(QFontMetrics(m_font).height(), QFontMetrics(TitleFont(m_font)).height()) + kLineGap;
}

QRect TStatusLegend::SwatchRect(TStatusGroup group) const
{
    const int line = 1 + static_cast<int>(group);
    const int side = std::max(6, QFontMetrics(m_font).height() - 4);
    const int top = kMargin + line * LinePitch() + (LinePitch() - kLineGap - side) / 2;
    return QRect(kMargin, top, side, side);
}

void TStatusLegend::FitToContents()
{
    const QStringList lines = Lines();
    const QFontMetrics metrics(m_font);
    const int swatch = SwatchRect(TStatusGroup::Popular).width() + kSwatchGap;
    int width = QFontMetrics(TitleFont(m_font)).horizontalAdvance(lines.front());
    for (int i = 1; i < lines.size(); ++i)
        width = std::max(width, swatch + metrics.horizontalAdvance(lines[i]));
    const int height = static_cast<int>(lines.size()) * LinePitch() - kLineGap;
    resize(width + 2 * kMargin, height + 2 * kMargin);
}

void TStatusLegend::PaintTo(QPainter& painter)
{
    painter.save();
    const QRect whole(QPoint(0, 0), size());
    painter.fillRect(whole, m_backColor);
    painter.setPen(QPen(m_lineColor, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(whole.adjusted(0, 0, -1, -1));

    const QStringList lines = Lines();
    const int pitch = LinePitch();
    painter.setPen(m_textColor);
    painter.setFont(TitleFont(m_font));
    painter.drawText(QRect(kMargin, kMargin, width() - 2 * kMargin, pitch - kLineGap), Qt::AlignLeft | Qt::AlignVCenter,
                     lines.front());
    painter.setFont(m_font);
    for (const TStatusGroup group : kAllStatusGroups) {
        const QRect swatch = SwatchRect(group);
        painter.setPen(QPen(m_textColor, 1));
        painter.setBrush(StatusGroupColor(group));
        painter.drawRect(swatch.adjusted(0, 0, -1, -1));
        const int line = 1 + static_cast<int>(group);
        const int left = swatch.right() + 1 + kSwatchGap;
        painter.drawText(QRect(left, kMargin + line * pitch, width() - left - kMargin, pitch - kLineGap),
                         Qt::AlignLeft | Qt::AlignVCenter, lines[line]);
    }
    painter.restore();
}

void TStatusLegend::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PaintTo(painter);
}
