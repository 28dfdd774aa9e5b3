// tremlow-cli resave: loads a project file and writes it under another name.
#include <iostream>
#include <memory>
#include <string>

#include "cli/commands.h"
#include "i18n/storemessages.h"
#include "store/fileacc.h"

namespace {

struct TResaveOptions {
    std::string file;
    std::string out;
};

int Resave(const TResaveOptions& options)
{
    TFileAccess store(options.file);
    if (!CliLoadProject(store))
        return 1;
    store.SetFileName(options.out);
    if (!store.Save()) {
        ReportStoreError(store.LastError());
        return 1;
    }
    if (store.SavedAsUtf8())
        std::cerr << "tremlow-cli: " << SavedAsUtf8Text() << '\n';
    return 0;
}

void DeclareResave(CLI::App& command)
{
    auto options = std::make_shared<TResaveOptions>();
    command.add_option("FILE", options->file, "project file (.soi)")->required();
    command.add_option("OUT", options->out, "file to write the project to")->required();
    CliAction(command, [options] { return Resave(*options); });
}

const TCliRegistrar g_resave({"resave", "load a project file and save it as OUT", DeclareResave});

} // namespace
