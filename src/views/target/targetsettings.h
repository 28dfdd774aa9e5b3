#pragma once

class TStringsList;
class TTarget;
struct TTargetRegs;

// Gives the target and its legend of members the look of the settings: backgrounds, lines, ring
// colours, fonts and widths. The target window and the options dialog's sample use it alike.
void ApplyTargetSettings(TTarget& target, TStringsList& legend, const TTargetRegs& regs);
