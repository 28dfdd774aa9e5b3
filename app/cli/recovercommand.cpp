// tremlow-cli recover: puts back the project that an interrupted save kept in a recovery copy.
#include <iostream>
#include <memory>
#include <string>

#include "cli/commands.h"
#include "i18n/storemessages.h"
#include "store/projectlock.h"
#include "util/safefile.h"

namespace {

struct TRecoverOptions {
    std::string file;
    bool discard = false;
};

int Recover(const TRecoverOptions& options)
{
    TProjectLock lock;
    if (!CliLockProject(lock, options.file))
        return 1;
    const std::string copy = RecoveryCopyOf(options.file);
    if (copy.empty()) {
        std::cerr << "tremlow-cli: "
                  << CliCatalogueText("CLI_NO_RECOVERY_COPY", "%1: there is no recovery copy of this project",
                                      {options.file})
                  << '\n';
        return 1;
    }
    if (options.discard) {
        DiscardRecoveryCopy(options.file);
        std::cout << CliCatalogueText("CLI_RECOVERY_COPY_REMOVED", "%1: the recovery copy %2 was removed",
                                      {options.file, copy})
                  << '\n';
        return 0;
    }
    std::string error;
    if (!RestoreRecoveryCopy(options.file, error)) {
        std::cerr << "tremlow-cli: "
                  << CliCatalogueText("CLI_RECOVERY_FAILED", "%1: %2; the recovery copy stays in %3",
                                      {options.file, error, copy})
                  << '\n';
        return 1;
    }
    std::cout << CliCatalogueText("CLI_RESTORED", "%1: restored from the recovery copy %2", {options.file, copy})
              << '\n';
    return 0;
}

void DeclareRecover(CLI::App& command)
{
    auto options = std::make_shared<TRecoverOptions>();
    command.add_option("FILE", options->file, "project file (.soi)")->required();
    command.add_flag("--discard", options->discard, "remove the recovery copy instead of restoring it");
    CliAction(command, [options] { return Recover(*options); });
}

const TCliRegistrar g_recover({"recover",
                               "put back the project as it was before an interrupted save, from the recovery "
                               "copy that save kept (the file is replaced)",
                               DeclareRecover});

} // namespace
