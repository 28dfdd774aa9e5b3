// Status groups: standard scores of the nominations received and the five-group classification.
#include "analysis/statusgroups.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "analysis/investigationobj.h"

namespace {

// Sums of one count over the group, in whole numbers.
struct TSums {
    int64_t sum = 0;
    int64_t squares = 0;
};

TSums Sums(const std::vector<int32_t>& values)
{
    TSums s;
    for (const int32_t v : values) {
        s.sum += v;
        s.squares += static_cast<int64_t>(v) * v;
    }
    return s;
}

// n * sum(x^2) - (sum x)^2: n^2 times the population variance, exact.
int64_t Spread(int64_t n, const TSums& s)
{
    return n * s.squares - s.sum * s.sum;
}

// The standard score (x - mean) / sd written as (n x - sum) / sqrt(spread), so that only the
// square root and the division round.
long double StandardScore(int64_t n, int32_t x, const TSums& s, int64_t spread)
{
    if (spread <= 0)
        return 0;
    const long double numerator = static_cast<long double>(n * x - s.sum);
    return numerator / std::sqrt(static_cast<long double>(spread));
}

// Whether the deviations n x - sum of the two counts are proportional (correlation +-1).
bool Proportional(int64_t n, const std::vector<int32_t>& a, const TSums& sa, const std::vector<int32_t>& b,
                  const TSums& sb)
{
    std::size_t k = 0;
    while (k < a.size() && n * a[k] - sa.sum == 0)
        ++k;
    if (k == a.size())
        return false;
    const int64_t ak = n * a[k] - sa.sum;
    const int64_t bk = n * b[k] - sb.sum;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if ((n * a[i] - sa.sum) * bk != ak * (n * b[i] - sb.sum))
            return false;
    }
    return true;
}

TStatusGroup Classify(const TStatusMember& m, const TStatusThresholds& t)
{
    if (m.zSP > t.Extreme && m.zLM > 0 && m.zLL < 0)
        return TStatusGroup::Popular;
    if (m.zSP < -t.Extreme && m.zLM < 0 && m.zLL > 0)
        return TStatusGroup::Rejected;
    if (m.zSI < -t.Extreme && m.zLM < 0 && m.zLL < 0)
        return TStatusGroup::Neglected;
    if (m.zSI > t.Extreme && m.zLM > 0 && m.zLL > 0)
        return TStatusGroup::Controversial;
    if (m.zSP > -t.Average && m.zSP < t.Average && m.zSI > -t.Average && m.zSI < t.Average)
        return TStatusGroup::Average;
    return TStatusGroup::Unclassified;
}

} // namespace

const char* StatusGroupWord(TStatusGroup group)
{
    switch (group) {
    case TStatusGroup::Popular:
        return "popular";
    case TStatusGroup::Rejected:
        return "rejected";
    case TStatusGroup::Neglected:
        return "neglected";
    case TStatusGroup::Controversial:
        return "controversial";
    case TStatusGroup::Average:
        return "average";
    case TStatusGroup::Unclassified:
        break;
    }
    return "unclassified";
}

const char* StatusGroupKey(TStatusGroup group)
{
    switch (group) {
    case TStatusGroup::Popular:
        return "STATUS_GROUP_POPULAR";
    case TStatusGroup::Rejected:
        return "STATUS_GROUP_REJECTED";
    case TStatusGroup::Neglected:
        return "STATUS_GROUP_NEGLECTED";
    case TStatusGroup::Controversial:
        return "STATUS_GROUP_CONTROVERSIAL";
    case TStatusGroup::Average:
        return "STATUS_GROUP_AVERAGE";
    case TStatusGroup::Unclassified:
        break;
    }
    return "STATUS_GROUP_UNCLASSIFIED";
}

TStatusThresholds StatusThresholdsFromHundredths(int32_t extreme, int32_t average)
{
    extreme = std::clamp(extreme, 1, 500);
    average = std::clamp(average, 1, extreme);
    return {.Extreme = extreme / 100.0, .Average = average / 100.0};
}

TStatusResult ClassifyStatus(const std::vector<int32_t>& lm, const std::vector<int32_t>& ll,
                             const TStatusThresholds& thresholds)
{
    if (lm.size() != ll.size())
        throw std::invalid_argument("ClassifyStatus: the two count lists differ in length");
    TStatusResult result;
    const auto n = static_cast<int64_t>(lm.size());
    if (n < kStatusMinMembers) {
        result.Unavailable = TStatusUnavailable::TooFewMembers;
        return result;
    }
    const TSums x = Sums(lm);
    const TSums y = Sums(ll);
    const int64_t dx = Spread(n, x);
    const int64_t dy = Spread(n, y);

    // SP = zLM - zLL and SI = zLM + zLL have mean 0; their variances are ax + ay -/+ 2r, with a
    // the variance of each standard score (1, or 0 where all counts are equal) and r the
    // correlation of the counts. A variance that is 0 in exact arithmetic (r = +-1: the deviations
    // of the two counts are proportional) is recognised in whole numbers, so rounding never makes
    // a tiny divisor of it.
    int64_t cross = 0;
    for (std::size_t i = 0; i < lm.size(); ++i)
        cross += static_cast<int64_t>(lm[i]) * ll[i];
    cross = n * cross - x.sum * y.sum;
    const int ax = dx > 0 ? 1 : 0;
    const int ay = dy > 0 ? 1 : 0;
    long double r = 0;
    bool perfect = false;
    if (ax && ay) {
        perfect = Proportional(n, lm, x, ll, y);
        r = static_cast<long double>(cross) /
            (std::sqrt(static_cast<long double>(dx)) * std::sqrt(static_cast<long double>(dy)));
    }
    const bool spZero = (ax + ay == 0) || (ax && ay && perfect && cross > 0);
    const bool siZero = (ax + ay == 0) || (ax && ay && perfect && cross < 0);
    const long double spDeviation = spZero ? 0 : std::sqrt(ax + ay - 2 * r);
    const long double siDeviation = siZero ? 0 : std::sqrt(ax + ay + 2 * r);

    result.Members.reserve(lm.size());
    for (std::size_t i = 0; i < lm.size(); ++i) {
        TStatusMember m;
        m.LM = lm[i];
        m.LL = ll[i];
        const long double zx = StandardScore(n, lm[i], x, dx);
        const long double zy = StandardScore(n, ll[i], y, dy);
        m.zLM = static_cast<double>(zx);
        m.zLL = static_cast<double>(zy);
        m.zSP = spZero ? 0 : static_cast<double>((zx - zy) / spDeviation);
        m.zSI = siZero ? 0 : static_cast<double>((zx + zy) / siDeviation);
        m.Group = Classify(m, thresholds);
        ++result.Counts[static_cast<std::size_t>(m.Group)];
        result.Members.push_back(std::move(m));
    }
    return result;
}

TStatusResult ComputeStatusGroups(const TInvestigationObject& model, const TStatusThresholds& thresholds)
{
    TStatusResult result;
    if (!model.AllowAgainst() || model.AgainstCount() == 0) {
        result.Unavailable = TStatusUnavailable::NoNegativeChoices;
        return result;
    }
    std::vector<int32_t> lm;
    std::vector<int32_t> ll;
    lm.reserve(static_cast<std::size_t>(model.ClientCount()));
    ll.reserve(static_cast<std::size_t>(model.ClientCount()));
    for (int32_t i = 0; i < model.ClientCount(); ++i) {
        const TInvestClient client = model.Client(i);
        lm.push_back(client.ForIn);
        ll.push_back(client.AgainstIn);
    }
    result = ClassifyStatus(lm, ll, thresholds);
    for (std::size_t i = 0; i < result.Members.size(); ++i) {
        const TInvestClient client = model.Client(static_cast<int32_t>(i));
        result.Members[i].ClientId = client.Id;
        result.Members[i].Name = client.Name;
    }
    return result;
}
