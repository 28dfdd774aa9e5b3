#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "analysis/choicekind.h"

class TFileAccess;
class TInvestigationObject;
struct TStatusResult;

// One member as a network node, with what it is known by and its indices.
struct TNetworkNode {
    int32_t Id = 0;
    std::string Name;
    std::string Sex;       // "male" / "female"; empty when the client record is missing
    std::string BirthDate; // year-month-day; empty when unknown
    std::string StatusGroup; // empty where the investigation has no status groups
    double Pi = 0;           // of the exported kind
    double Ai = 0;
    double Ei = 0;
    double Sti = 0;
    int32_t LevelPositive = 0;
    int32_t LevelNegative = 0;
    int32_t LevelAny = 0;
    bool Placed = false; // the sociogram has a stored place for the member in the exported view
    double X = 0;        // centre of the stored place, in sociogram pixels
    double Y = 0;
};

// One choice as a directed edge: +1 positive, -1 negative.
struct TNetworkEdge {
    int32_t FromId = 0;
    int32_t ToId = 0;
    int32_t Sign = 1;
};

// An investigation as a directed signed network: every member is a node (members without any
// choice included), every choice of the kind an edge.
struct TNetwork {
    std::string Name;
    TChoiceKind Kind = TChoiceKind::Any;
    std::vector<TNetworkNode> Nodes;
    std::vector<TNetworkEdge> Edges;
};

TNetwork BuildNetwork(const TFileAccess& store, const TInvestigationObject& model, const TStatusResult& status,
                      TChoiceKind kind);

// The network as a file's text.
std::string GraphMlText(const TNetwork& network);
std::string GexfText(const TNetwork& network);
std::string PajekText(const TNetwork& network);
std::string EdgeListCsvText(const TNetwork& network);

enum class TNetworkFormat : uint8_t { GraphMl, Gexf, Pajek, EdgeCsv };

// The format a file name asks for by its extension (.graphml, .gexf, .net, .csv).
std::optional<TNetworkFormat> NetworkFormatOfPath(const std::string& path);

// Writes the network in the format of the path's extension, replacing the file only once
// complete; false with error set on failure.
bool WriteNetwork(const TNetwork& network, const std::string& path, std::string& error);
