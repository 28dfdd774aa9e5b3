// The comparison of investigations in words and tables, for every output that shows it.
#include "reports/comparison.h"

#include <charconv>

#include "analysis/indices.h"
#include "exchange/csvreader.h"
#include "i18n/langconv.h"

namespace {

std::string T(const std::string& key)
{
    return LangConv().GetText(key);
}

std::string Arrow(const std::string& a, const std::string& b)
{
    return a + " \u2192 " + b;
}

// "a → b (+d)": a count in both waves and its change.
std::string CountChange(const std::array<int32_t, 2>& v)
{
    const int32_t d = v[1] - v[0];
    return Arrow(std::to_string(v[0]), std::to_string(v[1])) + " (" + (d > 0 ? "+" : "") + std::to_string(d) + ")";
}

std::string StatusName(const std::optional<TStatusGroup>& group)
{
    return group ? T(StatusGroupKey(*group)) : T("COMPARE_UNDEFINED");
}

std::string Names(const std::vector<TWaveOutsider>& clients)
{
    std::string names;
    for (const TWaveOutsider& c : clients)
        names += (names.empty() ? "" : ", ") + c.Name;
    return names.empty() ? T("COMPARE_NONE") : names;
}

// The shortest text that reads back to the same number; empty when undefined.
std::string CsvValue(const std::optional<double>& value)
{
    if (!value)
        return {};
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, *value).ptr;
    return std::string(buffer, end);
}

std::string CsvStatus(const std::optional<TStatusGroup>& group)
{
    return group ? StatusGroupWord(*group) : "";
}

} // namespace

std::string ComparisonCsv(const TWaveSeries& series)
{
    std::string out = CsvRecord({"from", "to", "id", "name", "positive_from", "positive_to", "negative_from",
                                 "negative_to", "Pi_from", "Pi_to", "Sti_from", "Sti_to", "status_from",
                                 "status_to", "moved", "jaccard"});
    for (const TWaveComparison& c : series.Pairs) {
        for (const TMemberChange& m : c.Members) {
            out += CsvRecord({std::to_string(c.FromId), std::to_string(c.ToId), std::to_string(m.ClientId), m.Name,
                              std::to_string(m.ForIn[0]), std::to_string(m.ForIn[1]),
                              std::to_string(m.AgainstIn[0]), std::to_string(m.AgainstIn[1]), CsvValue(m.Pi[0]),
                              CsvValue(m.Pi[1]), CsvValue(m.Sti[0]), CsvValue(m.Sti[1]), CsvStatus(m.Status[0]),
                              CsvStatus(m.Status[1]), m.Moved() ? "yes" : "no", CsvValue(m.Jaccard)});
        }
    }
    return out;
}

std::string ComparisonValue(const std::optional<double>& value)
{
    return value ? FormatIndexValue(*value) : T("COMPARE_UNDEFINED");
}

std::string WavesProblemText(const TWaveSeries& series)
{
    std::string text = T(WavesProblemKey(series.Problem));
    if (const auto at = text.find("%1"); at != std::string::npos)
        text.replace(at, 2, std::to_string(series.MissingId));
    return text;
}

std::vector<TComparisonBlock> ComparisonBlocks(const TWave& from, const TWave& to, const TWaveComparison& pair)
{
    std::vector<TComparisonBlock> blocks;

    TComparisonBlock heading{.Title = Arrow(from.Name, to.Name), .Lines = {}, .Rows = {}};
    if (!pair.SameClientGroup)
        heading.Lines.push_back(T("COMPARE_OTHER_GROUP"));
    if (!pair.SameCriterion)
        heading.Lines.push_back(T("COMPARE_OTHER_CRITERION"));
    heading.Lines.push_back(T("COMPARE_JOINED") + ": " + Names(pair.Joined));
    heading.Lines.push_back(T("COMPARE_LEFT") + ": " + Names(pair.Left));
    blocks.push_back(std::move(heading));

    TComparisonBlock changes{.Title = T("COMPARE_CHANGES"), .Lines = {}, .Rows = {}};
    changes.Rows.push_back({"", T("COMPARE_POSITIVE"), T("COMPARE_NEGATIVE")});
    const auto row = [&changes](const char* key, auto value) {
        changes.Rows.push_back({T(key), std::to_string(value(0)), std::to_string(value(1))});
    };
    row("COMPARE_CHOICES_KEPT", [&pair](int s) { return pair.Choices[s].Kept; });
    row("COMPARE_CHOICES_NEW", [&pair](int s) { return pair.Choices[s].New; });
    row("COMPARE_CHOICES_DROPPED", [&pair](int s) { return pair.Choices[s].Dropped; });
    row("COMPARE_MUTUAL_KEPT", [&pair](int s) { return pair.Mutual[s].Kept; });
    row("COMPARE_MUTUAL_FORMED", [&pair](int s) { return pair.Mutual[s].Formed; });
    row("COMPARE_MUTUAL_BROKEN", [&pair](int s) { return pair.Mutual[s].Broken; });
    blocks.push_back(std::move(changes));

    TComparisonBlock stability{.Title = T("COMPARE_STABILITY"), .Lines = {}, .Rows = {}};
    stability.Rows = {{T("COMPARE_SPEARMAN"), ComparisonValue(pair.Spearman)},
                      {T("COMPARE_KEPT_SHARE"), ComparisonValue(pair.KeptShare)},
                      {T("COMPARE_KAPPA"), ComparisonValue(pair.Kappa)}};
    blocks.push_back(std::move(stability));

    TComparisonBlock indices{.Title = T("COMPARE_GROUP_INDICES"), .Lines = {}, .Rows = {}};
    indices.Rows.push_back({"", from.Name, to.Name});
    for (std::size_t i = 0; i < kGroupIndices.size(); ++i) {
        indices.Rows.push_back({T(kGroupIndices[i].CaptionKey), FormatIndexValue(pair.FromIndices[i]),
                                FormatIndexValue(pair.ToIndices[i])});
    }
    blocks.push_back(std::move(indices));

    TComparisonBlock transitions{.Title = T("COMPARE_TRANSITIONS"), .Lines = {}, .Rows = {}};
    if (pair.StatusAvailable) {
        std::vector<std::string> header{""};
        for (const TStatusGroup g : kAllStatusGroups)
            header.push_back(T(StatusGroupKey(g)));
        transitions.Rows.push_back(std::move(header));
        for (const TStatusGroup g : kAllStatusGroups) {
            std::vector<std::string> cells{T(StatusGroupKey(g))};
            for (const int32_t n : pair.Transitions[static_cast<std::size_t>(g)])
                cells.push_back(std::to_string(n));
            transitions.Rows.push_back(std::move(cells));
        }
    } else {
        transitions.Lines.push_back(T("COMPARE_NO_STATUS"));
    }
    blocks.push_back(std::move(transitions));

    TComparisonBlock members{.Title = T("COMPARE_MEMBERS"), .Lines = {}, .Rows = {}};
    members.Rows.push_back({T("COMPARE_MEMBER"), T("COMPARE_RECEIVED_POS"), T("COMPARE_RECEIVED_NEG"), T("Pi_INDEX"),
                            T("Sti_INDEX"), T("COMPARE_STATUS"), T("COMPARE_JACCARD")});
    for (const TMemberChange& m : pair.Members) {
        const std::string status = m.Moved() ? Arrow(StatusName(m.Status[0]), StatusName(m.Status[1]))
                                             : StatusName(m.Status[1]);
        members.Rows.push_back({m.Name, CountChange(m.ForIn), CountChange(m.AgainstIn),
                                Arrow(FormatIndexValue(m.Pi[0]), FormatIndexValue(m.Pi[1])),
                                Arrow(FormatIndexValue(m.Sti[0]), FormatIndexValue(m.Sti[1])), status,
                                ComparisonValue(m.Jaccard)});
    }
    blocks.push_back(std::move(members));
    return blocks;
}

void WriteComparisonDocument(TReportDocWriter& doc, const TWaveSeries& series)
{
    doc.Tag(kTagHeader1);
    doc.Put(T("COMPARE_TITLE"));
    doc.Break(2);
    doc.Tag(kTagText);
    doc.Put(T("COMPARE_WAVES") + ":");
    doc.Break();
    for (std::size_t i = 0; i < series.Waves.size(); ++i) {
        const TWave& w = series.Waves[i];
        doc.Put(std::to_string(i + 1) + ". " + w.Name + " (" + w.CriterionName + ")");
        doc.Break();
    }
    doc.Break();
    for (std::size_t p = 0; p < series.Pairs.size(); ++p) {
        const std::vector<TComparisonBlock> blocks =
            ComparisonBlocks(series.Waves[p], series.Waves[p + 1], series.Pairs[p]);
        for (std::size_t b = 0; b < blocks.size(); ++b) {
            const TComparisonBlock& block = blocks[b];
            doc.Tag(b == 0 ? kTagHeader2 : kTagText);
            doc.Put(block.Title);
            doc.Break(b == 0 ? 2 : 1);
            if (!block.Lines.empty()) {
                doc.Tag(kTagText);
                for (const std::string& line : block.Lines) {
                    doc.Put(line);
                    doc.Break();
                }
            }
            if (!block.Rows.empty())
                doc.Table(block.Rows);
            doc.Tag(kTagText);
            doc.Break();
        }
    }
}
