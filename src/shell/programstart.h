#pragma once

// Runs the whole program: catalogue, splash, settings, main window, message loop, settings saved.
// Returns the process exit code.
int RunTremlow(int argc, char** argv);
