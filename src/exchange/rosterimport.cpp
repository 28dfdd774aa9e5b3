#include "exchange/rosterimport.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <filesystem>

#include "exchange/csvreader.h"
#include "exchange/exchangetext.h"
#include "i18n/langconv.h"
#include "store/fileacc.h"
#include "util/dates.h"
#include "util/text.h"
#include "util/xmltext.h"

namespace {

enum class TRosterColumn : uint8_t { Name, Surname, GivenName, MiddleName, Sex, BirthDate, Description, Count };

struct TColumnWords {
    TRosterColumn Column;
    const char* Key; // catalogue key of more words, separated by ";"
    std::vector<std::string_view> English;
};

const std::vector<TColumnWords>& ColumnWords()
{
    static const std::vector<TColumnWords> words = {
        {TRosterColumn::Name, "ROSTER_WORDS_NAME", {"name", "full name", "fullname", "student", "pupil", "member"}},
        {TRosterColumn::Surname, "ROSTER_WORDS_SURNAME", {"surname", "last name", "lastname", "family name"}},
        {TRosterColumn::GivenName, "ROSTER_WORDS_GIVEN_NAME",
         {"given name", "first name", "firstname", "forename", "givenname"}},
        {TRosterColumn::MiddleName, "ROSTER_WORDS_MIDDLE_NAME", {"middle name", "patronymic", "middlename"}},
        {TRosterColumn::Sex, "ROSTER_WORDS_SEX", {"sex", "gender"}},
        {TRosterColumn::BirthDate, "ROSTER_WORDS_BIRTH_DATE",
         {"birth date", "date of birth", "birthdate", "birthday", "born", "dob"}},
        {TRosterColumn::Description, "ROSTER_WORDS_DESCRIPTION", {"description", "notes", "note", "comment", "comments"}},
    };
    return words;
}

// The words of a catalogue key ("a;b;c"), lower case and trimmed.
std::vector<std::string> CatalogueWords(const char* key)
{
    std::vector<std::string> out;
    if (!HasLangConv() || !LangConv().HasText(key))
        return out;
    const std::string text = LangConv().GetText(key);
    std::size_t from = 0;
    while (from <= text.size()) {
        const std::size_t end = std::min(text.find(';', from), text.size());
        const std::string word = ToLowerText(Trim(std::string_view(text).substr(from, end - from)));
        if (!word.empty())
            out.push_back(word);
        from = end + 1;
    }
    return out;
}

bool MatchesWord(const std::string& lowered, std::string_view english, const std::vector<std::string>& more)
{
    return lowered == english || std::find(more.begin(), more.end(), lowered) != more.end();
}

// The column a header cell names, or Count when it names none.
TRosterColumn ColumnOfHeader(std::string_view header)
{
    const std::string lowered = ToLowerText(Trim(header));
    for (const TColumnWords& entry : ColumnWords()) {
        const std::vector<std::string> more = CatalogueWords(entry.Key);
        for (const std::string_view english : entry.English) {
            if (MatchesWord(lowered, english, more))
                return entry.Column;
        }
        if (std::find(more.begin(), more.end(), lowered) != more.end())
            return entry.Column;
    }
    return TRosterColumn::Count;
}

enum class TSexAnswer { Male, Female, Unknown };

TSexAnswer ParseSex(std::string_view text)
{
    static const std::array<std::string_view, 6> kMale = {"m", "male", "man", "boy", "masculine", "1"};
    static const std::array<std::string_view, 7> kFemale = {"f", "female", "woman", "girl", "w", "feminine", "2"};
    const std::string lowered = ToLowerText(Trim(text));
    const std::vector<std::string> moreMale = CatalogueWords("ROSTER_WORDS_MALE");
    const std::vector<std::string> moreFemale = CatalogueWords("ROSTER_WORDS_FEMALE");
    if (std::find(kMale.begin(), kMale.end(), lowered) != kMale.end() ||
        std::find(moreMale.begin(), moreMale.end(), lowered) != moreMale.end())
        return TSexAnswer::Male;
    if (std::find(kFemale.begin(), kFemale.end(), lowered) != kFemale.end() ||
        std::find(moreFemale.begin(), moreFemale.end(), lowered) != moreFemale.end())
        return TSexAnswer::Female;
    return TSexAnswer::Unknown;
}

// The numbers of a date text and the separator between them.
bool SplitDate(std::string_view text, std::array<int, 3>& parts, char& separator)
{
    std::size_t part = 0;
    std::size_t i = 0;
    separator = 0;
    while (part < 3) {
        const char* first = text.data() + i;
        const char* last = text.data() + text.size();
        const auto [ptr, ec] = std::from_chars(first, last, parts[part]);
        if (ec != std::errc() || ptr == first)
            return false;
        i = static_cast<std::size_t>(ptr - text.data());
        ++part;
        if (part == 3)
            break;
        if (i >= text.size())
            return false;
        if (separator == 0)
            separator = text[i];
        else if (text[i] != separator)
            return false;
        ++i;
    }
    // A time part after the date ("2010-05-04 00:00:00", "2010-05-04T00:00") is ignored.
    return i == text.size() || text[i] == ' ' || text[i] == 'T';
}

std::string CellOf(const TCsvRow& row, int32_t column)
{
    if (column < 0 || static_cast<std::size_t>(column) >= row.Fields.size())
        return {};
    return Trim(row.Fields[static_cast<std::size_t>(column)]);
}

std::string JoinedRow(const TCsvRow& row)
{
    std::string text;
    for (const std::string& field : row.Fields) {
        if (!text.empty())
            text += " | ";
        text += Trim(field);
    }
    return RowExcerpt(text);
}

// The project writes a line break as "&&&&&", so that text typed in a description would read back
// as a line break; a word joiner (invisible) after the fourth ampersand keeps it as typed.
std::string KeepLineBreakMarks(const std::string& text)
{
    constexpr std::string_view kMark = "&&&&&";
    std::string out;
    std::size_t pos = 0;
    for (std::size_t at = text.find(kMark); at != std::string::npos; at = text.find(kMark, pos)) {
        out.append(text, pos, at + 4 - pos);
        out += "\xE2\x81\xA0";
        pos = at + 4;
    }
    return out + text.substr(pos);
}

// Names that occur more than once are named, since choices imported by name cannot tell them apart.
void NoteDuplicateNames(TRosterPlan& plan)
{
    std::vector<std::size_t> order(plan.Clients.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    const auto key = [&plan](std::size_t i) { return ToLowerText(plan.Clients[i].FullName); };
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return key(a) < key(b); });
    for (std::size_t i = 0; i < order.size();) {
        std::size_t end = i + 1;
        std::string lines = std::to_string(plan.Lines[order[i]]);
        while (end < order.size() && key(order[end]) == key(order[i]))
            lines += ", " + std::to_string(plan.Lines[order[end++]]);
        if (end - i > 1)
            plan.Notes.push_back(ExchangeText("ROSTER_NOTE_DUPLICATE",
                                              "The name \"%1\" occurs more than once (lines %2); choices "
                                              "imported by name cannot tell these clients apart.",
                                              RowExcerpt(plan.Clients[order[i]].FullName), lines));
        i = end;
    }
}

} // namespace

bool ParseImportedDate(std::string_view text, double& date)
{
    const std::string trimmed = Trim(text);
    std::array<int, 3> n{};
    char separator = 0;
    if (!SplitDate(trimmed, n, separator))
        return false;
    if (separator == '-' && n[0] > 31)
        return EncodeDate(n[0], n[1], n[2], date);
    if (separator == '.' || separator == '-')
        return n[2] > 31 && EncodeDate(n[2], n[1], n[0], date);
    if (separator == '/') {
        if (n[0] > 31)
            return EncodeDate(n[0], n[1], n[2], date);
        if (n[2] <= 31)
            return false;
        if (n[0] > 12 && n[1] <= 12)
            return EncodeDate(n[2], n[1], n[0], date);
        if (n[1] > 12 && n[0] <= 12)
            return EncodeDate(n[2], n[0], n[1], date);
        // 03/04/2010 reads as March or April depending on the country: refused rather than guessed.
        if (n[0] == n[1])
            return EncodeDate(n[2], n[1], n[0], date);
        return false;
    }
    return false;
}

TRosterPlan PlanRosterImport(std::string_view bytes, std::string groupName)
{
    TRosterPlan plan;
    plan.GroupName = CutChars(Trim(groupName));
    TCsvTable table;
    if (!ReadCsvText(bytes, table, plan.Failure))
        return plan;

    std::array<int32_t, static_cast<std::size_t>(TRosterColumn::Count)> columns;
    columns.fill(-1);
    const TCsvRow& header = table.Rows.front();
    for (std::size_t c = 0; c < header.Fields.size(); ++c) {
        const TRosterColumn column = ColumnOfHeader(header.Fields[c]);
        if (column == TRosterColumn::Count)
            continue;
        int32_t& slot = columns[static_cast<std::size_t>(column)];
        if (slot < 0)
            slot = static_cast<int32_t>(c);
    }
    auto at = [&](TRosterColumn column) { return columns[static_cast<std::size_t>(column)]; };
    const bool splitName = at(TRosterColumn::Surname) >= 0 || at(TRosterColumn::GivenName) >= 0;
    if (at(TRosterColumn::Name) < 0 && !splitName) {
        plan.Failure = ExchangeText("ROSTER_NO_NAME_COLUMN",
                                    "The first row names no column of names (name, or surname and given name).");
        return plan;
    }
    if (plan.GroupName.empty()) {
        plan.Failure = ExchangeText("ROSTER_NO_GROUP_NAME", "The new client group needs a name.");
        return plan;
    }
    if (IsReservedNull(plan.GroupName)) {
        plan.Failure = ReservedNameText();
        return plan;
    }
    if (at(TRosterColumn::Sex) < 0)
        plan.Notes.push_back(ExchangeText("ROSTER_NOTE_NO_SEX", "No column of sex: every client is entered as male."));
    if (at(TRosterColumn::BirthDate) < 0)
        plan.Notes.push_back(
            ExchangeText("ROSTER_NOTE_NO_BIRTH_DATE", "No column of birth dates: the dates are left unknown."));

    for (std::size_t r = 1; r < table.Rows.size(); ++r) {
        const TCsvRow& row = table.Rows[r];
        auto refuse = [&](std::string reason) {
            plan.Refused.push_back({row.Line, JoinedRow(row), std::move(reason)});
        };
        if (row.Fields.size() > header.Fields.size() &&
            std::any_of(row.Fields.begin() + static_cast<std::ptrdiff_t>(header.Fields.size()), row.Fields.end(),
                        [](const std::string& f) { return !Trim(f).empty(); })) {
            refuse(ExchangeText("ROSTER_ROW_TOO_LONG", "The row has more fields than the first row names."));
            continue;
        }
        TAClient client;
        if (splitName) {
            std::string name;
            for (const TRosterColumn part : {TRosterColumn::Surname, TRosterColumn::GivenName, TRosterColumn::MiddleName}) {
                const std::string value = CellOf(row, at(part));
                if (!value.empty())
                    name += (name.empty() ? "" : " ") + value;
            }
            client.FullName = name.empty() ? CellOf(row, at(TRosterColumn::Name)) : name;
        } else {
            client.FullName = CellOf(row, at(TRosterColumn::Name));
        }
        // Every problem of the row is named at once, so one round of corrections is enough.
        std::vector<std::string> problems;
        if (client.FullName.empty())
            problems.push_back(ExchangeText("ROSTER_NO_NAME", "The row has no name."));
        else if (CharCount(client.FullName) > kShortTextMax)
            problems.push_back(ExchangeText("ROSTER_NAME_TOO_LONG", "The name is longer than 255 characters."));
        else if (IsReservedNull(client.FullName))
            problems.push_back(ReservedNameText());
        if (at(TRosterColumn::Sex) >= 0) {
            const std::string sex = CellOf(row, at(TRosterColumn::Sex));
            const TSexAnswer answer = ParseSex(sex);
            if (answer == TSexAnswer::Unknown)
                problems.push_back(sex.empty() ? ExchangeText("ROSTER_NO_SEX", "The sex is missing.")
                                               : ExchangeText("ROSTER_BAD_SEX", "\"%1\" is not a sex (male or female).",
                                                              RowExcerpt(sex)));
            client.IsMale = answer == TSexAnswer::Male;
        }
        if (at(TRosterColumn::BirthDate) >= 0) {
            const std::string text = CellOf(row, at(TRosterColumn::BirthDate));
            if (!text.empty() && !ParseImportedDate(text, client.BirthDate))
                problems.push_back(ExchangeText(
                    "ROSTER_BAD_DATE", "\"%1\" is not a date that can be read without doubt; write it as year-month-day.",
                    RowExcerpt(text)));
        }
        if (!problems.empty()) {
            std::string reason;
            for (const std::string& problem : problems)
                reason += (reason.empty() ? "" : " ") + problem;
            refuse(std::move(reason));
            continue;
        }
        if (at(TRosterColumn::Description) >= 0) {
            // Descriptions are stored with CR LF line breaks.
            std::string description;
            for (const char ch : CellOf(row, at(TRosterColumn::Description))) {
                if (ch == '\n' && (description.empty() || description.back() != '\r'))
                    description += '\r';
                description += ch;
            }
            client.Description = KeepLineBreakMarks(description);
        }
        // Characters that no XML reader takes would spoil every export of the project.
        if (!IsXmlSafeText(client.FullName) || !IsXmlSafeText(client.Description)) {
            client.FullName = XmlSafeText(client.FullName);
            client.Description = XmlSafeText(client.Description);
            plan.Notes.push_back(ExchangeText("ROSTER_NOTE_CLEANED",
                                              "Line %1: control characters or non-characters were replaced by "
                                              "the replacement character (U+FFFD).",
                                              std::to_string(row.Line)));
        }
        plan.Clients.push_back(std::move(client));
        plan.Lines.push_back(row.Line);
    }
    NoteDuplicateNames(plan);
    if (plan.Clients.empty() && plan.Refused.empty())
        plan.Failure = ExchangeText("ROSTER_NO_ROWS", "The file names its columns but holds no clients.");
    return plan;
}

TRosterPlan PlanRosterImportFile(const std::string& path, std::string groupName)
{
    if (groupName.empty())
        groupName = std::filesystem::path(path).stem().string();
    std::string bytes;
    TRosterPlan plan;
    if (!ReadImportFile(path, bytes, plan.Failure))
        return plan;
    return PlanRosterImport(bytes, std::move(groupName));
}

int32_t ApplyRosterImport(TFileAccess& store, const TRosterPlan& plan)
{
    if (!plan.CanApply())
        return -1;
    TClientGroupTable& groups = store.ClientGroups();
    // Clients of a deleted group may remain in the table: the new group takes an id that neither
    // a group nor such a client carries, so the new clients join no one.
    int32_t groupId = 1;
    std::vector<int32_t> used;
    for (int32_t i = 0; i < groups.Count(); ++i)
        used.push_back(groups.At(i).Id);
    for (int32_t i = 0; i < store.Clients().Count(); ++i)
        used.push_back(store.Clients().At(i).GroupId);
    std::sort(used.begin(), used.end());
    for (const int32_t id : used) {
        if (id == groupId)
            ++groupId;
        else if (id > groupId)
            break;
    }
    groups.Add(groupId, plan.GroupName);
    int32_t clientId = 1;
    for (TAClient client : plan.Clients) {
        client.Id = clientId++;
        client.GroupId = groupId;
        store.Clients().AddRecord(std::move(client));
    }
    return groupId;
}
