#pragma once

#include <QtGlobal>

class QMessageLogContext;
class QString;

// Qt's remarks about the desktop session (no runtime folder on a headless machine) are not about
// a headless command's work; everything else still reaches stderr.
void QuietDesktopMessages(QtMsgType type, const QMessageLogContext& context, const QString& message);

// `tremlow export PROJECT.soi --investigation ID --view NAME [--kind 1|2|3] [--status-colours] -o OUT`:
// draws one view of an investigation into a picture file without a display and exits.
// Exit code 0 written, 1 failed (the reason on stderr), 2 bad usage.
int RunExport(int argc, char** argv);
