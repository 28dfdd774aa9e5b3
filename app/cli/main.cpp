// tremlow-cli: headless tools on Tremlow's core (checking, converting and analysing project files).
#include <algorithm>
#include <iostream>

#include "cli/commands.h"
#include "i18n/langconv.h"
#include "settings/regs.h"
#include "util/codepage.h"

namespace {

// The parser's complaints in the chosen language where their wording is known (a missing or an
// unexpected argument); any other keeps the parser's English. The hint to --help follows.
std::string UsageFailure(const CLI::App* app, const CLI::Error& error)
{
    std::string text = error.what();
    const std::string required = " is required";
    const std::string unexpected[] = {"The following argument was not expected: ",
                                      "The following arguments were not expected: "};
    if (error.get_name() == "RequiredError" && text.ends_with(required) &&
        text.find(' ') == text.size() - required.size()) {
        text = CliCatalogueText("CLI_ARGUMENT_REQUIRED", "%1 is required",
                                {std::string_view(text).substr(0, text.size() - required.size())});
    } else if (text.starts_with(unexpected[0])) {
        text = CliCatalogueText("CLI_ARGUMENT_NOT_EXPECTED", "The following argument was not expected: %1",
                                {std::string_view(text).substr(unexpected[0].size())});
    } else if (text.starts_with(unexpected[1])) {
        text = CliCatalogueText("CLI_ARGUMENTS_NOT_EXPECTED", "The following arguments were not expected: %1",
                                {std::string_view(text).substr(unexpected[1].size())});
    }
    text += '\n';
    if (const CLI::Option* help = app->get_help_ptr())
        text += CliCatalogueText("CLI_MORE_HELP", "Run with %1 for more information.", {help->get_name()}) + '\n';
    return text;
}

} // namespace

int main(int argc, char** argv)
{
    RequestLanguage(TakeLanguageOption(argc, argv));
    // Usage errors are told in the chosen language too.
    CliInstallCatalogue();
    CLI::App program("Tremlow " TREMLOW_VERSION " command-line tools", "tremlow-cli");
    program.set_version_flag("--version", "tremlow-cli " TREMLOW_VERSION, "show the version");
    program.require_subcommand(1);
    program.failure_message(UsageFailure);
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
