#include "layout/viewgraph.h"

#include <sstream>

#include <pugixml.hpp>

#include "util/xmltext.h"

std::string ViewGraphMlText(const std::vector<TViewFigure>& figures, const std::vector<TLayoutEdge>& edges)
{
    pugi::xml_document doc;
    pugi::xml_node decl = doc.append_child(pugi::node_declaration);
    decl.append_attribute("version") = "1.0";
    decl.append_attribute("encoding") = "UTF-8";
    pugi::xml_node root = doc.append_child("graphml");
    root.append_attribute("xmlns") = "http://graphml.graphdrawing.org/xmlns";
    struct TKey {
        const char* Id;
        const char* For;
        const char* Type;
    };
    constexpr TKey kKeys[] = {{"label", "node", "string"}, {"x", "node", "int"},      {"y", "node", "int"},
                              {"width", "node", "int"},    {"height", "node", "int"}, {"sign", "edge", "int"}};
    for (const TKey& k : kKeys) {
        pugi::xml_node key = root.append_child("key");
        key.append_attribute("id") = k.Id;
        key.append_attribute("for") = k.For;
        key.append_attribute("attr.name") = k.Id;
        key.append_attribute("attr.type") = k.Type;
    }
    pugi::xml_node graph = root.append_child("graph");
    graph.append_attribute("id") = "sociogram";
    graph.append_attribute("edgedefault") = "directed";
    auto data = [](pugi::xml_node owner, const char* key, const std::string& value) {
        pugi::xml_node d = owner.append_child("data");
        d.append_attribute("key") = key;
        d.text() = value.c_str();
    };
    for (std::size_t i = 0; i < figures.size(); ++i) {
        const TViewFigure& f = figures[i];
        pugi::xml_node node = graph.append_child("node");
        node.append_attribute("id") = XmlId('n', static_cast<int64_t>(i)).c_str();
        data(node, "label", XmlSafeText(f.Label));
        data(node, "x", std::to_string(f.X));
        data(node, "y", std::to_string(f.Y));
        data(node, "width", std::to_string(f.Width));
        data(node, "height", std::to_string(f.Height));
    }
    for (std::size_t e = 0; e < edges.size(); ++e) {
        pugi::xml_node edge = graph.append_child("edge");
        edge.append_attribute("id") = XmlId('e', static_cast<int64_t>(e)).c_str();
        edge.append_attribute("source") = XmlId('n', edges[e].From).c_str();
        edge.append_attribute("target") = XmlId('n', edges[e].To).c_str();
        data(edge, "sign", std::to_string(edges[e].Sign));
    }
    std::ostringstream out;
    doc.save(out, "  ", pugi::format_default, pugi::encoding_utf8);
    return out.str();
}
