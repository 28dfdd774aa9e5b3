#pragma once

#include <array>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "store/filecodec.h"
#include "store/filtab.h"
#include "store/storeerror.h"
#include "util/dates.h"

// The nine table sections of a project file: the columns of each, and how a section is read
// into its table and written from it. Only the project store includes this.

constexpr std::string_view kDescriptionColumn = "DESCRIPTION";

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
                out.PutInt(r.Field);                                                                               \
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

// Reads one table section by position: FIELD_NUMS = n columns named by the next n keys, then
// the records, n values each. Only the positions count, not the keys of the record lines.
template <typename TTable, std::size_t N>
bool ReadSection(TProjectText& text, std::string_view name,
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
            if (value == kFileNull)
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
    out.PutInt(static_cast<int64_t>(N + (described ? 1 : 0)));
    out.Put("\r\n");
    for (const auto& column : columns) {
        out.Put(column.name);
        out.Put("=0\r\n");
    }
    if (described) {
        out.Put(kDescriptionColumn);
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
            PutValueKey(out, kDescriptionColumn, i + 1);
            AppendDescription(out, record.Description);
            out.Put("\r\n");
        }
    }
    return true;
}

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
