#include "exchange/tableexport.h"

#include <charconv>
#include <filesystem>
#include <system_error>

#include <xlsxwriter.h>

#include "analysis/investigationobj.h"
#include "analysis/statusgroups.h"
#include "exchange/csvreader.h"
#include "exchange/exchangetext.h"
#include "store/fileacc.h"
#include "util/dates.h"
#include "util/safefile.h"
#include "util/text.h"
#include "util/xmltext.h"

namespace {

struct TKindColumn {
    TChoiceKind Kind;
    const char* Suffix;
};

constexpr TKindColumn kKindColumns[] = {
    {TChoiceKind::Positive, "pos"}, {TChoiceKind::Negative, "neg"}, {TChoiceKind::Any, "any"}};

std::string CellText(const TExportCell& cell)
{
    switch (cell.Kind) {
    case TExportCell::TKind::Empty:
        return {};
    case TExportCell::TKind::Text:
        return SpreadsheetSafeText(cell.Text);
    case TExportCell::TKind::Number:
        return ExportNumberText(cell.Number);
    }
    return {};
}

// Excel refuses sheet names over 31 characters and with []:*?/\ in them.
std::string SheetName(const std::string& name)
{
    std::string out;
    for (const char ch : name)
        out += std::string_view("[]:*?/\\").find(ch) == std::string_view::npos ? ch : '_';
    return CutChars(out, 31);
}

} // namespace

std::string IsoDate(double date)
{
    int year = 0;
    int month = 0;
    int day = 0;
    if (date == 0 || !DecodeDate(date, year, month, day))
        return {};
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
    return text;
}

const TAClient* FindMemberRecord(const TFileAccess& store, int32_t clientId, int32_t groupId)
{
    const TClientTable& clients = store.Clients();
    for (int32_t i = 0; i < clients.Count(); ++i) {
        const TAClient& client = clients.At(i);
        if (client.Id == clientId && client.GroupId == groupId)
            return &client;
    }
    return nullptr;
}

std::string ExportNumberText(double value)
{
    char text[32];
    const auto [end, ec] = std::to_chars(text, text + sizeof text, value);
    return ec == std::errc() ? std::string(text, end) : std::string("0");
}

TExportSheet SociomatrixSheet(const TInvestigationObject& model, TChoiceKind kind)
{
    TExportSheet sheet;
    sheet.Name = "Sociomatrix";
    const auto members = static_cast<std::size_t>(model.ClientCount());
    std::vector<int32_t> ids(members);
    TExportRow header{TExportCell{}};
    header.reserve(members + 1);
    for (std::size_t i = 0; i < members; ++i) {
        TInvestClient client = model.Client(static_cast<int32_t>(i));
        ids[i] = client.Id;
        header.push_back(TExportCell::Of(std::move(client.Name)));
    }
    sheet.Rows.push_back(header);
    const bool positive = kind == TChoiceKind::Positive || kind == TChoiceKind::Any;
    const bool negative = kind == TChoiceKind::Negative || kind == TChoiceKind::Any;
    sheet.MadeRows = members;
    sheet.MakeRow = [&model, ids = std::move(ids), names = std::move(header), positive,
                     negative](std::size_t r, TExportRow& row) {
        row.assign(1, names[r + 1]);
        for (const int32_t toId : ids) {
            double value = 0;
            if (positive && model.ForChoiceExists(ids[r], toId))
                value = 1;
            else if (negative && model.AgainstChoiceExists(ids[r], toId))
                value = -1;
            row.push_back(TExportCell::Of(value));
        }
    };
    return sheet;
}

TExportSheet MemberIndicesSheet(const TFileAccess& store, const TInvestigationObject& model,
                                const TStatusResult& status)
{
    TExportSheet sheet;
    sheet.Name = "Members";
    TExportRow header;
    for (const char* name : {"id", "name", "sex", "birth_date", "status_group", "pos_given", "pos_received",
                             "neg_given", "neg_received"})
        header.push_back(TExportCell::Of(std::string(name)));
    for (const TKindColumn& k : kKindColumns) {
        for (const char* index : {"Pi", "Ai", "Ei", "level"})
            header.push_back(TExportCell::Of(std::string(index) + "_" + k.Suffix));
    }
    header.push_back(TExportCell::Of(std::string("Sti")));
    sheet.Rows.push_back(std::move(header));

    for (int32_t i = 0; i < model.ClientCount(); ++i) {
        const TInvestClient client = model.Client(i);
        TExportRow row{TExportCell::Of(static_cast<double>(client.Id)), TExportCell::Of(client.Name)};
        const TAClient* record = FindMemberRecord(store, client.Id, client.GroupId);
        row.push_back(record ? TExportCell::Of(std::string(record->IsMale ? "male" : "female")) : TExportCell{});
        const std::string birth = record ? IsoDate(record->BirthDate) : std::string();
        row.push_back(birth.empty() ? TExportCell{} : TExportCell::Of(birth));
        if (status.Available() && static_cast<std::size_t>(i) < status.Members.size())
            row.push_back(TExportCell::Of(std::string(StatusGroupWord(status.Members[static_cast<std::size_t>(i)].Group))));
        else
            row.push_back(TExportCell{});
        for (const int32_t count : {client.ForOut, client.ForIn, client.AgainstOut, client.AgainstIn})
            row.push_back(TExportCell::Of(static_cast<double>(count)));
        for (const TKindColumn& k : kKindColumns) {
            row.push_back(TExportCell::Of(model.IndexPi(i, k.Kind)));
            row.push_back(TExportCell::Of(model.IndexAi(i, k.Kind)));
            row.push_back(TExportCell::Of(model.IndexEi(i, k.Kind)));
            row.push_back(TExportCell::Of(static_cast<double>(model.StatusLevel(i, k.Kind))));
        }
        row.push_back(TExportCell::Of(model.IndexSti(i, TChoiceKind::Positive)));
        sheet.Rows.push_back(std::move(row));
    }
    return sheet;
}

TExportSheet GroupIndicesSheet(const TInvestigationObject& model)
{
    TExportSheet sheet;
    sheet.Name = "Group";
    TExportRow header{TExportCell::Of(std::string("index"))};
    for (const TKindColumn& k : kKindColumns)
        header.push_back(TExportCell::Of(std::string(k.Suffix)));
    sheet.Rows.push_back(std::move(header));
    using TIndexFn = double (TInvestigationObject::*)(TChoiceKind) const;
    const std::pair<const char*, TIndexFn> indices[] = {{"P", &TInvestigationObject::IndexP},
                                                        {"Sa", &TInvestigationObject::IndexSa},
                                                        {"J", &TInvestigationObject::IndexJ},
                                                        {"N", &TInvestigationObject::IndexN}};
    for (const auto& [name, fn] : indices) {
        TExportRow row{TExportCell::Of(std::string(name))};
        for (const TKindColumn& k : kKindColumns)
            row.push_back(TExportCell::Of((model.*fn)(k.Kind)));
        sheet.Rows.push_back(std::move(row));
    }
    return sheet;
}

void ForEachExportRow(const TExportSheet& sheet, const std::function<void(const TExportRow&)>& visit)
{
    for (const TExportRow& row : sheet.Rows)
        visit(row);
    TExportRow made;
    for (std::size_t i = 0; i < sheet.MadeRows && sheet.MakeRow; ++i) {
        sheet.MakeRow(i, made);
        visit(made);
    }
}

bool WriteCsvSheet(const TExportSheet& sheet, const std::string& path, std::string& error)
{
    std::string text;
    std::vector<std::string> fields;
    ForEachExportRow(sheet, [&](const TExportRow& row) {
        fields.clear();
        for (const TExportCell& cell : row)
            fields.push_back(CellText(cell));
        text += CsvRecord(fields);
    });
    std::string why;
    if (!ReplaceFile(path, text, why)) {
        error = ExchangeText("EXPORT_WRITE_FAILED", "The file %1 cannot be written: %2", path, why);
        return false;
    }
    return true;
}

bool WriteXlsxBook(const std::vector<TExportSheet>& sheets, const std::string& path, std::string& error)
{
    // libxlsxwriter writes the workbook by name into the temporary file of the safe replace.
    const TFileFiller fill = [&sheets](int, const std::string& tmpPath, std::string& why) {
        // Rows go to the file as they are written, not held: a sociomatrix of 2000 members is
        // four million cells. Strings are then stored in their cells, which every reader takes.
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        lxw_workbook* book = workbook_new_opt(tmpPath.c_str(), &options);
        if (!book) {
            why = "no workbook";
            return false;
        }
        for (const TExportSheet& sheet : sheets) {
            lxw_worksheet* ws = workbook_add_worksheet(book, SheetName(sheet.Name).c_str());
            if (!ws)
                continue;
            lxw_row_t r = 0;
            ForEachExportRow(sheet, [&](const TExportRow& cells) {
                for (std::size_t c = 0; c < cells.size() && c <= LXW_COL_MAX; ++c) {
                    const TExportCell& cell = cells[c];
                    const auto col = static_cast<lxw_col_t>(c);
                    if (cell.Kind == TExportCell::TKind::Number)
                        worksheet_write_number(ws, r, col, cell.Number, nullptr);
                    else if (cell.Kind == TExportCell::TKind::Text)
                        worksheet_write_string(ws, r, col, XmlSafeText(cell.Text).c_str(), nullptr);
                }
                ++r;
            });
        }
        const lxw_error result = workbook_close(book);
        if (result != LXW_NO_ERROR) {
            why = lxw_strerror(result);
            return false;
        }
        return true;
    };
    std::string why;
    if (!ReplaceFileWith(path, fill, why)) {
        error = ExchangeText("EXPORT_WRITE_FAILED", "The file %1 cannot be written: %2", path, why);
        return false;
    }
    return true;
}

bool IsXlsxPath(const std::string& path)
{
    return ToLowerText(std::filesystem::path(path).extension().string()) == ".xlsx";
}

std::string CompanionCsvPath(const std::string& path, const std::string& sheetName)
{
    const std::filesystem::path p(path);
    std::string ext = p.extension().string();
    if (ext.empty())
        ext = ".csv";
    return (p.parent_path() / (p.stem().string() + "-" + ToLowerText(sheetName) + ext)).string();
}

bool WriteSheets(const std::vector<TExportSheet>& sheets, const std::string& path, std::string& error)
{
    if (IsXlsxPath(path))
        return WriteXlsxBook(sheets, path, error);
    // Several CSV files are written all or none: every path is checked first, and where a later
    // file still fails, the earlier ones get their old contents back (or go, if they are new).
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        paths.push_back(i == 0 ? path : CompanionCsvPath(path, sheets[i].Name));
        std::string why;
        if (!CheckOutputPath(paths.back(), why)) {
            error = ExchangeText("EXPORT_WRITE_FAILED", "The file %1 cannot be written: %2", paths.back(), why);
            return false;
        }
    }
    std::vector<std::pair<bool, std::string>> previous; // whether each written file existed, and its text
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        std::string old;
        const bool existed = ReadWholeFile(paths[i], old);
        if (!WriteCsvSheet(sheets[i], paths[i], error)) {
            for (std::size_t j = 0; j < previous.size(); ++j) {
                std::string ignored;
                std::error_code ec;
                if (previous[j].first)
                    ReplaceFile(paths[j], previous[j].second, ignored);
                else
                    std::filesystem::remove(paths[j], ec);
            }
            return false;
        }
        previous.emplace_back(existed, std::move(old));
    }
    return true;
}
