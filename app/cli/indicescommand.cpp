// tremlow-cli indices: every count and index of one investigation as one JSON object.
#include <cstdio>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/investigationobj.h"
#include "cli/commands.h"
#include "i18n/langconv.h"
#include "store/fileacc.h"
#include "util/error.h"

namespace {

// A JSON string literal of UTF-8 text.
std::string JsonText(const std::string& text)
{
    std::string out = "\"";
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20) {
                char buffer[8];
                std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
                out += buffer;
            } else {
                out += ch;
            }
        }
    }
    return out + "\"";
}

// A double with 17 significant digits, so that it reads back to the same value.
std::string JsonNumber(double value)
{
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.17g", value);
    return buffer;
}

std::string JsonNumber(int32_t value)
{
    return std::to_string(value);
}

void WriteKind(std::ostream& out, const TInvestigationObject& model, TChoiceKind kind)
{
    out << "{\"P\": " << JsonNumber(model.IndexP(kind)) << ", \"Sa\": " << JsonNumber(model.IndexSa(kind))
        << ", \"J\": " << JsonNumber(model.IndexJ(kind)) << ", \"N\": " << JsonNumber(model.IndexN(kind))
        << ", \"mutual_pairs\": " << JsonNumber(model.MutualCount(-1, kind))
        << ", \"one_way_pairs\": " << JsonNumber(model.OneWayPairsCount(kind))
        << ", \"max_received\": " << JsonNumber(model.MaxReceived(kind))
        << ", \"min_received\": " << JsonNumber(model.MinReceived(kind)) << ", \"pairs\": [";
    std::vector<std::string> pairs;
    model.MutualPairsList(pairs, kind);
    for (std::size_t i = 0; i < pairs.size(); ++i)
        out << (i ? ", " : "") << JsonText(pairs[i]);
    out << "], \"members\": [";
    for (int32_t i = 0; i < model.ClientCount(); ++i) {
        const TInvestClient client = model.Client(i);
        out << (i ? ", " : "") << "{\"id\": " << JsonNumber(client.Id)
            << ", \"name\": " << JsonText(client.Name) << ", \"Pi\": " << JsonNumber(model.IndexPi(i, kind))
            << ", \"Ai\": " << JsonNumber(model.IndexAi(i, kind))
            << ", \"Ei\": " << JsonNumber(model.IndexEi(i, kind))
            << ", \"Sti\": " << JsonNumber(model.IndexSti(i, kind))
            << ", \"status\": " << JsonNumber(model.StatusLevel(i, kind)) << '}';
    }
    out << "]}";
}

void WriteModel(std::ostream& out, const TInvestigationObject& model)
{
    out << "{\"id\": " << JsonNumber(model.Id()) << ", \"name\": " << JsonText(model.Name())
        << ", \"members\": " << JsonNumber(model.ClientCount())
        << ", \"choices\": {\"1\": " << JsonNumber(model.ForCount())
        << ", \"2\": " << JsonNumber(model.AgainstCount()) << "}, \"kinds\": {";
    for (const TChoiceKind kind : {TChoiceKind::Positive, TChoiceKind::Negative, TChoiceKind::Any}) {
        out << (kind != TChoiceKind::Positive ? ", " : "") << '"' << ChoiceKindCode(kind) << "\": ";
        WriteKind(out, model, kind);
    }
    out << "}, \"counters\": [";
    for (int32_t i = 0; i < model.ClientCount(); ++i) {
        const TInvestClient c = model.Client(i);
        out << (i ? ", " : "") << "{\"id\": " << JsonNumber(c.Id) << ", \"ForOut\": " << JsonNumber(c.ForOut)
            << ", \"ForIn\": " << JsonNumber(c.ForIn) << ", \"AgainstOut\": " << JsonNumber(c.AgainstOut)
            << ", \"AgainstIn\": " << JsonNumber(c.AgainstIn)
            << ", \"ForMutual\": " << JsonNumber(c.ForMutual)
            << ", \"AgainstMutual\": " << JsonNumber(c.AgainstMutual) << '}';
    }
    out << "]}\n";
}

struct TIndicesOptions {
    std::string file;
    std::string investId;
};

int Indices(const TIndicesOptions& options)
{
    TFileAccess store(options.file);
    if (!CliLoadProject(store))
        return 1;
    const int32_t investId = CliIdentifierValue(options.investId);
    if (!store.Investigations().FindById(investId)) {
        const bool worded = HasLangConv() && LangConv().HasText("NO_INVESTIGATION_MSG");
        std::cerr << (worded ? LangConv().GetText("NO_INVESTIGATION_MSG")
                             : std::string("The project has no investigation with this identifier"))
                  << ": " << investId << '\n';
        return 1;
    }
    try {
        const TInvestigationObject model(store, investId);
        std::ostringstream out;
        WriteModel(out, model);
        std::cout << out.str();
    } catch (const TAppError& error) {
        std::cerr << error.what() << '\n';
        return 1;
    }
    return 0;
}

void DeclareIndices(CLI::App& command)
{
    auto options = std::make_shared<TIndicesOptions>();
    command.add_option("FILE", options->file, "project file (.soi)")->required();
    command.add_option("INVEST_ID", options->investId, "identifier of the investigation")
        ->required()
        ->check(CliIdentifier());
    CliAction(command, [options] { return Indices(*options); });
}

const TCliRegistrar g_indices({"indices",
                               "print the choice counts and every sociometric index of one investigation "
                               "as JSON",
                               DeclareIndices});

} // namespace
