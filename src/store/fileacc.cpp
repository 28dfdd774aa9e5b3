#include "store/fileacc.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <limits>
#include <span>
#include <unordered_map>

#include "store/fileio.h"
#include "util/codepage.h"
#include "util/dates.h"
#include "util/error.h"
#include "util/progress.h"
#include "util/service.h"
#include "util/text.h"

namespace {

constexpr std::string_view kNull = "NULL";
constexpr std::string_view kLineBreakMark = "&&&&&";
constexpr std::string_view kFieldNums = "FIELD_NUMS";
constexpr std::string_view kDescription = "DESCRIPTION";
constexpr std::string_view kAdditional = "ADDITIONAL";
constexpr std::string_view kIsAuthor = "IS_AUTHOR";
constexpr int kProgressStep = 10;

TServiceSlot<TFileAccess> g_currentProject;

// ---- value conversions -------------------------------------------------------------------

bool ParseInt(std::string_view text, int32_t& value)
{
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty() || text.front() == '+')
        return false;
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    return result.ec == std::errc() && result.ptr == end;
}

bool ParseInt(std::string_view text, int16_t& value)
{
    int32_t wide = 0;
    if (!ParseInt(text, wide) || wide < std::numeric_limits<int16_t>::min() ||
        wide > std::numeric_limits<int16_t>::max())
        return false;
    value = static_cast<int16_t>(wide);
    return true;
}

bool ParseBool(std::string_view text, bool& value)
{
    int32_t n = 0;
    if (!ParseInt(text, n))
        return false;
    value = n != 0;
    return true;
}

// Appends to a string through a raw pointer: the string grows in large steps and is cut to its
// real length by Finish, which is far cheaper than a great many small std::string appends.
class TTextOut final {
public:
    explicit TTextOut(std::string& target) : m_target(target) { m_target.clear(); }
    TTextOut(const TTextOut&) = delete;
    TTextOut& operator=(const TTextOut&) = delete;

    void Put(char ch)
    {
        Room(1);
        m_data[m_length++] = ch;
    }
    void Put(std::string_view text)
    {
        Room(text.size());
        std::memcpy(m_data + m_length, text.data(), text.size());
        m_length += text.size();
    }
    void PutInt(int64_t value)
    {
        Room(24);
        m_length = static_cast<std::size_t>(
            std::to_chars(m_data + m_length, m_data + m_length + 24, value).ptr - m_data);
    }
    void Reserve(std::size_t bytes) { Room(bytes); }
    void Finish() { m_target.resize(m_length); }

private:
    void Room(std::size_t bytes)
    {
        if (m_length + bytes > m_target.size()) {
            m_target.resize(std::max(m_target.size() * 2, m_length + bytes + 4096));
            m_data = m_target.data();
        }
    }

    std::string& m_target;
    char* m_data = nullptr;
    std::size_t m_length = 0;
};

void AppendInt(TTextOut& out, int64_t value)
{
    out.PutInt(value);
}

bool AppendDate(TTextOut& out, double date)
{
    std::string text;
    if (!FormatFileDate(date, text))
        return false;
    out.Put(text);
    return true;
}

// A short text on one line: empty as "NULL"; a stray line break would split the record, so it
// becomes a blank.
void AppendShortText(TTextOut& out, const std::string& text)
{
    if (text.empty()) {
        out.Put(kNull);
        return;
    }
    if (text.find_first_of("\r\n") == std::string::npos) {
        out.Put(text);
        return;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char ch = text[i];
        if (ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        out.Put((ch == '\r' || ch == '\n') ? ' ' : ch);
    }
}

// A description on one line: every line break (CR LF, or a lone CR or LF) as "&&&&&".
void AppendDescription(TTextOut& out, const std::string& text)
{
    if (text.empty()) {
        out.Put(kNull);
        return;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char ch = text[i];
        if (ch == '\r') {
            out.Put(kLineBreakMark);
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else if (ch == '\n') {
            out.Put(kLineBreakMark);
        } else {
            out.Put(ch);
        }
    }
}

std::string RestoreLineBreaks(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    for (;;) {
        const std::size_t mark = text.find(kLineBreakMark, pos);
        if (mark == std::string_view::npos) {
            out.append(text.substr(pos));
            return out;
        }
        out.append(text.substr(pos, mark - pos));
        out += "\r\n";
        pos = mark + kLineBreakMark.size();
    }
}

// ---- column layout of the table sections -------------------------------------------------

// One column of a table section: its file name, how a value is read into a record and how it
// is written from one.
template <typename TRecord> struct TColumn {
    std::string_view name;
    bool (*read)(TRecord&, std::string_view);
    bool (*write)(const TRecord&, TTextOut&);
};

// Columns by kind of value; an integer column reads a 16- or 32-bit number as its field holds.
#define TREMLOW_INT_COLUMN(Record, Name, Field)                                                              \
    TColumn<Record>                                                                                          \
    {                                                                                                        \
        Name, [](Record& r, std::string_view v) { return ParseInt(v, r.Field); },                            \
            [](const Record& r, TTextOut& out) {                                                             \
                AppendInt(out, r.Field);                                                                     \
                return true;                                                                                 \
            }                                                                                                \
    }
#define TREMLOW_BOOL_COLUMN(Record, Name, Field)                                                             \
    TColumn<Record>                                                                                          \
    {                                                                                                        \
        Name, [](Record& r, std::string_view v) { return ParseBool(v, r.Field); },                           \
            [](const Record& r, TTextOut& out) {                                                             \
                out.Put(r.Field ? '1' : '0');                                                                \
                return true;                                                                                 \
            }                                                                                                \
    }
#define TREMLOW_DATE_COLUMN(Record, Name, Field)                                                             \
    TColumn<Record>                                                                                          \
    {                                                                                                        \
        Name, [](Record& r, std::string_view v) { return ParseFileDate(v, r.Field); },                           \
            [](const Record& r, TTextOut& out) { return AppendDate(out, r.Field); }                          \
    }
#define TREMLOW_TEXT_COLUMN(Record, Name, Field)                                                             \
    TColumn<Record>                                                                                          \
    {                                                                                                        \
        Name,                                                                                                \
            [](Record& r, std::string_view v) {                                                              \
                r.Field.assign(v);                                                                           \
                return true;                                                                                 \
            },                                                                                               \
            [](const Record& r, TTextOut& out) {                                                             \
                AppendShortText(out, r.Field);                                                               \
                return true;                                                                                 \
            }                                                                                                \
    }

const std::array kClientGroupColumns = {
    TREMLOW_INT_COLUMN(TAClientGroup, "CLIENT_GROUPS_ID", Id),
    TREMLOW_TEXT_COLUMN(TAClientGroup, "CLIENT_GROUPS_NAME", Name),
};

const std::array kClientColumns = {
    TREMLOW_INT_COLUMN(TAClient, "CLIENT_ID", Id),
    TREMLOW_INT_COLUMN(TAClient, "CLIENT_GROUP_ID", GroupId),
    TREMLOW_TEXT_COLUMN(TAClient, "CLIENT_FULLNAM", FullName),
    TREMLOW_DATE_COLUMN(TAClient, "CLIENT_DATE", BirthDate),
    TREMLOW_BOOL_COLUMN(TAClient, "CLIENT_GEN", IsMale),
};

const std::array kCriteryGroupColumns = {
    TREMLOW_INT_COLUMN(TACriteryGroup, "CRITERY_GROUPS_ID", Id),
    TREMLOW_TEXT_COLUMN(TACriteryGroup, "CRITERY_GROUPS_NAME", Name),
};

const std::array kCriteryColumns = {
    TREMLOW_INT_COLUMN(TACritery, "CRITERY_ID", Id),
    TREMLOW_INT_COLUMN(TACritery, "CRITERY_GROUP_ID", GroupId),
    TREMLOW_TEXT_COLUMN(TACritery, "CRITERY_NAM", Name),
};

const std::array kInvestColumns = {
    TREMLOW_INT_COLUMN(TAnInvest, "INVEST_ID", Id),
    TREMLOW_INT_COLUMN(TAnInvest, "INVEST_CLNGRP_ID", ClientGroupId),
    TREMLOW_INT_COLUMN(TAnInvest, "INVEST_CRTGRP_ID", CriteriaGroupId),
    TREMLOW_INT_COLUMN(TAnInvest, "INVEST_CRITERY_ID", CriterionId),
    TREMLOW_TEXT_COLUMN(TAnInvest, "INVEST_NAME", Name),
    TREMLOW_DATE_COLUMN(TAnInvest, "INVEST_DATE", Date),
    TREMLOW_BOOL_COLUMN(TAnInvest, "INVEST_ISAGAINST", AllowAgainst),
    TREMLOW_INT_COLUMN(TAnInvest, "INVEST_NUMS", MaxChoices),
};

const std::array kForColumns = {
    TREMLOW_INT_COLUMN(TChoiceRow, "FOR_INVID", InvestId),
    TREMLOW_INT_COLUMN(TChoiceRow, "FOR_FROM", FromId),
    TREMLOW_INT_COLUMN(TChoiceRow, "FOR_TO", ToId),
};

const std::array kAgainstColumns = {
    TREMLOW_INT_COLUMN(TChoiceRow, "AGAINST_INVID", InvestId),
    TREMLOW_INT_COLUMN(TChoiceRow, "AGAINST_FROM", FromId),
    TREMLOW_INT_COLUMN(TChoiceRow, "AGAINST_TO", ToId),
};

const std::array kGraphColumns = {
    TREMLOW_INT_COLUMN(TGraphPlace, "GRAPH_INVID", InvestId),
    TREMLOW_INT_COLUMN(TGraphPlace, "GRAPH_CLNGRPID", ClientGroupId),
    TREMLOW_INT_COLUMN(TGraphPlace, "GRAPH_CLNID", ClientId),
    TREMLOW_INT_COLUMN(TGraphPlace, "GRAPH_SELTYP", SelType),
    TREMLOW_INT_COLUMN(TGraphPlace, "GRAPH_LEFT", Left),
    TREMLOW_INT_COLUMN(TGraphPlace, "GRAPH_TOP", Top),
    TREMLOW_INT_COLUMN(TGraphPlace, "GRAPH_WIDTH", Width),
    TREMLOW_INT_COLUMN(TGraphPlace, "GRAPH_HEIGHT", Height),
    TREMLOW_INT_COLUMN(TGraphPlace, "GRAPH_FIGTYP", FigType),
};

const std::array kUserColumns = {
    TREMLOW_INT_COLUMN(TAUser, "USER_ID", Id),
    TREMLOW_TEXT_COLUMN(TAUser, "USER_NAME", Name),
    TREMLOW_TEXT_COLUMN(TAUser, "USER_PASSWORD", Password),
};

#undef TREMLOW_INT_COLUMN
#undef TREMLOW_BOOL_COLUMN
#undef TREMLOW_DATE_COLUMN
#undef TREMLOW_TEXT_COLUMN

template <typename TRecord> constexpr bool kHasDescription = std::is_base_of_v<TARecord, TRecord>;

// ---- reading ------------------------------------------------------------------------------

bool IsAscii(std::string_view text)
{
    for (char ch : text) {
        if (static_cast<unsigned char>(ch) >= 0x80)
            return false;
    }
    return true;
}

char AsciiLower(char ch)
{
    return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch;
}

bool SameNoCase(std::string_view a, std::string_view b)
{
    if (IsAscii(a) && IsAscii(b)) {
        if (a.size() != b.size())
            return false;
        for (std::size_t i = 0; i < a.size(); ++i) {
            if (AsciiLower(a[i]) != AsciiLower(b[i]))
                return false;
        }
        return true;
    }
    return EqualsNoCase(a, b);
}

// A section header starts with "[" and ends with "]", judged on its first 255 characters.
bool IsHeaderLine(std::string_view line)
{
    if (line.empty() || line.front() != '[')
        return false;
    if (line.size() <= kShortTextMax)
        return line.back() == ']';
    const std::string cut = CutChars(line, kShortTextMax);
    return cut.back() == ']';
}

// Values are read up to 255 characters (descriptions are kept whole by the caller).
std::string_view CutValue(std::string_view value, std::string& storage)
{
    if (value.size() <= kShortTextMax)
        return value;
    storage = CutChars(value, kShortTextMax);
    return storage;
}

struct TKeyValue {
    std::string_view key;
    std::string_view value;
};

// Where one "key=value" line lies in the text (12 bytes a line instead of two views).
struct TPairPos {
    uint32_t keyStart;
    uint32_t valueStart;
    uint32_t valueEnd;
};

// The key/value lines of one section.
class TSectionPairs final {
public:
    TSectionPairs() = default;
    TSectionPairs(std::string_view text, std::span<const TPairPos> pos) : m_text(text), m_pos(pos) {}

    std::size_t size() const { return m_pos.size(); }
    bool empty() const { return m_pos.empty(); }
    TKeyValue operator[](std::size_t i) const
    {
        const TPairPos& p = m_pos[i];
        return {m_text.substr(p.keyStart, p.valueStart - 1 - p.keyStart),
                m_text.substr(p.valueStart, p.valueEnd - p.valueStart)};
    }

private:
    std::string_view m_text;
    std::span<const TPairPos> m_pos;
};

// The decoded text of a project file in one pass: the key and value of every line with "=",
// in file order, and where the section headers fall among them. Lines without "=" play no
// part in reading; the views point into the text.
class TProjectText final {
public:
    explicit TProjectText(std::string_view text) : m_text(text)
    {
        if (text.size() >= std::numeric_limits<uint32_t>::max()) {
            m_tooLarge = true;
            return;
        }
        m_pairs.reserve(text.size() / 16 + 16);
        TLineCursor lines(text);
        std::string_view line;
        while (lines.Next(line))
            AddLine(line);
    }

    // Texts of 4 GB and more are not read.
    bool TooLarge() const { return m_tooLarge; }

    // The line number (from 1) of a view into the text; counted only when a failure is reported.
    int32_t LineOf(std::string_view part) const
    {
        const std::size_t end = static_cast<std::size_t>(part.data() - m_text.data());
        int32_t line = 1;
        for (std::size_t i = 0; i < end && i < m_text.size(); ++i) {
            if (m_text[i] == '\n' || (m_text[i] == '\r' && (i + 1 >= m_text.size() || m_text[i + 1] != '\n')))
                ++line;
        }
        return line;
    }

    // The key/value lines of the first section whose header equals [name] ignoring letter
    // case; empty when the section is missing.
    TSectionPairs Body(std::string_view name) const
    {
        for (std::size_t h = 0; h < m_headers.size(); ++h) {
            const std::string_view line = m_headers[h].line;
            // A character takes at most 4 bytes, so longer headers cannot match.
            if (line.size() < 2 || line.size() - 2 > 4 * name.size() ||
                !SameNoCase(line.substr(1, line.size() - 2), name))
                continue;
            const std::size_t first = m_headers[h].firstPair;
            const std::size_t end = h + 1 < m_headers.size() ? m_headers[h + 1].firstPair : m_pairs.size();
            return TSectionPairs(m_text, std::span<const TPairPos>(m_pairs.data() + first, end - first));
        }
        return {};
    }

private:
    struct THeader {
        std::string_view line;
        std::size_t firstPair;
    };

    void AddLine(std::string_view line)
    {
        if (!line.empty() && line.front() == '[' && IsHeaderLine(line)) {
            m_headers.push_back({line, m_pairs.size()});
            return;
        }
        const void* eq = std::memchr(line.data(), '=', line.size());
        if (!eq)
            return;
        const auto start = static_cast<uint32_t>(line.data() - m_text.data());
        const auto at = static_cast<uint32_t>(static_cast<const char*>(eq) - m_text.data());
        m_pairs.push_back({start, at + 1, start + static_cast<uint32_t>(line.size())});
    }

    std::string_view m_text;
    bool m_tooLarge = false;
    std::vector<TPairPos> m_pairs;
    std::vector<THeader> m_headers;
};

// Reads one table section by position: FIELD_NUMS = n columns named by the next n keys, then
// the records, n values each. Only the positions count, not the keys of the record lines.
template <typename TTable, std::size_t N>
bool ReadSection(const TProjectText& text, std::string_view name,
                 const std::array<TColumn<typename TTable::RecordType>, N>& columns, TTable& table,
                 TStoreError& error)
{
    using TRecord = typename TTable::RecordType;
    error.Section = name;
    const TSectionPairs pairs = text.Body(name);
    if (pairs.empty() || pairs[0].key != kFieldNums) {
        error.Code = TStoreErrorCode::MissingSection;
        return false;
    }
    int32_t n = 0;
    std::string cut;
    if (!ParseInt(CutValue(pairs[0].value, cut), n) || n < 1) {
        error.Code = TStoreErrorCode::BadColumnCount;
        error.Line = text.LineOf(pairs[0].key);
        error.Key = std::string(kFieldNums);
        error.Value = CutValue(pairs[0].value, cut);
        return false;
    }
    const int64_t k = static_cast<int64_t>(pairs.size());
    const int64_t width = n;
    // R = (K - n - 1) / n, rounded to the nearest integer with halves to the even neighbour.
    const int64_t num = k - width - 1;
    int64_t records = num >= 0 ? num / width : -((-num + width - 1) / width);
    const int64_t rem = num - records * width; // 0 <= rem < n
    if (2 * rem > width || (2 * rem == width && records % 2 != 0))
        ++records;
    if (records == 0)
        return true;
    if (records < 0 || records * width + width > k - 1) {
        error.Code = TStoreErrorCode::IncompleteSection;
        return false;
    }

    // Which field each column fills (-1 for none).
    std::vector<int> fieldOf(static_cast<std::size_t>(n), -1);
    for (int64_t c = 0; c < width; ++c) {
        const std::string_view key = pairs[static_cast<std::size_t>(c + 1)].key;
        for (std::size_t f = 0; f < N; ++f) {
            if (columns[f].name == key)
                fieldOf[static_cast<std::size_t>(c)] = static_cast<int>(f);
        }
    }

    table.Reserve(static_cast<int32_t>(std::min<int64_t>(records, std::numeric_limits<int32_t>::max())));
    std::string storage;
    for (int64_t r = 1; r <= records; ++r) {
        TRecord record;
        std::string description;
        for (int64_t c = 0; c < width; ++c) {
            const TKeyValue pair = pairs[static_cast<std::size_t>(r * width + c + 1)];
            std::string_view value = pair.value;
            if (value == kNull)
                value = {};
            if constexpr (kHasDescription<TRecord>) {
                if (c == width - 1)
                    description = RestoreLineBreaks(value);
            }
            const int field = fieldOf[static_cast<std::size_t>(c)];
            if (field >= 0 &&
                !columns[static_cast<std::size_t>(field)].read(record, CutValue(value, storage))) {
                error.Code = TStoreErrorCode::BadValue;
                error.Line = text.LineOf(pair.key);
                error.Key = pair.key;
                error.Value = CutValue(value, storage);
                return false;
            }
        }
        if constexpr (kHasDescription<TRecord>)
            record.Description = std::move(description);
        table.AddRecord(std::move(record));
    }
    return true;
}

// ---- writing ------------------------------------------------------------------------------

// The header line "[name]".
void PutHeader(TTextOut& out, std::string_view name)
{
    out.Put('[');
    out.Put(name);
    out.Put("]\r\n");
}

// The start "name_row=" of a record's value line.
void PutValueKey(TTextOut& out, std::string_view name, int32_t row)
{
    out.Put(name);
    out.Put('_');
    AppendInt(out, row);
    out.Put('=');
}

template <typename TTable, std::size_t N>
bool WriteSection(TTextOut& out, std::string_view name,
                  const std::array<TColumn<typename TTable::RecordType>, N>& columns, const TTable& table,
                  TStoreError& error)
{
    using TRecord = typename TTable::RecordType;
    constexpr bool described = kHasDescription<TRecord>;
    PutHeader(out, name);
    out.Put(kFieldNums);
    out.Put('=');
    AppendInt(out, static_cast<int64_t>(N + (described ? 1 : 0)));
    out.Put("\r\n");
    for (const auto& column : columns) {
        out.Put(column.name);
        out.Put("=0\r\n");
    }
    if (described) {
        out.Put(kDescription);
        out.Put("=0\r\n");
    }
    for (int32_t i = 0; i < table.Count(); ++i) {
        const TRecord& record = table.At(i);
        for (const auto& column : columns) {
            PutValueKey(out, column.name, i + 1);
            if (!column.write(record, out)) {
                error.Code = TStoreErrorCode::BadRecord;
                error.Section = name;
                error.Key = column.name;
                error.Value = std::to_string(i + 1);
                return false;
            }
            out.Put("\r\n");
        }
        if constexpr (described) {
            PutValueKey(out, kDescription, i + 1);
            AppendDescription(out, record.Description);
            out.Put("\r\n");
        }
    }
    return true;
}

// ---- the table sections of a project file --------------------------------------------------

// Calls visit(name, columns, table) for each table section in file order, which is the order
// Load reads and Save writes; stops at the first visit that returns false.
template <typename TStore, typename TVisit> bool VisitSections(TStore& store, TVisit visit)
{
    return visit("CLIENT_GROUPS", kClientGroupColumns, store.ClientGroups()) &&
           visit("CLIENTS", kClientColumns, store.Clients()) &&
           visit("CRITERY_GROUPS", kCriteryGroupColumns, store.CriteriaGroups()) &&
           visit("CRITERIES", kCriteryColumns, store.Criteria()) &&
           visit("INVESTS", kInvestColumns, store.Investigations()) &&
           visit("FOR", kForColumns, store.ForChoices()) &&
           visit("AGAINST", kAgainstColumns, store.AgainstChoices()) &&
           visit("GRAPH", kGraphColumns, store.Placements()) && visit("USERS", kUserColumns, store.Users());
}

// Counts the records of a table for which pred holds.
template <typename TTable, typename Pred> int32_t CountWhere(const TTable& table, Pred pred)
{
    int32_t n = 0;
    for (int32_t i = 0; i < table.Count(); ++i)
        n += pred(table.At(i)) ? 1 : 0;
    return n;
}

// ---- line editor helpers ------------------------------------------------------------------

std::string HeaderOf(std::string_view section)
{
    std::string header;
    header.reserve(section.size() + 2);
    header += '[';
    header += section;
    header += ']';
    return header;
}

// The key of a line (the text before the first "="), or nothing for a line without "=".
std::optional<std::string_view> KeyOf(std::string_view line)
{
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos)
        return std::nullopt;
    return line.substr(0, eq);
}

// True when key is column, "_", a row number (split at the last "_").
bool IsRowKeyOf(std::string_view key, std::string_view column)
{
    const std::size_t us = key.rfind('_');
    if (us == std::string_view::npos || key.substr(0, us) != column || us + 1 == key.size())
        return false;
    for (char ch : key.substr(us + 1)) {
        if (ch < '0' || ch > '9')
            return false;
    }
    return true;
}

} // namespace

// ---- TFileAccess --------------------------------------------------------------------------

TFileAccess::TFileAccess(std::string fileName) : m_fileName(std::move(fileName)) {}

TFileAccess::~TFileAccess()
{
    if (g_currentProject.Get() == this)
        g_currentProject.Install(nullptr);
}

bool TFileAccess::Fail(TStoreErrorCode code, std::string reason)
{
    m_lastError.Code = code;
    m_lastError.File = m_fileName;
    if (!reason.empty())
        m_lastError.Reason = std::move(reason);
    return false;
}

bool TFileAccess::Load()
{
    m_lastError = {};
    TFileBytes bytes;
    if (!bytes.Read(m_fileName)) {
        const int reason = errno;
        return Fail(TStoreErrorCode::CannotRead, reason ? std::strerror(reason) : std::string());
    }
    return LoadFromBytes(bytes.View());
}

bool TFileAccess::LoadFromBytes(std::string_view bytes)
{
    m_lastError = {};
    TProgressScope progress;
    try {
        std::string storage;
        std::string_view text;
        m_codePage = DecodeFileBytes(bytes, FileCodePage(), storage, text);
        if (!LoadText(text))
            return Fail(m_lastError.Code);
    } catch (const std::exception& e) {
        return Fail(TStoreErrorCode::Unexpected, e.what());
    }
    return true;
}

bool TFileAccess::LoadText(std::string_view decoded)
{
    m_lines.clear();
    m_clientGroups = {};
    m_clients = {};
    m_criteriaGroups = {};
    m_criteria = {};
    m_invests = {};
    m_forChoices = {};
    m_againstChoices = {};
    m_placements = {};
    m_users = {};

    const TProjectText text(decoded);
    if (text.TooLarge()) {
        m_lastError.Code = TStoreErrorCode::TooLarge;
        return false;
    }
    const bool read =
        VisitSections(*this, [this, &text](std::string_view name, const auto& columns, auto& table) {
            if (!ReadSection(text, name, columns, table, m_lastError))
                return false;
            ProgressSink().Advance(kProgressStep);
            return true;
        });
    if (!read)
        return false;
    m_lastError = {};

    // "0" is the only value that lets a project open without a login.
    std::optional<std::string_view> isAuthor;
    const TSectionPairs additional = text.Body(kAdditional);
    for (std::size_t i = 0; i < additional.size(); ++i) {
        if (additional[i].key == kIsAuthor) {
            isAuthor = additional[i].value;
            break;
        }
    }
    m_loginRequired = !(isAuthor && *isAuthor == "0");
    ProgressSink().Advance(kProgressStep);
    SetModified(false);
    return true;
}

bool TFileAccess::BuildFileText(std::string& text) const
{
    TStoreError error;
    return BuildFileText(text, error);
}

bool TFileAccess::BuildFileText(std::string& text, TStoreError& error) const
{
    TTextOut out(text);
    // Roughly 20 bytes per value line.
    const std::size_t estimate =
        64 * static_cast<std::size_t>(m_clients.Count() + m_clientGroups.Count() + m_criteria.Count() +
                                      m_criteriaGroups.Count() + m_invests.Count() + m_users.Count()) +
        70 * static_cast<std::size_t>(m_forChoices.Count() + m_againstChoices.Count()) +
        220 * static_cast<std::size_t>(m_placements.Count()) + 4096;
    out.Reserve(estimate);
    const bool written =
        VisitSections(*this, [&out, &error](std::string_view name, const auto& columns, const auto& table) {
            if (!WriteSection(out, name, columns, table, error))
                return false;
            ProgressSink().Advance(kProgressStep);
            return true;
        });
    if (!written) {
        text.clear();
        return false;
    }
    PutHeader(out, kAdditional);
    out.Put(kIsAuthor);
    out.Put(m_loginRequired ? "=1\r\n" : "=0\r\n");
    out.Finish();
    ProgressSink().Advance(kProgressStep);
    return true;
}

bool TFileAccess::Save()
{
    m_lastError = {};
    m_savedAsUtf8 = false;
    bool toUtf8 = false;
    {
        TProgressScope progress;
        m_lines.clear();
        try {
            std::string text;
            if (!BuildFileText(text, m_lastError))
                return Fail(m_lastError.Code);
            toUtf8 = !EncodeForFile(text);
            std::string reason;
            if (!ReplaceFile(m_fileName, text, reason))
                return Fail(TStoreErrorCode::CannotWrite, reason);
        } catch (const std::exception& e) {
            return Fail(TStoreErrorCode::Unexpected, e.what());
        }
    }
    SetModified(false);
    if (toUtf8) {
        m_codePage = kUtf8CodePage;
        m_savedAsUtf8 = true;
    }
    return true;
}

bool TFileAccess::EncodeForFile(std::string& text) const
{
    if (m_codePage == kUtf8CodePage)
        return true;
    // An 8-bit file is written back in its own code page, so that 8-bit readers keep reading it.
    std::string encoded;
    if (Utf8ToCodePage(text, m_codePage, encoded)) {
        text = std::move(encoded);
        return true;
    }
    return false;
}

bool TFileAccess::IsModified() const
{
    return m_clientGroups.Modified() || m_clients.Modified() || m_criteriaGroups.Modified() ||
           m_criteria.Modified() || m_invests.Modified() || m_forChoices.Modified() ||
           m_againstChoices.Modified() || m_placements.Modified() || m_users.Modified();
}

void TFileAccess::SetModified(bool value)
{
    m_clientGroups.SetModified(value);
    m_clients.SetModified(value);
    m_criteriaGroups.SetModified(value);
    m_criteria.SetModified(value);
    m_invests.SetModified(value);
    m_forChoices.SetModified(value);
    m_againstChoices.SetModified(value);
    m_placements.SetModified(value);
    m_users.SetModified(value);
}

void TFileAccess::SetLoginRequired(bool value)
{
    if (value == m_loginRequired)
        return;
    m_loginRequired = value;
    SetModified(true);
}

// ---- file image and line editor ------------------------------------------------------------

bool TFileAccess::ReadLines()
{
    m_lines.clear();
    std::string bytes;
    if (!ReadWholeFile(m_fileName, bytes))
        return false;
    std::string storage;
    std::string_view text;
    m_codePage = DecodeFileBytes(bytes, FileCodePage(), storage, text);
    for (std::string_view line : SplitLines(text))
        m_lines.emplace_back(line);
    return true;
}

bool TFileAccess::WriteLines()
{
    std::string text;
    for (const std::string& line : m_lines) {
        text += line;
        text += "\r\n";
    }
    if (!EncodeForFile(text))
        m_codePage = kUtf8CodePage;
    std::string error;
    if (!ReplaceFile(m_fileName, text, error)) {
        std::cerr << "tremlow: writing '" << m_fileName << "' failed: " << error << '\n';
        return false;
    }
    return true;
}

namespace {

// Index of the header line [name] (exact), or -1.
int32_t FindHeader(const std::vector<std::string>& lines, std::string_view name)
{
    const std::string header = HeaderOf(name);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i] == header)
            return static_cast<int32_t>(i);
    }
    return -1;
}

// Body of the section as [first, end) line indices; first == end for an empty body.
bool BodyOf(const std::vector<std::string>& lines, std::string_view name, std::size_t& first,
            std::size_t& end)
{
    const int32_t header = FindHeader(lines, name);
    if (header < 0)
        return false;
    first = static_cast<std::size_t>(header) + 1;
    end = first;
    while (end < lines.size() && !IsHeaderLine(lines[end]))
        ++end;
    return true;
}

} // namespace

bool TFileAccess::SectionExists(std::string_view name) const
{
    return FindHeader(m_lines, name) >= 0;
}

std::optional<TLineRange> TFileAccess::SectionRange(std::string_view name) const
{
    std::size_t first = 0, end = 0;
    if (!BodyOf(m_lines, name, first, end) || first == end)
        return std::nullopt;
    return TLineRange{static_cast<int32_t>(first), static_cast<int32_t>(end - 1)};
}

bool TFileAccess::KeyExists(std::string_view section, std::string_view key) const
{
    std::size_t first = 0, end = 0;
    if (!BodyOf(m_lines, section, first, end))
        return false;
    for (std::size_t i = first; i < end; ++i) {
        if (KeyOf(m_lines[i]) == key)
            return true;
    }
    return false;
}

std::string TFileAccess::ReadValue(std::string_view section, std::string_view key) const
{
    std::size_t first = 0, end = 0;
    if (!BodyOf(m_lines, section, first, end))
        return {};
    for (std::size_t i = first; i < end; ++i) {
        const auto k = KeyOf(m_lines[i]);
        if (k == key)
            return m_lines[i].substr(k->size() + 1);
    }
    return {};
}

void TFileAccess::WriteValue(std::string_view section, std::string_view key, std::string_view value)
{
    std::string line;
    line.reserve(key.size() + value.size() + 1);
    line += key;
    line += '=';
    line += value;
    std::size_t first = 0, end = 0;
    if (!BodyOf(m_lines, section, first, end)) {
        m_lines.push_back(HeaderOf(section));
        m_lines.push_back(std::move(line));
        return;
    }
    for (std::size_t i = first; i < end; ++i) {
        if (KeyOf(m_lines[i]) == key) {
            m_lines[i] = std::move(line);
            return;
        }
    }
    const std::size_t at = first == end ? first : end - 1;
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
}

void TFileAccess::DeleteKey(std::string_view section, std::string_view key)
{
    std::size_t first = 0, end = 0;
    if (!BodyOf(m_lines, section, first, end))
        return;
    const auto from = m_lines.begin() + static_cast<std::ptrdiff_t>(first);
    const auto to = m_lines.begin() + static_cast<std::ptrdiff_t>(end);
    const auto kept = std::remove_if(from, to, [key](const std::string& line) {
        const auto k = KeyOf(line);
        return k && (*k == key || IsRowKeyOf(*k, key));
    });
    m_lines.erase(kept, to);
}

void TFileAccess::RenameColumn(std::string_view section, std::string_view oldName, std::string_view newName)
{
    std::size_t first = 0, end = 0;
    if (!BodyOf(m_lines, section, first, end))
        return;
    for (std::size_t i = first; i < end; ++i) {
        std::string& line = m_lines[i];
        const auto k = KeyOf(line);
        if (!k)
            continue;
        if (*k == oldName || IsRowKeyOf(*k, oldName))
            line.replace(0, oldName.size(), newName);
    }
}

void TFileAccess::MergeColumn(std::string_view section, std::string_view from, std::string_view to)
{
    std::size_t first = 0, end = 0;
    if (!BodyOf(m_lines, section, first, end))
        return;
    // Lines of the target column by row number, looked up once instead of a scan per row.
    std::unordered_map<std::string, std::size_t> targets;
    for (std::size_t i = first; i < end; ++i) {
        const auto k = KeyOf(m_lines[i]);
        if (k && IsRowKeyOf(*k, to))
            targets.emplace(std::string(*k), i);
    }
    int64_t row = 1;
    std::string fromKey = std::string(from) + "_1";
    std::string toKey;
    for (std::size_t i = first; i < end; ++i) {
        const auto k = KeyOf(m_lines[i]);
        if (!k || *k != fromKey)
            continue;
        std::string_view value = std::string_view(m_lines[i]).substr(k->size() + 1);
        if (Trim(value) == kNull)
            value = {};
        toKey = std::string(to) + "_" + std::to_string(row);
        const auto target = targets.find(toKey);
        if (target != targets.end() && target->second != i) {
            // The target's own "NULL" is an empty value too, so it never becomes part of a name.
            std::string& line = m_lines[target->second];
            const std::size_t valueStart = line.find('=') + 1;
            std::string merged = line.substr(valueStart);
            if (Trim(merged) == kNull)
                merged.clear();
            merged += ' ';
            merged += value;
            merged = Trim(merged);
            line.replace(valueStart, std::string::npos, merged.empty() ? std::string(kNull) : merged);
        }
        ++row;
        fromKey = std::string(from) + "_" + std::to_string(row);
    }
}

// ---- counts and deletes ------------------------------------------------------------------

int32_t TFileAccess::CountClientsInGroup(int32_t groupId) const
{
    return CountWhere(m_clients, [groupId](const auto& r) { return r.GroupId == groupId; });
}

int32_t TFileAccess::CountCriteriaInGroup(int32_t groupId) const
{
    return CountWhere(m_criteria, [groupId](const auto& r) { return r.GroupId == groupId; });
}

int32_t TFileAccess::CountForChoices(int32_t investId) const
{
    return CountWhere(m_forChoices, [investId](const auto& r) { return r.InvestId == investId; });
}

int32_t TFileAccess::CountAgainstChoices(int32_t investId) const
{
    return CountWhere(m_againstChoices, [investId](const auto& r) { return r.InvestId == investId; });
}

bool TFileAccess::DeleteClientsOfGroup(int32_t groupId)
{
    m_clients.DeleteWhere([groupId](const TAClient& r) { return r.GroupId == groupId; });
    return true;
}

bool TFileAccess::DeleteCriteriaOfGroup(int32_t groupId)
{
    m_criteria.DeleteWhere([groupId](const TACritery& r) { return r.GroupId == groupId; });
    return true;
}

bool TFileAccess::DeleteClientGroup(int32_t id)
{
    return m_clientGroups.FindById(id) && m_clientGroups.Delete();
}

bool TFileAccess::DeleteCriteriaGroup(int32_t id)
{
    return m_criteriaGroups.FindById(id) && m_criteriaGroups.Delete();
}

bool TFileAccess::DeleteClient(int32_t id, int32_t groupId)
{
    return m_clients.Find(id, groupId) && m_clients.Delete();
}

bool TFileAccess::DeleteCriterion(int32_t id, int32_t groupId)
{
    return m_criteria.Find(id, groupId) && m_criteria.Delete();
}

bool TFileAccess::DeleteForChoices(int32_t investId)
{
    m_forChoices.DeleteWhere([investId](const TChoiceRow& r) { return r.InvestId == investId; });
    return true;
}

bool TFileAccess::DeleteAgainstChoices(int32_t investId)
{
    m_againstChoices.DeleteWhere([investId](const TChoiceRow& r) { return r.InvestId == investId; });
    return true;
}

bool TFileAccess::DeletePlacements(int32_t investId)
{
    m_placements.DeleteWhere([investId](const TGraphPlace& r) { return r.InvestId == investId; });
    return true;
}

bool TFileAccess::DeleteInvestigation(int32_t id)
{
    if (!m_invests.FindById(id))
        return true;
    const bool ok = DeleteForChoices(id) && DeleteAgainstChoices(id) && DeletePlacements(id);
    return m_invests.Delete() && ok;
}

TFileAccess* CurrentProject()
{
    return g_currentProject.Get();
}

TFileAccess* SetCurrentProject(TFileAccess* store)
{
    return g_currentProject.Install(store);
}
