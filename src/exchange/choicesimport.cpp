#include "exchange/choicesimport.h"

#include <algorithm>
#include <charconv>
#include <unordered_map>

#include "analysis/choicerules.h"
#include "exchange/csvreader.h"
#include "exchange/exchangetext.h"
#include "store/fileacc.h"
#include "util/text.h"

namespace {

// Finds members by the text a file names them with.
class TMemberLookup final {
public:
    TMemberLookup(const TFileAccess& store, int32_t investId)
    {
        const TInvestTable& invests = store.Investigations();
        int32_t groupId = -1;
        for (int32_t i = 0; i < invests.Count(); ++i) {
            if (invests.At(i).Id == investId) {
                groupId = invests.At(i).ClientGroupId;
                m_found = true;
                break;
            }
        }
        const TClientTable& clients = store.Clients();
        for (int32_t i = 0; i < clients.Count(); ++i) {
            const TAClient& client = clients.At(i);
            if (client.GroupId != groupId)
                continue;
            m_ids.push_back(client.Id);
            ++m_byName[ToLowerText(Trim(client.FullName))].count;
            m_byName[ToLowerText(Trim(client.FullName))].id = client.Id;
        }
    }

    bool InvestigationFound() const { return m_found; }

    enum class TFind { Found, Unknown, Ambiguous };

    // A whole number naming a member's id, else a member's name.
    TFind Find(std::string_view text, int32_t& id) const
    {
        const std::string trimmed = Trim(text);
        if (IsReservedNull(trimmed))
            return TFind::Unknown;
        int32_t number = 0;
        const auto [ptr, ec] = std::from_chars(trimmed.data(), trimmed.data() + trimmed.size(), number);
        if (ec == std::errc() && ptr == trimmed.data() + trimmed.size() &&
            std::find(m_ids.begin(), m_ids.end(), number) != m_ids.end()) {
            id = number;
            return TFind::Found;
        }
        const auto it = m_byName.find(ToLowerText(trimmed));
        if (it == m_byName.end())
            return TFind::Unknown;
        if (it->second.count > 1)
            return TFind::Ambiguous;
        id = it->second.id;
        return TFind::Found;
    }

private:
    struct TNamed {
        int32_t id = 0;
        int32_t count = 0;
    };
    bool m_found = false;
    std::vector<int32_t> m_ids;
    std::unordered_map<std::string, TNamed> m_byName;
};

std::string FindFailureText(TMemberLookup::TFind result, std::string_view text)
{
    if (IsReservedNull(text))
        return ReservedNameText();
    const std::string shown = RowExcerpt(Trim(text));
    if (result == TMemberLookup::TFind::Ambiguous)
        return ExchangeText("IMPORT_AMBIGUOUS_NAME", "\"%1\" is the name of more than one member; name them by id.", shown);
    if (shown.empty())
        return ExchangeText("IMPORT_EMPTY_NAME", "A member's name or id is missing.");
    return ExchangeText("IMPORT_UNKNOWN_NAME", "\"%1\" is no member of the investigation's client group.", shown);
}

std::string VerdictText(TChoiceVerdict verdict)
{
    switch (verdict) {
    case TChoiceVerdict::Admitted:
        return {};
    case TChoiceVerdict::NotAChoiceKind:
        return ExchangeText("IMPORT_NOT_A_KIND", "The choice is neither positive nor negative.");
    case TChoiceVerdict::NotMember:
        return ExchangeText("IMPORT_NOT_MEMBER", "The chooser or the chosen is no member of the group.");
    case TChoiceVerdict::SelfChoice:
        return ExchangeText("IMPORT_SELF_CHOICE", "A member cannot choose itself.");
    case TChoiceVerdict::AlreadyChosen:
        return ExchangeText("IMPORT_ALREADY_CHOSEN", "The pair already holds a choice.");
    case TChoiceVerdict::NegativeNotAllowed:
        return ExchangeText("IMPORT_NEGATIVE_NOT_ALLOWED", "The investigation takes no negative choices.");
    case TChoiceVerdict::LimitReached:
        return ExchangeText("IMPORT_LIMIT_REACHED", "The chooser has already made as many choices of this kind as allowed.");
    }
    return {};
}

enum class TSign { Positive, Negative, None, Unknown };

// A sign or cell value: 1, +1, + or a word for positive; -1, - (also the minus sign) or a word for
// negative; empty or 0 for none.
TSign ParseSign(std::string_view text, bool emptyIsPositive)
{
    const std::string value = ToLowerText(Trim(text));
    if (value.empty())
        return emptyIsPositive ? TSign::Positive : TSign::None;
    if (value == "1" || value == "+1" || value == "+" || value == "positive" || value == "pos" || value == "1.0")
        return TSign::Positive;
    if (value == "-1" || value == "-" || value == "\u2212" || value == "\u22121" || value == "negative" ||
        value == "neg" || value == "-1.0")
        return TSign::Negative;
    if (value == "0" && !emptyIsPositive)
        return TSign::None;
    return TSign::Unknown;
}

bool IsHeaderWord(std::string_view text, std::initializer_list<std::string_view> words)
{
    const std::string lowered = ToLowerText(Trim(text));
    return std::find(words.begin(), words.end(), lowered) != words.end();
}

std::string RowText(const TCsvRow& row)
{
    std::string text;
    for (const std::string& field : row.Fields) {
        if (!text.empty())
            text += ", ";
        text += Trim(field);
    }
    return RowExcerpt(text);
}

// Whether the table is a square matrix: as many rows as columns, every name of the first row and
// the first column a member.
bool LooksLikeMatrix(const TCsvTable& table, const TMemberLookup& lookup)
{
    const std::size_t n = table.Rows.size();
    if (n < 3 || table.Rows.front().Fields.size() != n)
        return false;
    int32_t id = 0;
    for (std::size_t c = 1; c < n; ++c) {
        if (lookup.Find(table.Rows.front().Fields[c], id) == TMemberLookup::TFind::Unknown)
            return false;
    }
    for (std::size_t r = 1; r < n; ++r) {
        if (table.Rows[r].Fields.empty() ||
            lookup.Find(table.Rows[r].Fields.front(), id) == TMemberLookup::TFind::Unknown)
            return false;
    }
    return true;
}

void Admit(TChoiceSheet& sheet, TChoicesPlan& plan, int32_t fromId, int32_t toId, TChoiceKind kind, int32_t line,
           const std::string& excerpt)
{
    const TChoiceVerdict verdict = sheet.Add(fromId, toId, kind);
    if (verdict != TChoiceVerdict::Admitted)
        plan.Refused.push_back({line, excerpt, VerdictText(verdict)});
}

void PlanMatrix(const TCsvTable& table, const TMemberLookup& lookup, TChoiceSheet& sheet, TChoicesPlan& plan)
{
    const std::vector<std::string>& names = table.Rows.front().Fields;
    std::vector<int32_t> columnIds(names.size(), 0);
    std::vector<TMemberLookup::TFind> columnFinds(names.size(), TMemberLookup::TFind::Unknown);
    for (std::size_t c = 1; c < names.size(); ++c)
        columnFinds[c] = lookup.Find(names[c], columnIds[c]);
    for (std::size_t r = 1; r < table.Rows.size(); ++r) {
        const TCsvRow& row = table.Rows[r];
        int32_t fromId = 0;
        const TMemberLookup::TFind fromFind = lookup.Find(row.Fields.front(), fromId);
        for (std::size_t c = 1; c < row.Fields.size(); ++c) {
            const TSign sign = ParseSign(row.Fields[c], false);
            if (sign == TSign::None)
                continue;
            const std::string excerpt = RowExcerpt(Trim(row.Fields.front()) + " -> " +
                                                   (c < names.size() ? Trim(names[c]) : std::string("?")) + ": " +
                                                   Trim(row.Fields[c]));
            if (c >= names.size()) {
                plan.Refused.push_back({row.Line, excerpt,
                                        ExchangeText("IMPORT_CELL_OUTSIDE", "The cell lies beyond the named columns.")});
                continue;
            }
            if (sign == TSign::Unknown) {
                plan.Refused.push_back({row.Line, excerpt,
                                        ExchangeText("IMPORT_BAD_CELL", "\"%1\" is no choice (1, -1 or empty).",
                                                     RowExcerpt(Trim(row.Fields[c])))});
                continue;
            }
            if (fromFind != TMemberLookup::TFind::Found) {
                plan.Refused.push_back({row.Line, excerpt, FindFailureText(fromFind, row.Fields.front())});
                continue;
            }
            if (columnFinds[c] != TMemberLookup::TFind::Found) {
                plan.Refused.push_back({row.Line, excerpt, FindFailureText(columnFinds[c], names[c])});
                continue;
            }
            Admit(sheet, plan, fromId, columnIds[c], sign == TSign::Positive ? TChoiceKind::Positive : TChoiceKind::Negative,
                  row.Line, excerpt);
        }
    }
}

void PlanEdgeList(const TCsvTable& table, const TMemberLookup& lookup, TChoiceSheet& sheet, TChoicesPlan& plan)
{
    std::size_t first = 0;
    std::size_t fromColumn = 0;
    std::size_t toColumn = 1;
    std::size_t signColumn = 2;
    const std::vector<std::string>& header = table.Rows.front().Fields;
    // The first row is a header only when it is recognisably one: every field a column word, the
    // chooser and the chosen among them. Anything else is a choice row and is admitted or refused
    // like every other, so a misspelt header is named rather than dropped.
    std::size_t from = header.size();
    std::size_t to = header.size();
    std::size_t signAt = header.size();
    bool onlyWords = true;
    for (std::size_t c = 0; c < header.size(); ++c) {
        if (IsHeaderWord(header[c], {"chooser", "from", "source", "who", "choosing"}))
            from = c;
        else if (IsHeaderWord(header[c], {"chosen", "to", "target", "whom"}))
            to = c;
        else if (IsHeaderWord(header[c], {"sign", "kind", "weight", "type", "value"}))
            signAt = c;
        else if (IsHeaderWord(header[c], {"source_name", "target_name", "chooser_name", "chosen_name"}))
            continue; // names beside the ids, as the network export writes them
        else if (!Trim(header[c]).empty())
            onlyWords = false;
    }
    if (onlyWords && from < header.size() && to < header.size()) {
        fromColumn = from;
        toColumn = to;
        signColumn = signAt < header.size() ? signAt : signColumn;
        first = 1;
    }
    for (std::size_t r = first; r < table.Rows.size(); ++r) {
        const TCsvRow& row = table.Rows[r];
        const std::string excerpt = RowText(row);
        auto field = [&](std::size_t c) { return c < row.Fields.size() ? row.Fields[c] : std::string(); };
        int32_t fromId = 0;
        int32_t toId = 0;
        const TMemberLookup::TFind fromFind = lookup.Find(field(fromColumn), fromId);
        if (fromFind != TMemberLookup::TFind::Found) {
            plan.Refused.push_back({row.Line, excerpt, FindFailureText(fromFind, field(fromColumn))});
            continue;
        }
        const TMemberLookup::TFind toFind = lookup.Find(field(toColumn), toId);
        if (toFind != TMemberLookup::TFind::Found) {
            plan.Refused.push_back({row.Line, excerpt, FindFailureText(toFind, field(toColumn))});
            continue;
        }
        const TSign sign = ParseSign(field(signColumn), true);
        if (sign != TSign::Positive && sign != TSign::Negative) {
            plan.Refused.push_back({row.Line, excerpt,
                                    ExchangeText("IMPORT_BAD_SIGN", "\"%1\" is no sign (+ or -).",
                                                 RowExcerpt(Trim(field(signColumn))))});
            continue;
        }
        Admit(sheet, plan, fromId, toId, sign == TSign::Positive ? TChoiceKind::Positive : TChoiceKind::Negative,
              row.Line, excerpt);
    }
}

} // namespace

TChoicesPlan PlanChoicesImport(const TFileAccess& store, int32_t investId, std::string_view bytes)
{
    TChoicesPlan plan;
    const TMemberLookup lookup(store, investId);
    if (!lookup.InvestigationFound()) {
        plan.Failure = ExchangeText("IMPORT_NO_INVESTIGATION", "No investigation has the identifier %1.",
                                    std::to_string(investId));
        return plan;
    }
    TCsvTable table;
    if (!ReadCsvText(bytes, table, plan.Failure))
        return plan;
    TChoiceSheet sheet = TChoiceSheet::ForInvestigation(store, investId);
    if (LooksLikeMatrix(table, lookup)) {
        plan.Layout = TChoicesLayout::Matrix;
        PlanMatrix(table, lookup, sheet, plan);
    } else {
        plan.Layout = TChoicesLayout::EdgeList;
        PlanEdgeList(table, lookup, sheet, plan);
    }
    plan.Positive = sheet.Choices(TChoiceKind::Positive);
    plan.Negative = sheet.Choices(TChoiceKind::Negative);
    plan.Empty = plan.Positive.empty() && plan.Negative.empty() && plan.Refused.empty();
    return plan;
}

TChoicesPlan PlanChoicesImportFile(const TFileAccess& store, int32_t investId, const std::string& path)
{
    std::string bytes;
    TChoicesPlan plan;
    if (!ReadImportFile(path, bytes, plan.Failure))
        return plan;
    return PlanChoicesImport(store, investId, bytes);
}

std::string EmptyChoicesFileText()
{
    return ExchangeText("IMPORT_NO_CHOICES", "The file holds no choices; importing it would remove every choice of "
                                             "the investigation, so nothing was changed.");
}

bool ApplyChoicesImport(TFileAccess& store, int32_t investId, const TChoicesPlan& plan, bool skipRefused,
                        std::string& error, bool allowEmpty)
{
    error.clear();
    if (!plan.Failure.empty()) {
        error = plan.Failure;
        return false;
    }
    if (plan.Empty && !allowEmpty) {
        error = EmptyChoicesFileText();
        return false;
    }
    if (!plan.Refused.empty() && !skipRefused) {
        error = ExchangeText("IMPORT_REFUSED_ROWS", "Rows refused: %1. No choice was imported.",
                             std::to_string(plan.Refused.size()));
        return false;
    }
    if (ReplaceInvestigationChoices(store, investId, plan.Positive, plan.Negative) != TReplaceChoicesResult::Done) {
        error = ExchangeText("IMPORT_NO_INVESTIGATION", "No investigation has the identifier %1.", std::to_string(investId));
        return false;
    }
    return true;
}
