#include "cli/exchangesupport.h"

#include <iostream>

#include "settings/regs.h"
#include "store/fileacc.h"

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
    std::cerr << file << ": no investigation has the identifier " << investId << '\n';
    return false;
}

void CliPrintRefusals(const std::string& file, const std::vector<TRefusedRow>& refused)
{
    for (const TRefusedRow& row : refused)
        std::cerr << file << ':' << row.Line << ": " << row.Excerpt << ": " << row.Reason << '\n';
}
