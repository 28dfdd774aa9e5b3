// tremlow-cli import-group: adds the client group of a client group file to a project.
#include <iostream>
#include <memory>
#include <string>

#include "cli/commands.h"
#include "i18n/storemessages.h"
#include "store/fileacc.h"
#include "store/projectlock.h"
#include "store/groupfile.h"

namespace {

struct TImportOptions {
    std::string file;
    std::string in;
};

int ImportGroup(const TImportOptions& options)
{
    TProjectLock lock;
    if (!CliLockProject(lock, options.file))
        return 1;
    TFileAccess store(options.file);
    if (!CliLoadProject(store))
        return 1;
    TGroupFileData data;
    switch (ReadGroupFile(options.in, data)) {
    case TGroupFileResult::Ok:
        break;
    case TGroupFileResult::FileNotExist:
        std::cerr << "tremlow-cli: " << options.in << ": "
                  << CliCatalogueText("CLN_GROUP_FILE_NOT_EXIST", "the file does not exist") << '\n';
        return 1;
    default:
        std::cerr << "tremlow-cli: " << options.in << ": "
                  << CliCatalogueText("CLIENT_GROUP_FILE_BAD", "not a valid client group file; nothing was imported")
                  << '\n';
        return 1;
    }
    for (const TGroupFileNote& note : data.Notes)
        std::cerr << options.in << ": " << GroupFileNoteText(note) << '\n';
    const int32_t groupId = AddGroupToStore(store, data);
    if (!CliSaveProject(store))
        return 1;
    std::cout << CliCatalogueText("CLI_GROUP_ADDED", "client group %1 (%2) with %3 clients added to %4",
                                  {std::to_string(groupId), data.Name, std::to_string(data.Clients.size()),
                                   options.file})
              << '\n';
    return 0;
}

void DeclareImportGroup(CLI::App& command)
{
    auto options = std::make_shared<TImportOptions>();
    command.add_option("FILE", options->file, "project file (.soi), saved with the group added")->required();
    command.add_option("IN", options->in, "client group file (.sgr)")->required();
    CliAction(command, [options] { return ImportGroup(*options); });
}

const TCliRegistrar g_importGroup({"import-group",
                                   "add the client group of a client group file to a project, with new Ids, "
                                   "and save the project",
                                   DeclareImportGroup});

} // namespace
