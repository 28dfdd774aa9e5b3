#pragma once

// `tremlow collect PROJECT.soi --investigation ID [--listen ADDRESS] [--port N] [--codes-out CODES.csv]
// [--until-all|--for MINUTES] [--keep-existing]`: collects the pupils' answers over the network
// without a display, takes them into the investigation and saves the project.
// Exit code 0 saved (or nothing to save), 1 failed (the reason on stderr), 2 bad usage.
int RunCollect(int argc, char** argv);
