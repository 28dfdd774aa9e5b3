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
    m_document = BuildReportDocument(Store(), m_target, m_regsSet ? m_regs : Regs().Report, m_today, status);
    Format();
    Finish();
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
    return data;
}
