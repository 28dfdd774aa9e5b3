// Waves: what changed between investigations of the same group over time.
#include "analysis/waves.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <unordered_map>
#include <unordered_set>

#include "store/fileacc.h"

namespace {

// The client ids present in both waves.
std::unordered_set<int32_t> CommonMembers(const TWave& from, const TWave& to)
{
    std::unordered_set<int32_t> earlier;
    for (const TWaveMember& m : from.Members)
        earlier.insert(m.ClientId);
    std::unordered_set<int32_t> common;
    for (const TWaveMember& m : to.Members) {
        if (earlier.contains(m.ClientId))
            common.insert(m.ClientId);
    }
    return common;
}

// The distinct choices between common members (no self-choices), as ordered pair keys.
std::unordered_set<uint64_t> CommonChoices(const std::vector<TChoice>& list,
                                           const std::unordered_set<int32_t>& common)
{
    std::unordered_set<uint64_t> pairs;
    pairs.reserve(list.size());
    for (const TChoice& c : list) {
        if (c.FromId != c.ToId && common.contains(c.FromId) && common.contains(c.ToId))
            pairs.insert(ChoicePairKey(c.FromId, c.ToId));
    }
    return pairs;
}

bool Mutual(const std::unordered_set<uint64_t>& pairs, int32_t a, int32_t b)
{
    return pairs.contains(ChoicePairKey(a, b)) && pairs.contains(ChoicePairKey(b, a));
}

void CountChanges(const std::unordered_set<uint64_t>& before, const std::unordered_set<uint64_t>& after,
                  TChoiceChanges& choices, TMutualChanges& mutual)
{
    for (const uint64_t key : before) {
        const auto from = static_cast<int32_t>(key >> 32);
        const auto to = static_cast<int32_t>(key & 0xffffffffu);
        if (after.contains(key))
            ++choices.Kept;
        else
            ++choices.Dropped;
        // Each unordered mutual pair is met twice; count it from its smaller id.
        if (from < to && Mutual(before, to, from))
            ++(Mutual(after, from, to) ? mutual.Kept : mutual.Broken);
    }
    for (const uint64_t key : after) {
        const auto from = static_cast<int32_t>(key >> 32);
        const auto to = static_cast<int32_t>(key & 0xffffffffu);
        if (!before.contains(key))
            ++choices.New;
        if (from < to && Mutual(after, to, from) && !Mutual(before, from, to))
            ++mutual.Formed;
    }
}

// Members chosen positively by each common member.
std::unordered_map<int32_t, std::vector<int32_t>> ChosenBy(const std::unordered_set<uint64_t>& pairs)
{
    std::unordered_map<int32_t, std::vector<int32_t>> chosen;
    for (const uint64_t key : pairs)
        chosen[static_cast<int32_t>(key >> 32)].push_back(static_cast<int32_t>(key & 0xffffffffu));
    for (auto& [id, list] : chosen)
        std::sort(list.begin(), list.end());
    return chosen;
}

std::optional<double> Jaccard(const std::vector<int32_t>* a, const std::vector<int32_t>* b)
{
    static const std::vector<int32_t> none;
    const std::vector<int32_t>& x = a ? *a : none;
    const std::vector<int32_t>& y = b ? *b : none;
    if (x.empty() && y.empty())
        return std::nullopt;
    std::size_t both = 0;
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < x.size() && j < y.size()) {
        if (x[i] == y[j]) {
            ++both;
            ++i;
            ++j;
        } else if (x[i] < y[j]) {
            ++i;
        } else {
            ++j;
        }
    }
    return static_cast<double>(both) / static_cast<double>(x.size() + y.size() - both);
}

// Ranks 1 ... n with ties given their average rank.
std::vector<double> AverageRanks(const std::vector<int32_t>& values)
{
    std::vector<std::size_t> order(values.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&values](std::size_t a, std::size_t b) { return values[a] < values[b]; });
    std::vector<double> ranks(values.size());
    for (std::size_t start = 0; start < order.size();) {
        std::size_t end = start;
        while (end < order.size() && values[order[end]] == values[order[start]])
            ++end;
        const double rank = (static_cast<double>(start + 1) + static_cast<double>(end)) / 2;
        for (std::size_t k = start; k < end; ++k)
            ranks[order[k]] = rank;
        start = end;
    }
    return ranks;
}

std::size_t GroupIndex(TStatusGroup group)
{
    return static_cast<std::size_t>(group);
}

} // namespace

TWave WaveFromModel(const TInvestigationObject& model, const TStatusThresholds& thresholds)
{
    TWave wave;
    const TInvestInfo header = model.Header();
    wave.Id = header.Id;
    wave.Name = header.Name;
    wave.ClientGroupId = header.ClientGroupId;
    wave.CriterionId = header.CriterionId;
    wave.CriteriaGroupId = header.CriteriaGroupId;
    wave.CriterionName = model.CriterionName();
    wave.Date = header.Date;
    const TStatusResult status = ComputeStatusGroups(model, thresholds);
    std::unordered_set<int32_t> seen;
    for (int32_t i = 0; i < model.ClientCount(); ++i) {
        const TInvestClient client = model.Client(i);
        if (!seen.insert(client.Id).second)
            continue;
        TWaveMember member{.ClientId = client.Id,
                           .Name = client.Name,
                           .ForIn = client.ForIn,
                           .AgainstIn = client.AgainstIn,
                           .Pi = model.IndexPi(i, TChoiceKind::Positive),
                           .Sti = model.IndexSti(i, TChoiceKind::Positive),
                           .Status = std::nullopt};
        if (status.Available())
            member.Status = status.Members[static_cast<std::size_t>(i)].Group;
        wave.Members.push_back(std::move(member));
    }
    for (int32_t k = 0; k < model.ForCount(); ++k)
        wave.For.push_back(model.ForChoice(k));
    for (int32_t k = 0; k < model.AgainstCount(); ++k)
        wave.Against.push_back(model.AgainstChoice(k));
    wave.Indices = {model.IndexP(TChoiceKind::Positive), model.IndexSa(TChoiceKind::Positive),
                    model.IndexJ(TChoiceKind::Positive), model.IndexN(TChoiceKind::Positive)};
    return wave;
}

TWaveComparison CompareWaves(const TWave& from, const TWave& to)
{
    TWaveComparison out;
    out.FromId = from.Id;
    out.ToId = to.Id;
    out.SameClientGroup = from.ClientGroupId == to.ClientGroupId;
    out.SameCriterion = from.CriterionId == to.CriterionId && from.CriteriaGroupId == to.CriteriaGroupId;
    out.FromIndices = from.Indices;
    out.ToIndices = to.Indices;

    std::unordered_map<int32_t, const TWaveMember*> before;
    for (const TWaveMember& m : from.Members)
        before.emplace(m.ClientId, &m);
    const std::unordered_set<int32_t> common = CommonMembers(from, to);
    for (const TWaveMember& m : to.Members) {
        if (common.contains(m.ClientId))
            out.Common.push_back(m.ClientId);
        else
            out.Joined.push_back({m.ClientId, m.Name});
    }
    for (const TWaveMember& m : from.Members) {
        if (!common.contains(m.ClientId))
            out.Left.push_back({m.ClientId, m.Name});
    }

    const std::unordered_set<uint64_t> forBefore = CommonChoices(from.For, common);
    const std::unordered_set<uint64_t> forAfter = CommonChoices(to.For, common);
    CountChanges(forBefore, forAfter, out.Choices[0], out.Mutual[0]);
    CountChanges(CommonChoices(from.Against, common), CommonChoices(to.Against, common), out.Choices[1],
                 out.Mutual[1]);

    const auto chosenBefore = ChosenBy(forBefore);
    const auto chosenAfter = ChosenBy(forAfter);
    const auto find = [](const auto& map, int32_t id) {
        const auto it = map.find(id);
        return it == map.end() ? nullptr : &it->second;
    };
    std::vector<int32_t> receivedBefore;
    std::vector<int32_t> receivedAfter;
    out.StatusAvailable = !from.Members.empty() && !to.Members.empty() && from.Members.front().Status &&
                          to.Members.front().Status;
    for (const TWaveMember& later : to.Members) {
        if (!common.contains(later.ClientId))
            continue;
        const TWaveMember& earlier = *before.at(later.ClientId);
        TMemberChange change{.ClientId = later.ClientId,
                             .Name = later.Name,
                             .ForIn = {earlier.ForIn, later.ForIn},
                             .AgainstIn = {earlier.AgainstIn, later.AgainstIn},
                             .Pi = {earlier.Pi, later.Pi},
                             .Sti = {earlier.Sti, later.Sti},
                             .Status = {earlier.Status, later.Status},
                             .Jaccard = Jaccard(find(chosenBefore, later.ClientId), find(chosenAfter, later.ClientId))};
        if (out.StatusAvailable)
            ++out.Transitions[GroupIndex(*earlier.Status)][GroupIndex(*later.Status)];
        receivedBefore.push_back(earlier.ForIn);
        receivedAfter.push_back(later.ForIn);
        out.Members.push_back(std::move(change));
    }
    out.Spearman = SpearmanCorrelation(receivedBefore, receivedAfter);
    if (out.StatusAvailable && !out.Members.empty()) {
        int32_t kept = 0;
        for (std::size_t g = 0; g < kStatusGroupCount; ++g)
            kept += out.Transitions[g][g];
        out.KeptShare = static_cast<double>(kept) / static_cast<double>(out.Members.size());
        out.Kappa = CohensKappa(out.Transitions);
    }
    return out;
}

std::vector<TChoiceChange> PositiveChoiceChanges(const TWave& from, const TWave& to)
{
    const std::unordered_set<int32_t> common = CommonMembers(from, to);
    const std::unordered_set<uint64_t> before = CommonChoices(from.For, common);
    const std::unordered_set<uint64_t> after = CommonChoices(to.For, common);
    std::vector<TChoiceChange> changes;
    const auto add = [&changes](uint64_t key, TChoiceChange::TKind kind) {
        changes.push_back({static_cast<int32_t>(key >> 32), static_cast<int32_t>(key & 0xffffffffu), kind});
    };
    for (const uint64_t key : after)
        add(key, before.contains(key) ? TChoiceChange::TKind::Kept : TChoiceChange::TKind::New);
    for (const uint64_t key : before) {
        if (!after.contains(key))
            add(key, TChoiceChange::TKind::Dropped);
    }
    std::sort(changes.begin(), changes.end(), [](const TChoiceChange& a, const TChoiceChange& b) {
        return a.FromId != b.FromId ? a.FromId < b.FromId : a.ToId < b.ToId;
    });
    return changes;
}

std::vector<TWaveComparison> CompareWaveSeries(const std::vector<TWave>& waves)
{
    std::vector<TWaveComparison> pairs;
    for (std::size_t i = 1; i < waves.size(); ++i)
        pairs.push_back(CompareWaves(waves[i - 1], waves[i]));
    return pairs;
}

std::optional<double> SpearmanCorrelation(const std::vector<int32_t>& a, const std::vector<int32_t>& b)
{
    if (a.size() != b.size() || a.size() < 2)
        return std::nullopt;
    const std::vector<double> x = AverageRanks(a);
    const std::vector<double> y = AverageRanks(b);
    // Ranks have the mean (n + 1) / 2 whatever the ties.
    const double mean = (static_cast<double>(a.size()) + 1) / 2;
    double sxy = 0;
    double sxx = 0;
    double syy = 0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        sxy += (x[i] - mean) * (y[i] - mean);
        sxx += (x[i] - mean) * (x[i] - mean);
        syy += (y[i] - mean) * (y[i] - mean);
    }
    // A constant sample has every rank at the mean: its sum of squares is exactly 0.
    if (sxx == 0 || syy == 0)
        return std::nullopt;
    return sxy / std::sqrt(sxx * syy);
}

std::optional<double> CohensKappa(const TTransitionTable& table)
{
    // kappa = (po - pe) / (1 - pe) with po = kept / n and pe = sum rows * columns / n^2, taken
    // in whole numbers as (n kept - S) / (n^2 - S).
    int64_t n = 0;
    int64_t kept = 0;
    std::array<int64_t, kStatusGroupCount> rows{};
    std::array<int64_t, kStatusGroupCount> columns{};
    for (std::size_t i = 0; i < kStatusGroupCount; ++i) {
        for (std::size_t j = 0; j < kStatusGroupCount; ++j) {
            n += table[i][j];
            rows[i] += table[i][j];
            columns[j] += table[i][j];
        }
        kept += table[i][i];
    }
    int64_t chance = 0;
    for (std::size_t g = 0; g < kStatusGroupCount; ++g)
        chance += rows[g] * columns[g];
    if (n == 0 || n * n == chance)
        return std::nullopt;
    return static_cast<double>(n * kept - chance) / static_cast<double>(n * n - chance);
}

TWavesProblem CheckWaveIds(const std::vector<int32_t>& ids)
{
    if (ids.size() < 2)
        return TWavesProblem::TooFewWaves;
    std::unordered_set<int32_t> seen;
    for (const int32_t id : ids) {
        if (!seen.insert(id).second)
            return TWavesProblem::RepeatedWave;
    }
    return TWavesProblem::None;
}

TWavesProblem CheckWaveSeries(const std::vector<TWaveComparison>& pairs)
{
    for (const TWaveComparison& pair : pairs) {
        if (pair.Common.empty())
            return TWavesProblem::NoCommonMembers;
    }
    return TWavesProblem::None;
}

const char* WavesProblemKey(TWavesProblem problem)
{
    switch (problem) {
    case TWavesProblem::TooFewWaves:
        return "WAVES_TOO_FEW";
    case TWavesProblem::RepeatedWave:
        return "WAVES_REPEATED";
    case TWavesProblem::NoCommonMembers:
        return "WAVES_NO_COMMON";
    case TWavesProblem::MissingInvestigation:
        return "WAVES_NOT_FOUND";
    case TWavesProblem::None:
        break;
    }
    return "";
}

TWaveSeries CompareInvestigations(TFileAccess& store, const std::vector<int32_t>& ids,
                                  const TStatusThresholds& thresholds)
{
    TWaveSeries series;
    series.Problem = CheckWaveIds(ids);
    if (series.Problem != TWavesProblem::None)
        return series;
    for (const int32_t id : ids) {
        if (!store.Investigations().FindById(id)) {
            series.Problem = TWavesProblem::MissingInvestigation;
            series.MissingId = id;
            series.Waves.clear();
            return series;
        }
        const TInvestigationObject model(store, id);
        series.Waves.push_back(WaveFromModel(model, thresholds));
    }
    series.Pairs = CompareWaveSeries(series.Waves);
    series.Problem = CheckWaveSeries(series.Pairs);
    if (series.Problem != TWavesProblem::None) {
        series.Waves.clear();
        series.Pairs.clear();
    }
    return series;
}
