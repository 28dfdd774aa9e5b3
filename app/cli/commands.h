#pragma once

#include <functional>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

class TFileAccess;
class TProjectLock;

// One subcommand of tremlow-cli: its name, the one line shown in the program's help, and the
// function that declares its arguments (with their help texts) and its action on the parser.
struct TCliCommand {
    std::string name;
    std::string summary;
    std::function<void(CLI::App& command)> declare;
};

// Subcommands register themselves from their own source file with a static TCliRegistrar;
// the program offers them in name order.
std::vector<TCliCommand>& CliCommands();

struct TCliRegistrar {
    explicit TCliRegistrar(TCliCommand command) { CliCommands().push_back(std::move(command)); }
};

// Makes run the action of the subcommand. What it returns is the program's exit code:
// 0 success, 1 the operation failed. Bad usage never reaches it, the parser exits with 2.
void CliAction(CLI::App& command, std::function<int()> run);

// The exit code the action of the parsed subcommand returned (for main).
int& CliExitCode();

// Checks that an argument is a decimal signed 32-bit number (an object identifier).
const CLI::Validator& CliIdentifier();
// The value of an argument that passed CliIdentifier.
int32_t CliIdentifierValue(const std::string& text);
// Checks that an output file name ends in .csv or .xlsx (any letter case), the two table formats.
const CLI::Validator& CliTableFile();

// Installs the message catalogue of the chosen language from the data folder of the executable
// (once); without one, messages keep their built-in English.
void CliInstallCatalogue();

// The message catalogue's text of key (installed from beside the executable first), or fallback
// when there is no catalogue or no such key.
std::string CliCatalogueText(const char* key, const char* fallback);
// The same with %1, %2, ... replaced by args in turn (every occurrence).
std::string CliCatalogueText(const char* key, const char* fallback, std::initializer_list<std::string_view> args);

// Loads a project file for a command. The message catalogue beside the executable is installed
// first, so a failure prints the application's own text on stderr (a fixed English text without it).
// A file that does not exist is named as such; a recovery copy of an interrupted save is noted.
bool CliLoadProject(TFileAccess& store);

// Saves a project a command changed: false with the reason on stderr; a project that had to
// change from its 8-bit code page to UTF-8 is noted on stderr.
bool CliSaveProject(TFileAccess& store);

// Takes the project's lock before a command that changes it loads it: false with the holder on
// stderr when another program holds it; a stale lock taken over is noted on stderr.
bool CliLockProject(TProjectLock& lock, const std::string& file);

// Refuses (on stderr) an output that is the input file itself, whatever name leads to it.
bool CliOutputIsNotInput(const std::string& input, const std::string& output);
