#pragma once

#include <QString>

// The order in which people expect names listed: by the user's language, letter case aside, and
// numbers inside names by their value ("Pupil 2" before "Pupil 10").
bool NameLess(const QString& a, const QString& b);
