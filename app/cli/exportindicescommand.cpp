// tremlow-cli export-indices: an investigation's group and member indices as CSV or an Excel workbook.
#include <memory>
#include <string>

#include "analysis/investigationobj.h"
#include "cli/commands.h"
#include "cli/exchangesupport.h"
#include "exchange/tableexport.h"
#include "store/fileacc.h"

namespace {

struct TExportIndicesOptions {
    std::string file;
    std::string investId;
    std::string out;
};

int ExportIndices(const TExportIndicesOptions& options)
{
    return CliExportInvestigation(options.file, options.investId, options.out, [&](TFileAccess& store,
                                                                       const TInvestigationObject& model,
                                                                       std::string& error) {
        const TStatusResult status = ComputeStatusGroups(model, CliStatusThresholds());
        return WriteSheets({MemberIndicesSheet(store, model, status), GroupIndicesSheet(model)}, options.out, error);
    });
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
                       "indices beside it in NAME-group.csv: both files are written or neither); existing "
                       "files are replaced")
        ->required()
        ->check(CliTableFile());
    CliAction(command, [options] { return ExportIndices(*options); });
}

const TCliRegistrar g_exportIndices({"export-indices",
                                     "write an investigation's member and group indices with status levels and "
                                     "groups as CSV or Excel (.xlsx)",
                                     DeclareExportIndices});

} // namespace
