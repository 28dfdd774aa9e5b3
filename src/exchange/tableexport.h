#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "analysis/choicekind.h"

class TFileAccess;
class TInvestigationObject;
class TAClient;
struct TStatusResult;

// One cell of an exported table: empty, text, or a number (written as a number, never as text).
struct TExportCell {
    enum class TKind { Empty, Text, Number };
    TKind Kind = TKind::Empty;
    std::string Text;
    double Number = 0;

    static TExportCell Of(std::string text) { return {TKind::Text, std::move(text), 0}; }
    static TExportCell Of(double number) { return {TKind::Number, {}, number}; }
};

using TExportRow = std::vector<TExportCell>;

// A named rectangular table, one sheet of a workbook or one CSV file: the rows held, then as many
// rows again made one at a time while the sheet is written, so a large table is never held whole.
struct TExportSheet {
    std::string Name;
    std::vector<TExportRow> Rows;
    std::size_t MadeRows = 0;
    std::function<void(std::size_t index, TExportRow& row)> MakeRow; // index from 0, after Rows
};

// Every row of a sheet in order, the held ones first.
void ForEachExportRow(const TExportSheet& sheet, const std::function<void(const TExportRow&)>& visit);

// The sociomatrix of a kind: member names across the first row and down the first column, 1 for
// a positive choice, -1 for a negative one (kind Any shows both), 0 for none. Its rows are made
// from the model while the sheet is written: the model must outlive the sheet.
TExportSheet SociomatrixSheet(const TInvestigationObject& model, TChoiceKind kind);
// One row per member: id, name, sex, birth date, status group (empty where the investigation has
// none), the choices given and received, and Pi, Ai, Ei and the status level for the positive,
// negative and any choices, with Sti.
TExportSheet MemberIndicesSheet(const TFileAccess& store, const TInvestigationObject& model,
                                const TStatusResult& status);
// The group indices P, Sa, J and N for the positive, negative and any choices.
TExportSheet GroupIndicesSheet(const TInvestigationObject& model);

// The client record of a member (sex, birth date); nullptr when the store has none.
const TAClient* FindMemberRecord(const TFileAccess& store, int32_t clientId, int32_t groupId);
// A birth date as "year-month-day"; empty for an unknown (zero) or undecodable date.
std::string IsoDate(double date);

// Text of a number as CSV and XML files carry it: the shortest that reads back to the same value.
std::string ExportNumberText(double value);

// Writes one sheet as CSV (RFC 4180, UTF-8, CR LF) or the sheets as an Excel workbook, each
// replacing the file only once it is complete. False with error set on failure.
bool WriteCsvSheet(const TExportSheet& sheet, const std::string& path, std::string& error);
bool WriteXlsxBook(const std::vector<TExportSheet>& sheets, const std::string& path, std::string& error);

// Whether a path names an Excel workbook (".xlsx", any letter case).
bool IsXlsxPath(const std::string& path);

// The exports of the command line and the windows: the workbook holds every sheet, a CSV path
// gets the first sheet and each further one beside it as "<name>-<sheet>.csv" (all files or none).
bool WriteSheets(const std::vector<TExportSheet>& sheets, const std::string& path, std::string& error);
// The path a further sheet of a CSV export is written to.
std::string CompanionCsvPath(const std::string& path, const std::string& sheetName);
