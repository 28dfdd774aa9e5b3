// tremlow-cli export-matrix: an investigation's sociomatrix as CSV or an Excel workbook.
#include <memory>
#include <string>

#include "analysis/investigationobj.h"
#include "cli/commands.h"
#include "cli/exchangesupport.h"
#include "exchange/tableexport.h"
#include "store/fileacc.h"

namespace {

struct TExportMatrixOptions {
    std::string file;
    std::string investId;
    int kind = ChoiceKindCode(TChoiceKind::Any);
    std::string out;
};

int ExportMatrix(const TExportMatrixOptions& options)
{
    return CliExportInvestigation(options.file, options.investId, options.out, [&](TFileAccess&, const TInvestigationObject& model,
                                                                       std::string& error) {
        return WriteSheets({SociomatrixSheet(model, static_cast<TChoiceKind>(options.kind))}, options.out, error);
    });
}

void DeclareExportMatrix(CLI::App& command)
{
    auto options = std::make_shared<TExportMatrixOptions>();
    command.add_option("FILE", options->file, "project file (.soi)")->required();
    command.add_option("INVEST_ID", options->investId, "identifier of the investigation")
        ->required()
        ->check(CliIdentifier());
    command.add_option("--kind", options->kind, "choices: 1 positive, 2 negative, 3 both (1 and -1)")
        ->check(CLI::IsMember({1, 2, 3}))
        ->capture_default_str();
    command.add_option("-o,--output", options->out, "file to write: .csv or .xlsx; an existing file is replaced")
        ->required()
        ->check(CliTableFile());
    CliAction(command, [options] { return ExportMatrix(*options); });
}

const TCliRegistrar g_exportMatrix({"export-matrix",
                                    "write an investigation's sociomatrix as CSV or Excel (.xlsx)",
                                    DeclareExportMatrix});

} // namespace
