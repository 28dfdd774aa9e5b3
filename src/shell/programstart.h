#pragma once

#include <QString>

// Runs the whole program: catalogue, splash, settings, main window, message loop, settings saved.
// Returns the process exit code.
int RunTremlow(int argc, char** argv);

// The project file a command-line argument names: the argument trimmed, or the local file of a
// "file:" address (as desktops and file managers may pass it, with %20 and %-encoded UTF-8 letters).
QString ProjectPathFromArgument(const QString& argument);
