// tremlow-cli export-indices: an investigation's group and member indices as CSV or an Excel workbook.
#include <iostream>
#include <memory>
#include <string>

#include "analysis/investigationobj.h"
#include "cli/commands.h"
#include "cli/exchangesupport.h"
#include "exchange/tableexport.h"
#include "store/fileacc.h"
#include "util/error.h"

namespace {

struct TExportIndicesOptions {
    std::string file;
    std::string investId;
    std::string out;
};

int ExportIndices(const TExportIndicesOptions& options)
{
    TFileAccess store(options.file);
    if (!CliLoadProject(store))
        return 1;
    const int32_t investId = CliIdentifierValue(options.investId);
    if (!CliInvestigationExists(store, options.file, investId))
        return 1;
    try {
        const TInvestigationObject model(store, investId);
        const TStatusResult status = ComputeStatusGroups(model, CliStatusThresholds());
        std::string error;
        if (!WriteSheets({MemberIndicesSheet(store, model, status), GroupIndicesSheet(model)}, options.out, error)) {
            std::cerr << error << '\n';
            return 1;
        }
    } catch (const TAppError& error) {
        std::cerr << error.what() << '\n';
        return 1;
    }
    return 0;
}

void DeclareExportIndices(CLI::App& command)
{
    auto options = std::make_shared<TExportIndicesOptions>();
    command.add_option("FILE", options->file, "project file (.soi)")->required();
    command.add_option("INVEST_ID", options->investId, "identifier of the investigation")
        ->required()
        ->check(CliIdentifier());
    command.add_option("-o,--output", options->out,
                       "file to write: .xlsx (sheets Members and Group) or .csv (the members; the group "
                       "indices beside it in NAME-group.csv)")
        ->required()
        ->check(CliTableFile());
    CliAction(command, [options] { return ExportIndices(*options); });
}

const TCliRegistrar g_exportIndices({"export-indices",
                                     "write an investigation's member and group indices with status levels and "
                                     "groups as CSV or Excel (.xlsx)",
                                     DeclareExportIndices});

} // namespace
