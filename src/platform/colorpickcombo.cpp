#include "platform/colorpickcombo.h"

#include <array>

#include <QPainter>
#include <QPixmap>

#include "platform/modalseam.h"

namespace {

constexpr int kColorRole = Qt::UserRole + 1;

QIcon Swatch(const QColor& color)
{
    QPixmap pixmap(16, 12);
    pixmap.fill(color);
    QPainter painter(&pixmap);
    painter.setPen(Qt::gray);
    painter.drawRect(0, 0, pixmap.width() - 1, pixmap.height() - 1);
    return QIcon(pixmap);
}

}  // namespace

TColorPickCombo::TColorPickCombo(QWidget* parent) : QComboBox(parent)
{
    static const std::array<QColor, 16> basic{
        QColor(0, 0, 0),       QColor(128, 0, 0),   QColor(0, 128, 0),   QColor(128, 128, 0),
        QColor(0, 0, 128),     QColor(128, 0, 128), QColor(0, 128, 128), QColor(128, 128, 128),
        QColor(192, 192, 192), QColor(255, 0, 0),   QColor(0, 255, 0),   QColor(255, 255, 0),
        QColor(0, 0, 255),     QColor(255, 0, 255), QColor(0, 255, 255), QColor(255, 255, 255)};
    for (const QColor& color : basic)
        addItem(Swatch(color), color.name().toUpper(), color);
    addItem(QStringLiteral("&Other colors..."));
    setMaxVisibleItems(20);
    connect(this, &QComboBox::activated, this, &TColorPickCombo::Activated);
}

void TColorPickCombo::SetOtherText(const QString& text)
{
    setItemText(count() - 1, text);
}

int TColorPickCombo::IndexOf(const QColor& color)
{
    for (int i = 0; i + 1 < count(); ++i) {
        if (itemData(i).value<QColor>().rgb() == color.rgb())
            return i;
    }
    const int at = count() - 1;
    insertItem(at, Swatch(color), color.name().toUpper(), color);
    return at;
}

void TColorPickCombo::SetColor(const QColor& color)
{
    m_color = color;
    const QSignalBlocker block(this);
    setCurrentIndex(IndexOf(color));
}

void TColorPickCombo::Activated(int index)
{
    QColor picked;
    if (index == count() - 1) {
        picked = Modal().PickColor(this, m_color);
        if (!picked.isValid()) {
            SetColor(m_color);
            return;
        }
    } else {
        picked = itemData(index).value<QColor>();
    }
    SetColor(picked);
    Q_EMIT ColorPicked(picked);
}
