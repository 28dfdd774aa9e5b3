// tremlow-cli upgrade: converts a project file of an older layout to the current one.
#include <iostream>
#include <memory>
#include <string>

#include "cli/commands.h"
#include "store/projectlock.h"
#include "store/updatefile.h"

namespace {

int Upgrade(const std::string& path)
{
    TProjectLock lock;
    if (!CliLockProject(lock, path))
        return 1;
    TUpdateFile update(path);
    switch (update.Layout()) {
    case TProjectLayout::Current:
        std::cout << CliCatalogueText("CLI_UPGRADE_CURRENT", "%1: current layout, nothing to convert", {path}) << '\n';
        return 0;
    case TProjectLayout::NotProject:
        std::cerr << "tremlow-cli: "
                  << CliCatalogueText(
                         "CLI_UPGRADE_NOT_PROJECT",
                         "%1: not a whole project file (unreadable, not a project or truncated); not converted", {path})
                  << '\n';
        return 1;
    case TProjectLayout::Older:
        break;
    }
    std::string error;
    if (!update.Convert(error)) {
        std::cerr << "tremlow-cli: "
                  << CliCatalogueText("CLI_UPGRADE_FAILED", "%1: %2; the file is left as it was", {path, error}) << '\n';
        return 1;
    }
    for (const std::string& change : update.Changes())
        std::cout << path << ": " << change << '\n';
    std::cout << CliCatalogueText("CLI_UPGRADE_BACKUP", "%1: the original is kept as %2", {path, update.BackupName()})
              << '\n';
    return 0;
}

void DeclareUpgrade(CLI::App& command)
{
    auto file = std::make_shared<std::string>();
    command.add_option("FILE", *file, "project file (.soi)")->required();
    CliAction(command, [file] { return Upgrade(*file); });
}

const TCliRegistrar g_upgrade({"upgrade",
                               "convert a project file of an older layout to the current one, keeping the "
                               "original as FILE.bak (FILE.1.bak, ... when that exists); a current file is left untouched",
                               DeclareUpgrade});

} // namespace
