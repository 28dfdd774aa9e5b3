#include "reports/reporter.h"

#include <utility>

#include "i18n/langconv.h"
#include "store/dbinfo.h"
#include "store/fileacc.h"
#include "util/error.h"
#include "util/progress.h"
#include "util/safefile.h"
#include "util/text.h"

namespace {

TDocumentOpener& Opener()
{
    static TDocumentOpener opener;
    return opener;
}

} // namespace

std::optional<TReportKind> ReportKindOfName(std::string_view name)
{
    static constexpr std::pair<std::string_view, TReportKind> kKinds[] = {
        {"client", TReportKind::Client},
        {"client-group", TReportKind::ClientGroup},
        {"criterion", TReportKind::Criterion},
        {"criteria-group", TReportKind::CriteriaGroup},
        {"investigation", TReportKind::Investigation},
        {"comparison", TReportKind::Comparison},
    };
    for (const auto& [kindName, kind] : kKinds) {
        if (kindName == name)
            return kind;
    }
    return std::nullopt;
}

void SetDocumentOpener(TDocumentOpener opener)
{
    Opener() = std::move(opener);
}

TReporter::TReporter(const TReportTarget& target, bool show, const std::string& fileName)
    : m_target(target), m_show(show), m_fileName(Trim(fileName)), m_today(TodayDate())
{
}

TFileAccess& TReporter::Store() const
{
    if (m_store == nullptr)
        throw TAppError(T("REPORT_NO_PROJECT"));
    return *m_store;
}

std::string TReporter::T(const std::string& key)
{
    return LangConv().GetText(key);
}

void TReporter::Generate()
{
    TProgressScope progress;
    m_percent = -1;
    const TStatusThresholds status =
        StatusThresholdsFromHundredths(Regs().Status.ExtremeThreshold, Regs().Status.AverageThreshold);
    m_document = BuildReportDocument(Store(), m_target, m_regsSet ? m_regs : Regs().Report, m_today, status,
                                     m_pictures != nullptr);
    FormatAndWrite();
    if (m_show)
        Show();
}

void TReporter::FormatAndWrite()
{
    Format();
    Write();
}

void TReporter::Finish()
{
    Write();
    if (m_show)
        Show();
}

void TReporter::Write()
{
    if (m_output.empty())
        return;
    std::string error;
    if (!ReplaceFile(m_fileName, m_output, error))
        throw TAppError(T("REPORT_WRITE_ERROR") + "\n" + m_fileName + ": " + error);
}

void TReporter::StepProgress(std::size_t done, std::size_t total)
{
    if (total == 0)
        return;
    const int percent = static_cast<int>(done * 100 / total);
    if (percent != m_percent) {
        m_percent = percent;
        ProgressSink().SetValue(percent);
    }
}

void TReporter::Show()
{
    const TDocumentOpener& opener = Opener();
    if (opener && opener(m_fileName))
        m_shown = true;
}

TBlankData ReadBlankData(TFileAccess& store, int32_t investId)
{
    std::string description;
    TInvestInfo invest;
    ReadInvestigation(store, investId, description, invest);
    if (invest.Id == -1)
        throw TAppError(LangConv().GetText("REPORT_OBJECT_NOT_FOUND"));
    TCriterionInfo criterion;
    ReadCriterion(store, invest.CriterionId, invest.CriteriaGroupId, description, criterion);
    TClientGroupInfo group;
    ReadClientGroup(store, invest.ClientGroupId, description, group);

    TBlankData data;
    data.InvestigationName = invest.Name;
    data.ClientGroupName = group.Name;
    data.CriterionName = criterion.Name;
    ClientNamesOfGroup(store, invest.ClientGroupId, data.Names);
    data.MaxChoices = invest.MaxChoices;
    data.AllowAgainst = invest.AllowAgainst;
    return data;
}

std::string SociocardInstruction(const TBlankData& data)
{
    return LangConv().GetText(data.AllowAgainst ? "REPORT_SOCIOCARD_INSTRUCTION" : "REPORT_SOCIOCARD_INSTRUCTION_POS");
}

std::vector<std::string> SociocardLimits(const TBlankData& data)
{
    const std::string most = std::to_string(data.MaxChoices);
    return {FillPlaceholders(LangConv().GetText("REPORT_SOCIOCARD_LIMIT_POS"), {most}),
            data.AllowAgainst ? FillPlaceholders(LangConv().GetText("REPORT_SOCIOCARD_LIMIT_NEG"), {most})
                              : LangConv().GetText("REPORT_SOCIOCARD_NEG_OFF")};
}

std::vector<std::string> SociocardHeadingLines(const TBlankData& data, const std::string& gap)
{
    const TDlgLangConverter& lang = LangConv();
    return {lang.GetText("REPORT_SOCIOCARD_NAME") + ": ______________________________" + gap +
                lang.GetText("REPORT_SOCIOCARD_DATE") + ": _______________",
            lang.GetText("INVESTIGATION_NAME") + ": " + data.InvestigationName,
            lang.GetText("CLIENTGROUP_NAME") + ": " + data.ClientGroupName};
}

std::vector<std::string> SociomatrixHeadingLines(const TBlankData& data)
{
    const TDlgLangConverter& lang = LangConv();
    return {lang.GetText("REPORT_SOCIOMATRIX_DATE") + ": _______________",
            lang.GetText("INVESTIGATION_NAME") + ": " + data.InvestigationName + "    " +
                lang.GetText("CLIENTGROUP_NAME") + ": " + data.ClientGroupName,
            lang.GetText("CRITERY_NAME") + ": " + data.CriterionName, lang.GetText("REPORT_SOCIOMATRIX_INSTRUCTION")};
}

TTableRows SociocardRows(const TBlankData& data)
{
    const TDlgLangConverter& lang = LangConv();
    TTableRows rows;
    rows.push_back({lang.GetText("NUMBER"), lang.GetText("CLIENT_NAME"), lang.GetText("YES_BUTTON")});
    if (data.AllowAgainst)
        rows.back().push_back(lang.GetText("NO_BUTTON"));
    for (std::size_t k = 0; k < data.Names.size(); ++k) {
        rows.push_back({std::to_string(k + 1), data.Names[k], std::string()});
        if (data.AllowAgainst)
            rows.back().push_back(std::string());
    }
    return rows;
}

TTableRows BlankSociomatrixRows(const TBlankData& data)
{
    const std::size_t n = data.Names.size();
    TTableRows rows(n + 1, std::vector<std::string>(n + 1));
    for (std::size_t k = 1; k <= n; ++k) {
        rows[0][k] = std::to_string(k);
        rows[k][0] = std::to_string(k) + ". " + data.Names[k - 1];
    }
    return rows;
}
