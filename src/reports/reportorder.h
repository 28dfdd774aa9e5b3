#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

struct TReportRegs;

// The parts of the investigation report in index order: the letter the settings store for the
// part, the catalogue key of its title and whether it is a picture drawn by a view. A part added
// later takes the next letter.
struct TReportPartInfo {
    char Letter;
    const char* TitleKey;
    bool Picture = false;
};

inline constexpr std::array<TReportPartInfo, 23> kReportParts = {{
    {'A', "REPORT_INDEXES"},
    {'B', "REPORT_CHOICES_TABLE"},
    {'C', "REPORT_GROUP_INDEXES_POS"},
    {'D', "REPORT_GROUP_INDEXES_NEG"},
    {'E', "REPORT_PRIVATE_INDEXES_POS"},
    {'F', "REPORT_PRIVATE_INDEXES_NEG"},
    {'G', "REPORT_CLIENTS_BY_INCHOICES_POS"},
    {'H', "REPORT_CLIENTS_BY_INCHOICES_NEG"},
    {'I', "REPORT_CLIENTS_BY_OUTCHOICES_POS"},
    {'J', "REPORT_CLIENTS_BY_OUTCHOICES_NEG"},
    {'K', "REPORT_CLIENTS_BY_MUTCHOICES_POS"},
    {'L', "REPORT_CLIENTS_BY_MUTCHOICES_NEG"},
    {'M', "REPORT_CLIENTS_BY_ALLCHOICES_POS"},
    {'N', "REPORT_CLIENTS_BY_ALLCHOICES_NEG"},
    {'O', "REPORT_PAIRS_WITH_POSITIVE_MUTUAL"},
    {'P', "REPORT_PAIRS_WITH_NEGATIVE_MUTUAL"},
    {'Q', "REPORT_CLIENTS_BY_AUTHORITY"},
    {'R', "REPORT_CLIENTS_BY_REJECTION"},
    {'S', "REPORT_STATUS_GROUPS"},
    {'T', "REPORT_SOCIOGRAM", true},
    {'U', "REPORT_TARGET_DIAGRAM", true},
    {'V', "REPORT_GROUP_INDEX_CHART", true},
    {'W', "REPORT_MEMBER_INDEX_CHART", true},
}};

inline constexpr std::size_t kReportPartCount = kReportParts.size();

// The part index of a stored letter, or -1 for a letter that names no part.
int ReportPartOfLetter(char letter);

// The order and selection of the investigation report's parts, loaded from the report settings
// ("PartsOrder", "OffParts") and saved back into them. The options dialog arranges the parts
// through it; the generator walks it. Unknown and repeated letters in the settings are ignored, and
// parts the stored order lacks (one added since it was saved) follow it in index order: switched
// on, except the pictures, which settings stored before them never asked for. An empty stored
// order is the default order without the pictures; new settings store every letter.
class TReportOrderInRegistry final {
public:
    // Titles from the message catalogue, then order and selection from regs.
    explicit TReportOrderInRegistry(TReportRegs& regs);
    // Titles given by the caller (tests, or a window that already holds them).
    TReportOrderInRegistry(TReportRegs& regs, std::vector<std::string> titles);

    void LoadOrder();
    void LoadSelection();
    // Write "PartsOrder" / "OffParts" into the settings object (not to disk).
    void SaveOrder();
    void SaveSelection();

    std::size_t Count() const { return m_order.size(); }
    // Part index and title at a position of the current order.
    int PartAt(std::size_t position) const { return m_order.at(position); }
    const std::string& TitleAt(std::size_t position) const { return m_titles.at(PartAt(position)); }
    const std::string& Title(int part) const { return m_titles.at(static_cast<std::size_t>(part)); }
    // The titles in current order.
    std::vector<std::string> OrderedTitles() const;

    int CurrentPosition() const { return m_current; }
    void SetCurrentPosition(int position);
    // Swap the current part with its neighbour; the current position follows it.
    void MoveUp();
    void MoveDown();
    void CheckAll();
    void UncheckAll();
    bool IsOn(std::size_t position) const { return m_on.at(position); }
    void SetOn(std::size_t position, bool on) { m_on.at(position) = on; }

private:
    TReportRegs& m_regs;
    std::vector<std::string> m_titles; // by part index
    std::vector<int> m_order;          // part index by position
    std::vector<bool> m_on;            // by position
    int m_current = 0;
};
