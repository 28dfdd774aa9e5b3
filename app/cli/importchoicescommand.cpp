// tremlow-cli import-choices: replaces an investigation's choices by those of an edge list or matrix (CSV).
#include <iostream>
#include <memory>
#include <string>

#include "cli/commands.h"
#include "cli/exchangesupport.h"
#include "exchange/choicesimport.h"
#include "i18n/storemessages.h"
#include "store/fileacc.h"
#include "store/projectlock.h"

namespace {

struct TImportChoicesOptions {
    std::string file;
    std::string investId;
    std::string choices;
    bool skipRefused = false;
    bool dryRun = false;
    bool allowEmpty = false;
};

int ImportChoices(const TImportChoicesOptions& options)
{
    TProjectLock lock;
    if (!CliLockProject(lock, options.file))
        return 1;
    TFileAccess store(options.file);
    if (!CliLoadProject(store))
        return 1;
    const int32_t investId = CliIdentifierValue(options.investId);
    if (!CliInvestigationExists(store, options.file, investId))
        return 1;
    const TChoicesPlan plan = PlanChoicesImportFile(store, investId, options.choices);
    if (!plan.Failure.empty()) {
        std::cerr << options.choices << ": " << plan.Failure << '\n';
        return 1;
    }
    CliPrintRefusals(options.choices, plan.Refused);
    const std::string layout = plan.Layout == TChoicesLayout::Matrix
                                   ? CliCatalogueText("CLI_LAYOUT_MATRIX", "matrix")
                                   : CliCatalogueText("CLI_LAYOUT_EDGE_LIST", "edge list");
    std::cout << CliCatalogueText("CLI_CHOICES_ADMITTED",
                                  "%1 (%2): %3 positive and %4 negative choices admitted, %5 refused",
                                  {options.choices, layout, std::to_string(plan.Positive.size()),
                                   std::to_string(plan.Negative.size()), std::to_string(plan.Refused.size())})
              << '\n';
    if (options.dryRun)
        return (plan.Refused.empty() || options.skipRefused) && (!plan.Empty || options.allowEmpty) ? 0 : 1;
    std::string error;
    if (!ApplyChoicesImport(store, investId, plan, options.skipRefused, error, options.allowEmpty)) {
        std::cerr << options.choices << ": " << error << '\n';
        return 1;
    }
    if (!CliSaveProject(store))
        return 1;
    return 0;
}

void DeclareImportChoices(CLI::App& command)
{
    auto options = std::make_shared<TImportChoicesOptions>();
    command.add_option("FILE", options->file, "project file (.soi), saved after the import")->required();
    command.add_option("INVEST_ID", options->investId, "identifier of the investigation")
        ->required()
        ->check(CliIdentifier());
    command.add_option("CHOICES", options->choices,
                       "CSV: an edge list (chooser, chosen, optional sign +/-) or a square matrix with names "
                       "in the first row and column (1 / -1 / empty), members by name or id")
        ->required();
    command.add_flag("--skip-refused", options->skipRefused,
                     "import the admitted choices even when some rows are refused");
    command.add_flag("--dry-run", options->dryRun, "check the file and report, change nothing");
    command.add_flag("--allow-empty", options->allowEmpty,
                     "accept a file without any choice, which clears the investigation's choices");
    CliAction(command, [options] { return ImportChoices(*options); });
}

const TCliRegistrar g_importChoices({"import-choices",
                                     "replace an investigation's choices by those of a CSV edge list or matrix; "
                                     "every row passes the choice rules",
                                     DeclareImportChoices});

} // namespace
