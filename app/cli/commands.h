#pragma once

#include <functional>
#include <string>
#include <vector>

// One sub-command of tremlow-cli: its name, a usage line and the function that runs it
// with the arguments after the name. The function returns the exit code
// (0 success, 1 the operation failed, 2 bad usage).
struct TCliCommand {
    std::string name;
    std::string usage;
    std::string summary;
    std::function<int(const std::vector<std::string>&)> run;
};

// Commands register themselves from their own source file with a static TCliRegistrar.
std::vector<TCliCommand>& CliCommands();

struct TCliRegistrar {
    explicit TCliRegistrar(TCliCommand command) { CliCommands().push_back(std::move(command)); }
};

// Prints "usage: tremlow-cli <usage>" to stderr and returns 2.
int CliUsageError(const TCliCommand& command);

class TFileAccess;

// Loads a project file for a command. The message catalogue beside the executable is installed
// first, so a failure prints the application's own text on stderr (a fixed English text without it).
bool CliLoadProject(TFileAccess& store);
