// tremlow-cli export-network: an investigation as a directed signed network for graph programs.
#include <memory>
#include <string>

#include "analysis/investigationobj.h"
#include "cli/commands.h"
#include "cli/exchangesupport.h"
#include "exchange/networkexport.h"
#include "store/fileacc.h"

namespace {

struct TExportNetworkOptions {
    std::string file;
    std::string investId;
    int kind = ChoiceKindCode(TChoiceKind::Any);
    std::string out;
};

int ExportNetwork(const TExportNetworkOptions& options)
{
    return CliExportInvestigation(options.file, options.investId, options.out, [&](TFileAccess& store,
                                                                       const TInvestigationObject& model,
                                                                       std::string& error) {
        const TStatusResult status = ComputeStatusGroups(model, CliStatusThresholds());
        const TNetwork network = BuildNetwork(store, model, status, static_cast<TChoiceKind>(options.kind));
        return WriteNetwork(network, options.out, error);
    });
}

void DeclareExportNetwork(CLI::App& command)
{
    auto options = std::make_shared<TExportNetworkOptions>();
    command.add_option("FILE", options->file, "project file (.soi)")->required();
    command.add_option("INVEST_ID", options->investId, "identifier of the investigation")
        ->required()
        ->check(CliIdentifier());
    command.add_option("--kind", options->kind, "choices as edges: 1 positive, 2 negative, 3 both")
        ->check(CLI::IsMember({1, 2, 3}))
        ->capture_default_str();
    command.add_option("-o,--output", options->out, "file to write: .graphml, .gexf, .net (Pajek) or .csv (edges); an existing file is "
                       "replaced")
        ->required();
    CliAction(command, [options] { return ExportNetwork(*options); });
}

const TCliRegistrar g_exportNetwork({"export-network",
                                     "write an investigation as a directed signed network: GraphML, GEXF, "
                                     "Pajek or an edge-list CSV",
                                     DeclareExportNetwork});

} // namespace
