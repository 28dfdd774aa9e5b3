#pragma once

#include <string>

// Qt's own texts (standard buttons, the file dialog, context menus of edits) in the chosen
// language: loads Qt's translation of the language code from Qt's translations folder.
// Returns false for English and for a language Qt has no translation of on this system.
bool InstallQtTranslation(const std::string& code);
