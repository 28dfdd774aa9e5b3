// tremlow-cli status: the status groups of one investigation's members, as JSON or CSV.
#include <iostream>
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "analysis/investigationobj.h"
#include "analysis/statusgroups.h"
#include "cli/commands.h"
#include "cli/exchangesupport.h"
#include "exchange/csvreader.h"
#include "i18n/langconv.h"
#include "settings/regs.h"
#include "store/fileacc.h"
#include "util/error.h"

namespace {

struct TStatusOptions {
    std::string file;
    std::string investId;
    std::string format = "json";
};

// A catalogue text, or the English text when no catalogue is installed.
std::string Text(const std::string& key, const std::string& english)
{
    return HasLangConv() && LangConv().HasText(key) ? LangConv().GetText(key) : english;
}

std::string UnavailableText(TStatusUnavailable why)
{
    if (why == TStatusUnavailable::TooFewMembers)
        return Text("STATUS_TOO_FEW_MEMBERS", "Status groups need at least three members.");
    return Text("STATUS_NO_NEGATIVE_CHOICES",
                "Status groups need negative choices: this investigation has none.");
}

std::string CsvNumber(double value)
{
    // The shortest text that reads back to the same double, as JSON writes it.
    return nlohmann::json(value).dump();
}

void WriteJson(const TInvestigationObject& model, const TStatusResult& result, const TStatusThresholds& t)
{
    nlohmann::ordered_json out;
    out["id"] = model.Id();
    out["name"] = model.Name();
    out["thresholds"] = {{"extreme", t.Extreme}, {"average", t.Average}};
    nlohmann::ordered_json members = nlohmann::ordered_json::array();
    for (const TStatusMember& m : result.Members) {
        members.push_back({{"id", m.ClientId}, {"name", m.Name}, {"LM", m.LM}, {"LL", m.LL},
                           {"zLM", m.zLM}, {"zLL", m.zLL}, {"zSP", m.zSP}, {"zSI", m.zSI},
                           {"group", StatusGroupWord(m.Group)}});
    }
    out["members"] = std::move(members);
    nlohmann::ordered_json counts = nlohmann::ordered_json::object();
    for (const TStatusGroup g : kAllStatusGroups)
        counts[StatusGroupWord(g)] = result.Count(g);
    out["counts"] = std::move(counts);
    std::cout << out.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
}

void WriteCsv(const TStatusResult& result)
{
    std::cout << "id,name,LM,LL,zLM,zLL,zSP,zSI,group\r\n";
    for (const TStatusMember& m : result.Members) {
        std::cout << m.ClientId << ',' << CsvField(SpreadsheetSafeText(m.Name)) << ',' << m.LM << ',' << m.LL << ','
                  << CsvNumber(m.zLM) << ',' << CsvNumber(m.zLL) << ',' << CsvNumber(m.zSP) << ','
                  << CsvNumber(m.zSI) << ',' << StatusGroupWord(m.Group) << "\r\n";
    }
}

int Status(const TStatusOptions& options)
{
    TFileAccess store(options.file);
    if (!CliLoadProject(store))
        return 1;
    const int32_t investId = CliIdentifierValue(options.investId);
    if (!CliInvestigationExists(store, options.file, investId))
        return 1;
    TRegs settings;
    settings.Load();
    const TStatusThresholds thresholds =
        StatusThresholdsFromHundredths(settings.Status.ExtremeThreshold, settings.Status.AverageThreshold);
    try {
        const TInvestigationObject model(store, investId);
        const TStatusResult result = ComputeStatusGroups(model, thresholds);
        if (!result.Available()) {
            std::cerr << UnavailableText(result.Unavailable) << '\n';
            return 1;
        }
        if (options.format == "csv")
            WriteCsv(result);
        else
            WriteJson(model, result, thresholds);
    } catch (const TAppError& error) {
        std::cerr << error.what() << '\n';
        return 1;
    }
    return 0;
}

void DeclareStatus(CLI::App& command)
{
    auto options = std::make_shared<TStatusOptions>();
    command.add_option("FILE", options->file, "project file (.soi)")->required();
    command.add_option("INVEST_ID", options->investId, "identifier of the investigation")
        ->required()
        ->check(CliIdentifier());
    command.add_option("--format", options->format, "output format (json or csv)")
        ->check(CLI::IsMember({"json", "csv"}))
        ->capture_default_str();
    CliAction(command, [options] { return Status(*options); });
}

const TCliRegistrar g_status({"status",
                              "classify the members of one investigation into status groups (popular, "
                              "rejected, neglected, controversial, average) from the nominations received",
                              DeclareStatus});

} // namespace
