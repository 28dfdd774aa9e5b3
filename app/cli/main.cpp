// tremlow-cli: headless tools on Tremlow's core (checking, converting and analysing project files).
#include <algorithm>
#include <iostream>

#include "cli/commands.h"
#include "i18n/langconv.h"
#include "settings/regs.h"
#include "util/codepage.h"

int main(int argc, char** argv)
{
    RequestLanguage(TakeLanguageOption(argc, argv));
    // Usage errors are told in the chosen language too.
    CliInstallCatalogue();
    CLI::App program("Tremlow " TREMLOW_VERSION " command-line tools", "tremlow-cli");
    program.set_version_flag("--version", "tremlow-cli " TREMLOW_VERSION, "show the version");
    program.require_subcommand(1);
    program.footer("The command-line tools do not ask for the login of a project that requires one: anyone who "
                   "can read a project file can read it with them, so protect project files by their file "
                   "permissions.\n");
    // 8-bit project files are read in the code page of the settings unless one is given.
    TRegs::ApplyCodePageSetting();
    program
        .add_option_function<std::string>(
            "--codepage", [](const std::string& text) { SetFileCodePage(ParseCodePage(text)); },
            "8-bit code page of project and client group files that are not UTF-8, such as 1251 or 1252 "
            "(default: the setting, else 1251); such a project is written back in it")
        ->check(CLI::Validator(
            [](std::string& text) {
                return ParseCodePage(text)
                           ? std::string()
                           : CliCatalogueText("CLI_NOT_A_CODE_PAGE", "not an 8-bit code page: %1", {text});
            },
            "CODEPAGE"));

    // Taken out of the arguments above; declared here so that --help lists it.
    program.add_option("--language", "language of the messages and reports: en, ru (default: the setting, else "
                                     "the system's language when Tremlow has it, else en)");
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
        // A mistyped command is named, rather than reported as no command at all.
        if (program.get_subcommands().empty()) {
            const std::vector<std::string> rest = program.remaining();
            if (!rest.empty() && !rest.front().starts_with('-')) {
                std::cerr << "tremlow-cli: "
                          << CliCatalogueText("CLI_UNKNOWN_COMMAND", "unknown command: %1", {rest.front()}) << '\n'
                          << CliCatalogueText("CLI_SEE_HELP", "Run with %1 for the list of commands.", {"--help"}) << '\n';
                return 2;
            }
        }
        // Help and version end well; every other parse failure is bad usage.
        return program.exit(error) == 0 ? 0 : 2;
    }
    return CliExitCode();
}
