#pragma once

#include <string>
#include <vector>

class TTempDir;

// What one run of tremlow-cli printed and how it ended.
struct TCliRun {
    int code = -1; // exit code, -1 when the program did not exit normally
    std::string out;
    std::string err;
};

// Runs the built tremlow-cli with the arguments (each passed as one word), capturing both
// streams in files of dir.
TCliRun RunCli(const TTempDir& dir, const std::vector<std::string>& args);
