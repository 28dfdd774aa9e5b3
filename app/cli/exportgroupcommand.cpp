// tremlow-cli export-group: writes one client group of a project to a new client group file.
#include <iostream>
#include <memory>
#include <string>

#include "cli/commands.h"
#include "store/fileacc.h"
#include "store/groupfile.h"

namespace {

struct TExportOptions {
    std::string file;
    std::string groupId;
    std::string out;
};

int ExportGroup(const TExportOptions& options)
{
    TFileAccess store(options.file);
    if (!CliLoadProject(store))
        return 1;
    const int32_t groupId = CliIdentifierValue(options.groupId);
    TGroupFileData data;
    if (!GroupFromStore(store, groupId, data)) {
        std::cerr << "tremlow-cli: "
                  << CliCatalogueText("CLI_NO_CLIENT_GROUP", "%1: no client group with the Id %2",
                                      {options.file, std::to_string(groupId)})
                  << '\n';
        return 1;
    }
    std::string error;
    switch (WriteGroupFile(options.out, data, error)) {
    case TGroupFileResult::Ok:
        std::cout << CliCatalogueText("CLI_GROUP_WRITTEN", "client group %1 (%2) with %3 clients written to %4",
                                      {std::to_string(groupId), data.Name, std::to_string(data.Clients.size()),
                                       options.out})
                  << '\n';
        return 0;
    case TGroupFileResult::FileExists:
        std::cerr << "tremlow-cli: " << options.out << ": "
                  << CliCatalogueText("CLN_GROUP_FILE_EXIST", "the file exists already and is never overwritten")
                  << '\n';
        return 1;
    default:
        std::cerr << "tremlow-cli: " << options.out << ": " << error << '\n';
        return 1;
    }
}

void DeclareExportGroup(CLI::App& command)
{
    auto options = std::make_shared<TExportOptions>();
    command.add_option("FILE", options->file, "project file (.soi)")->required();
    command.add_option("GROUP_ID", options->groupId, "Id of the client group")->required()->check(CliIdentifier());
    command.add_option("OUT", options->out, "client group file to write (.sgr); it must not exist yet")->required();
    CliAction(command, [options] { return ExportGroup(*options); });
}

const TCliRegistrar g_exportGroup({"export-group", "write a client group of a project to a new client group file",
                                   DeclareExportGroup});

} // namespace
