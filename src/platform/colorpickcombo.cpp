#include "platform/colorpickcombo.h"

#include <array>

#include <QPainter>
#include <QPixmap>

#include "i18n/langconv.h"
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

// A basic colour by its name in the language file; any other colour as a custom one (its code is
// its hint), or by its hexadecimal code where the language file has no word for either.
QString ColorName(const QColor& color, const char* key)
{
    if (key && HasLangConv() && LangConv().HasText(key))
        return QString::fromStdString(LangConv().GetText(key));
    return color.name().toUpper();
}

}  // namespace

TColorPickCombo::TColorPickCombo(QWidget* parent) : QComboBox(parent)
{
    struct TNamedColor {
        QColor Color;
        const char* Key;
    };
    static const std::array<TNamedColor, 16> basic{{
        {QColor(0, 0, 0), "COLOR_BLACK"},        {QColor(128, 0, 0), "COLOR_MAROON"},
        {QColor(0, 128, 0), "COLOR_GREEN"},      {QColor(128, 128, 0), "COLOR_OLIVE"},
        {QColor(0, 0, 128), "COLOR_NAVY"},       {QColor(128, 0, 128), "COLOR_PURPLE"},
        {QColor(0, 128, 128), "COLOR_TEAL"},     {QColor(128, 128, 128), "COLOR_GREY"},
        {QColor(192, 192, 192), "COLOR_SILVER"}, {QColor(255, 0, 0), "COLOR_RED"},
        {QColor(0, 255, 0), "COLOR_LIME"},       {QColor(255, 255, 0), "COLOR_YELLOW"},
        {QColor(0, 0, 255), "COLOR_BLUE"},       {QColor(255, 0, 255), "COLOR_MAGENTA"},
        {QColor(0, 255, 255), "COLOR_CYAN"},     {QColor(255, 255, 255), "COLOR_WHITE"}}};
    for (const TNamedColor& named : basic)
        addItem(Swatch(named.Color), ColorName(named.Color, named.Key), named.Color);
    addItem(QStringLiteral("Other colours…"));
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
    insertItem(at, Swatch(color), ColorName(color, "COLOR_CUSTOM"), color);
    setItemData(at, color.name().toUpper(), Qt::ToolTipRole);
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
