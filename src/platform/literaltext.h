#pragma once

#include <QString>

// Names the user typed (members, groups, investigations, files) shown exactly as typed. Qt reads
// some texts as markup: a tooltip that looks like HTML is rendered, "&" in a caption marks a
// mnemonic and "[*]" in a window title marks unsaved changes. These turn such a name back into text
// that shows literally; labels and message boxes take Qt::PlainText instead.

// A tooltip showing the text as written, markup and all.
QString LiteralToolTip(const QString& text);
// A menu item, tab or button caption in which "&" shows as itself.
QString LiteralCaption(const QString& text);
// A part of a window title in which "[*]" shows as itself.
QString LiteralTitle(const QString& text);
