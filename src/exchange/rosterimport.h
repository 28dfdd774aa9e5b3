#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "store/filtab.h"

class TFileAccess;

// A row of an imported file that cannot be taken, with the reason in the user's words.
struct TRefusedRow {
    int32_t Line = 0;    // line of the file the row starts on
    std::string Excerpt; // the row's text, cut to a readable length
    std::string Reason;
};

// What importing a class list would create: one client group and its clients, or the reasons it
// cannot. Nothing is created while any row is refused (all or nothing).
struct TRosterPlan {
    std::string GroupName;
    std::vector<TAClient> Clients; // Id and GroupId are assigned when the plan is applied
    std::vector<int32_t> Lines;    // the file line of each client
    std::vector<TRefusedRow> Refused;
    std::vector<std::string> Notes; // what was assumed (columns absent, dates unknown)
    std::string Failure;            // the file as a whole cannot be read or understood

    bool CanApply() const { return Failure.empty() && Refused.empty() && !Clients.empty(); }
};

// Reads a class list: a header row naming the columns (name, or surname and given name; sex;
// birth date; description; matched ignoring letter case, in English and in the catalogue's words)
// and one row per client.
TRosterPlan PlanRosterImport(std::string_view bytes, std::string groupName);
TRosterPlan PlanRosterImportFile(const std::string& path, std::string groupName);

// Creates the client group (the smallest free positive id) with its clients (ids 1 ... N in file
// order) and returns the group's id; -1, and nothing changed, when the plan cannot be applied.
int32_t ApplyRosterImport(TFileAccess& store, const TRosterPlan& plan);

// A birth date as written in a spreadsheet: year-month-day, day.month.year, or day/month/year and
// month/day/year where the numbers tell which is which. False for anything else.
bool ParseImportedDate(std::string_view text, double& date);
