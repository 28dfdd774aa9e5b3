#include "platform/fontcolor.h"

#include <QApplication>
#include <QPalette>

#include <gtest/gtest.h>

namespace {

// Replaces the application palette for one test and puts the old one back.
class TPaletteScope final {
public:
    explicit TPaletteScope(const QPalette& palette) : m_old(QApplication::palette())
    {
        QApplication::setPalette(palette);
    }
    ~TPaletteScope() { QApplication::setPalette(m_old); }

private:
    QPalette m_old;
};

}  // namespace

TEST(PlatformFontColor, PlainColoursAreBlueGreenRed)
{
    EXPECT_EQ(ToQColor(0x0000FF), QColor(255, 0, 0));
    EXPECT_EQ(ToQColor(0xFF0000), QColor(0, 0, 255));
    EXPECT_EQ(ToQColor(0xC08080), QColor(0x80, 0x80, 0xC0));
    EXPECT_EQ(FromQColor(QColor(0x12, 0x34, 0x56)), 0x563412u);
    EXPECT_EQ(FromQColor(QColor::fromHsv(120, 255, 255)), 0x00FF00u);
    EXPECT_EQ(FromQColor(QColor()), 0u);
    for (uint32_t c : {0x000000u, 0xFFFFFFu, 0x00FFFFu, 0xA1B2C3u})
        EXPECT_EQ(FromQColor(ToQColor(c)), c);
}

TEST(PlatformFontColor, SystemColoursFollowTheApplicationPalette)
{
    QPalette palette;
    const struct {
        uint32_t stored;
        QPalette::ColorRole role;
        QColor color;
    } cases[] = {
        {0x80000005, QPalette::Base, QColor(1, 2, 3)},
        {0x8000000F, QPalette::Button, QColor(4, 5, 6)},
        {0x8000000D, QPalette::Highlight, QColor(7, 8, 9)},
        {0x8000000E, QPalette::HighlightedText, QColor(10, 11, 12)},
        {0x80000008, QPalette::WindowText, QColor(13, 14, 15)},
        {0x80000012, QPalette::ButtonText, QColor(16, 17, 18)},
        {0x80000018, QPalette::ToolTipBase, QColor(19, 20, 21)},
    };
    for (const auto& c : cases)
        palette.setColor(c.role, c.color);
    TPaletteScope scope(palette);
    for (const auto& c : cases)
        EXPECT_EQ(ToQColor(c.stored), c.color) << std::hex << c.stored;
    // Every standard index resolves to some palette colour; unknown ones do not crash.
    for (uint32_t i = 0; i <= 40; ++i)
        EXPECT_TRUE(ToQColor(0x80000000 + i).isValid()) << i;
}

TEST(PlatformFontColor, FontsRoundTripThroughQt)
{
    const TFontRecord record{0x336699, "DejaVu Serif", 14, 161, true, false, true, true};
    QFont font;
    QColor color;
    ApplyFont(record, font, color);
    EXPECT_EQ(font.family(), "DejaVu Serif");
    EXPECT_EQ(font.pointSize(), 14);
    EXPECT_TRUE(font.bold());
    EXPECT_FALSE(font.italic());
    EXPECT_EQ(color, QColor(0x99, 0x66, 0x33));

    TFontRecord back;
    back.Charset = 161;
    StoreFont(font, color, back);
    EXPECT_EQ(back, record);

    // Qt has no character set: a record without one gets the Cyrillic set.
    TFontRecord fresh;
    StoreFont(font, color, fresh);
    EXPECT_EQ(fresh.Charset, 204);

    // A style-less record clears the style of a bold font.
    ApplyFont({0, "Arial", 10, 204, false, false, false, false}, font, color);
    EXPECT_FALSE(font.bold() || font.underline() || font.strikeOut());
}
