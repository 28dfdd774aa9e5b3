#include "cli/exchangesupport.h"

#include <iostream>

#include "analysis/investigationobj.h"
#include "cli/commands.h"
#include "settings/regs.h"
#include "store/fileacc.h"
#include "util/error.h"

TStatusThresholds CliStatusThresholds()
{
    TRegs settings;
    settings.Load();
    return StatusThresholdsFromHundredths(settings.Status.ExtremeThreshold, settings.Status.AverageThreshold);
}

bool CliInvestigationExists(TFileAccess& store, const std::string& file, int32_t investId)
{
    if (store.Investigations().FindById(investId))
        return true;
    std::cerr << CliCatalogueText("CLI_NO_INVESTIGATION", "%1: no investigation has the identifier %2",
                                  {file, std::to_string(investId)})
              << '\n';
    return false;
}

void CliPrintRefusals(const std::string& file, const std::vector<TRefusedRow>& refused)
{
    for (const TRefusedRow& row : refused)
        std::cerr << file << ':' << row.Line << ": " << row.Excerpt << ": " << row.Reason << '\n';
}

int CliExportInvestigation(
    const std::string& file, const std::string& investIdText, const std::string& out,
    const std::function<bool(TFileAccess& store, const TInvestigationObject& model, std::string& error)>& write)
{
    if (!CliOutputIsNotInput(file, out))
        return 1;
    TFileAccess store(file);
    if (!CliLoadProject(store))
        return 1;
    const int32_t investId = CliIdentifierValue(investIdText);
    if (!CliInvestigationExists(store, file, investId))
        return 1;
    try {
        const TInvestigationObject model(store, investId);
        std::string error;
        if (!write(store, model, error)) {
            std::cerr << error << '\n';
            return 1;
        }
    } catch (const TAppError& error) {
        std::cerr << error.what() << '\n';
        return 1;
    }
    return 0;
}
