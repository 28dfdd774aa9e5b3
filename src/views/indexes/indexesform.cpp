#include "views/indexes/indexesform.h"

#include <algorithm>
#include <vector>

#include <QAction>
#include <QActionGroup>
#include <QEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include "analysis/indices.h"
#include "analysis/investigationobj.h"
#include "platform/fontcolor.h"
#include "platform/modalseam.h"
#include "platform/picturefile.h"
#include "i18n/langconv.h"
#include "settings/regs.h"
#include "views/indexes/chartsettings.h"
#include "views/indexes/graphicchart.h"
#include "views/indexes/indexranges.h"

namespace {

constexpr THelpTopic kHelpTopic = THelpTopic::Indexes;
constexpr int kChartWidth = 550;
constexpr int kChartHeight = 350;

// Series colours of the individual indices, in legend order, and of the group bars.
const QColor kGroupColor = Qt::blue;
const std::array<QColor, 4> kPrivateColors = {QColor(0, 0, 255), QColor(0, 128, 0), QColor(255, 0, 0),
                                              QColor(255, 255, 0)};

QString Caption(const char* key)
{
    return QString::fromStdString(HasLangConv() ? LangConv().GetText(key) : std::string(key));
}

void SetYScale(TGraphicChart& chart, const TYScale& scale)
{
    chart.SetMinY(scale.Min);
    chart.SetMaxY(scale.Max);
    chart.SetIntervalY(scale.Interval);
    chart.SetMarginTopY(scale.Margin);
    chart.SetMarginBottomY(scale.Margin);
}

// The settings both charts share at the start: grid, ranges of 0 ... 5, intervals of 1 and margins.
void SetUpChart(TGraphicChart& chart, TChartType type, bool legend, QMenu* popup)
{
    chart.SetGrid(TGridType::gtBoth);
    chart.SetChartType(type);
    chart.SetIsLegend(legend);
    chart.SetPointLabels(TAxeLabel::alYLabel);
    chart.SetPopupMenu(popup);
    chart.SetMinY(0);
    chart.SetMaxY(5);
    chart.SetIntervalX(1);
    chart.SetIntervalY(1);
    chart.SetMarginLeftX(0.8);
    chart.SetMarginRightX(0.8);
    chart.SetMarginTopY(0.5);
    chart.SetMarginBottomY(0.5);
}

// A copy of a chart's key, drawn by the chart, standing over the scroll area's visible part.
class TPinnedKey : public QWidget {
public:
    TPinnedKey(const TGraphicChart& chart, QWidget* parent) : QWidget(parent), m_chart(chart) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        m_chart.DrawLegendAt(painter, QPoint(0, 0));
    }

private:
    const TGraphicChart& m_chart;
};

} // namespace

TIndexesForm::TIndexesForm(TFileAccess& store, int investId, const QString& title, QWidget* parent)
    : TVisualChildForm("IndexesForm", store, investId, title, parent)
{
    resize(664, 492);
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("ScrollBoxIndexes"));
    m_scroll->setWidgetResizable(false);
    m_scroll->setContextMenuPolicy(Qt::CustomContextMenu);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_scroll);

    m_chartsPanel = new QWidget;
    m_groupChart = new TGraphicChart(m_chartsPanel);
    m_groupChart->setObjectName(QStringLiteral("GraphicChartGroupIndexes"));
    m_groupChart->SetTitle(QStringLiteral("Group indexes"));
    m_privateChart = new TGraphicChart(m_chartsPanel);
    m_privateChart->setObjectName(QStringLiteral("GraphicChartPrivateIndexes"));
    m_privateChart->SetTitle(QStringLiteral("Private indexes"));
    m_scroll->setWidget(m_chartsPanel);
    m_key = new TPinnedKey(*m_privateChart, m_scroll->viewport());
    m_key->setObjectName(QStringLiteral("PinnedKeyIndexes"));
    m_key->hide();
    m_scroll->viewport()->installEventFilter(this);
    connect(m_scroll->horizontalScrollBar(), &QScrollBar::valueChanged, this, &TIndexesForm::PlaceKey);
    connect(m_scroll->verticalScrollBar(), &QScrollBar::valueChanged, this, &TIndexesForm::PlaceKey);

    m_popup = new QMenu(this);
    m_popup->setObjectName(QStringLiteral("PopupMenuIndexes"));
    auto* kinds = new QActionGroup(m_popup);
    const char* kindNames[] = {"PopupItemPositive", "PopupItemNegative"};
    for (int i = 0; i < 2; ++i) {
        QAction* item = m_popup->addAction(QString::fromLatin1(kindNames[i]));
        item->setObjectName(QString::fromLatin1(kindNames[i]));
        item->setCheckable(true);
        kinds->addAction(item);
        const int kind = i + 1;
        connect(item, &QAction::triggered, this, [this, kind] { PopupItemChoicesClick(kind); });
        m_kindItems[static_cast<std::size_t>(i)] = item;
    }
    m_kindItems[0]->setChecked(true);
    m_popup->addSeparator()->setObjectName(QStringLiteral("ItemSeparator"));
    QAction* copy = m_popup->addAction(QStringLiteral("ItemCopy"));
    copy->setObjectName(QStringLiteral("ItemCopy"));
    connect(copy, &QAction::triggered, this, &TIndexesForm::ItemCopyClick);
    QAction* save = m_popup->addAction(QStringLiteral("ItemSaveAs"));
    save->setObjectName(QStringLiteral("ItemSaveAs"));
    connect(save, &QAction::triggered, this, &TIndexesForm::ItemSaveAsClick);
    QAction* exportIndices = m_popup->addAction(QStringLiteral("ItemExportIndices"));
    exportIndices->setObjectName(QStringLiteral("ItemExportIndices"));
    connect(exportIndices, &QAction::triggered, this, &TIndexesForm::ItemExportIndicesClick);
    connect(m_scroll, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { m_popup->popup(m_scroll->mapToGlobal(pos)); });

    SetHelpTopic(kHelpTopic);
    Start();
}

TIndexesForm::~TIndexesForm() = default;

void TIndexesForm::Initialize()
{
    const QColor back = m_scroll->palette().color(QPalette::Window);
    SetUpChart(*m_groupChart, TChartType::ctBar, false, m_popup);
    m_groupChart->SetBackGround(back);
    m_groupChart->setGeometry(0, 0, kChartWidth, kChartHeight);
    m_groupChart->SetMinX(1);
    m_groupChart->SetMaxX(static_cast<double>(kGroupIndices.size()));
    m_groupChart->ClearAxeXLabels();
    for (const TIndexInfo& index : kGroupIndices)
        m_groupChart->AddAxeXLabel(Caption(index.CaptionKey));

    SetUpChart(*m_privateChart, TChartType::ctLine, true, m_popup);
    m_privateChart->SetBackGround(back);
    m_privateChart->setGeometry(0, m_groupChart->height(), m_groupChart->width(), m_groupChart->height());
    m_privateChart->SetMinX(1);
    m_privateChart->SetMaxX(Model().ClientCount());
    PlaceCharts();
}

void TIndexesForm::ApplySettings()
{
    const TIndexesRegs& regs = Regs().Indexes;
    const QColor back = ToQColor(regs.BackColor);
    QPalette palette = m_scroll->palette();
    palette.setColor(QPalette::Window, back);
    m_scroll->setPalette(palette);
    m_scroll->viewport()->setPalette(palette);
    m_scroll->viewport()->setAutoFillBackground(true);
    m_chartsPanel->setPalette(palette);
    m_chartsPanel->setAutoFillBackground(true);

    ApplyIndexesChartSettings(*m_groupChart, *m_privateChart, regs);
    PlaceCharts();
}

void TIndexesForm::Build()
{
    BuildGroupChart();
    BuildPrivateChart();
    PlaceCharts();
}

void TIndexesForm::BuildGroupChart()
{
    const TInvestigationObject& model = Model();
    const TChoiceKind kind = Kind();
    const std::array<double, 4> values = {model.IndexP(kind), model.IndexSa(kind), model.IndexJ(kind),
                                          model.IndexN(kind)};
    TGraphicChart& chart = *m_groupChart;
    SetYScale(chart, GroupIndexesScale(values));
    chart.ClearData();
    const QString seriesName = chart.Title();
    for (std::size_t i = 0; i < values.size(); ++i)
        chart.AddPoint(0, kGroupColor, seriesName, static_cast<double>(i + 1), values[i],
                       Caption(kGroupIndices[i].CaptionKey));
}

void TIndexesForm::BuildPrivateChart()
{
    const TInvestigationObject& model = Model();
    const TChoiceKind kind = Kind();
    TGraphicChart& chart = *m_privateChart;
    chart.ClearData();
    // The labels are the members' names of this build only.
    chart.ClearAxeXLabels();
    std::array<QString, 4> seriesNames;
    for (std::size_t k = 0; k < kClientIndices.size(); ++k)
        seriesNames[k] = Caption(kClientIndices[k].CaptionKey);
    const int32_t count = model.ClientCount();
    std::vector<double> values;
    values.reserve(static_cast<std::size_t>(count) * 4);
    for (int32_t r = 0; r < count; ++r) {
        const QString name = QString::fromStdString(model.Client(r).Name);
        const std::array<double, 4> member = {model.IndexPi(r, kind), model.IndexAi(r, kind),
                                              model.IndexEi(r, kind), model.IndexSti(r, kind)};
        chart.AddAxeXLabel(name);
        for (std::size_t k = 0; k < member.size(); ++k) {
            chart.AddPoint(static_cast<int32_t>(k), kPrivateColors[k], seriesNames[k], r + 1.0, member[k], name);
            values.push_back(member[k]);
        }
    }
    SetYScale(chart, PrivateIndexesScale(values));
    chart.setFixedWidth(PrivateChartWidth(chart.MaxAxeXLabelWidth(), count));
}

void TIndexesForm::PlaceCharts()
{
    // The group chart grows when its four captions would not fit side by side.
    TGraphicChart& group = *m_groupChart;
    const TPlotRect plot = group.PlotArea();
    const int fixed = group.width() - (plot.Right - plot.Left);
    group.setFixedWidth(GroupChartWidth(group.MaxAxeXLabelWidth(), fixed));
    m_privateChart->move(0, group.height());
    m_chartsPanel->resize(std::max(group.width(), m_privateChart->width()),
                          group.height() + m_privateChart->height());
    PlaceKey();
}

void TIndexesForm::PlaceKey()
{
    QWidget* viewport = m_scroll->viewport();
    const QSize size = m_privateChart->LegendSize();
    const QPoint own = m_privateChart->mapTo(viewport, m_privateChart->LegendPlace());
    const int right = std::max(0, viewport->width() - size.width() - 2);
    // Where the chart's own key is in sight the copy stays hidden.
    if (!m_privateChart->IsLegend() || own.x() <= right) {
        m_key->hide();
        return;
    }
    m_key->setGeometry(QRect(QPoint(right, own.y()), size));
    m_key->raise();
    m_key->show();
    m_key->update();
}

bool TIndexesForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_scroll->viewport() && event->type() == QEvent::Resize)
        PlaceKey();
    return TVisualChildForm::eventFilter(watched, event);
}

void TIndexesForm::Refresh()
{
    Build();
    ShowCheckedKind();
}

void TIndexesForm::ShowCheckedKind()
{
    // The view of both kinds has no item of its own and leaves the marks as they are.
    if (ChoiceKind() == 1 || ChoiceKind() == 2)
        m_checkedKind = ChoiceKind();
    m_kindItems[static_cast<std::size_t>(m_checkedKind - 1)]->setChecked(true);
}

QSize TIndexesForm::PictureSize() const
{
    return {std::max(m_groupChart->width(), m_privateChart->width()),
            m_groupChart->height() + m_privateChart->height()};
}

void TIndexesForm::PaintPicture(QPainter& painter)
{
    // A picture saved in bands is drawn through a clip: each chart skips what lies outside it.
    painter.save();
    painter.fillRect(QRect(QPoint(0, 0), PictureSize()), m_groupChart->BackGround());
    m_groupChart->PaintTo(painter, TGraphicChart::ExposedOf(painter));
    painter.translate(0, m_groupChart->height());
    m_privateChart->PaintTo(painter, TGraphicChart::ExposedOf(painter));
    painter.restore();
}

void TIndexesForm::PopupItemChoicesClick(int kind)
{
    // The item just toggled; the menu shows the kind on screen until the main window switches.
    ShowCheckedKind();
    RequestChoiceKind(kind);
}

void TIndexesForm::ItemCopyClick()
{
    // A picture too large for the clipboard is copied scaled down (the base says so to the user).
    CopyPicture();
}

void TIndexesForm::ItemSaveAsClick()
{
    SavePicture();
}
