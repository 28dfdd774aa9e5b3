#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "analysis/statusgroups.h"
#include "reports/reportdoc.h"
#include "reports/reportpictures.h"
#include "settings/regs.h"

class TFileAccess;

// What a report is about: 0 client, 1 client group, 2 criterion, 3 criteria group, 4 investigation,
// 5 a comparison of investigations over time.
enum class TReportKind : uint8_t {
    Client = 0,
    ClientGroup = 1,
    Criterion = 2,
    CriteriaGroup = 3,
    Investigation = 4,
    Comparison = 5,
};

// A report kind by the name the command lines give it ("client", "client-group", "criterion",
// "criteria-group", "investigation"); none for another name.
std::optional<TReportKind> ReportKindOfName(std::string_view name);

// The second identifier of a report that needs none.
inline constexpr int32_t kNoGroupId = -99999;

// The object a report or blank is written on. GroupId is the client's client group or the
// criterion's criteria group; kNoGroupId for the other kinds. A comparison compares ObjectId with
// the investigations of With, in that order.
struct TReportTarget {
    TReportKind Kind = TReportKind::Investigation;
    int32_t ObjectId = -1;
    int32_t GroupId = kNoGroupId;
    std::vector<int32_t> With = {};
};

// Builds the report document of a target from the project: the fixed layouts of the client,
// client group, criterion and criteria group reports, and the investigation report with its
// parts in the order and selection of regs. today is the date ages are counted to; status holds
// the cut-offs of the status groups part. The picture parts are written only withPictures (for a
// builder that can draw them). Throws TAppError when the object is not in the project.
std::string BuildReportDocument(TFileAccess& store, const TReportTarget& target, const TReportRegs& regs,
                                double today, const TStatusThresholds& status = {}, bool withPictures = false);

// Opens a finished document in the desktop's default program; false when that failed.
using TDocumentOpener = std::function<bool(const std::string& path)>;
// Installs the opener (the GUI's); without one, a report is written but never opened.
void SetDocumentOpener(TDocumentOpener opener);

// The base of the output builders: generates the report document of one object, lets the builder
// format it, writes the result and opens it when asked to. Each builder also writes the two
// blank questionnaires of an investigation.
class TReporter {
public:
    // fileName is trimmed. The project is the one SetStore names; without one, Generate fails.
    TReporter(const TReportTarget& target, bool show, const std::string& fileName);
    virtual ~TReporter() = default;
    TReporter(const TReporter&) = delete;
    TReporter& operator=(const TReporter&) = delete;

    void SetStore(TFileAccess& store) { m_store = &store; }
    // Report settings for the investigation parts (the process-wide settings by default).
    void SetReportRegs(const TReportRegs& regs) { m_regs = regs; m_regsSet = true; }
    // The date ages are counted to (today by default).
    void SetToday(double today) { m_today = today; }
    // What draws the investigation report's pictures (not owned); without it they are left out.
    void SetPictures(TReportPictures* pictures) { m_pictures = pictures; }
    TReportPictures* Pictures() const { return m_pictures; }

    // Builds the document, formats it, writes the file and, with the show flag, opens it.
    // Errors (missing object, file not written) are raised as TAppError.
    void Generate();
    // The blank questionnaires of the investigation ObjectId, written and shown like a report.
    virtual void Sociocard() = 0;
    virtual void Sociomatrix() = 0;

    // Opens the written file; sets the shown flag when the opener succeeded.
    virtual void Show();
    // Turns the report document into the builder's output.
    virtual void Format() = 0;
    // Writes the output to the file; nothing when there is no output.
    virtual void Write();
    // Format, then Write; a builder that streams its output straight into the file overrides it.
    virtual void FormatAndWrite();

    const TReportTarget& Target() const { return m_target; }
    const std::string& FileName() const { return m_fileName; }
    bool ShowFlag() const { return m_show; }
    bool Shown() const { return m_shown; }
    const std::string& Document() const { return m_document; }
    void SetDocument(std::string document) { m_document = std::move(document); }
    // The formatted output (text and HTML builders).
    const std::string& Output() const { return m_output; }

protected:
    TFileAccess& Store() const;
    // Catalogue text of a key.
    static std::string T(const std::string& key);
    // Writes the output and opens it when the show flag is set; the end of every blank.
    void Finish();
    // Moves the progress display to done/total in whole per-cent steps (one call per step).
    void StepProgress(std::size_t done, std::size_t total);

    std::string m_output;
    bool m_shown = false;

private:
    TReportTarget m_target;
    bool m_show;
    std::string m_fileName;
    std::string m_document;
    TFileAccess* m_store = nullptr;
    TReportRegs m_regs;
    bool m_regsSet = false;
    double m_today;
    int m_percent = -1;
    TReportPictures* m_pictures = nullptr;
};

// What both blank questionnaires show of an investigation.
struct TBlankData {
    std::string InvestigationName;
    std::string ClientGroupName;
    std::string CriterionName;
    std::vector<std::string> Names; // the group's clients in table order
    int32_t MaxChoices = 0;
    bool AllowAgainst = true;
};

// Reads the blank data of an investigation; throws TAppError when the investigation is not in the project.
TBlankData ReadBlankData(TFileAccess& store, int32_t investId);

// The parts of the blanks every builder shares: the sociocard's instruction (without No when
// negative choices are not asked), the lines saying how many choices each kind allows, the
// sociocard's rows (number, name, a Yes box and, when asked, a No box) and the blank
// sociomatrix's rows (numbers over the columns, "number. name" on the rows).
std::string SociocardInstruction(const TBlankData& data);
std::vector<std::string> SociocardLimits(const TBlankData& data);
TTableRows SociocardRows(const TBlankData& data);
TTableRows BlankSociomatrixRows(const TBlankData& data);
// The lines under a blank's title: the sociocard's name and date line (gap between the two
// fields: wide in the Word and PDF blanks, one space in HTML and text), investigation and client
// group; the sociomatrix's date line, investigation with client group, criterion and instruction.
std::vector<std::string> SociocardHeadingLines(const TBlankData& data, const std::string& gap = "    ");
std::vector<std::string> SociomatrixHeadingLines(const TBlankData& data);
