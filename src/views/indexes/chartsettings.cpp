#include "views/indexes/chartsettings.h"

#include "platform/fontcolor.h"
#include "settings/regs.h"
#include "views/indexes/graphicchart.h"

namespace {

TChartFont ChartFont(const TFontRecord& record)
{
    TChartFont font;
    ApplyFont(record, font.Font, font.Color);
    return font;
}

} // namespace

void ApplyIndexesChartSettings(TGraphicChart& group, TGraphicChart& members, const TIndexesRegs& regs)
{
    const QColor back = ToQColor(regs.BackColor);
    group.SetBackGround(back);
    group.SetDataLabelColor(ToQColor(regs.GroupDataLabelBackColor));
    group.SetChartColor(ToQColor(regs.GroupChartBackColor));
    group.SetGridColor(ToQColor(regs.GroupGridColor));
    group.SetTitleFont(ChartFont(regs.GroupTitleFont));
    group.SetAxeXTitleFont(ChartFont(regs.GroupAxeXTitleFont));
    group.SetAxeYTitleFont(ChartFont(regs.GroupAxeYTitleFont));
    group.SetDataLabelFont(ChartFont(regs.GroupDataLabelFont));
    group.SetLabelXFont(ChartFont(regs.GroupAxeXLabelFont));
    group.SetLabelYFont(ChartFont(regs.GroupAxeYLabelFont));
    group.SetTitle(QString::fromStdString(regs.GroupTitle));
    group.SetAxeXTitle(QString::fromStdString(regs.GroupAxeXTitle));
    group.SetAxeYTitle(QString::fromStdString(regs.GroupAxeYTitle));

    members.SetBackGround(back);
    members.SetDataLabelColor(ToQColor(regs.PrivateDataLabelBackColor));
    members.SetChartColor(ToQColor(regs.PrivateChartBackColor));
    members.SetGridColor(ToQColor(regs.PrivateGridColor));
    members.SetLegendColor(ToQColor(regs.PrivateLegendBackColor));
    members.SetTitleFont(ChartFont(regs.PrivateTitleFont));
    members.SetAxeXTitleFont(ChartFont(regs.PrivateAxeXTitleFont));
    members.SetAxeYTitleFont(ChartFont(regs.PrivateAxeYTitleFont));
    members.SetDataLabelFont(ChartFont(regs.PrivateDataLabelFont));
    members.SetLabelXFont(ChartFont(regs.PrivateAxeXLabelFont));
    members.SetLabelYFont(ChartFont(regs.PrivateAxeYLabelFont));
    members.SetLegendFont(ChartFont(regs.PrivateLegendFont));
    members.SetTitle(QString::fromStdString(regs.PrivateTitle));
    members.SetAxeXTitle(QString::fromStdString(regs.PrivateAxeXTitle));
    members.SetAxeYTitle(QString::fromStdString(regs.PrivateAxeYTitle));
}
