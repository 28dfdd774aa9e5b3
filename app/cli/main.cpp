// tremlow-cli: headless tools on Tremlow's core (checking, converting and analysing project files).
#include <algorithm>
#include <iostream>
#include <memory>

#include <unistd.h>

#include "cli/commands.h"
#include "settings/langconv.h"
#include "store/fileacc.h"

std::vector<TCliCommand>& CliCommands()
{
    static std::vector<TCliCommand> commands;
    return commands;
}

int CliUsageError(const TCliCommand& command)
{
    std::cerr << "usage: tremlow-cli " << command.name << ' ' << command.usage << '\n';
    return 2;
}

namespace {

void InstallCatalogue()
{
    if (HasLangConv())
        return;
    std::string exe(4096, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", exe.data(), exe.size());
    if (n <= 0)
        return;
    exe.resize(static_cast<std::size_t>(n));
    const std::size_t slash = exe.rfind('/');
    if (slash == std::string::npos)
        return;
    SetExecutableDir(slash == 0 ? "/" : exe.substr(0, slash));
    try {
        SetLangConv(std::make_unique<TDlgLangConverter>(LanguageFilePath()));
    } catch (const std::exception&) {
        // No catalogue: the store reports failures with its built-in English text.
    }
}

} // namespace

bool CliLoadProject(TFileAccess& store)
{
    InstallCatalogue();
    return store.Load();
}

namespace {

void PrintHelp(std::ostream& out)
{
    out << "Tremlow " << TREMLOW_VERSION << " command-line tools\n\n"
        << "usage: tremlow-cli COMMAND [ARGUMENTS]\n\ncommands:\n";
    auto commands = CliCommands();
    std::sort(commands.begin(), commands.end(),
              [](const TCliCommand& a, const TCliCommand& b) { return a.name < b.name; });
    for (const TCliCommand& c : commands)
        out << "  " << c.name << ' ' << c.usage << "\n      " << c.summary << '\n';
    out << "  --help\n      show this help\n  --version\n      show the version\n";
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        PrintHelp(std::cerr);
        return 2;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        PrintHelp(std::cout);
        return 0;
    }
    if (args[0] == "--version") {
        std::cout << "tremlow-cli " << TREMLOW_VERSION << '\n';
        return 0;
    }
    for (const TCliCommand& c : CliCommands()) {
        if (c.name == args[0])
            return c.run(std::vector<std::string>(args.begin() + 1, args.end()));
    }
    std::cerr << "tremlow-cli: unknown command '" << args[0] << "' (see tremlow-cli --help)\n";
    return 2;
}
