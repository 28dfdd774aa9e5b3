#include "exchange/networkexport.h"

#include <algorithm>
#include <filesystem>
#include <unordered_map>
#include <sstream>

#include <pugixml.hpp>

#include "analysis/investigationobj.h"
#include "analysis/statusgroups.h"
#include "exchange/csvreader.h"
#include "exchange/exchangetext.h"
#include "exchange/tableexport.h"
#include "store/fileacc.h"
#include "util/safefile.h"
#include "util/text.h"
#include "util/xmltext.h"

namespace {

// The sociogram placements are kept per view: positive 1, negative 2, both kinds under 0.
int16_t PlacementCode(TChoiceKind kind)
{
    return kind == TChoiceKind::Any ? static_cast<int16_t>(ChoiceKindCode(TChoiceKind::Placement))
                                    : static_cast<int16_t>(ChoiceKindCode(kind));
}

std::string KindWord(int32_t sign)
{
    return sign > 0 ? "positive" : "negative";
}

std::string XmlText(const pugi::xml_document& doc)
{
    std::ostringstream out;
    doc.save(out, "  ", pugi::format_default, pugi::encoding_utf8);
    return out.str();
}

struct TAttribute {
    const char* Name;
    const char* Type; // GraphML attr.type
};

constexpr TAttribute kNodeAttributes[] = {
    {"label", "string"}, {"client_id", "int"}, {"sex", "string"},     {"birth_date", "string"},
    {"status_group", "string"}, {"Pi", "double"}, {"Ai", "double"},   {"Ei", "double"},
    {"Sti", "double"},   {"level_pos", "int"}, {"level_neg", "int"},  {"level_any", "int"},
    {"x", "double"},     {"y", "double"},
};

// The node attributes' values in the order of kNodeAttributes; empty for a value not known.
std::vector<std::string> NodeValues(const TNetworkNode& node)
{
    return {XmlSafeText(node.Name),
            std::to_string(node.Id),
            node.Sex,
            node.BirthDate,
            node.StatusGroup,
            ExportNumberText(node.Pi),
            ExportNumberText(node.Ai),
            ExportNumberText(node.Ei),
            ExportNumberText(node.Sti),
            std::to_string(node.LevelPositive),
            std::to_string(node.LevelNegative),
            std::to_string(node.LevelAny),
            node.Placed ? ExportNumberText(node.X) : std::string(),
            node.Placed ? ExportNumberText(node.Y) : std::string()};
}

std::string NodeKey(int32_t id)
{
    return XmlId('n', id);
}

} // namespace

TNetwork BuildNetwork(const TFileAccess& store, const TInvestigationObject& model, const TStatusResult& status,
                      TChoiceKind kind)
{
    TNetwork network;
    network.Name = model.Name();
    network.Kind = kind;
    const TChoiceKind indexKind = kind == TChoiceKind::Negative ? TChoiceKind::Negative
                                  : kind == TChoiceKind::Positive ? TChoiceKind::Positive
                                                                  : TChoiceKind::Any;
    const int16_t placeCode = PlacementCode(indexKind);
    for (int32_t i = 0; i < model.ClientCount(); ++i) {
        const TInvestClient client = model.Client(i);
        TNetworkNode node;
        node.Id = client.Id;
        node.Name = client.Name;
        if (const TAClient* record = FindMemberRecord(store, client.Id, client.GroupId)) {
            node.Sex = record->IsMale ? "male" : "female";
            node.BirthDate = IsoDate(record->BirthDate);
        }
        if (status.Available() && static_cast<std::size_t>(i) < status.Members.size())
            node.StatusGroup = StatusGroupWord(status.Members[static_cast<std::size_t>(i)].Group);
        node.Pi = model.IndexPi(i, indexKind);
        node.Ai = model.IndexAi(i, indexKind);
        node.Ei = model.IndexEi(i, indexKind);
        node.Sti = model.IndexSti(i, indexKind);
        node.LevelPositive = model.StatusLevel(i, TChoiceKind::Positive);
        node.LevelNegative = model.StatusLevel(i, TChoiceKind::Negative);
        node.LevelAny = model.StatusLevel(i, TChoiceKind::Any);
        const TGraphPlaceTable& places = store.Placements();
        for (int32_t p = 0; p < places.Count(); ++p) {
            const TGraphPlace& place = places.At(p);
            if (place.InvestId == model.Id() && place.ClientId == client.Id && place.ClientGroupId == client.GroupId &&
                place.SelType == placeCode && place.Left != -99999 && place.Top != -99999) {
                node.Placed = true;
                node.X = place.Left + std::max(place.Width, 0) / 2.0;
                node.Y = place.Top + std::max(place.Height, 0) / 2.0;
                break;
            }
        }
        network.Nodes.push_back(std::move(node));
    }
    if (kind != TChoiceKind::Negative) {
        for (int32_t i = 0; i < model.ForCount(); ++i)
            network.Edges.push_back({model.ForChoice(i).FromId, model.ForChoice(i).ToId, 1});
    }
    if (kind != TChoiceKind::Positive) {
        for (int32_t i = 0; i < model.AgainstCount(); ++i)
            network.Edges.push_back({model.AgainstChoice(i).FromId, model.AgainstChoice(i).ToId, -1});
    }
    return network;
}

std::string GraphMlText(const TNetwork& network)
{
    pugi::xml_document doc;
    pugi::xml_node decl = doc.append_child(pugi::node_declaration);
    decl.append_attribute("version") = "1.0";
    decl.append_attribute("encoding") = "UTF-8";
    pugi::xml_node root = doc.append_child("graphml");
    root.append_attribute("xmlns") = "http://graphml.graphdrawing.org/xmlns";
    root.append_attribute("xmlns:xsi") = "http://www.w3.org/2001/XMLSchema-instance";
    root.append_attribute("xsi:schemaLocation") =
        "http://graphml.graphdrawing.org/xmlns http://graphml.graphdrawing.org/xmlns/1.0/graphml.xsd";
    int keyNumber = 0;
    for (const TAttribute& attr : kNodeAttributes) {
        pugi::xml_node key = root.append_child("key");
        key.append_attribute("id") = XmlId('d', keyNumber++).c_str();
        key.append_attribute("for") = "node";
        key.append_attribute("attr.name") = attr.Name;
        key.append_attribute("attr.type") = attr.Type;
    }
    const std::string signKey = XmlId('d', keyNumber++);
    const std::string kindKey = XmlId('d', keyNumber++);
    for (const auto& [id, name, type] : {std::tuple{signKey, "sign", "int"}, std::tuple{kindKey, "kind", "string"}}) {
        pugi::xml_node key = root.append_child("key");
        key.append_attribute("id") = id.c_str();
        key.append_attribute("for") = "edge";
        key.append_attribute("attr.name") = name;
        key.append_attribute("attr.type") = type;
    }
    pugi::xml_node graph = root.append_child("graph");
    graph.append_attribute("id") = "G";
    graph.append_attribute("edgedefault") = "directed";
    for (const TNetworkNode& node : network.Nodes) {
        pugi::xml_node n = graph.append_child("node");
        n.append_attribute("id") = NodeKey(node.Id).c_str();
        const std::vector<std::string> values = NodeValues(node);
        for (std::size_t a = 0; a < values.size(); ++a) {
            if (values[a].empty())
                continue;
            pugi::xml_node data = n.append_child("data");
            data.append_attribute("key") = XmlId('d', static_cast<int64_t>(a)).c_str();
            data.text() = values[a].c_str();
        }
    }
    int edgeNumber = 0;
    for (const TNetworkEdge& edge : network.Edges) {
        pugi::xml_node e = graph.append_child("edge");
        e.append_attribute("id") = XmlId('e', edgeNumber++).c_str();
        e.append_attribute("source") = NodeKey(edge.FromId).c_str();
        e.append_attribute("target") = NodeKey(edge.ToId).c_str();
        pugi::xml_node sign = e.append_child("data");
        sign.append_attribute("key") = signKey.c_str();
        sign.text() = edge.Sign;
        pugi::xml_node kind = e.append_child("data");
        kind.append_attribute("key") = kindKey.c_str();
        kind.text() = KindWord(edge.Sign).c_str();
    }
    return XmlText(doc);
}

std::string GexfText(const TNetwork& network)
{
    pugi::xml_document doc;
    pugi::xml_node decl = doc.append_child(pugi::node_declaration);
    decl.append_attribute("version") = "1.0";
    decl.append_attribute("encoding") = "UTF-8";
    pugi::xml_node root = doc.append_child("gexf");
    root.append_attribute("xmlns") = "http://www.gexf.net/1.2draft";
    root.append_attribute("xmlns:viz") = "http://www.gexf.net/1.2draft/viz";
    root.append_attribute("version") = "1.2";
    pugi::xml_node meta = root.append_child("meta");
    meta.append_child("creator").text() = "Tremlow";
    meta.append_child("description").text() = XmlSafeText(network.Name).c_str();
    pugi::xml_node graph = root.append_child("graph");
    graph.append_attribute("defaultedgetype") = "directed";
    graph.append_attribute("mode") = "static";

    // GEXF carries the label and the position itself; the rest are declared attributes.
    pugi::xml_node nodeAttrs = graph.append_child("attributes");
    nodeAttrs.append_attribute("class") = "node";
    constexpr std::size_t kFirstDeclared = 1;
    constexpr std::size_t kPositionFirst = std::size(kNodeAttributes) - 2;
    for (std::size_t a = kFirstDeclared; a < kPositionFirst; ++a) {
        pugi::xml_node attr = nodeAttrs.append_child("attribute");
        attr.append_attribute("id") = std::to_string(a).c_str();
        attr.append_attribute("title") = kNodeAttributes[a].Name;
        const std::string_view type = kNodeAttributes[a].Type;
        attr.append_attribute("type") = type == "int" ? "integer" : type == "double" ? "double" : "string";
    }
    pugi::xml_node edgeAttrs = graph.append_child("attributes");
    edgeAttrs.append_attribute("class") = "edge";
    pugi::xml_node signAttr = edgeAttrs.append_child("attribute");
    signAttr.append_attribute("id") = "sign";
    signAttr.append_attribute("title") = "sign";
    signAttr.append_attribute("type") = "integer";
    pugi::xml_node kindAttr = edgeAttrs.append_child("attribute");
    kindAttr.append_attribute("id") = "kind";
    kindAttr.append_attribute("title") = "kind";
    kindAttr.append_attribute("type") = "string";

    pugi::xml_node nodes = graph.append_child("nodes");
    for (const TNetworkNode& node : network.Nodes) {
        pugi::xml_node n = nodes.append_child("node");
        n.append_attribute("id") = NodeKey(node.Id).c_str();
        n.append_attribute("label") = XmlSafeText(node.Name).c_str();
        const std::vector<std::string> values = NodeValues(node);
        pugi::xml_node attvalues = n.append_child("attvalues");
        for (std::size_t a = kFirstDeclared; a < kPositionFirst; ++a) {
            if (values[a].empty())
                continue;
            pugi::xml_node v = attvalues.append_child("attvalue");
            v.append_attribute("for") = std::to_string(a).c_str();
            v.append_attribute("value") = values[a].c_str();
        }
        if (node.Placed) {
            // Sociogram y grows downwards, GEXF's upwards.
            pugi::xml_node pos = n.append_child("viz:position");
            pos.append_attribute("x") = node.X;
            pos.append_attribute("y") = -node.Y;
            pos.append_attribute("z") = 0.0;
        }
    }
    pugi::xml_node edges = graph.append_child("edges");
    int edgeNumber = 0;
    for (const TNetworkEdge& edge : network.Edges) {
        pugi::xml_node e = edges.append_child("edge");
        e.append_attribute("id") = edgeNumber++;
        e.append_attribute("source") = NodeKey(edge.FromId).c_str();
        e.append_attribute("target") = NodeKey(edge.ToId).c_str();
        e.append_attribute("weight") = edge.Sign;
        pugi::xml_node attvalues = e.append_child("attvalues");
        pugi::xml_node sign = attvalues.append_child("attvalue");
        sign.append_attribute("for") = "sign";
        sign.append_attribute("value") = edge.Sign;
        pugi::xml_node kind = attvalues.append_child("attvalue");
        kind.append_attribute("for") = "kind";
        kind.append_attribute("value") = KindWord(edge.Sign).c_str();
    }
    return XmlText(doc);
}

std::string PajekText(const TNetwork& network)
{
    std::string text = "*Vertices " + std::to_string(network.Nodes.size()) + "\r\n";
    // Pajek numbers vertices 1 ... n; coordinates, when every member has a place, are scaled into 0 ... 1.
    bool allPlaced = !network.Nodes.empty();
    double minX = 0, maxX = 0, minY = 0, maxY = 0;
    for (std::size_t i = 0; i < network.Nodes.size(); ++i) {
        const TNetworkNode& n = network.Nodes[i];
        allPlaced = allPlaced && n.Placed;
        minX = i == 0 ? n.X : std::min(minX, n.X);
        maxX = i == 0 ? n.X : std::max(maxX, n.X);
        minY = i == 0 ? n.Y : std::min(minY, n.Y);
        maxY = i == 0 ? n.Y : std::max(maxY, n.Y);
    }
    const double span = std::max({maxX - minX, maxY - minY, 1.0});
    std::unordered_map<int32_t, std::size_t> number;
    for (std::size_t i = 0; i < network.Nodes.size(); ++i) {
        const TNetworkNode& n = network.Nodes[i];
        number[n.Id] = i + 1;
        std::string label;
        for (const char ch : XmlSafeText(n.Name))
            label += ch == '"' ? '\'' : (ch == '\r' || ch == '\n') ? ' ' : ch;
        text += std::to_string(i + 1) + " \"" + label + "\"";
        if (allPlaced) {
            text += " " + ExportNumberText((n.X - minX) / span) + " " + ExportNumberText((n.Y - minY) / span) + " 0.5";
        }
        text += "\r\n";
    }
    text += "*Arcs\r\n";
    for (const TNetworkEdge& e : network.Edges) {
        const auto from = number.find(e.FromId);
        const auto to = number.find(e.ToId);
        if (from == number.end() || to == number.end())
            continue;
        text += std::to_string(from->second) + " " + std::to_string(to->second) + " " + std::to_string(e.Sign) + "\r\n";
    }
    return text;
}

std::string EdgeListCsvText(const TNetwork& network)
{
    std::unordered_map<int32_t, std::string> names;
    for (const TNetworkNode& n : network.Nodes)
        names[n.Id] = n.Name;
    std::string text = CsvRecord({"source", "target", "source_name", "target_name", "sign"});
    for (const TNetworkEdge& e : network.Edges)
        text += CsvRecord({std::to_string(e.FromId), std::to_string(e.ToId), SpreadsheetSafeText(names[e.FromId]),
                           SpreadsheetSafeText(names[e.ToId]),
                           std::to_string(e.Sign)});
    return text;
}

std::optional<TNetworkFormat> NetworkFormatOfPath(const std::string& path)
{
    const std::string ext = ToLowerText(std::filesystem::path(path).extension().string());
    if (ext == ".graphml")
        return TNetworkFormat::GraphMl;
    if (ext == ".gexf")
        return TNetworkFormat::Gexf;
    if (ext == ".net")
        return TNetworkFormat::Pajek;
    if (ext == ".csv")
        return TNetworkFormat::EdgeCsv;
    return std::nullopt;
}

bool WriteNetwork(const TNetwork& network, const std::string& path, std::string& error)
{
    const std::optional<TNetworkFormat> format = NetworkFormatOfPath(path);
    if (!format) {
        error = ExchangeText("EXPORT_UNKNOWN_FORMAT",
                             "%1: the file name must end in .graphml, .gexf, .net or .csv.", path);
        return false;
    }
    std::string text;
    switch (*format) {
    case TNetworkFormat::GraphMl:
        text = GraphMlText(network);
        break;
    case TNetworkFormat::Gexf:
        text = GexfText(network);
        break;
    case TNetworkFormat::Pajek:
        text = PajekText(network);
        break;
    case TNetworkFormat::EdgeCsv:
        text = EdgeListCsvText(network);
        break;
    }
    std::string why;
    if (!ReplaceFile(path, text, why)) {
        error = ExchangeText("EXPORT_WRITE_FAILED", "The file %1 cannot be written: %2", path, why);
        return false;
    }
    return true;
}
