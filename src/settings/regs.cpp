#include "settings/regs.h"

#include <algorithm>
#include <array>
#include <vector>

#include "i18n/langconv.h"
#include "settings/regstore.h"
#include "util/codepage.h"
#include "util/error.h"
#include "util/text.h"

namespace {

constexpr int kRecentCount = 10;

// Walks every value of every key in the stored order, so that loading and saving cannot drift apart.
class TValueVisitor {
public:
    virtual ~TValueVisitor() = default;
    virtual void Key(const char* path) = 0;
    virtual void Integer(const char* name, int32_t& value, int32_t def) = 0;
    virtual void Short(const char* name, int16_t& value, int16_t def) = 0;
    virtual void Color(const char* name, uint32_t& value, uint32_t def) = 0;
    virtual void Boolean(const char* name, bool& value, bool def) = 0;
    // A missing value reads as def.
    virtual void Text(const char* name, std::string& value, const char* def = "") = 0;
    virtual void Character(const char* name, std::string& value, const char* def) = 0;
    virtual void Font(const std::string& prefix, TFontRecord& value, const TFontRecord& def) = 0;
    // A chart title: empty falls back to the catalogue text of the key.
    virtual void Title(const char* name, std::string& value, const char* catalogueKey) = 0;
};

constexpr uint32_t kWindowColor = 0x80000005;
constexpr uint32_t kButtonFace = 0x8000000F;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0;
constexpr uint32_t kRed = 0x0000FF;
constexpr uint32_t kBlue = 0xFF0000;
constexpr uint32_t kYellow = 0x00FFFF;

const TFontRecord kDefaultFont{0, "Arial", 10, 204, false, false, false, false};
const TFontRecord kNodeFont{0, "Arial", 8, 204, false, false, false, false};

void VisitSocMain(TValueVisitor& v, TSocMainRegs& r)
{
    v.Key(kRegSocMainKey);
    v.Integer("Left", r.Left, -1);
    v.Integer("Top", r.Top, -1);
    v.Integer("Width", r.Width, -1);
    v.Integer("Height", r.Height, -1);
    v.Boolean("IsMaxim", r.IsMaxim, false);
    v.Integer("ObjectsTreeWidth", r.ObjectsTreeWidth, 300);
    v.Boolean("IsToolbarFile", r.IsToolbarFile, true);
    v.Boolean("IsToolbarEdit", r.IsToolbarEdit, true);
    v.Boolean("IsToolbarView", r.IsToolbarView, true);
    v.Boolean("IsToolbarObject", r.IsToolbarObject, true);
    v.Boolean("IsToolbarReport", r.IsToolbarReport, true);
    v.Boolean("IsToolbarProject", r.IsToolbarProject, true);
}

void VisitRoot(TValueVisitor& v, TRootRegs& r)
{
    v.Key(kRegRootKey);
    v.Boolean("ShowTutorial", r.ShowTutorial, true);
    v.Boolean("IsStartingForm", r.IsStartingForm, true);
    v.Short("NumOfLastOpenedProjects", r.NumOfLastOpenedProjects, 4);
    v.Boolean("ShowExitConfirmation", r.ShowExitConfirmation, false);
    v.Integer("CodePage", r.CodePage, kDefaultCodePage);
    v.Text("Language", r.Language);
}

void VisitTree(TValueVisitor& v, TTreeRegs& r)
{
    v.Key(kRegTreeKey);
    v.Color("BackColor", r.BackColor, kWindowColor);
    v.Font("NodeFont", r.NodeFont, kNodeFont);
}

void VisitChoices(TValueVisitor& v, TChoicesRegs& r)
{
    v.Key(kRegChoicesKey);
    v.Color("ArrowColor", r.ArrowColor, kBlack);
    v.Integer("ArrowLineWidth", r.ArrowLineWidth, 1);
    v.Boolean("ArrowDirection", r.ArrowDirection, true);
    v.Color("AdditionalCellColor", r.AdditionalCellColor, kButtonFace);
    v.Integer("ColumnWidth", r.ColumnWidth, 45);
    v.Integer("RowHeight", r.RowHeight, 35);
    v.Color("CommonColor", r.CommonColor, kWhite);
    v.Integer("LineWidth", r.LineWidth, 1);
    v.Color("LineColor", r.LineColor, kBlack);
    v.Color("FocusCellSelColor", r.FocusCellSelColor, kRed);
    v.Font("CaptionFont", r.CaptionFont, kDefaultFont);
    v.Font("SymbolAgainstFont", r.SymbolAgainstFont, kDefaultFont);
    v.Character("SymbolAgainst", r.SymbolAgainst, "-");
    v.Font("SymbolForFont", r.SymbolForFont, kDefaultFont);
    v.Character("SymbolFor", r.SymbolFor, "+");
    v.Boolean("IsGraphic", r.IsGraphic, true);
}

void VisitIndexes(TValueVisitor& v, TIndexesRegs& r)
{
    v.Key(kRegIndexesKey);
    v.Color("BackColor", r.BackColor, kWhite);
    v.Color("GroupDataLabelBackColor", r.GroupDataLabelBackColor, kYellow);
    v.Color("GroupChartBackColor", r.GroupChartBackColor, kWhite);
    v.Color("GroupGridColor", r.GroupGridColor, kButtonFace);
    v.Font("GroupTitleFont", r.GroupTitleFont, kDefaultFont);
    v.Font("GroupAxeXTitleFont", r.GroupAxeXTitleFont, kDefaultFont);
    v.Font("GroupAxeYTitleFont", r.GroupAxeYTitleFont, kDefaultFont);
    v.Font("GroupDataLabelFont", r.GroupDataLabelFont, kDefaultFont);
    v.Font("GroupAxeXLabelFont", r.GroupAxeXLabelFont, kDefaultFont);
    v.Font("GroupAxeYLabelFont", r.GroupAxeYLabelFont, kDefaultFont);
    v.Color("PrivateDataLabelBackColor", r.PrivateDataLabelBackColor, kYellow);
    v.Color("PrivateChartBackColor", r.PrivateChartBackColor, kWhite);
    v.Color("PrivateGridColor", r.PrivateGridColor, kButtonFace);
    v.Color("PrivateLegendBackColor", r.PrivateLegendBackColor, kWhite);
    v.Font("PrivateTitleFont", r.PrivateTitleFont, kDefaultFont);
    v.Font("PrivateAxeXTitleFont", r.PrivateAxeXTitleFont, kDefaultFont);
    v.Font("PrivateAxeYTitleFont", r.PrivateAxeYTitleFont, kDefaultFont);
    v.Font("PrivateDataLabelFont", r.PrivateDataLabelFont, kDefaultFont);
    v.Font("PrivateAxeXLabelFont", r.PrivateAxeXLabelFont, kDefaultFont);
    v.Font("PrivateAxeYLabelFont", r.PrivateAxeYLabelFont, kDefaultFont);
    v.Font("PrivateLegendFont", r.PrivateLegendFont, kDefaultFont);
    v.Title("GroupTitle", r.GroupTitle, "REGS_INIT_GROUPCHARTTITLE");
    v.Title("GroupAxeXTitle", r.GroupAxeXTitle, "REGS_INIT_GROUPAXEXTITLE");
    v.Title("GroupAxeYTitle", r.GroupAxeYTitle, "REGS_INIT_GROUPAXEYTITLE");
    v.Title("PrivateTitle", r.PrivateTitle, "REGS_INIT_PRIVCHARTTITLE");
    v.Title("PrivateAxeXTitle", r.PrivateAxeXTitle, "REGS_INIT_PRIVAXEXTITLE");
    v.Title("PrivateAxeYTitle", r.PrivateAxeYTitle, "REGS_INIT_PRIVAXEYTITLE");
}

void VisitGraph(TValueVisitor& v, TGraphRegs& r)
{
    v.Key(kRegGraphKey);
    v.Color("PanelBackColor", r.PanelBackColor, kButtonFace);
    v.Color("CompBackColor", r.CompBackColor, 0xC08080);
    v.Integer("CompLineWidt", r.CompLineWidt, 1);
    v.Color("CompLineColor", r.CompLineColor, kBlack);
    v.Integer("ArrowWidth", r.ArrowWidth, 1);
    v.Color("ArrowColor", r.ArrowColor, kBlack);
    v.Integer("ArrowWidthPositive", r.ArrowWidthPositive, 2);
    v.Color("ArrowColorPositive", r.ArrowColorPositive, kBlue);
    v.Integer("ArrowWidthNegative", r.ArrowWidthNegative, 1);
    v.Color("ArrowColorNegative", r.ArrowColorNegative, kRed);
    v.Font("CaptionFont", r.CaptionFont, kDefaultFont);
    v.Boolean("StatusColors", r.StatusColors, false);
    v.Boolean("TitleLine", r.TitleLine, false);
    v.Boolean("PrintBackground", r.PrintBackground, false);
    v.Boolean("SexHalves", r.SexHalves, false);
    v.Integer("ArrowFilter", r.ArrowFilter, 0);
}

void VisitTarget(TValueVisitor& v, TTargetRegs& r)
{
    v.Key(kRegTargetKey);
    v.Color("Background", r.Background, kButtonFace);
    v.Color("LegendBackground", r.LegendBackground, kWhite);
    v.Integer("LegendLineWidth", r.LegendLineWidth, 1);
    v.Color("LegendLineColor", r.LegendLineColor, kBlack);
    v.Integer("RingLineWidth", r.RingLineWidth, 1);
    v.Color("RingLineColor", r.RingLineColor, kBlack);
    v.Integer("RingWidth", r.RingWidth, 20);
    v.Color("RingColor", r.RingColor, kButtonFace);
    v.Integer("ActiveRingLineWidth", r.ActiveRingLineWidth, 1);
    v.Color("ActiveRingLineColor", r.ActiveRingLineColor, kRed);
    v.Integer("ActiveRingWidth", r.ActiveRingWidth, 20);
    v.Color("ActiveRingColor", r.ActiveRingColor, kBlue);
    v.Font("LegendFont", r.LegendFont, kDefaultFont);
    v.Font("TargetFont", r.TargetFont, kDefaultFont);
    v.Boolean("StatusColors", r.StatusColors, false);
}

void VisitReport(TValueVisitor& v, TReportRegs& r)
{
    v.Key(kRegReportKey);
    v.Text("PartsOrder", r.PartsOrder, kDefaultPartsOrder);
    v.Text("OffParts", r.OffParts);
    v.Short("ReportType", r.ReportType, 0);
    v.Boolean("IsShowReport", r.IsShowReport, true);
    v.Text("FileName", r.FileName);
}

void VisitStatus(TValueVisitor& v, TStatusRegs& r)
{
    v.Key(kRegStatusKey);
    v.Integer("ExtremeThreshold", r.ExtremeThreshold, 100);
    v.Integer("AverageThreshold", r.AverageThreshold, 50);
}

void VisitAll(TValueVisitor& v, TRegs& regs)
{
    VisitSocMain(v, regs.SocMain);
    VisitRoot(v, regs.Root);
    VisitTree(v, regs.Tree);
    VisitChoices(v, regs.Choices);
    VisitIndexes(v, regs.Indexes);
    VisitGraph(v, regs.Graph);
    VisitTarget(v, regs.Target);
    VisitReport(v, regs.Report);
    VisitStatus(v, regs.Status);
}

const char* const kStyleSuffixes[4] = {"Bold", "Italic", "Underline", "Strikeout"};

// Text reading rule: a string (cut to 255 characters); absent reads empty; another kind gives def.
std::string ReadTextValue(const TRegStore& store, const std::string& key, const std::string& name,
                          const std::string& def)
{
    switch (store.ValueKind(key, name)) {
    case TRegValueKind::String:
        return CutChars(*store.ReadString(key, name));
    case TRegValueKind::None:
        return {};
    default:
        return def;
    }
}

std::string CatalogueText(const char* key)
{
    if (!HasLangConv())
        return {};
    try {
        return LangConv().GetText(key);
    } catch (const TAppError&) {
        return {};
    }
}

// Reads every value from the store, falling back to defaults.
class TLoader final : public TValueVisitor {
public:
    explicit TLoader(const TRegStore& store) : m_store(store) {}

    void Key(const char* path) override { m_key = path; }

    void Integer(const char* name, int32_t& value, int32_t def) override
    {
        value = m_store.ReadInteger(m_key, name).value_or(def);
    }
    void Short(const char* name, int16_t& value, int16_t def) override
    {
        value = static_cast<int16_t>(m_store.ReadInteger(m_key, name).value_or(def));
    }
    void Color(const char* name, uint32_t& value, uint32_t def) override
    {
        value = m_store.ReadNumber(m_key, name).value_or(def);
    }
    void Boolean(const char* name, bool& value, bool def) override
    {
        auto n = m_store.ReadNumber(m_key, name);
        value = n ? *n != 0 : def;
    }
    void Text(const char* name, std::string& value, const char* def = "") override
    {
        value = m_store.ValueKind(m_key, name) == TRegValueKind::None ? std::string(def)
                                                                        : ReadTextValue(m_store, m_key, name, {});
    }
    void Character(const char* name, std::string& value, const char* def) override
    {
        auto text = m_store.ReadString(m_key, name);
        std::u32string chars = text ? ToU32(*text) : std::u32string();
        value = chars.empty() ? std::string(def) : FromU32(chars.substr(0, 1));
    }
    void Font(const std::string& prefix, TFontRecord& value, const TFontRecord& def) override
    {
        Color((prefix + "Color").c_str(), value.Color, def.Color);
        value.Name = ReadTextValue(m_store, m_key, prefix + "Name", def.Name);
        if (value.Name.empty())
            value.Name = "Arial";
        Integer((prefix + "Size").c_str(), value.Size, def.Size);
        uint32_t charset = 0;
        Color((prefix + "Charset").c_str(), charset, def.Charset);
        value.Charset = static_cast<uint8_t>(charset & 0xFF);

        // All four flags or none: a partly stored style counts as no style.
        bool* flags[4] = {&value.Bold, &value.Italic, &value.Underline, &value.Strikeout};
        bool complete = true;
        for (int i = 0; i < 4; ++i) {
            auto n = m_store.ReadNumber(m_key, prefix + "Style" + kStyleSuffixes[i]);
            complete = complete && n.has_value();
            *flags[i] = n && *n != 0;
        }
        if (!complete)
            for (bool* flag : flags)
                *flag = false;
    }
    void Title(const char* name, std::string& value, const char* catalogueKey) override
    {
        Text(name, value);
        if (value.empty())
            value = CatalogueText(catalogueKey);
    }

private:
    const TRegStore& m_store;
    std::string m_key;
};

// Writes every value into the store.
class TSaver final : public TValueVisitor {
public:
    explicit TSaver(TRegStore& store) : m_store(store) {}

    void Key(const char* path) override
    {
        m_key = path;
        m_store.OpenKey(m_key, true);
    }
    void Integer(const char* name, int32_t& value, int32_t) override { m_store.WriteInteger(m_key, name, value); }
    void Short(const char* name, int16_t& value, int16_t) override { m_store.WriteInteger(m_key, name, value); }
    void Color(const char* name, uint32_t& value, uint32_t) override { m_store.WriteNumber(m_key, name, value); }
    void Boolean(const char* name, bool& value, bool) override { m_store.WriteInteger(m_key, name, value ? 1 : 0); }
    void Text(const char* name, std::string& value, const char*) override { m_store.WriteString(m_key, name, value); }
    void Character(const char* name, std::string& value, const char*) override
    {
        m_store.WriteString(m_key, name, value);
    }
    void Font(const std::string& prefix, TFontRecord& value, const TFontRecord&) override
    {
        m_store.WriteNumber(m_key, prefix + "Color", value.Color);
        m_store.WriteString(m_key, prefix + "Name", value.Name);
        m_store.WriteInteger(m_key, prefix + "Size", value.Size);
        m_store.WriteInteger(m_key, prefix + "Charset", value.Charset);
        const bool flags[4] = {value.Bold, value.Italic, value.Underline, value.Strikeout};
        for (int i = 0; i < 4; ++i)
            m_store.WriteInteger(m_key, prefix + "Style" + kStyleSuffixes[i], flags[i] ? 1 : 0);
    }
    void Title(const char* name, std::string& value, const char*) override
    {
        m_store.WriteString(m_key, name, value);
    }

private:
    TRegStore& m_store;
    std::string m_key;
};

std::string SlotName(int n)
{
    return std::to_string(n);
}

// Slots 1..10 of the recent list as stored (absent values empty); index 0 unused.
std::array<std::string, kRecentCount + 1> ReadRecentSlots(const TRegStore& store)
{
    std::array<std::string, kRecentCount + 1> slots;
    for (int k = 1; k <= kRecentCount; ++k)
        slots[k] = store.ReadString(kRegLastProjectsKey, SlotName(k)).value_or(std::string());
    return slots;
}

}  // namespace

void TRegs::Load()
{
    TRegStore store;
    Load(store);
}

void TRegs::Load(TRegStore& store)
{
    TLoader loader(store);
    VisitAll(loader, *this);
    // The Project menu lists at most ten recent projects.
    Root.NumOfLastOpenedProjects =
        std::clamp<int16_t>(Root.NumOfLastOpenedProjects, 0, static_cast<int16_t>(kRecentCount));
    if (!SetFileCodePage(Root.CodePage)) {
        Root.CodePage = kDefaultCodePage;
        SetFileCodePage(kDefaultCodePage);
    }
}

bool TRegs::Save()
{
    TRegStore store;
    return Save(store);
}

bool TRegs::Save(TRegStore& store)
{
    return store.Update([this](TRegStore& s) {
        TSaver saver(s);
        VisitAll(saver, *this);
    });
}

std::string TRegs::GetRecentProject(int n) const
{
    if (n < 1 || n > kRecentCount)
        return {};
    TRegStore store;
    return store.ReadString(kRegLastProjectsKey, SlotName(n)).value_or(std::string());
}

void TRegs::AddRecentProject(const std::string& path)
{
    // An empty path would leave the old head in place next to its shifted copy.
    if (path.empty())
        return;
    TRegStore store;
    store.Update([&path](TRegStore& s) {
        s.OpenKey(kRegLastProjectsKey, true);
        auto slots = ReadRecentSlots(s);
        for (int k = kRecentCount; k >= 2; --k)
            slots[k] = slots[k - 1];
        if (slots[kRecentCount] == path)
            slots[kRecentCount].clear();
        bool found = true;
        while (found) {
            found = false;
            for (int k = 2; k <= kRecentCount; ++k) {
                if (slots[k] == path) {
                    for (int j = k; j < kRecentCount; ++j)
                        slots[j] = slots[j + 1];
                    slots[kRecentCount].clear();
                    found = true;
                    break;
                }
            }
        }
        slots[1] = path;
        // Empty slots are left as they are in the store: after a repeated path moves to the head
        // of a full list, the untouched value "10" is still the right tenth entry.
        for (int k = 1; k <= kRecentCount; ++k)
            if (!slots[k].empty())
                s.WriteString(kRegLastProjectsKey, SlotName(k), slots[k]);
    });
}

void TRegs::RemoveRecentProject(const std::string& path)
{
    TRegStore store;
    store.Update([&path](TRegStore& s) {
        s.OpenKey(kRegLastProjectsKey, true);
        auto slots = ReadRecentSlots(s);
        std::vector<std::string> kept;
        for (int k = 1; k <= kRecentCount; ++k)
            if (slots[k] != path)
                kept.push_back(slots[k]);
        kept.resize(kRecentCount);
        for (int k = 1; k <= kRecentCount; ++k)
            s.WriteString(kRegLastProjectsKey, SlotName(k), kept[k - 1]);
    });
}

std::string TRegs::ReadSocMainString(const std::string& name, const std::string& def) const
{
    TRegStore store;
    auto value = store.ReadString(kRegSocMainKey, name);
    return value ? CutChars(*value) : def;
}

void TRegs::WriteSocMainString(const std::string& name, const std::string& value)
{
    TRegStore store;
    store.Update([&](TRegStore& s) { s.WriteString(kRegSocMainKey, name, value); });
}

void TRegs::ApplyCodePageSetting(const TRegStore& store)
{
    if (!SetFileCodePage(store.ReadInteger(kRegRootKey, "CodePage").value_or(kDefaultCodePage)))
        SetFileCodePage(kDefaultCodePage);
}

void TRegs::ApplyCodePageSetting()
{
    const TRegStore store;
    ApplyCodePageSetting(store);
}

void TRegs::ApplyLanguage(const TRegStore& store)
{
    const std::string setting = CutChars(store.ReadString(kRegRootKey, "Language").value_or(std::string()));
    SetLanguage(ChooseLanguage(RequestedLanguage(), setting, SystemLocaleName(), AvailableLanguages()));
}

void TRegs::ApplyLanguage()
{
    const TRegStore store;
    ApplyLanguage(store);
}

void TRegs::ApplyStartSettings(const TRegStore& store)
{
    ApplyCodePageSetting(store);
    ApplyLanguage(store);
}

int32_t TRegs::ReadSocMainInt(const std::string& name, int32_t def) const
{
    TRegStore store;
    return store.ReadInteger(kRegSocMainKey, name).value_or(def);
}

void TRegs::WriteSocMainInt(const std::string& name, int32_t value)
{
    TRegStore store;
    store.Update([&](TRegStore& s) { s.WriteInteger(kRegSocMainKey, name, value); });
}

TRegs& Regs()
{
    static TRegs regs;
    return regs;
}
