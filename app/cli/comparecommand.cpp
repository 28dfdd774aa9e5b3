// tremlow-cli compare: what changed between investigations of the same group over time.
#include <algorithm>
#include <iostream>
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "analysis/indices.h"
#include "analysis/waves.h"
#include "cli/commands.h"
#include "cli/exchangesupport.h"
#include "i18n/langconv.h"
#include "reports/comparison.h"
#include "store/fileacc.h"
#include "util/error.h"
#include "util/text.h"

namespace {

using TJson = nlohmann::ordered_json;

struct TCompareOptions {
    std::string file;
    std::vector<std::string> ids;
    std::string format = "text";
};

TJson Value(const std::optional<double>& value)
{
    return value ? TJson(*value) : TJson(nullptr);
}

TJson Status(const std::optional<TStatusGroup>& group)
{
    return group ? TJson(StatusGroupWord(*group)) : TJson(nullptr);
}

TJson Ids(const std::vector<TWaveOutsider>& clients)
{
    TJson ids = TJson::array();
    for (const TWaveOutsider& c : clients)
        ids.push_back(c.ClientId);
    return ids;
}

TJson Indices(const std::array<double, 4>& values)
{
    TJson out = TJson::object();
    for (std::size_t i = 0; i < kGroupIndices.size(); ++i)
        out[kGroupIndices[i].Name] = values[i];
    return out;
}

TJson PairJson(const TWaveComparison& c)
{
    TJson pair;
    pair["from"] = c.FromId;
    pair["to"] = c.ToId;
    pair["same_client_group"] = c.SameClientGroup;
    pair["same_criterion"] = c.SameCriterion;
    pair["common"] = c.Common;
    pair["joined"] = Ids(c.Joined);
    pair["left"] = Ids(c.Left);
    const char* signs[] = {"positive", "negative"};
    for (std::size_t s = 0; s < 2; ++s) {
        pair["choices"][signs[s]] = {
            {"kept", c.Choices[s].Kept}, {"new", c.Choices[s].New}, {"dropped", c.Choices[s].Dropped}};
    }
    for (std::size_t s = 0; s < 2; ++s) {
        pair["mutual"][signs[s]] = {
            {"kept", c.Mutual[s].Kept}, {"formed", c.Mutual[s].Formed}, {"broken", c.Mutual[s].Broken}};
    }
    pair["spearman"] = Value(c.Spearman);
    pair["kappa"] = Value(c.Kappa);
    pair["kept_share"] = Value(c.KeptShare);
    if (c.StatusAvailable) {
        TJson transitions = TJson::object();
        for (const TStatusGroup a : kAllStatusGroups) {
            TJson row = TJson::object();
            for (const TStatusGroup b : kAllStatusGroups)
                row[StatusGroupWord(b)] = c.Transitions[static_cast<std::size_t>(a)][static_cast<std::size_t>(b)];
            transitions[StatusGroupWord(a)] = std::move(row);
        }
        pair["transitions"] = std::move(transitions);
    } else {
        pair["transitions"] = nullptr;
    }
    pair["indices"] = {{"from", Indices(c.FromIndices)}, {"to", Indices(c.ToIndices)}};
    TJson members = TJson::array();
    for (const TMemberChange& m : c.Members) {
        members.push_back({{"id", m.ClientId},
                           {"name", m.Name},
                           {"jaccard", Value(m.Jaccard)},
                           {"received", {{"positive", m.ForIn}, {"negative", m.AgainstIn}}},
                           {"Pi", m.Pi},
                           {"Sti", m.Sti},
                           {"status", TJson::array({Status(m.Status[0]), Status(m.Status[1])})},
                           {"moved", m.Moved()}});
    }
    pair["members"] = std::move(members);
    return pair;
}

void WriteJson(const TWaveSeries& series)
{
    TJson out;
    out["waves"] = TJson::array();
    for (const TWave& w : series.Waves)
        out["waves"].push_back(w.Id);
    out["pairs"] = TJson::array();
    for (const TWaveComparison& c : series.Pairs)
        out["pairs"].push_back(PairJson(c));
    std::cout << out.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
}

void WriteTable(const TTableRows& rows)
{
    std::vector<std::size_t> widths;
    for (const auto& row : rows) {
        widths.resize(std::max(widths.size(), row.size()));
        for (std::size_t i = 0; i < row.size(); ++i)
            widths[i] = std::max(widths[i], CharCount(row[i]));
    }
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t i = 0; i < row.size(); ++i)
            line += row[i] + std::string(i + 1 < row.size() ? widths[i] - CharCount(row[i]) + 2 : 0, ' ');
        std::cout << line << '\n';
    }
}

void WriteText(const TWaveSeries& series)
{
    for (std::size_t p = 0; p < series.Pairs.size(); ++p) {
        const auto blocks = ComparisonBlocks(series.Waves[p], series.Waves[p + 1], series.Pairs[p]);
        for (std::size_t b = 0; b < blocks.size(); ++b) {
            std::cout << (p + b > 0 ? "\n" : "") << (b == 0 ? "== " : "") << blocks[b].Title
                      << (b == 0 ? " ==" : ":") << '\n';
            for (const std::string& line : blocks[b].Lines)
                std::cout << line << '\n';
            WriteTable(blocks[b].Rows);
        }
    }
}

int Compare(const TCompareOptions& options)
{
    TFileAccess store(options.file);
    if (!CliLoadProject(store))
        return 1;
    std::vector<int32_t> ids;
    for (const std::string& id : options.ids)
        ids.push_back(CliIdentifierValue(id));
    try {
        const TWaveSeries series = CompareInvestigations(store, ids, CliStatusThresholds());
        if (series.Problem != TWavesProblem::None) {
            std::cerr << options.file << ": " << WavesProblemText(series) << '\n';
            return 1;
        }
        if (options.format == "json")
            WriteJson(series);
        else if (options.format == "csv")
            std::cout << ComparisonCsv(series);
        else
            WriteText(series);
    } catch (const TAppError& error) {
        std::cerr << error.what() << '\n';
        return 1;
    }
    return 0;
}

void DeclareCompare(CLI::App& command)
{
    auto options = std::make_shared<TCompareOptions>();
    command.add_option("FILE", options->file, "project file (.soi)")->required();
    command.add_option("INVEST_ID", options->ids, "identifiers of the investigations, earliest first")
        ->required()
        ->check(CliIdentifier());
    command.add_option("--format", options->format, "output format (text, json or csv)")
        ->check(CLI::IsMember({"text", "json", "csv"}))
        ->capture_default_str();
    CliAction(command, [options] { return Compare(*options); });
}

const TCliRegistrar g_compare({"compare",
                               "compare investigations of the same group over time: choices kept, new and "
                               "dropped, mutual pairs, rank correlation and status group changes",
                               DeclareCompare});

} // namespace
