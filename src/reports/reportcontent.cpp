// The content of the five report kinds, written as a report document.
#include "reports/reporter.h"

#include <cstdio>
#include <optional>
#include <utility>
#include <vector>

#include "analysis/indices.h"
#include "analysis/investigationobj.h"
#include "analysis/statusgroups.h"
#include "analysis/waves.h"
#include "reports/comparison.h"
#include "reports/reportorder.h"
#include "reports/reportpictures.h"
#include "i18n/langconv.h"
#include "store/dbinfo.h"
#include "store/fileacc.h"
#include "util/error.h"

namespace {

std::string T(const std::string& key)
{
    return LangConv().GetText(key);
}

[[noreturn]] void ObjectNotFound()
{
    throw TAppError(T("REPORT_OBJECT_NOT_FOUND"));
}

// A date as year-month-day; a date that cannot be decoded gives an empty text.
std::string ShortDate(double date)
{
    int year = 0;
    int month = 0;
    int day = 0;
    if (!DecodeDate(date, year, month, day))
        return {};
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", year, month, day);
    return buffer;
}

// Each name followed by a line break; "none" for an empty list.
void NameList(TReportDocWriter& doc, const std::vector<std::string>& names)
{
    for (const std::string& name : names) {
        doc.Put(name);
        doc.Break();
    }
    if (names.empty()) {
        doc.Put(T("REPORT_NONE"));
        doc.Break();
    }
}

// What one object report shows: its title, the object's own lines ("label: value"), its
// description, the group it belongs to and lists of names, each under its label.
struct TObjectSheet {
    const char* titleKey = "";
    std::vector<std::string> fields;
    std::string description;
    int breaksAfterDescription = 2;
    const char* parentKey = nullptr; // label of the group it belongs to; none for a group
    std::string parentName;
    std::vector<std::pair<const char*, std::vector<std::string>>> lists;
};

// The one sequence the client, client group, criterion and criteria group reports share.
void WriteObjectSheet(TReportDocWriter& doc, const TObjectSheet& sheet)
{
    doc.Tag(kTagHeader1);
    doc.Put(T(sheet.titleKey));
    doc.Break(2);
    doc.Tag(kTagText);
    for (const std::string& field : sheet.fields) {
        doc.Put(field);
        doc.Break();
    }
    doc.Break();
    doc.Put(T("DESCRIPTION") + ": ");
    doc.Break();
    doc.Lines(sheet.description);
    doc.Break(sheet.breaksAfterDescription);
    if (sheet.parentKey) {
        doc.Put(T(sheet.parentKey) + ": ");
        doc.Break();
        doc.Put(sheet.parentName);
        doc.Break();
    }
    for (const auto& [labelKey, names] : sheet.lists) {
        doc.Tag(kTagText);
        doc.Break();
        doc.Put(T(labelKey) + ": ");
        doc.Break();
        NameList(doc, names);
    }
}

void ClientReport(TReportDocWriter& doc, TFileAccess& store, const TReportTarget& target, double today)
{
    TObjectSheet sheet;
    sheet.titleKey = "REPORT_CLIENT_TITLE";
    sheet.parentKey = "CLIENTGROUP_NAME";
    TClientInfo client;
    ReadClient(store, target.ObjectId, target.GroupId, sheet.description, client);
    if (client.Id == -1)
        ObjectNotFound();
    std::string groupDescription;
    TClientGroupInfo group;
    ReadClientGroup(store, client.GroupId, groupDescription, group);
    sheet.parentName = group.Name;
    sheet.fields = {T("CLIENT_NAME") + ": " + client.FullName,
                    T("CLIENT_SEX") + ": " + T(client.IsMale ? "CLIENT_MALE" : "CLIENT_FEMALE"),
                    T("CLIENT_BIRTHDAY") + ": " + ShortDate(client.BirthDate),
                    T("CLIENT_AGE") + ": " + std::to_string(AgeFromBirthDate(client.BirthDate, today))};
    auto& investigations = sheet.lists.emplace_back("REPORT_CLIENT_INVEST_LIST", std::vector<std::string>()).second;
    InvestigationsOfClientGroup(store, client.GroupId, investigations);
    WriteObjectSheet(doc, sheet);
}

void ClientGroupReport(TReportDocWriter& doc, TFileAccess& store, const TReportTarget& target)
{
    TObjectSheet sheet;
    sheet.titleKey = "REPORT_CLIENTGROUP_TITLE";
    sheet.breaksAfterDescription = 1;
    TClientGroupInfo group;
    ReadClientGroup(store, target.ObjectId, sheet.description, group);
    if (group.Id == -1)
        ObjectNotFound();
    sheet.fields = {T("CLIENTGROUP_NAME") + ": " + group.Name};
    sheet.lists.resize(2);
    sheet.lists[0].first = "REPORT_CLIENT_LIST";
    ClientNamesOfGroup(store, group.Id, sheet.lists[0].second);
    sheet.lists[1].first = "REPORT_CLIENTSGROUP_INVEST_LIST";
    InvestigationsOfClientGroup(store, group.Id, sheet.lists[1].second);
    WriteObjectSheet(doc, sheet);
}

void CriterionReport(TReportDocWriter& doc, TFileAccess& store, const TReportTarget& target)
{
    TObjectSheet sheet;
    sheet.titleKey = "REPORT_CRITERION_TITLE";
    sheet.parentKey = "CRITERYGROUP_NAME";
    TCriterionInfo criterion;
    ReadCriterion(store, target.ObjectId, target.GroupId, sheet.description, criterion);
    if (criterion.Id == -1)
        ObjectNotFound();
    std::string groupDescription;
    TCriteriaGroupInfo group;
    ReadCriteriaGroup(store, criterion.GroupId, groupDescription, group);
    sheet.parentName = group.Name;
    sheet.fields = {T("CRITERY_NAME") + ": " + criterion.Name};
    auto& investigations = sheet.lists.emplace_back("REPORT_CRITERION_INVEST_LIST", std::vector<std::string>()).second;
    InvestigationsOfCriterion(store, criterion.Id, criterion.GroupId, investigations);
    WriteObjectSheet(doc, sheet);
}

void CriteriaGroupReport(TReportDocWriter& doc, TFileAccess& store, const TReportTarget& target)
{
    TObjectSheet sheet;
    sheet.titleKey = "REPORT_CRITERIONGROUP_TITLE";
    TCriteriaGroupInfo group;
    ReadCriteriaGroup(store, target.ObjectId, sheet.description, group);
    if (group.Id == -1)
        ObjectNotFound();
    sheet.fields = {T("CRITERYGROUP_NAME") + ": " + group.Name};
    auto& criteria = sheet.lists.emplace_back("REPORT_CRITERION_LIST", std::vector<std::string>()).second;
    CriterionNamesOfGroup(store, group.Id, criteria);
    WriteObjectSheet(doc, sheet);
}

// The parts of the investigation report, by part index.
class TInvestigationParts final {
public:
    TInvestigationParts(TReportDocWriter& doc, const TInvestigationObject& model, const TStatusThresholds& status)
        : m_doc(doc), m_model(model), m_status(status)
    {
    }

    void Write(int part, const std::string& title)
    {
        m_doc.Tag(kTagHeader2);
        m_doc.Put(title);
        m_doc.Break(2);
        switch (part) {
        case 0:
            Glossary();
            break;
        case 1:
            ChoicesTable();
            break;
        case 2:
            GroupIndices(TChoiceKind::Positive);
            break;
        case 3:
            GroupIndices(TChoiceKind::Negative);
            break;
        case 4:
            ClientIndices(TChoiceKind::Positive);
            break;
        case 5:
            ClientIndices(TChoiceKind::Negative);
            break;
        case 6:
            Ranking(TClientOrder::ForIn);
            break;
        case 7:
            Ranking(TClientOrder::AgainstIn);
            break;
        case 8:
            Ranking(TClientOrder::ForOut);
            break;
        case 9:
            Ranking(TClientOrder::AgainstOut);
            break;
        case 10:
            Ranking(TClientOrder::ForMutual);
            break;
        case 11:
            Ranking(TClientOrder::AgainstMutual);
            break;
        case 12:
            Ranking(TClientOrder::AllIn);
            break;
        case 13:
            Ranking(TClientOrder::AllOut);
            break;
        case 14:
            MutualPairs(TChoiceKind::Positive);
            break;
        case 15:
            MutualPairs(TChoiceKind::Negative);
            break;
        case 16:
            StatusRanking(TClientOrder::PositiveStatus, TChoiceKind::Positive);
            break;
        case 17:
            StatusRanking(TClientOrder::NegativeStatus, TChoiceKind::Negative);
            break;
        case 18:
            StatusGroups();
            break;
        default:
            if (const std::optional<TReportPicture> picture = ReportPictureOfPart(part))
                Picture(*picture);
            break;
        }
    }

private:
    // A picture the builder draws with the views; the views draw no group of fewer than two.
    void Picture(TReportPicture picture)
    {
        if (m_model.ClientCount() < 2) {
            m_doc.Tag(kTagText);
            m_doc.Put(T("LESS_2_CLIENTS"));
            m_doc.Break(2);
            return;
        }
        m_doc.Tag(kTagPicture);
        m_doc.Put(ReportPictureName(picture));
    }

    void Glossary()
    {
        m_doc.Tag(kTagText);
        std::vector<const TIndexInfo*> indices;
        for (const TIndexInfo& info : kGroupIndices)
            indices.push_back(&info);
        for (const TIndexInfo& info : kClientIndices)
            indices.push_back(&info);
        for (std::size_t i = 0; i < indices.size(); ++i) {
            m_doc.Put(T(indices[i]->CaptionKey) + " - " + T(indices[i]->ReportKey));
            m_doc.Break(i + 1 == indices.size() ? 2 : 1);
        }
    }

    // The sociomatrix: members numbered in the column heads and named with their number on the
    // rows, a column of choices given and rows of choices received; negative totals only when
    // negative choices are asked. Cells go straight into the document, so a large group's matrix
    // is built once.
    void ChoicesTable()
    {
        const int32_t n = m_model.ClientCount();
        const bool against = m_model.AllowAgainst();
        std::vector<TInvestClient> clients;
        for (int32_t i = 0; i < n; ++i)
            clients.push_back(m_model.Client(i));
        m_doc.BeginTable(static_cast<std::size_t>(n) + (against ? 3 : 2));
        m_doc.Cell(T("REPORT_INVEST_CLIENTSWHOCHOOSE"));
        for (int32_t j = 1; j <= n; ++j)
            m_doc.Cell(std::to_string(j));
        m_doc.Cell(T("REPORT_GIVEN_POS"));
        if (against)
            m_doc.Cell(T("REPORT_GIVEN_NEG"));
        for (int32_t i = 0; i < n; ++i) {
            const TInvestClient& from = clients[static_cast<std::size_t>(i)];
            m_doc.Cell(std::to_string(i + 1) + ". " + from.Name);
            for (const TInvestClient& to : clients) {
                std::string mark;
                if (m_model.IsChoice(from.Id, to.Id, TChoiceKind::Positive))
                    mark += '+';
                if (m_model.IsChoice(from.Id, to.Id, TChoiceKind::Negative))
                    mark += '-';
                m_doc.Cell(mark.empty() ? " " : mark);
            }
            m_doc.Cell(std::to_string(from.ForOut));
            if (against)
                m_doc.Cell(std::to_string(from.AgainstOut));
        }
        const auto totalsRow = [&](const std::string& caption, int32_t TInvestClient::*received) {
            m_doc.Cell(caption);
            for (const TInvestClient& c : clients)
                m_doc.Cell(std::to_string(c.*received));
            m_doc.Cell(" ");
            if (against)
                m_doc.Cell(" ");
        };
        totalsRow(T("REPORT_RECEIVED_POS"), &TInvestClient::ForIn);
        if (against)
            totalsRow(T("REPORT_RECEIVED_NEG"), &TInvestClient::AgainstIn);
        m_doc.Tag(kTagText);
        m_doc.Break();
    }

    void GroupIndices(TChoiceKind kind)
    {
        const double values[] = {m_model.IndexP(kind), m_model.IndexSa(kind), m_model.IndexJ(kind),
                                 m_model.IndexN(kind)};
        TTableRows rows;
        for (std::size_t i = 0; i < kGroupIndices.size(); ++i) {
            // Cohesion counts mutual positive choices whatever the kind; say so under negative.
            const bool fromPositive = kind == TChoiceKind::Negative && kGroupIndices[i].CaptionKey == std::string_view("Sa_INDEX");
            rows.push_back({fromPositive ? T("REPORT_SA_FROM_POSITIVE") : T(kGroupIndices[i].CaptionKey),
                            FormatIndexValue(values[i])});
        }
        m_doc.Table(rows);
    }

    void ClientIndices(TChoiceKind kind)
    {
        TTableRows rows;
        std::vector<std::string> header{T("CLIENT_NAME")};
        for (const TIndexInfo& info : kClientIndices)
            header.push_back(T(info.CaptionKey));
        rows.push_back(std::move(header));
        for (int32_t i = 0; i < m_model.ClientCount(); ++i) {
            rows.push_back({m_model.Client(i).Name, FormatIndexValue(m_model.IndexPi(i, kind)),
                            FormatIndexValue(m_model.IndexAi(i, kind)), FormatIndexValue(m_model.IndexEi(i, kind)),
                            FormatIndexValue(m_model.IndexSti(i, kind))});
        }
        m_doc.Table(rows);
    }

    // The members in an ordering, a row each: the name and what valueOf makes of the member.
    template <typename TValueOf>
    void RankingTable(TClientOrder order, const std::string& valueHeading, TValueOf valueOf)
    {
        std::vector<TInvestClient> sorted;
        m_model.SortClients(order, sorted);
        TTableRows rows;
        rows.push_back({T("CLIENT_NAME"), valueHeading});
        for (const TInvestClient& c : sorted)
            rows.push_back({c.Name, valueOf(c)});
        m_doc.Table(rows);
    }

    void Ranking(TClientOrder order)
    {
        RankingTable(order, T("REPORT_NUMOF_CHOICES"),
                     [order](const TInvestClient& c) { return std::to_string(OrderCount(c, order)); });
    }

    void MutualPairs(TChoiceKind kind)
    {
        m_doc.Tag(kTagText);
        std::vector<std::string> pairs;
        m_model.MutualPairsList(pairs, kind);
        for (std::size_t i = 0; i < pairs.size(); ++i)
            m_doc.Put(pairs[i] + (i + 1 == pairs.size() ? "." : ", "));
        if (pairs.empty())
            m_doc.Put(T("REPORT_NONE") + ".");
    }

    void StatusRanking(TClientOrder order, TChoiceKind kind)
    {
        RankingTable(order, T("Pi_INDEX"), [this, kind](const TInvestClient& c) {
            return FormatIndexValue(m_model.IndexPi(m_model.FindClient(c.Id), kind));
        });
    }

    // The members of each status group, with the number in each and the cut-offs used; an
    // investigation without status groups gets the reason instead.
    void StatusGroups()
    {
        const TStatusResult result = ComputeStatusGroups(m_model, m_status);
        if (!result.Available()) {
            m_doc.Tag(kTagText);
            m_doc.Put(T(result.Unavailable == TStatusUnavailable::TooFewMembers ? "STATUS_TOO_FEW_MEMBERS"
                                                                                : "STATUS_NO_NEGATIVE_CHOICES"));
            m_doc.Break(2);
            return;
        }
        TTableRows rows;
        rows.push_back({T("REPORT_STATUS_GROUP"), T("REPORT_NUMOF_MEMBERS"), T("REPORT_STATUS_MEMBERS")});
        for (const TStatusGroup group : kAllStatusGroups) {
            std::string names;
            for (const TStatusMember& member : result.Members) {
                if (member.Group == group)
                    names += (names.empty() ? "" : ", ") + member.Name;
            }
            rows.push_back({T(StatusGroupKey(group)), std::to_string(result.Count(group)), names});
        }
        m_doc.Table(rows);
        m_doc.Tag(kTagText);
        m_doc.Break();
        m_doc.Put(T("REPORT_STATUS_THRESHOLDS") + ": " + FormatIndexValue(m_status.Extreme) + ", " +
                  FormatIndexValue(m_status.Average));
        m_doc.Break(2);
    }

    TReportDocWriter& m_doc;
    const TInvestigationObject& m_model;
    TStatusThresholds m_status;
};

void InvestigationReport(TReportDocWriter& doc, TFileAccess& store, const TReportTarget& target,
                         const TReportRegs& regs, const TStatusThresholds& status, bool withPictures)
{
    std::string description;
    TInvestInfo invest;
    ReadInvestigation(store, target.ObjectId, description, invest);
    if (invest.Id == -1)
        ObjectNotFound();
    const TInvestigationObject model(store, invest.Id);
    TReportRegs order = regs;
    const TReportOrderInRegistry parts(order);

    doc.Tag(kTagHeader1);
    doc.Put(T("REPORT_INVEST_TITLE"));
    doc.Break(2);
    doc.Tag(kTagHeader2);
    doc.Put(T("REPORT_INVEST_INITIAL"));
    doc.Break(2);
    doc.Tag(kTagText);
    doc.Put(T("INVESTIGATION_NAME") + ": " + model.Name());
    doc.Break();
    doc.Put(T("CRITERY_NAME") + ": " + model.CriterionName());
    doc.Break();
    doc.Put(T("CLIENTGROUP_NAME") + ": " + model.ClientGroupName());
    doc.Break();
    doc.Put(T("REPORT_MAX_NUMBER") + ": " + std::to_string(model.MaxChoices()));
    doc.Break();
    doc.Put(T("INVEST_ENABLE_AGAINST") + ": " + T(model.AllowAgainst() ? "POS_CONFIRM" : "NEG_CONFIRM"));
    doc.Break(2);
    doc.Put(T("DESCRIPTION") + ": ");
    doc.Break();
    doc.Lines(description);
    doc.Break(2);

    TInvestigationParts writer(doc, model, status);
    for (std::size_t pos = 0; pos < parts.Count(); ++pos) {
        const int part = parts.PartAt(pos);
        if (parts.IsOn(pos) && (withPictures || !kReportParts[static_cast<std::size_t>(part)].Picture))
            writer.Write(part, parts.TitleAt(pos));
    }
}

void ComparisonReport(TReportDocWriter& doc, TFileAccess& store, const TReportTarget& target,
                      const TStatusThresholds& status)
{
    std::vector<int32_t> ids{target.ObjectId};
    ids.insert(ids.end(), target.With.begin(), target.With.end());
    const TWaveSeries series = CompareInvestigations(store, ids, status);
    if (series.Problem != TWavesProblem::None)
        throw TAppError(WavesProblemText(series));
    WriteComparisonDocument(doc, series);
}

} // namespace

std::string BuildReportDocument(TFileAccess& store, const TReportTarget& target, const TReportRegs& regs,
                                double today, const TStatusThresholds& status, bool withPictures)
{
    TReportDocWriter doc;
    switch (target.Kind) {
    case TReportKind::Client:
        ClientReport(doc, store, target, today);
        break;
    case TReportKind::ClientGroup:
        ClientGroupReport(doc, store, target);
        break;
    case TReportKind::Criterion:
        CriterionReport(doc, store, target);
        break;
    case TReportKind::CriteriaGroup:
        CriteriaGroupReport(doc, store, target);
        break;
    case TReportKind::Investigation:
        InvestigationReport(doc, store, target, regs, status, withPictures);
        break;
    case TReportKind::Comparison:
        ComparisonReport(doc, store, target, status);
        break;
    }
    return doc.Take();
}
