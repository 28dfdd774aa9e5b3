// The exports read back by independent readers: the workbook unzipped and its sheet XML parsed,
// GraphML and GEXF parsed with pugixml, Pajek and CSV read line by line.
#include <filesystem>
#include <map>
#include <set>

#include <gtest/gtest.h>
#include <pugixml.hpp>
#include <zip.h>

#include "analysis/investigationobj.h"
#include "analysis/projectbuilder.h"
#include "analysis/statusgroups.h"
#include "exchange/csvreader.h"
#include "exchange/networkexport.h"
#include "exchange/tableexport.h"
#include "support/core/tempdir.h"
#include "util/dates.h"

namespace {

// Investigation 7: Anna (1, female, born 2010-05-04), Bob (2), Cleo (3), Dan (4, no choice at all).
void Sample(TProjectBuilder& p)
{
    p.Group(1, "Class");
    double born = 0;
    EncodeDate(2010, 5, 4, born);
    p.store.Clients().Add(1, 1, "Anna \"Ann\" <A&B>", false, born);
    p.Client(1, 2, "Bob").Client(1, 3, "Cleo").Client(1, 4, "Dan");
    p.store.Investigations().Add({.Id = 7,
                                  .ClientGroupId = 1,
                                  .CriterionId = -1,
                                  .CriteriaGroupId = -1,
                                  .Name = "Friends",
                                  .Date = 40000,
                                  .AllowAgainst = true,
                                  .MaxChoices = 3});
    p.For(7, 1, 2).For(7, 2, 1).For(7, 3, 1).Against(7, 2, 3).Against(7, 1, 3);
    p.store.Placements().Add({.InvestId = 7,
                              .ClientId = 1,
                              .ClientGroupId = 1,
                              .SelType = 0,
                              .Left = 100,
                              .Top = 200,
                              .Width = 40,
                              .Height = 20,
                              .FigType = 1});
}

std::string ZipEntry(const std::string& path, const char* name)
{
    int error = 0;
    zip_t* zip = zip_open(path.c_str(), ZIP_RDONLY, &error);
    if (!zip)
        return {};
    std::string text;
    zip_stat_t st;
    if (zip_stat(zip, name, 0, &st) == 0) {
        if (zip_file_t* file = zip_fopen(zip, name, 0)) {
            text.resize(st.size);
            zip_fread(file, text.data(), st.size);
            zip_fclose(file);
        }
    }
    zip_close(zip);
    return text;
}

// The cells of a worksheet by reference ("B3"): numbers as their text, strings through the
// shared string table.
std::map<std::string, std::string> SheetCells(const std::string& path, int sheet)
{
    pugi::xml_document strings;
    strings.load_string(ZipEntry(path, "xl/sharedStrings.xml").c_str());
    std::vector<std::string> shared;
    for (pugi::xml_node si : strings.child("sst").children("si"))
        shared.push_back(si.child("t").text().get());
    pugi::xml_document doc;
    const std::string entry = "xl/worksheets/sheet" + std::to_string(sheet) + ".xml";
    EXPECT_TRUE(doc.load_string(ZipEntry(path, entry.c_str()).c_str())) << entry;
    std::map<std::string, std::string> cells;
    for (pugi::xml_node row : doc.child("worksheet").child("sheetData").children("row")) {
        for (pugi::xml_node c : row.children("c")) {
            const std::string value = c.child("v").text().get();
            const std::string type = c.attribute("t").value();
            if (type == "s")
                cells[c.attribute("r").value()] = shared.at(std::stoul(value));
            else if (type == "inlineStr")
                cells[c.attribute("r").value()] = c.child("is").child("t").text().get();
            else
                cells[c.attribute("r").value()] = "#" + value; // a number
        }
    }
    return cells;
}

TEST(Exports, WorkbookHoldsNumbersAsNumbersOnEverySheet)
{
    TProjectBuilder p;
    Sample(p);
    const TInvestigationObject model(p.store, 7);
    const TStatusResult status = ComputeStatusGroups(model);
    const TTempDir dir;
    const std::string path = dir.File("indices.xlsx");
    std::string error;
    ASSERT_TRUE(WriteSheets({MemberIndicesSheet(p.store, model, status), GroupIndicesSheet(model),
                             SociomatrixSheet(model, TChoiceKind::Any)},
                            path, error))
        << error;
    const auto members = SheetCells(path, 1);
    EXPECT_EQ(members.at("A1"), "id");
    EXPECT_EQ(members.at("B2"), "Anna \"Ann\" <A&B>");
    EXPECT_EQ(members.at("C2"), "female");
    EXPECT_EQ(members.at("D2"), "2010-05-04");
    EXPECT_EQ(members.at("A5"), "#4");
    EXPECT_EQ(members.at("G2"), "#2"); // positive choices received by Anna
    EXPECT_EQ(members.count("D3"), 0u); // Bob's birth date is unknown
    const auto group = SheetCells(path, 2);
    EXPECT_EQ(group.at("A2"), "P");
    EXPECT_EQ(group.at("B2").front(), '#');
    const auto matrix = SheetCells(path, 3);
    EXPECT_EQ(matrix.at("C2"), "#1");  // Anna -> Bob
    EXPECT_EQ(matrix.at("D2"), "#-1"); // Anna -> Cleo, negative
    EXPECT_EQ(matrix.at("B5"), "#0");  // Dan chose no one
    // Nothing but the workbook is left in the folder.
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        ++files;
    EXPECT_EQ(files, 1);
}

TEST(Exports, CsvIndicesWriteTheGroupSheetBeside)
{
    TProjectBuilder p;
    Sample(p);
    const TInvestigationObject model(p.store, 7);
    const TTempDir dir;
    std::string error;
    ASSERT_TRUE(WriteSheets({MemberIndicesSheet(p.store, model, ComputeStatusGroups(model)), GroupIndicesSheet(model)},
                            dir.File("out.csv"), error));
    TCsvTable members;
    ASSERT_TRUE(ReadCsvFile(dir.File("out.csv"), members, error)) << error;
    ASSERT_EQ(members.Rows.size(), 5u);
    EXPECT_EQ(members.Rows[1].Fields[1], "Anna \"Ann\" <A&B>");
    EXPECT_EQ(members.Rows[1].Fields.size(), members.Rows[0].Fields.size());
    TCsvTable group;
    ASSERT_TRUE(ReadCsvFile(dir.File("out-group.csv"), group, error)) << error;
    EXPECT_EQ(group.Rows.size(), 5u);
}

TEST(Exports, GraphMlIsWellFormedWithEveryMemberAndChoice)
{
    TProjectBuilder p;
    Sample(p);
    const TInvestigationObject model(p.store, 7);
    const TNetwork network = BuildNetwork(p.store, model, ComputeStatusGroups(model), TChoiceKind::Any);
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(GraphMlText(network).c_str()));
    const pugi::xml_node graph = doc.child("graphml").child("graph");
    EXPECT_STREQ(graph.attribute("edgedefault").value(), "directed");
    std::map<std::string, std::string> keyNames;
    for (pugi::xml_node key : doc.child("graphml").children("key"))
        keyNames[key.attribute("id").value()] = key.attribute("attr.name").value();
    std::map<std::string, std::map<std::string, std::string>> nodes;
    for (pugi::xml_node n : graph.children("node")) {
        for (pugi::xml_node d : n.children("data"))
            nodes[n.attribute("id").value()][keyNames[d.attribute("key").value()]] = d.text().get();
    }
    ASSERT_EQ(nodes.size(), 4u); // Dan, without any choice, is a node too
    EXPECT_EQ(nodes["n1"]["label"], "Anna \"Ann\" <A&B>");
    EXPECT_EQ(nodes["n1"]["sex"], "female");
    EXPECT_EQ(nodes["n1"]["x"], "120");
    EXPECT_EQ(nodes["n1"]["y"], "210");
    EXPECT_EQ(nodes["n2"].count("x"), 0u);
    EXPECT_EQ(nodes["n3"]["status_group"].empty(), false);
    int positive = 0;
    int negative = 0;
    std::map<std::string, int> inDegree;
    for (pugi::xml_node e : graph.children("edge")) {
        ++inDegree[e.attribute("target").value()];
        for (pugi::xml_node d : e.children("data")) {
            if (keyNames[d.attribute("key").value()] == "sign")
                (std::string(d.text().get()) == "1" ? positive : negative)++;
        }
    }
    EXPECT_EQ(positive, 3);
    EXPECT_EQ(negative, 2);
    EXPECT_EQ(inDegree["n1"], model.Client(0).ForIn + model.Client(0).AgainstIn);
    EXPECT_EQ(inDegree["n3"], 2);
}

TEST(Exports, GexfCarriesLabelsAttributesPositionsAndWeights)
{
    TProjectBuilder p;
    Sample(p);
    const TInvestigationObject model(p.store, 7);
    const TNetwork network = BuildNetwork(p.store, model, ComputeStatusGroups(model), TChoiceKind::Positive);
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(GexfText(network).c_str()));
    const pugi::xml_node graph = doc.child("gexf").child("graph");
    EXPECT_EQ(std::distance(graph.child("nodes").children("node").begin(), graph.child("nodes").children("node").end()),
              4);
    EXPECT_EQ(std::distance(graph.child("edges").children("edge").begin(), graph.child("edges").children("edge").end()),
              3);
    const pugi::xml_node anna = graph.child("nodes").find_child_by_attribute("node", "id", "n1");
    EXPECT_STREQ(anna.attribute("label").value(), "Anna \"Ann\" <A&B>");
    // The positive view has no stored place for Anna (her place is of the view of both kinds).
    EXPECT_FALSE(anna.child("viz:position"));
    std::set<std::string> declared;
    for (pugi::xml_node a : graph.find_child_by_attribute("attributes", "class", "node").children("attribute"))
        declared.insert(a.attribute("id").value());
    for (pugi::xml_node v : anna.child("attvalues").children("attvalue"))
        EXPECT_TRUE(declared.contains(v.attribute("for").value())) << v.attribute("for").value();
    for (pugi::xml_node e : graph.child("edges").children("edge"))
        EXPECT_STREQ(e.attribute("weight").value(), "1");
}

TEST(Exports, PajekAndEdgeListNumberEveryArc)
{
    TProjectBuilder p;
    Sample(p);
    const TInvestigationObject model(p.store, 7);
    const TNetwork network = BuildNetwork(p.store, model, ComputeStatusGroups(model), TChoiceKind::Any);
    const std::string pajek = PajekText(network);
    EXPECT_EQ(pajek.rfind("*Vertices 4\r\n1 \"Anna 'Ann' <A&B>\"\r\n2 \"Bob\"", 0), 0u) << pajek;
    EXPECT_NE(pajek.find("*Arcs\r\n1 2 1\r\n2 1 1\r\n3 1 1\r\n2 3 -1\r\n1 3 -1\r\n"), std::string::npos) << pajek;

    TCsvTable edges;
    std::string error;
    ASSERT_TRUE(ReadCsvText(EdgeListCsvText(network), edges, error));
    ASSERT_EQ(edges.Rows.size(), 6u);
    EXPECT_EQ(edges.Rows[4].Fields, (std::vector<std::string>{"2", "3", "Bob", "Cleo", "-1"}));

    const TTempDir dir;
    EXPECT_FALSE(WriteNetwork(network, dir.File("net.txt"), error));
    EXPECT_NE(error.find(".graphml"), std::string::npos);
    EXPECT_FALSE(WriteNetwork(network, dir.File("no/such/folder/net.gexf"), error));
    EXPECT_FALSE(error.empty());
}

} // namespace
