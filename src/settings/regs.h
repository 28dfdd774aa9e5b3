#pragma once

#include <cstdint>
#include <string>

class TRegStore;

// One font setting: colour, face, size in points, character set and style flags.
struct TFontRecord {
    uint32_t Color = 0;
    std::string Name;
    int Size = 0;
    uint8_t Charset = 0;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool Strikeout = false;

    bool operator==(const TFontRecord&) const = default;
};

// Values of the key Software\Tremlow: start-up choices.
struct TRootRegs {
    bool ShowTutorial = false;
    bool IsStartingForm = false;
    int16_t NumOfLastOpenedProjects = 0;
    bool ShowExitConfirmation = false;
    int32_t CodePage = 0; // the 8-bit code page of project and language files that are not UTF-8
    std::string Language; // the code of the chosen language ("en", "ru"); empty: the system's

    bool operator==(const TRootRegs&) const = default;
};

// Values of the key Software\Tremlow\SocMain: the main window state.
struct TSocMainRegs {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Width = 0;
    int32_t Height = 0;
    bool IsMaxim = false;
    int32_t ObjectsTreeWidth = 0;
    bool IsToolbarFile = false;
    bool IsToolbarEdit = false;
    bool IsToolbarView = false;
    bool IsToolbarObject = false;
    bool IsToolbarReport = false;
    bool IsToolbarProject = false;

    bool operator==(const TSocMainRegs&) const = default;
};

// Values of the key Software\Tremlow\Tree: the objects tree.
struct TTreeRegs {
    uint32_t BackColor = 0;
    TFontRecord NodeFont;

    bool operator==(const TTreeRegs&) const = default;
};

// Values of the key Software\Tremlow\Choices: the choices grid.
struct TChoicesRegs {
    uint32_t ArrowColor = 0;
    int32_t ArrowLineWidth = 0;
    bool ArrowDirection = false;
    uint32_t AdditionalCellColor = 0;
    int32_t ColumnWidth = 0;
    int32_t RowHeight = 0;
    uint32_t CommonColor = 0;
    int32_t LineWidth = 0;
    uint32_t LineColor = 0;
    uint32_t FocusCellSelColor = 0;
    TFontRecord CaptionFont;
    TFontRecord SymbolAgainstFont;
    std::string SymbolAgainst;  // one UTF-8 character
    TFontRecord SymbolForFont;
    std::string SymbolFor;      // one UTF-8 character
    bool IsGraphic = false;

    bool operator==(const TChoicesRegs&) const = default;
};

// Values of the key Software\Tremlow\Indexes: the group ("Group") and individual ("Private") index charts.
struct TIndexesRegs {
    uint32_t BackColor = 0;
    uint32_t GroupDataLabelBackColor = 0;
    uint32_t GroupChartBackColor = 0;
    uint32_t GroupGridColor = 0;
    TFontRecord GroupTitleFont;
    TFontRecord GroupAxeXTitleFont;
    TFontRecord GroupAxeYTitleFont;
    TFontRecord GroupDataLabelFont;
    TFontRecord GroupAxeXLabelFont;
    TFontRecord GroupAxeYLabelFont;
    uint32_t PrivateDataLabelBackColor = 0;
    uint32_t PrivateChartBackColor = 0;
    uint32_t PrivateGridColor = 0;
    uint32_t PrivateLegendBackColor = 0;
    TFontRecord PrivateTitleFont;
    TFontRecord PrivateAxeXTitleFont;
    TFontRecord PrivateAxeYTitleFont;
    TFontRecord PrivateDataLabelFont;
    TFontRecord PrivateAxeXLabelFont;
    TFontRecord PrivateAxeYLabelFont;
    TFontRecord PrivateLegendFont;
    std::string GroupTitle;
    std::string GroupAxeXTitle;
    std::string GroupAxeYTitle;
    std::string PrivateTitle;
    std::string PrivateAxeXTitle;
    std::string PrivateAxeYTitle;

    bool operator==(const TIndexesRegs&) const = default;
};

// Values of the key Software\Tremlow\Graph: the sociogram.
struct TGraphRegs {
    uint32_t PanelBackColor = 0;
    uint32_t CompBackColor = 0;
    int32_t CompLineWidt = 0;  // the stored name has no final "h"
    uint32_t CompLineColor = 0;
    int32_t ArrowWidth = 0;
    uint32_t ArrowColor = 0;
    int32_t ArrowWidthPositive = 0;
    uint32_t ArrowColorPositive = 0;
    int32_t ArrowWidthNegative = 0;
    uint32_t ArrowColorNegative = 0;
    TFontRecord CaptionFont;
    bool StatusColors = false; // figures coloured by status group, with a legend
    bool TitleLine = false;       // a title line above pictures and printouts
    bool PrintBackground = false; // printouts keep the screen's background colour (else white paper)
    bool SexHalves = false;       // the target arrangement puts boys and girls in separate halves
    int32_t ArrowFilter = 0;      // arrows shown: 0 all, 1 one-way choices only, 2 mutual pairs only

    bool operator==(const TGraphRegs&) const = default;
};

// Values of the key Software\Tremlow\Target: the target diagram.
struct TTargetRegs {
    uint32_t Background = 0;
    uint32_t LegendBackground = 0;
    int32_t LegendLineWidth = 0;
    uint32_t LegendLineColor = 0;
    int32_t RingLineWidth = 0;
    uint32_t RingLineColor = 0;
    int32_t RingWidth = 0;
    uint32_t RingColor = 0;
    int32_t ActiveRingLineWidth = 0;
    uint32_t ActiveRingLineColor = 0;
    int32_t ActiveRingWidth = 0;
    uint32_t ActiveRingColor = 0;
    TFontRecord LegendFont;
    TFontRecord TargetFont;
    bool StatusColors = false; // members marked by status group, with a legend

    bool operator==(const TTargetRegs&) const = default;
};

// Cut-offs of the status-group classification, in hundredths of a standard deviation.
struct TStatusRegs {
    int32_t ExtremeThreshold = 100;
    int32_t AverageThreshold = 50;

    bool operator==(const TStatusRegs&) const = default;
};

// The report part order of new settings: every part's letter in index order. An order stored
// without a picture part's letter leaves that picture out of the report.
inline constexpr const char* kDefaultPartsOrder = "ABCDEFGHIJKLMNOPQRSTUVW";

// Values of the key Software\Tremlow\Report: the last report choices.
struct TReportRegs {
    std::string PartsOrder = kDefaultPartsOrder;
    std::string OffParts;
    int16_t ReportType = 0;
    bool IsShowReport = false;
    std::string FileName;

    bool operator==(const TReportRegs&) const = default;
};

// The application's settings, held in memory for the whole run: loaded once at start-up,
// changed by the windows, saved once at the end. The recent-projects list is the exception:
// it lives only in the settings store and each operation reads and writes it there at once.
class TRegs final {
public:
    TRootRegs Root;
    TSocMainRegs SocMain;
    TTreeRegs Tree;
    TChoicesRegs Choices;
    TIndexesRegs Indexes;
    TGraphRegs Graph;
    TTargetRegs Target;
    TReportRegs Report;
    TStatusRegs Status;

    // Reads every key from the per-user store, applying defaults to missing or mistyped values,
    // and makes Root.CodePage the code page files are read in (Windows-1251 for an unknown one).
    void Load();
    void Load(TRegStore& store);
    // Makes the stored code page setting the code page files are read in, before the rest of
    // the settings is loaded (the language file is read first).
    static void ApplyCodePageSetting();
    static void ApplyCodePageSetting(const TRegStore& store);
    // Chooses the language of this run (see ChooseLanguage): the one asked for on the command
    // line, else the setting, else the system's. Call once the data folder is known, before the
    // catalogue loads.
    static void ApplyLanguage();
    static void ApplyLanguage(const TRegStore& store);
    // Both of the above from one reading of the settings, which then serves Load too.
    static void ApplyStartSettings(const TRegStore& store);
    // Writes every value back in one file write; false when the file could not be written.
    bool Save();
    bool Save(TRegStore& store);

    // Path number n (1..10) of the recent list, or empty.
    std::string GetRecentProject(int n) const;
    // Puts a path at the head of the recent list (no duplicates, at most ten).
    void AddRecentProject(const std::string& path);
    // Takes a path out of the recent list, closing the gap.
    void RemoveRecentProject(const std::string& path);

    // Direct access to values kept under SocMain by their own features ("UserName", "PrintType"):
    // read from the store now, written to the store at once.
    std::string ReadSocMainString(const std::string& name, const std::string& def = {}) const;
    void WriteSocMainString(const std::string& name, const std::string& value);
    int32_t ReadSocMainInt(const std::string& name, int32_t def = 0) const;
    void WriteSocMainInt(const std::string& name, int32_t value);

    bool operator==(const TRegs&) const = default;
};

// The process-wide settings object.
TRegs& Regs();
