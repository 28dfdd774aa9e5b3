#include "shell/paramsform.h"

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "analysis/indices.h"
#include "platform/colorpickcombo.h"
#include "platform/fontcolor.h"
#include "platform/helpviewer.h"
#include "platform/langcontroller.h"
#include "shell/reportorderlist.h"
#include "reports/reportorder.h"
#include "i18n/langconv.h"
#include "shell/objectstree.h"
#include "store/fileacc.h"
#include "views/choices/selections.h"
#include "views/indexes/chartsettings.h"
#include "views/indexes/graphicchart.h"
#include "views/indexes/indexranges.h"
#include "views/sociogram/graphiccontrol.h"
#include "views/sociogram/sociopanel.h"
#include "views/target/stringslist.h"
#include "views/target/target.h"
#include "views/target/targetsettings.h"

namespace {

constexpr THelpTopic kHelpTopic = THelpTopic::Options;

// Ranges that keep the views usable.
constexpr int kMinFontSize = 6;
constexpr int kMaxFontSize = 48;
constexpr int kMinLineWidth = 1;
constexpr int kMaxLineWidth = 10;
constexpr int kMinCellWidth = 16;
constexpr int kMaxCellWidth = 200;
constexpr int kMinCellHeight = 12;
constexpr int kMaxCellHeight = 120;
// Titles are short texts.
constexpr int kMaxTextLength = 255;

QString Text(const char* key)
{
    return QString::fromStdString(LangConv().GetText(key));
}

// The switch for colouring a view's members by status group, under the parameter controls of
// its page. It is a setting of the view, not of a sample element, so it is always enabled.
QCheckBox* AddStatusColorsBox(QWidget& controls, const QString& name, bool checked)
{
    auto* box = new QCheckBox(QStringLiteral("Colour by status group"));
    box->setObjectName(name);
    box->setChecked(checked);
    auto* form = static_cast<QFormLayout*>(controls.layout());
    form->addItem(new QSpacerItem(0, 8, QSizePolicy::Minimum, QSizePolicy::Fixed));
    form->addRow(box);
    return box;
}

QSpinBox* MakeSpin(const QString& name, int low, int high)
{
    auto* spin = new QSpinBox;
    spin->setObjectName(name);
    spin->setRange(low, high);
    return spin;
}

QCheckBox* MakeCheck(const QString& name, const char* caption)
{
    auto* box = new QCheckBox(QString::fromUtf8(caption));
    box->setObjectName(name);
    return box;
}

}  // namespace

TParamsForm::TParamsForm(QWidget* owner, TFileAccess* store)
    : QDialog(owner),
      m_store(store),
      m_tree(Regs().Tree),
      m_choices(Regs().Choices),
      m_indexes(Regs().Indexes),
      m_graph(Regs().Graph),
      m_target(Regs().Target),
      m_report(Regs().Report)
{
    setObjectName("ParamsForm");
    setWindowTitle("Parameters");
    setModal(true);

    m_pages = new QTabWidget(this);
    m_pages->setObjectName("PageControlParams");
    m_pages->addTab(BuildGeneralPage(), "General");
    m_pages->addTab(BuildTreePage(), "Objects tree");
    m_pages->addTab(BuildChoicesPage(), "Choices");
    m_pages->addTab(BuildIndexesPage(), "Indexes");
    m_pages->addTab(BuildGraphPage(), "Graph");
    m_pages->addTab(BuildTargetPage(), "Target");
    m_pages->addTab(BuildReportPage(), "Investigation's report");
    const QStringList tabNames{"TabSheetMain",   "TabSheetTree",   "TabSheetChoices", "TabSheetIndexes",
                               "TabSheetGraph", "TabSheetTarget", "TabSheetReport"};
    for (int i = 0; i < m_pages->count(); ++i)
        m_pages->widget(i)->setObjectName(tabNames[i]);

    auto* ok = new QPushButton("OK");
    ok->setObjectName("OkBitBtn");
    ok->setDefault(true);
    auto* cancel = new QPushButton("Cancel");
    cancel->setObjectName("CancelBitBtn");
    auto* help = new QPushButton("Help");
    help->setObjectName("HelpBitBtn");
    connect(ok, &QPushButton::clicked, this, [this] {
        Store();
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [] { ShowHelpTopic(kHelpTopic); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addWidget(help);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pages);
    layout->addLayout(buttons);

    TLanguageController::Translate(*this);
    for (TColorPickCombo* combo : findChildren<TColorPickCombo*>())
        combo->SetOtherText(Text("OPTIONS_OTHER_COLORS"));

    // Load: the general controls, then every sample from the working copy of the settings.
    const TRootRegs& root = Regs().Root;
    m_showTutorial->setChecked(root.ShowTutorial);
    const int languageIndex = m_language->findData(QString::fromStdString(root.Language.empty() ? Language() : root.Language));
    m_language->setCurrentIndex(std::max(languageIndex, 0));
    m_isStartingForm->setChecked(root.IsStartingForm);
    m_numOfProjects->setValue(root.NumOfLastOpenedProjects);
    m_exitConfirmation->setChecked(root.ShowExitConfirmation);
    m_currentProject->setEnabled(m_store != nullptr);
    m_isLogining->setChecked(m_store && m_store->LoginRequired());

    for (TPage* page : {&m_treePage, &m_choicesPage, &m_indexesPage, &m_graphPage, &m_targetPage}) {
        FillElements(*page);
        (this->*page->Refresh)();
        ShowElement(*page);
    }
    m_pages->setCurrentIndex(0);
    // Wide and high enough for the index charts as they are drawn now: the Indexes page scrolls
    // only once larger fonts are chosen.
    auto* indexScroll = findChild<QScrollArea*>("ScrollBoxIndexesSample");
    indexScroll->setMinimumSize(indexScroll->widget()->minimumSizeHint());
    layout->invalidate();
    const QSize fit = minimumSizeHint();
    indexScroll->setMinimumSize(0, 0);
    resize(std::max(1120, fit.width()), std::max(700, fit.height()));
}

TParamsForm::~TParamsForm()
{
    // The pages' controls and samples are connected to handlers that read this dialog's members:
    // they go while those members still exist, not later with the dialog's base class.
    delete m_pages;
    m_pages = nullptr;
}

std::string TParamsForm::SymbolOf(const QString& text)
{
    if (text.isEmpty())
        return " ";
    const int length = text.size() > 1 && text.at(0).isHighSurrogate() ? 2 : 1;
    return text.left(length).toStdString();
}

// ---------------------------------------------------------------------------------------------
// Pages

QWidget* TParamsForm::BuildGeneralPage()
{
    auto* page = new QWidget;
    m_showTutorial = MakeCheck("CheckBoxShowTutorial", "Show tutorial starting Tremlow");
    m_isStartingForm = MakeCheck("CheckBoxIsStartingForm", "Show starting window");
    m_exitConfirmation = MakeCheck("CheckBoxShowExitConfirmation", "Show confirmation before exit");
    m_numOfProjects = MakeSpin("SpinEditNumberOfProjectRefs", 0, 10);
    auto* refsLabel = new QLabel("The number of project references in 'Open again'");
    refsLabel->setObjectName("LabelNumberOfProjectRefs");
    refsLabel->setBuddy(m_numOfProjects);
    auto* refs = new QHBoxLayout;
    refs->addWidget(refsLabel);
    refs->addWidget(m_numOfProjects);
    refs->addStretch();

    // Each language is listed by its own name, so a user who cannot read the current one finds it.
    m_language = new QComboBox;
    m_language->setObjectName("ComboBoxLanguage");
    for (const std::string& code : AvailableLanguages())
        m_language->addItem(QString::fromStdString(LanguageOwnName(code)), QString::fromStdString(code));
    auto* languageLabel = new QLabel("Language");
    languageLabel->setObjectName("LabelLanguage");
    languageLabel->setBuddy(m_language);
    auto* languageNote = new QLabel("Takes effect at the next start");
    languageNote->setObjectName("LabelLanguageNote");
    languageNote->setEnabled(false);
    auto* language = new QHBoxLayout;
    language->addWidget(languageLabel);
    language->addWidget(m_language);
    language->addWidget(languageNote);
    language->addStretch();

    m_currentProject = new QGroupBox("Current project");
    m_currentProject->setObjectName("GroupBoxCurrentProject");
    m_isLogining = MakeCheck("CheckBoxIsLogining", "Is logining starting Tremlow");
    auto* projectLayout = new QVBoxLayout(m_currentProject);
    projectLayout->addWidget(m_isLogining);

    auto* layout = new QVBoxLayout(page);
    layout->addLayout(language);
    layout->addSpacing(8);
    layout->addWidget(m_showTutorial);
    layout->addWidget(m_isStartingForm);
    layout->addLayout(refs);
    layout->addWidget(m_exitConfirmation);
    layout->addSpacing(8);
    layout->addWidget(m_currentProject);
    layout->addStretch();
    return page;
}

QWidget* TParamsForm::BuildControls(TPage& page, const QString& name, bool cells, bool value)
{
    auto* box = new QWidget;
    box->setFixedWidth(320);
    auto* form = new QFormLayout(box);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);

    page.Elements = new QComboBox;
    page.Elements->setObjectName("ComboBox" + name + "Element");
    page.Font = new QFontComboBox;
    page.Font->setObjectName("FontComboBox" + name);
    // Long element and font names must not push the labels out of the column.
    for (QComboBox* combo : {page.Elements, static_cast<QComboBox*>(page.Font)}) {
        combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        combo->setMinimumContentsLength(12);
    }
    page.Size = MakeSpin("SpinEdit" + name + "Size", 1, kMaxFontSize);
    page.Bold = MakeCheck("CheckBox" + name + "Bold", "Bold");
    page.Italic = MakeCheck("CheckBox" + name + "Italic", "Italic");
    page.Color = new TColorPickCombo;
    page.Color->setObjectName("ColorPickCombo" + name);

    auto label = [&](const QString& objectName, const char* caption, QWidget* buddy) {
        auto* l = new QLabel(QString::fromUtf8(caption));
        l->setObjectName(objectName);
        l->setBuddy(buddy);
        return l;
    };
    form->addRow(label("Label" + name + "Element", "Element:", page.Elements), page.Elements);
    form->addRow(label("Label" + name + "Font", "Font:", page.Font), page.Font);
    form->addRow(label("Label" + name + "Size", "Size:", page.Size), page.Size);
    auto* style = new QHBoxLayout;
    style->addWidget(page.Bold);
    style->addWidget(page.Italic);
    style->addStretch();
    form->addRow(QString(), style);
    form->addRow(label("Label" + name + "Color", "Colour:", page.Color), page.Color);
    if (cells) {
        page.Width = MakeSpin("SpinEdit" + name + "Width", kMinCellWidth, kMaxCellWidth);
        page.Height = MakeSpin("SpinEdit" + name + "Height", kMinCellHeight, kMaxCellHeight);
        page.Direction = new QComboBox;
        page.Direction->setObjectName("ComboBox" + name + "Direction");
        page.Direction->addItem(Text("OPTIONS_CHOICES_DIRTORIGHT"));
        page.Direction->addItem(Text("OPTIONS_CHOICES_DIRTODOWN"));
        form->addRow(label("Label" + name + "Width", "Width:", page.Width), page.Width);
        form->addRow(label("Label" + name + "Height", "Height:", page.Height), page.Height);
        form->addRow(label("Label" + name + "Direction", "Direction:", page.Direction), page.Direction);
        connect(page.Width, &QSpinBox::valueChanged, this, [this, &page] { Edited(page, pcWidth); });
        connect(page.Height, &QSpinBox::valueChanged, this, [this, &page] { Edited(page, pcHeight); });
        connect(page.Direction, &QComboBox::currentIndexChanged, this,
                [this, &page] { Edited(page, pcDirection); });
    }
    if (value) {
        page.Value = new QLineEdit;
        page.Value->setObjectName("Edit" + name + "Value");
        page.Value->setMaxLength(kMaxTextLength);
        form->addRow(label("Label" + name + "Value", "Value:", page.Value), page.Value);
        connect(page.Value, &QLineEdit::textEdited, this, [this, &page] { Edited(page, pcValue); });
    }

    connect(page.Elements, &QComboBox::currentIndexChanged, this, [this, &page] { ShowElement(page); });
    connect(page.Font, &QFontComboBox::currentFontChanged, this, [this, &page] { Edited(page, pcFont); });
    connect(page.Size, &QSpinBox::valueChanged, this, [this, &page] { Edited(page, pcSize); });
    connect(page.Bold, &QCheckBox::toggled, this, [this, &page] { Edited(page, pcFont); });
    connect(page.Italic, &QCheckBox::toggled, this, [this, &page] { Edited(page, pcFont); });
    connect(page.Color, &TColorPickCombo::ColorPicked, this, [this, &page] { Edited(page, pcColor); });
    return box;
}

QWidget* TParamsForm::BuildTreePage()
{
    TPage& page = m_treePage;
    page.Refresh = &TParamsForm::RefreshTree;
    page.Items = {
        {.Key = "OPTIONS_TREE_BGRND", .Controls = pcColor, .Color = &m_tree.BackColor},
        {.Key = "OPTIONS_TREE_NODE", .Controls = pcFont | pcSize | pcColor, .Font = &m_tree.NodeFont},
    };
    auto* widget = new QWidget;
    m_treeSample = new TObjectsTree(widget);
    m_treeSample->setObjectName("ObjectsTree");
    m_treeSample->setContextMenuPolicy(Qt::NoContextMenu);
    auto* project = new QTreeWidgetItem(m_treeSample, {Text("MAIN_NODE_TITLE")});
    for (const char* key : {"CLIENTS_MAIN_NODE_TITLE", "CRITERIES_MAIN_NODE_TITLE", "SOCIUM_MAIN_NODE_TITLE"})
        new QTreeWidgetItem(project, {Text(key)});
    m_treeSample->expandAll();
    auto* layout = new QHBoxLayout(widget);
    layout->addWidget(m_treeSample, 1);
    layout->addWidget(BuildControls(page, "Tree", false, false));
    return widget;
}

QWidget* TParamsForm::BuildChoicesPage()
{
    TPage& page = m_choicesPage;
    page.Refresh = &TParamsForm::RefreshChoices;
    TChoicesRegs& r = m_choices;
    const unsigned font = pcFont | pcSize | pcColor;
    page.Items = {
        {.Key = "OPTIONS_CHOICES_ELEM_ARROW", .Controls = pcSize | pcColor | pcDirection,
         .Color = &r.ArrowColor, .Size = &r.ArrowLineWidth, .Direction = &r.ArrowDirection},
        {.Key = "OPTIONS_CHOICES_ELEM_ACELL", .Controls = pcColor, .Color = &r.AdditionalCellColor},
        {.Key = "OPTIONS_CHOICES_ELEM_CCELL", .Controls = pcColor | pcWidth | pcHeight,
         .Color = &r.CommonColor, .Width = &r.ColumnWidth, .Height = &r.RowHeight},
        {.Key = "OPTIONS_CHOICES_ELEM_ALINE", .Controls = pcSize | pcColor, .Color = &r.FocusCellSelColor,
         .Size = &r.LineWidth},
        {.Key = "OPTIONS_CHOICES_ELEM_NALINE", .Controls = pcSize | pcColor, .Color = &r.LineColor,
         .Size = &r.LineWidth},
        {.Key = "OPTIONS_CHOICES_ELEM_NSYMB", .Controls = font | pcValue, .Font = &r.SymbolAgainstFont,
         .Value = &r.SymbolAgainst, .Symbol = true},
        {.Key = "OPTIONS_CHOICES_ELEM_PSYMB", .Controls = font | pcValue, .Font = &r.SymbolForFont,
         .Value = &r.SymbolFor, .Symbol = true},
        {.Key = "OPTIONS_CHOICES_ELEM_TEXT", .Controls = font, .Font = &r.CaptionFont},
    };
    auto* widget = new QWidget;
    m_choicesSample = new TSelections(widget);
    m_choicesSample->setObjectName("Choices");
    QStringList names;
    for (const char* key : {"OPTIONS_CHOICES_CLIENT1", "OPTIONS_CHOICES_CLIENT2", "OPTIONS_CHOICES_CLIENT3",
                            "OPTIONS_CHOICES_CLIENT4"})
        names << Text(key);
    m_choicesSample->SetCaptions(names);
    m_choicesSample->SetCellCount(static_cast<int>(names.size()) + 1);
    m_choicesSample->SetNumSelLimit(3);
    m_choicesSample->SetIsLegend(false);
    m_choicesSample->setMinimumSize(360, 260);
    auto* layout = new QHBoxLayout(widget);
    layout->addWidget(m_choicesSample, 1);
    layout->addWidget(BuildControls(page, "Choices", true, true));
    return widget;
}

QWidget* TParamsForm::BuildIndexesPage()
{
    TPage& page = m_indexesPage;
    page.Refresh = &TParamsForm::RefreshIndexes;
    TIndexesRegs& r = m_indexes;
    const unsigned font = pcFont | pcSize | pcColor;
    const unsigned title = font | pcValue;
    page.Items = {
        {.Key = "OPTIONS_INDEXES_ELEM_BGRND", .Controls = pcColor, .Color = &r.BackColor},
        {.Key = "OPTIONS_INDEXES_ELEM_GRPDATALABEL_BGRND", .Controls = pcColor, .Color = &r.GroupDataLabelBackColor},
        {.Key = "OPTIONS_INDEXES_ELEM_GRPTITLE", .Controls = title, .Font = &r.GroupTitleFont, .Value = &r.GroupTitle},
        {.Key = "OPTIONS_INDEXES_ELEM_GRPAXEXTITLE", .Controls = title, .Font = &r.GroupAxeXTitleFont,
         .Value = &r.GroupAxeXTitle},
        {.Key = "OPTIONS_INDEXES_ELEM_GRPAXEYTITLE", .Controls = title, .Font = &r.GroupAxeYTitleFont,
         .Value = &r.GroupAxeYTitle},
        {.Key = "OPTIONS_INDEXES_ELEM_GRPCHARTCOLOR", .Controls = pcColor, .Color = &r.GroupChartBackColor},
        {.Key = "OPTIONS_INDEXES_ELEM_GRPCHARTGRID", .Controls = pcColor, .Color = &r.GroupGridColor},
        {.Key = "OPTIONS_INDEXES_ELEM_GRPDATLABEL", .Controls = font, .Font = &r.GroupDataLabelFont},
        {.Key = "OPTIONS_INDEXES_ELEM_GRPAXEXLABEL", .Controls = font, .Font = &r.GroupAxeXLabelFont},
        {.Key = "OPTIONS_INDEXES_ELEM_GRPAXEYLABEL", .Controls = font, .Font = &r.GroupAxeYLabelFont},
        {.Key = "OPTIONS_INDEXES_ELEM_PRVDATLABEL_BGRND", .Controls = pcColor,
         .Color = &r.PrivateDataLabelBackColor},
        {.Key = "OPTIONS_INDEXES_ELEM_PRVTITLE", .Controls = title, .Font = &r.PrivateTitleFont,
         .Value = &r.PrivateTitle},
        {.Key = "OPTIONS_INDEXES_ELEM_PRVAXEXTITLE", .Controls = title, .Font = &r.PrivateAxeXTitleFont,
         .Value = &r.PrivateAxeXTitle},
        {.Key = "OPTIONS_INDEXES_ELEM_PRVAXEYTITLE", .Controls = title, .Font = &r.PrivateAxeYTitleFont,
         .Value = &r.PrivateAxeYTitle},
        {.Key = "OPTIONS_INDEXES_ELEM_PRVCHARTCOLOR", .Controls = pcColor, .Color = &r.PrivateChartBackColor},
        {.Key = "OPTIONS_INDEXES_ELEM_PRVCHARTGRID", .Controls = pcColor, .Color = &r.PrivateGridColor},
        {.Key = "OPTIONS_INDEXES_ELEM_PRVDATLABEL", .Controls = font, .Font = &r.PrivateDataLabelFont},
        {.Key = "OPTIONS_INDEXES_ELEM_PRVAXEXLABEL", .Controls = font, .Font = &r.PrivateAxeXLabelFont},
        {.Key = "OPTIONS_INDEXES_ELEM_PRVAXEYLABEL", .Controls = font, .Font = &r.PrivateAxeYLabelFont},
        {.Key = "OPTIONS_INDEXES_ELEM_PRVLEGEND", .Controls = font, .Font = &r.PrivateLegendFont},
        {.Key = "OPTIONS_INDEXES_ELEM_PRVLEGEND_BGRND", .Controls = pcColor, .Color = &r.PrivateLegendBackColor},
    };

    auto* widget = new QWidget;
    auto* charts = new QWidget;
    m_groupChart = new TGraphicChart(charts);
    m_groupChart->setObjectName("GraphicChartGroupIndexes");
    m_privateChart = new TGraphicChart(charts);
    m_privateChart->setObjectName("GraphicChartPrivateIndexes");
    for (TGraphicChart* chart : {m_groupChart, m_privateChart}) {
        chart->SetGrid(TGridType::gtBoth);
        chart->SetPointLabels(TAxeLabel::alYLabel);
        chart->SetMinY(0);
        chart->SetMaxY(1);
        chart->SetIntervalX(1);
        chart->SetIntervalY(0.2);
        chart->SetMarginLeftX(0.8);
        chart->SetMarginRightX(0.8);
        chart->SetMarginTopY(0.1);
        chart->SetMarginBottomY(0.1);
        chart->setMinimumSize(500, 250);
    }
    // The group chart: one bar per group index of an invented investigation.
    m_groupChart->SetChartType(TChartType::ctBar);
    m_groupChart->SetIsLegend(false);
    m_groupChart->SetMinX(1);
    m_groupChart->SetMaxX(static_cast<double>(kGroupIndices.size()));
    const double groupValues[] = {0.42, 0.25, 0.67, 0.18};
    for (std::size_t i = 0; i < kGroupIndices.size(); ++i) {
        const QString caption = Text(kGroupIndices[i].CaptionKey);
        m_groupChart->AddAxeXLabel(caption);
        m_groupChart->AddPoint(0, Qt::blue, QString(), static_cast<double>(i + 1), groupValues[i], caption);
    }
    // The individual chart: the four individual indices of four members, one line each.
    m_privateChart->SetChartType(TChartType::ctLine);
    m_privateChart->SetIsLegend(true);
    m_privateChart->SetMinX(1);
    m_privateChart->SetMaxX(4);
    const QColor colors[] = {QColor(0, 0, 255), QColor(0, 128, 0), QColor(255, 0, 0), QColor(255, 255, 0)};
    const double memberValues[4][4] = {
        {0.8, 0.5, 0.2, 1.0}, {0.1, 0.7, 0.4, 0.9}, {0.6, 0.3, 1.0, 0.0}, {0.3, 0.9, 0.6, 0.0}};
    const char* members[] = {"OPTIONS_GRAPHCOMP_1", "OPTIONS_GRAPHCOMP_2", "OPTIONS_GRAPHCOMP_3",
                             "OPTIONS_GRAPHCOMP_4"};
    for (int m = 0; m < 4; ++m) {
        const QString name = Text(members[m]);
        m_privateChart->AddAxeXLabel(name);
        for (std::size_t k = 0; k < kClientIndices.size(); ++k)
            m_privateChart->AddPoint(static_cast<int32_t>(k), colors[k], Text(kClientIndices[k].CaptionKey),
                                     m + 1.0, memberValues[m][k], name);
    }
    auto* chartsLayout = new QVBoxLayout(charts);
    chartsLayout->setContentsMargins(0, 0, 0, 0);
    chartsLayout->setSpacing(0);
    charts->setAutoFillBackground(true);
    chartsLayout->addWidget(m_groupChart, 1);
    chartsLayout->addWidget(m_privateChart, 1);
    // Larger fonts make the charts wider than the page: they scroll then.
    auto* scroll = new QScrollArea;
    scroll->setObjectName("ScrollBoxIndexesSample");
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(charts);

    auto* layout = new QHBoxLayout(widget);
    layout->addWidget(scroll, 1);
    layout->addWidget(BuildControls(page, "Indexes", false, true));
    return widget;
}

QWidget* TParamsForm::BuildGraphPage()
{
    TPage& page = m_graphPage;
    page.Refresh = &TParamsForm::RefreshGraph;
    TGraphRegs& r = m_graph;
    page.Items = {
        {.Key = "OPTIONS_GRAPH_ELEM_BGRND", .Controls = pcColor, .Color = &r.PanelBackColor},
        {.Key = "OPTIONS_GRAPH_ELEM_ARROW", .Controls = pcSize | pcColor, .Color = &r.ArrowColor,
         .Size = &r.ArrowWidth},
        {.Key = "OPTIONS_GRAPH_ELEM_ARR_POS", .Controls = pcSize | pcColor, .Color = &r.ArrowColorPositive,
         .Size = &r.ArrowWidthPositive},
        {.Key = "OPTIONS_GRAPH_ELEM_ARR_NEG", .Controls = pcSize | pcColor, .Color = &r.ArrowColorNegative,
         .Size = &r.ArrowWidthNegative},
        {.Key = "OPTIONS_GRAPH_ELEM_GRCOMPBGRND", .Controls = pcColor, .Color = &r.CompBackColor},
        {.Key = "OPTIONS_GRAPH_ELEM_GRCOMPLINE", .Controls = pcSize | pcColor, .Color = &r.CompLineColor,
         .Size = &r.CompLineWidt},
        {.Key = "OPTIONS_GRAPH_ELEM_GRCOMPTEXT", .Controls = pcFont | pcSize | pcColor, .Font = &r.CaptionFont},
    };
    auto* widget = new QWidget;
    m_graphSample = new TSocioPanel(widget);
    m_graphSample->setObjectName("SocioPanel");
    m_graphSample->SetClientAligned(true);
    m_graphSample->setMinimumSize(340, 300);
    // Four members, the nodes owned by the surface like those of a graph window.
    const char* keys[] = {"OPTIONS_GRAPHCOMP_1", "OPTIONS_GRAPHCOMP_2", "OPTIONS_GRAPHCOMP_3",
                          "OPTIONS_GRAPHCOMP_4"};
    const QPoint places[] = {{50, 40}, {330, 70}, {80, 260}, {360, 300}};
    for (int i = 0; i < 4; ++i) {
        auto* node = new TSocioGraphicControl(m_graphSample);
        node->setObjectName(QStringLiteral("SocioGraphicControl%1").arg(i + 1));
        node->SetCaption(Text(keys[i]));
        node->SetIsInfo(false);
        node->move(places[i]);
        node->show();
    }
    QWidget* controls = BuildControls(page, "Graph", false, false);
    m_graphStatusColors = AddStatusColorsBox(*controls, "CheckBoxGraphStatusColors", m_graph.StatusColors);
    // Switches of the window's pictures and printouts; their wording comes from the catalogue.
    auto addSwitch = [controls](const char* name, bool checked) {
        auto* box = new QCheckBox;
        box->setObjectName(QString::fromLatin1(name));
        box->setChecked(checked);
        static_cast<QFormLayout*>(controls->layout())->addRow(box);
        return box;
    };
    m_graphTitleLine = addSwitch("CheckBoxGraphTitleLine", m_graph.TitleLine);
    m_graphPrintBackground = addSwitch("CheckBoxGraphPrintBackground", m_graph.PrintBackground);
    auto* layout = new QHBoxLayout(widget);
    layout->addWidget(m_graphSample, 1);
    layout->addWidget(controls);
    return widget;
}

QWidget* TParamsForm::BuildTargetPage()
{
    TPage& page = m_targetPage;
    page.Refresh = &TParamsForm::RefreshTarget;
    TTargetRegs& r = m_target;
    const unsigned font = pcFont | pcSize | pcColor;
    page.Items = {
        {.Key = "OPTIONS_TARGET_ELEM_BGRND", .Controls = pcColor, .Color = &r.Background},
        {.Key = "OPTIONS_TARGET_ELEM_LEGBGRND", .Controls = pcColor, .Color = &r.LegendBackground},
        {.Key = "OPTIONS_TARGET_ELEM_LEGBORDER", .Controls = pcSize | pcColor, .Color = &r.LegendLineColor,
         .Size = &r.LegendLineWidth},
        {.Key = "OPTIONS_TARGET_ELEM_LEGTEXT", .Controls = font, .Font = &r.LegendFont},
        {.Key = "OPTIONS_TARGET_ELEM_ARLINE", .Controls = pcColor, .Color = &r.ActiveRingLineColor},
        {.Key = "OPTIONS_TARGET_ELEM_NARLINE", .Controls = pcColor, .Color = &r.RingLineColor},
        {.Key = "OPTIONS_TARGET_ELEM_ARING", .Controls = pcColor, .Color = &r.ActiveRingColor},
        {.Key = "OPTIONS_TARGET_ELEM_NARING", .Controls = pcColor, .Color = &r.RingColor},
        {.Key = "OPTIONS_TARGET_ELEM_RINGTEXT", .Controls = font, .Font = &r.TargetFont},
    };
    auto* widget = new QWidget;
    auto* samples = new QWidget;
    m_targetSample = new TTarget(samples);
    m_targetSample->setObjectName("Target");
    m_targetSample->SetIsBorder(false);
    m_targetSample->SetRingMinNumber(0);
    m_targetSample->SetRingNumber(6);
    m_targetSample->SetActiveRingNumber(2);
    m_legendSample = new TStringsList(samples);
    m_legendSample->setObjectName("StringsListTargetLegend");
    // The legend lists the members of the highlighted ring, as in the target window.
    QStringList names;
    for (const char* key : {"OPTIONS_CHOICES_CLIENT1", "OPTIONS_CHOICES_CLIENT3"})
        names << Text(key);
    m_legendSample->SetLines(names);
    samples->setAutoFillBackground(true);
    samples->setMinimumSize(340, 300);
    QWidget* controls = BuildControls(page, "Target", false, false);
    m_targetStatusColors = AddStatusColorsBox(*controls, "CheckBoxTargetStatusColors", m_target.StatusColors);
    auto* layout = new QHBoxLayout(widget);
    layout->addWidget(samples, 1);
    layout->addWidget(controls);
    return widget;
}

QWidget* TParamsForm::BuildReportPage()
{
    auto* widget = new QWidget;
    m_reportOrder = std::make_unique<TReportOrderInRegistry>(m_report);
    m_reportParts = new QListWidget;
    m_reportParts->setObjectName("ReportPartsCheckListBox");
    auto button = [](const char* name, const char* caption) {
        auto* b = new QPushButton(QString::fromUtf8(caption));
        b->setObjectName(name);
        return b;
    };
    QPushButton* up = button("BitBtnUp", "Up");
    QPushButton* down = button("BitBtnDown", "Down");
    QPushButton* allOn = button("BitBtnAllOn", "All on");
    QPushButton* allOff = button("BitBtnAllOff", "All off");
    // Each button first takes the list's check marks and selection into the order, acts on the
    // order, then shows it again.
    auto act = [this](void (TReportOrderInRegistry::*op)()) {
        ReadReportOrder(*m_reportParts, *m_reportOrder);
        ((*m_reportOrder).*op)();
        ShowReportParts();
    };
    connect(up, &QPushButton::clicked, this, [act] { act(&TReportOrderInRegistry::MoveUp); });
    connect(down, &QPushButton::clicked, this, [act] { act(&TReportOrderInRegistry::MoveDown); });
    connect(allOn, &QPushButton::clicked, this, [act] { act(&TReportOrderInRegistry::CheckAll); });
    connect(allOff, &QPushButton::clicked, this, [act] { act(&TReportOrderInRegistry::UncheckAll); });
    auto* side = new QVBoxLayout;
    for (QPushButton* b : {up, down, allOn, allOff})
        side->addWidget(b);
    side->addStretch();
    auto* layout = new QHBoxLayout(widget);
    layout->addWidget(m_reportParts, 1);
    layout->addLayout(side);
    ShowReportParts();
    return widget;
}

void TParamsForm::ShowReportParts()
{
    ShowReportOrder(*m_reportOrder, *m_reportParts);
}

// ---------------------------------------------------------------------------------------------
// Elements and their controls

void TParamsForm::FillElements(TPage& page)
{
    const QSignalBlocker block(page.Elements);
    page.Elements->clear();
    for (const TParamElement& item : page.Items)
        page.Elements->addItem(Text(item.Key), QString::fromLatin1(item.Key));
    page.Elements->setCurrentIndex(0);
}

TParamElement* TParamsForm::CurrentElement(TPage& page)
{
    // Told apart by key: two elements may share a translated text.
    const QString key = page.Elements->currentData().toString();
    for (TParamElement& item : page.Items) {
        if (key == QLatin1String(item.Key))
            return &item;
    }
    return nullptr;
}

void TParamsForm::ShowElement(TPage& page)
{
    const TParamElement* item = CurrentElement(page);
    if (!item)
        return;
    m_loading = true;
    const unsigned c = item->Controls;
    if (item->Font) {
        QFont font;
        QColor color;
        ApplyFont(*item->Font, font, color);
        page.Font->setCurrentFont(font);
        page.Size->setRange(kMinFontSize, kMaxFontSize);
        page.Size->setValue(font.pointSize());
        page.Bold->setChecked(font.bold());
        page.Italic->setChecked(font.italic());
        page.Color->SetColor(color);
    } else {
        // A colour-only element clears the font controls.
        page.Font->setCurrentIndex(-1);
        page.Bold->setChecked(false);
        page.Italic->setChecked(false);
        page.Size->setRange(kMinLineWidth, kMaxLineWidth);
        if (item->Size)
            page.Size->setValue(std::clamp(*item->Size, kMinLineWidth, kMaxLineWidth));
        else
            page.Size->clear();
        if (item->Color)
            page.Color->SetColor(ToQColor(*item->Color));
    }
    // Controls the element does not use show nothing rather than a value of another element.
    if (page.Width) {
        if (item->Width)
            page.Width->setValue(*item->Width);
        else
            page.Width->clear();
    }
    if (page.Height) {
        if (item->Height)
            page.Height->setValue(*item->Height);
        else
            page.Height->clear();
    }
    if (page.Direction)
        page.Direction->setCurrentIndex(item->Direction ? (*item->Direction ? 0 : 1) : -1);
    if (page.Value)
        page.Value->setText(item->Value ? QString::fromStdString(*item->Value) : QString());

    page.Font->setEnabled(c & pcFont);
    page.Bold->setEnabled(c & pcFont);
    page.Italic->setEnabled(c & pcFont);
    page.Size->setEnabled(c & pcSize);
    page.Color->setEnabled(c & pcColor);
    if (page.Width)
        page.Width->setEnabled(c & pcWidth);
    if (page.Height)
        page.Height->setEnabled(c & pcHeight);
    if (page.Direction)
        page.Direction->setEnabled(c & pcDirection);
    if (page.Value)
        page.Value->setEnabled(c & pcValue);
    m_loading = false;
}

void TParamsForm::Edited(TPage& page, unsigned control)
{
    if (m_loading)
        return;
    TParamElement* item = CurrentElement(page);
    if (!item || !(item->Controls & control))
        return;
    if (item->Font && (control & (pcFont | pcSize | pcColor))) {
        // Through a QFont so that underline and strikeout keep what the font had.
        QFont font;
        QColor color;
        ApplyFont(*item->Font, font, color);
        if (control == pcFont) {
            font.setFamily(page.Font->currentFont().family());
            font.setBold(page.Bold->isChecked());
            font.setItalic(page.Italic->isChecked());
        } else if (control == pcSize) {
            font.setPointSize(page.Size->value());
        } else {
            color = page.Color->Color();
        }
        StoreFont(font, color, *item->Font);
    } else {
        switch (control) {
        case pcSize:
            if (item->Size)
                *item->Size = page.Size->value();
            break;
        case pcColor:
            if (item->Color)
                *item->Color = FromQColor(page.Color->Color());
            break;
        case pcWidth:
            *item->Width = page.Width->value();
            break;
        case pcHeight:
            *item->Height = page.Height->value();
            break;
        case pcDirection:
            *item->Direction = page.Direction->currentIndex() == 0;
            break;
        case pcValue:
            *item->Value = item->Symbol ? SymbolOf(page.Value->text()) : page.Value->text().toStdString();
            break;
        default:
            break;
        }
    }
    (this->*page.Refresh)();
}

// ---------------------------------------------------------------------------------------------
// Samples

void TParamsForm::RefreshTree()
{
    QPalette pal = m_treeSample->palette();
    pal.setColor(QPalette::Base, ToQColor(m_tree.BackColor));
    if (!m_tree.NodeFont.Name.empty() && m_tree.NodeFont.Size > 0) {
        QFont font = m_treeSample->font();
        QColor color;
        ApplyFont(m_tree.NodeFont, font, color);
        m_treeSample->setFont(font);
        pal.setColor(QPalette::Text, color);
    }
    m_treeSample->setPalette(pal);
}

void TParamsForm::RefreshChoices()
{
    const TChoicesRegs& regs = m_choices;
    TSelections& grid = *m_choicesSample;
    ApplyChoicesSettings(grid, regs);
    const TSelDirection direction = regs.ArrowDirection ? sldLeft : sldUp;
    if (grid.SelDirection() != direction || grid.Cell(1, 2) == stNone) {
        grid.ClearAll();
        grid.SetSelDirection(direction);
        // A few sample choices of both kinds.
        try {
            grid.SetCell(1, 2, stFor);
            grid.SetCell(2, 1, stFor);
            grid.SetCell(3, 1, stAgainst);
            grid.SetCell(4, 3, stFor);
        } catch (...) {
            // The sample only shows what the grid admits.
        }
    }
    grid.update();
}

void TParamsForm::RefreshIndexes()
{
    const TIndexesRegs& r = m_indexes;
    const QColor back = ToQColor(r.BackColor);
    QWidget& charts = *m_groupChart->parentWidget();
    QPalette palette = charts.palette();
    palette.setColor(QPalette::Window, back);
    charts.setPalette(palette);
    ApplyIndexesChartSettings(*m_groupChart, *m_privateChart, r);

    // As in the indexes window, the group chart widens until its four captions fit side by side.
    TGraphicChart& group = *m_groupChart;
    const TPlotRect plot = group.PlotArea();
    const int fixed = group.width() - (plot.Right - plot.Left);
    group.setMinimumWidth(GroupChartWidth(group.MaxAxeXLabelWidth(), fixed));
}

void TParamsForm::RefreshGraph()
{
    const TGraphRegs& r = m_graph;
    const QColor panel = ToQColor(r.PanelBackColor);
    m_graphSample->SetBackColor(panel);
    QFont font;
    QColor color;
    ApplyFont(r.CaptionFont, font, color);
    const std::vector<TSocioGraphicControl*>& nodes = m_graphSample->Nodes();
    for (TSocioGraphicControl* node : nodes) {
        node->SetLineWidth(r.CompLineWidt);
        node->SetLineColor(ToQColor(r.CompLineColor));
        node->SetBColor(panel);
        node->SetFigureBackColor(ToQColor(r.CompBackColor));
        node->SetCaptionFont(font, color);
        node->ClearRelations();
    }
    if (nodes.size() == 4) {
        // The arrows of one kind shown alone, and of both kinds shown together.
        nodes[0]->AddRelation(nodes[1], Qt::SolidLine, ToQColor(r.ArrowColor), r.ArrowWidth);
        nodes[1]->AddRelation(nodes[0], Qt::SolidLine, ToQColor(r.ArrowColor), r.ArrowWidth);
        nodes[0]->AddRelation(nodes[2], Qt::SolidLine, ToQColor(r.ArrowColorPositive), r.ArrowWidthPositive);
        nodes[3]->AddRelation(nodes[1], Qt::SolidLine, ToQColor(r.ArrowColorPositive), r.ArrowWidthPositive);
        nodes[2]->AddRelation(nodes[3], Qt::SolidLine, ToQColor(r.ArrowColorNegative), r.ArrowWidthNegative);
    }
    m_graphSample->update();
}

void TParamsForm::RefreshTarget()
{
    const TTargetRegs& r = m_target;
    ApplyTargetSettings(*m_targetSample, *m_legendSample, r);
    // The legend sits right of the rings, level with their top, on the diagram's background.
    m_targetSample->FitToContents();
    m_targetSample->move(0, 0);
    m_legendSample->SetMaxHeight(m_targetSample->height());
    m_legendSample->move(m_targetSample->width(), 0);
    QWidget& samples = *m_targetSample->parentWidget();
    QPalette palette = samples.palette();
    palette.setColor(QPalette::Window, ToQColor(r.Background));
    samples.setPalette(palette);
    m_targetSample->update();
    m_legendSample->update();
}

// ---------------------------------------------------------------------------------------------
// Store

void TParamsForm::Store()
{
    TRegs& regs = Regs();
    regs.Root.ShowTutorial = m_showTutorial->isChecked();
    // The language is stored only once chosen here, so an unset one keeps following the system.
    const std::string language = m_language->currentData().toString().toStdString();
    if (!regs.Root.Language.empty() || language != Language())
        regs.Root.Language = language;
    regs.Root.IsStartingForm = m_isStartingForm->isChecked();
    regs.Root.NumOfLastOpenedProjects = static_cast<int16_t>(m_numOfProjects->value());
    regs.Root.ShowExitConfirmation = m_exitConfirmation->isChecked();
    if (m_store && m_store->LoginRequired() != m_isLogining->isChecked())
        m_store->SetLoginRequired(m_isLogining->isChecked());

    regs.Tree = m_tree;
    const bool isGraphic = regs.Choices.IsGraphic;
    regs.Choices = m_choices;
    regs.Choices.IsGraphic = isGraphic;
    regs.Indexes = m_indexes;
    regs.Graph = m_graph;
    regs.Graph.StatusColors = m_graphStatusColors->isChecked();
    regs.Graph.TitleLine = m_graphTitleLine->isChecked();
    regs.Graph.PrintBackground = m_graphPrintBackground->isChecked();
    regs.Target = m_target;
    regs.Target.StatusColors = m_targetStatusColors->isChecked();
    // The diagram draws every ring with the sample's one line width and one ring width.
    regs.Target.RingLineWidth = regs.Target.ActiveRingLineWidth = m_targetSample->RingLineWidth();
    regs.Target.RingWidth = regs.Target.ActiveRingWidth = m_targetSample->RingWidth();

    ReadReportOrder(*m_reportParts, *m_reportOrder);
    m_reportOrder->SaveOrder();
    m_reportOrder->SaveSelection();
    regs.Report.PartsOrder = m_report.PartsOrder;
    regs.Report.OffParts = m_report.OffParts;
}
