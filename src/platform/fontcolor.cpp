#include "platform/fontcolor.h"

#include <cmath>

#include <QGuiApplication>

#include "util/text.h"

namespace {

constexpr uint32_t kSystemColorFlag = 0x80000000;
constexpr uint8_t kCyrillicCharset = 204;

}  // namespace

QPalette::ColorRole SystemColorRole(int index)
{
    // Indexes are the classic desktop system colour numbers.
    switch (index) {
    case 0: return QPalette::Mid;              // scroll bar
    case 1: return QPalette::Dark;             // desktop
    case 2: return QPalette::Highlight;        // active caption
    case 3: return QPalette::Mid;              // inactive caption
    case 4: return QPalette::Window;           // menu
    case 5: return QPalette::Base;             // window background
    case 6: return QPalette::Shadow;           // window frame
    case 7: return QPalette::WindowText;       // menu text
    case 8: return QPalette::WindowText;       // window text
    case 9: return QPalette::HighlightedText;  // caption text
    case 10: return QPalette::Button;          // active border
    case 11: return QPalette::Button;          // inactive border
    case 12: return QPalette::Dark;            // application workspace
    case 13: return QPalette::Highlight;       // highlight
    case 14: return QPalette::HighlightedText; // highlighted text
    case 15: return QPalette::Button;          // button face
    case 16: return QPalette::Dark;            // button shadow
    case 17: return QPalette::PlaceholderText; // grey text
    case 18: return QPalette::ButtonText;      // button text
    case 19: return QPalette::WindowText;      // inactive caption text
    case 20: return QPalette::Light;           // button highlight
    case 21: return QPalette::Shadow;          // 3D dark shadow
    case 22: return QPalette::Midlight;        // 3D light
    case 23: return QPalette::ToolTipText;     // info text
    case 24: return QPalette::ToolTipBase;     // info background
    case 26: return QPalette::Link;            // hot-tracked item
    case 27: return QPalette::Highlight;       // active caption gradient
    case 28: return QPalette::Mid;             // inactive caption gradient
    case 29: return QPalette::Highlight;       // menu highlight
    case 30: return QPalette::Window;          // menu bar
    default: return QPalette::Window;
    }
}

QColor ToQColor(uint32_t color)
{
    if (color & kSystemColorFlag) {
        uint32_t index = color & ~kSystemColorFlag;
        int role = index <= 30 ? static_cast<int>(index) : -1;
        return QGuiApplication::palette().color(SystemColorRole(role));
    }
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}

uint32_t FromQColor(const QColor& color)
{
    if (!color.isValid())
        return 0;
    QColor rgb = color.toRgb();
    return static_cast<uint32_t>(rgb.red()) | (static_cast<uint32_t>(rgb.green()) << 8) |
           (static_cast<uint32_t>(rgb.blue()) << 16);
}

void ApplyFont(const TFontRecord& record, QFont& font, QColor& color)
{
    color = ToQColor(record.Color);
    font.setFamily(QString::fromStdString(record.Name));
    // A negative size is a height in pixels; zero leaves the size alone.
    if (record.Size > 0)
        font.setPointSize(record.Size);
    else if (record.Size < 0)
        font.setPixelSize(-record.Size);
    font.setBold(record.Bold);
    font.setItalic(record.Italic);
    font.setUnderline(record.Underline);
    font.setStrikeOut(record.Strikeout);
}

void StoreFont(const QFont& font, const QColor& color, TFontRecord& record)
{
    record.Color = FromQColor(color);
    record.Name = CutChars(font.family().toStdString());
    if (font.pointSizeF() > 0)
        record.Size = static_cast<int>(std::lround(font.pointSizeF()));
    else if (font.pixelSize() > 0)
        record.Size = -font.pixelSize();
    // Qt fonts carry no character set: keep the record's own.
    if (record.Charset == 0)
        record.Charset = kCyrillicCharset;
    record.Bold = font.bold();
    record.Italic = font.italic();
    record.Underline = font.underline();
    record.Strikeout = font.strikeOut();
}
