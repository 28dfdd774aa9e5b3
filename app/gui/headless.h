#pragma once

#include <optional>
#include <string>

namespace CLI {
class App;
}
class TFileAccess;

// Parses the arguments after the command word; an exit code when the run ends here (help shown:
// 0, bad usage: 2), nothing when the command goes on.
std::optional<int> ParseHeadlessCommand(CLI::App& cli, int argc, char** argv);

// Finds the data folder beside the executable, chooses the language and installs its message
// catalogue. Without a catalogue the texts are their keys, which a command that only draws can
// live with; the reason is returned ("" when the catalogue is installed).
std::string InstallHeadlessCatalogue(const std::string& executableDir);

// Loads the project, and checks that it holds the investigation unless investId is negative;
// false after writing the reason to stderr under the command's name.
bool LoadHeadlessProject(TFileAccess& store, const std::string& command, const std::string& project, int investId);
