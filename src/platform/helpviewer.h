#pragma once

#include <QString>

class QWidget;

// Opens the in-application help window (one window, reused) on the page of a help topic.
void ShowHelpTopic(int topic);

// The page shown for a topic: DataDir()/help/<topic>.html, or the contents page
// help/index.html when the topic has no page of its own.
QString HelpPagePath(int topic);

// The help window while it exists (nullptr before the first ShowHelpTopic).
QWidget* HelpWindow();
