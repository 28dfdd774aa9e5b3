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
        std::cout << path << ": current layout, nothing to convert\n";
        return 0;
    case TProjectLayout::NotProject:
        std::cerr << "tremlow-cli: " << path
                  << ": not a whole project file (unreadable, not a project or truncated); not converted\n";
        return 1;
    case TProjectLayout::Older:
        break;
    }
    std::string error;
    if (!update.Convert(error)) {
        std::cerr << "tremlow-cli: " << path << ": " << error << "; the file is left as it was\n";
        return 1;
    }
    for (const std::string& change : update.Changes())
        std::cout << path << ": " << change << '\n';
    std::cout << path << ": the original is kept as " << update.BackupName() << '\n';
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
