#pragma once

#include <cstdint>

#include <QColor>
#include <QFont>
#include <QPalette>

#include "settings/regs.h"

// Conversions between the stored font and colour settings and Qt's font and colour types.

// Sets face, size and style of the font and the colour from the record.
void ApplyFont(const TFontRecord& record, QFont& font, QColor& color);
// Fills the record from the font and colour; the character set is kept (204 when unset).
void StoreFont(const QFont& font, const QColor& color, TFontRecord& record);

// A stored colour (0x00BBGGRR, or 0x80000000 + system colour index) as a QColor;
// system colours come from the application palette.
QColor ToQColor(uint32_t color);
// A QColor as a plain stored colour 0x00BBGGRR.
uint32_t FromQColor(const QColor& color);

// The palette role standing in for a system colour index (0..30).
QPalette::ColorRole SystemColorRole(int index);
