#pragma once

// `tremlow report PROJECT.soi --kind KIND --id ID [--group ID] --format text|html|word|pdf -o OUT`:
// writes a report or a blank without a display and exits; KIND is client, client-group,
// criterion, criteria-group, investigation, sociocard or sociomatrix. Unlike tremlow-cli it can
// write PDF, which is laid out by Qt. Exit code 0 written, 1 failed (the reason on stderr), 2 bad usage.
int RunReport(int argc, char** argv);
