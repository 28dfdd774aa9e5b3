#pragma once

#include <QString>

class QWidget;

// The catalogue text of a message key as a QString; throws TAppError for an unknown key. The one
// way the windows ask the message catalogue, so that every key they use can be found.
QString CatalogueText(const char* key);

// Translates a window from its section of the language file: the caption and hint of the window
// and of every control, menu and action it owns, each looked up by objectName. Windows call it at
// the end of their constructor, after every objectName is set.
class TLanguageController final {
public:
    // Section = the window's objectName up to its first "_". A missing key shows
    // "!!!---not defined---!!!"; a key with an empty value gives an empty text. Edit boxes keep
    // their contents (only their hint is set). Child windows (dialogs) are left to translate
    // themselves. The language file is read once per call.
    static void Translate(QWidget& window);

    // The text shown in place of a caption or hint whose key is missing.
    static const char* NotDefinedText();
};
