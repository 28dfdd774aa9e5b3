// tremlow-cli import-roster: creates a client group with its clients from a class list (CSV).
#include <iostream>
#include <memory>
#include <string>

#include "cli/commands.h"
#include "cli/exchangesupport.h"
#include "exchange/rosterimport.h"
#include "i18n/storemessages.h"
#include "store/fileacc.h"
#include "store/projectlock.h"

namespace {

struct TImportRosterOptions {
    std::string file;
    std::string list;
    std::string group;
    bool dryRun = false;
};

int ImportRoster(const TImportRosterOptions& options)
{
    TProjectLock lock;
    if (!CliLockProject(lock, options.file))
        return 1;
    TFileAccess store(options.file);
    if (!CliLoadProject(store))
        return 1;
    const TRosterPlan plan = PlanRosterImportFile(options.list, options.group);
    if (!plan.Failure.empty()) {
        std::cerr << options.list << ": " << plan.Failure << '\n';
        return 1;
    }
    for (const std::string& note : plan.Notes)
        std::cerr << options.list << ": " << note << '\n';
    if (!plan.Refused.empty()) {
        CliPrintRefusals(options.list, plan.Refused);
        std::cerr << CliCatalogueText("CLI_ROWS_REFUSED", "%1: rows refused: %2, so no client group was created.",
                                      {options.list, std::to_string(plan.Refused.size())})
                  << '\n';
        return 1;
    }
    if (options.dryRun) {
        std::cout << CliCatalogueText("CLI_GROUP_WOULD_BE_CREATED", "client group \"%1\" with %2 clients would be created",
                                      {plan.GroupName, std::to_string(plan.Clients.size())})
                  << '\n';
        return 0;
    }
    const int32_t groupId = ApplyRosterImport(store, plan);
    if (groupId < 0)
        return 1;
    if (!CliSaveProject(store))
        return 1;
    std::cout << CliCatalogueText("CLI_GROUP_CREATED", "client group %1 \"%2\" created with %3 clients",
                                  {std::to_string(groupId), plan.GroupName, std::to_string(plan.Clients.size())})
              << '\n';
    return 0;
}

void DeclareImportRoster(CLI::App& command)
{
    auto options = std::make_shared<TImportRosterOptions>();
    command.add_option("FILE", options->file, "project file (.soi), saved after the import")->required();
    command.add_option("LIST", options->list,
                       "class list (CSV with a header row: name or surname and given name, sex, birth date, "
                       "description)")
        ->required();
    command.add_option("--group", options->group, "name of the new client group (default: the list's file name)");
    command.add_flag("--dry-run", options->dryRun, "check the list and say what would be created, change nothing");
    CliAction(command, [options] { return ImportRoster(*options); });
}

const TCliRegistrar g_importRoster({"import-roster",
                                    "create a client group with its clients from a class list (CSV); all or "
                                    "nothing, every refused row is named",
                                    DeclareImportRoster});

} // namespace
