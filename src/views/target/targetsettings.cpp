#include "views/target/targetsettings.h"

#include "platform/fontcolor.h"
#include "settings/regs.h"
#include "views/target/stringslist.h"
#include "views/target/target.h"

void ApplyTargetSettings(TTarget& target, TStringsList& legend, const TTargetRegs& regs)
{
    target.SetBackColor(ToQColor(regs.Background));
    legend.SetBackColor(ToQColor(regs.LegendBackground));
    legend.SetLineWidth(regs.LegendLineWidth);
    legend.SetLineColor(ToQColor(regs.LegendLineColor));
    QFont font;
    QColor color;
    ApplyFont(regs.LegendFont, font, color);
    legend.SetTextFont(font, color);

    target.SetRingLineColor(ToQColor(regs.RingLineColor));
    target.SetNotActiveRingColor(ToQColor(regs.RingColor));
    target.SetActiveRingBorderColor(ToQColor(regs.ActiveRingLineColor));
    target.SetActiveRingColor(ToQColor(regs.ActiveRingColor));
    font = QFont();
    ApplyFont(regs.TargetFont, font, color);
    target.SetDigitFont(font, color);
    // The control has one line width and one ring width: the active ring's values, assigned
    // last, are in force.
    target.SetRingLineWidth(regs.RingLineWidth);
    target.SetRingLineWidth(regs.ActiveRingLineWidth);
    target.SetRingWidth(regs.RingWidth);
    target.SetRingWidth(regs.ActiveRingWidth);
}
