#pragma once

#include <array>

// Identifiers of the sociometric indices: the name shown on charts, the catalogue key of the
// short caption and the catalogue key of the report description. Group and individual indices
// are listed in the order every view and report shows them.
struct TIndexInfo {
    const char* Name;
    const char* CaptionKey;
    const char* ReportKey;
};

inline constexpr std::array<TIndexInfo, 4> kGroupIndices = {{
    {"P", "P_INDEX", "REPORT_P_INDEX"},
    {"Sa", "Sa_INDEX", "REPORT_Sa_INDEX"},
    {"J", "J_INDEX", "REPORT_J_INDEX"},
    {"N", "N_INDEX", "REPORT_N_INDEX"},
}};

inline constexpr std::array<TIndexInfo, 4> kClientIndices = {{
    {"Pi", "Pi_INDEX", "REPORT_Pi_INDEX"},
    {"Ai", "Ai_INDEX", "REPORT_Ai_INDEX"},
    {"Ei", "Ei_INDEX", "REPORT_Ei_INDEX"},
    {"Sti", "Sti_INDEX", "REPORT_Sti_INDEX"},
}};
