// The indexes window's export of the indices for spreadsheets and statistics programs.
#include "analysis/investigationobj.h"
#include "analysis/statusgroups.h"
#include "exchange/exchangetext.h"
#include "exchange/tableexport.h"
#include "platform/modalseam.h"
#include "platform/savefile.h"
#include "settings/regs.h"
#include "util/messagesink.h"
#include "views/indexes/indexesform.h"

void TIndexesForm::ItemExportIndicesClick()
{
    const QString path = AskSaveFileName(
        this, QString::fromStdString(ExchangeText("INDICES_EXPORT_TITLE", "Export the indices")),
        QString::fromStdString(ExchangeText("TABLE_FILTER", "Excel workbooks (*.xlsx);;CSV files (*.csv)")));
    if (path.isEmpty())
        return;
    const TStatusThresholds thresholds =
        StatusThresholdsFromHundredths(Regs().Status.ExtremeThreshold, Regs().Status.AverageThreshold);
    const TStatusResult status = ComputeStatusGroups(Model(), thresholds);
    std::string error;
    if (!WriteSheets({MemberIndicesSheet(Store(), Model(), status), GroupIndicesSheet(Model())}, path.toStdString(),
                     error))
        MessageSink().ShowText(error);
}
