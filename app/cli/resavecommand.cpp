// tremlow-cli resave: loads a project file and writes it under another name.
#include <iostream>
#include <memory>
#include <string>

#include "cli/commands.h"
#include "i18n/storemessages.h"
#include "store/fileacc.h"
#include "store/projectlock.h"

namespace {

struct TResaveOptions {
    std::string file;
    std::string out;
};

int Resave(const TResaveOptions& options)
{
    TProjectLock lock;
    if (!CliLockProject(lock, options.out))
        return 1;
    TFileAccess store(options.file);
    if (!CliLoadProject(store))
        return 1;
    store.SetFileName(options.out);
    return CliSaveProject(store) ? 0 : 1;
}

void DeclareResave(CLI::App& command)
{
    auto options = std::make_shared<TResaveOptions>();
    command.add_option("FILE", options->file, "project file (.soi)")->required();
    command.add_option("OUT", options->out, "file to write the project to; an existing file is replaced")->required();
    CliAction(command, [options] { return Resave(*options); });
}

const TCliRegistrar g_resave({"resave", "load a project file and save it as OUT", DeclareResave});

} // namespace
