// tremlow-cli check: loads a project file and prints the size of each table.
#include <iostream>
#include <memory>
#include <string>

#include "cli/commands.h"
#include "store/fileacc.h"

namespace {

int Check(const std::string& file)
{
    TFileAccess store(file);
    if (!CliLoadProject(store))
        return 1;
    std::cout << "CLIENT_GROUPS " << store.ClientGroups().Count() << '\n'
              << "CLIENTS " << store.Clients().Count() << '\n'
              << "CRITERY_GROUPS " << store.CriteriaGroups().Count() << '\n'
              << "CRITERIES " << store.Criteria().Count() << '\n'
              << "INVESTS " << store.Investigations().Count() << '\n'
              << "FOR " << store.ForChoices().Count() << '\n'
              << "AGAINST " << store.AgainstChoices().Count() << '\n'
              << "GRAPH " << store.Placements().Count() << '\n'
              << "USERS " << store.Users().Count() << '\n'
              << "IS_AUTHOR " << (store.LoginRequired() ? 1 : 0) << '\n';
    return 0;
}

void DeclareCheck(CLI::App& command)
{
    auto file = std::make_shared<std::string>();
    command.add_option("FILE", *file, "project file (.soi)")->required();
    CliAction(command, [file] { return Check(*file); });
}

const TCliRegistrar g_check({"check",
                             "load a project file and print the record count of each table and the "
                             "login flag (IS_AUTHOR)",
                             DeclareCheck});

} // namespace
