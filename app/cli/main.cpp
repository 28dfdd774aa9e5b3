// tremlow-cli: headless tools on Tremlow's core (checking, converting and analysing project files).
#include <algorithm>
#include <iostream>

#include "cli/commands.h"

int main(int argc, char** argv)
{
    CLI::App program("Tremlow " TREMLOW_VERSION " command-line tools", "tremlow-cli");
    program.set_version_flag("--version", "tremlow-cli " TREMLOW_VERSION, "show the version");
    program.require_subcommand(1);

    std::vector<TCliCommand> commands = CliCommands();
    std::sort(commands.begin(), commands.end(),
              [](const TCliCommand& a, const TCliCommand& b) { return a.name < b.name; });
    for (const TCliCommand& c : commands)
        c.declare(*program.add_subcommand(c.name, c.summary));

    if (argc <= 1) {
        std::cerr << program.help();
        return 2;
    }
    try {
        program.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        // Help and version end well; every other parse failure is bad usage.
        return program.exit(error) == 0 ? 0 : 2;
    }
    return CliExitCode();
}
