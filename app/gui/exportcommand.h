#pragma once

// `tremlow export PROJECT.soi --investigation ID --view NAME [--kind 1|2|3] [--status-colours] -o OUT`:
// draws one view of an investigation into a picture file without a display and exits.
// Exit code 0 written, 1 failed (the reason on stderr), 2 bad usage.
int RunExport(int argc, char** argv);
