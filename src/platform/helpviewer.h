#pragma once

#include <QString>

#include "platform/helptopics.h"

class QWidget;

// Opens the in-application help window (one window, reused) on the page of a help topic.
void ShowHelpTopic(THelpTopic topic);

// The page shown for a topic: DataDir()/help/<topic>.html, or the contents page
// help/index.html when the topic has no page of its own.
QString HelpPagePath(THelpTopic topic);

// The help window while it exists (nullptr before the first ShowHelpTopic).
QWidget* HelpWindow();
