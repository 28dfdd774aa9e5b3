#include "views/sociogram/graphform.h"

#include <algorithm>
#include <map>
#include <tuple>

#include <QAction>
#include <QDate>
#include <QFontMetrics>
#include <QEvent>
#include <QActionGroup>
#include <QMenu>
#include <QPainter>
#include <QScrollArea>
#include <QTimer>
#include <QUndoStack>
#include <QVBoxLayout>

#include "analysis/investigationobj.h"
#include "exchange/tableexport.h"
#include "store/filtab.h"
#include "platform/fontcolor.h"
#include "platform/langcontroller.h"
#include "settings/regs.h"
#include "util/dates.h"
#include "store/fileacc.h"
#include "views/sociogram/figurecommand.h"
#include "views/sociogram/graphiccontrol.h"
#include "views/sociogram/sociopanel.h"
#include "views/statuslegend.h"
#include "views/undostack.h"

namespace {

constexpr THelpTopic kHelpTopic = THelpTopic::Graph;
// Stored places outside this range are not taken (a damaged or hand-edited file).
constexpr int32_t kMaxCoordinate = 32000;

// Placement kinds in the order the lists and the GRAPH rows use them.
constexpr std::array<TChoiceKind, 3> kPlaceKinds = {TChoiceKind::Positive, TChoiceKind::Negative,
                                                    TChoiceKind::Placement};
// The figure of a member without a stored place in the view of both kinds: a square.
constexpr int32_t kAnyViewFigure = 5;

struct TFigureItem {
    const char* name;
    TComponentStyle style;
};

// The node menu's figure items, in menu order (figure types 1..7).
constexpr TFigureItem kFigureItems[] = {
    {"PopupItemStar7", csStar7},       {"PopupItemStar5", csStar5},   {"PopupItemHexagon", csHexagon},
    {"PopupItemPentagon", csPentagon}, {"PopupItemSquare", csRectangle}, {"PopupItemTriangle", csTriangle},
    {"PopupItemOval", csEllipse},
};

// Index of a view's place list: the positive, the negative and the both-kinds view.
std::size_t PlaceIndex(TChoiceKind kind)
{
    switch (kind) {
    case TChoiceKind::Negative:
        return 1;
    case TChoiceKind::Any:
    case TChoiceKind::Placement:
        return 2;
    default:
        return 0;
    }
}

bool Sane(const TNodePlace& p)
{
    // Nodes sized to short captions are smaller than the minimum a resize leaves, so any
    // positive size is a size.
    return p.Left >= 0 && p.Top >= 0 && p.Left <= kMaxCoordinate && p.Top <= kMaxCoordinate && p.Width > 0 &&
           p.Height > 0 && p.Width <= kMaxCoordinate && p.Height <= kMaxCoordinate;
}

// A new arrangement widens a figure narrower than its name (places stored by older versions
// were 80 pixels wide, whatever the name), and keeps a figure the user made wider.
int ArrangedWidth(const TSocioGraphicControl& node)
{
    return std::max(node.width(), node.FittedWidth());
}

} // namespace

int32_t FigureTypeOf(TComponentStyle style)
{
    for (int i = 0; i < 7; ++i) {
        if (kFigureItems[i].style == style)
            return i + 1;
    }
    return 0;
}

TComponentStyle FigureOfType(int32_t figType)
{
    return figType >= 1 && figType <= 7 ? kFigureItems[figType - 1].style : csNone;
}

TGraphForm::TGraphForm(TFileAccess& store, int investId, const QString& title, QWidget* parent)
    : TVisualChildForm("GraphForm", store, investId, title, parent)
{
    resize(372, 276);
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("GraphScrollBox"));
    m_scroll->setWidgetResizable(false);
    m_scroll->setContextMenuPolicy(Qt::CustomContextMenu);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_scroll);

    m_surface = new TSocioPanel;
    m_surface->setObjectName(QStringLiteral("ArrowsSocioPanel"));
    m_surface->SetBorderColor(Qt::black);
    m_surface->SetPenBorderStyle(Qt::SolidLine);
    m_surface->SetBorderWidth(0);
    m_scroll->setWidget(m_surface);

    // The background's menu.
    m_panelMenu = new QMenu(this);
    m_panelMenu->setObjectName(QStringLiteral("PopupMenuGraphPanel"));
    // The node's menu.
    m_nodeMenu = new QMenu(this);
    m_nodeMenu->setObjectName(QStringLiteral("PopupMenuGraphComp"));
    for (const TFigureItem& item : kFigureItems) {
        QAction* action = m_nodeMenu->addAction(QString::fromLatin1(item.name));
        action->setObjectName(QString::fromLatin1(item.name));
        const TComponentStyle style = item.style;
        connect(action, &QAction::triggered, this, [this, style] { FigureTypeMenuItemClick(style); });
        m_figureItems.push_back(action);
    }
    QAction* separator = m_nodeMenu->addSeparator();
    separator->setObjectName(QStringLiteral("SeparatorItem11"));
    m_figureItems.push_back(separator);

    auto addKinds = [this](QMenu* menu, std::array<QAction*, 3>& items, const char* suffix) {
        auto* group = new QActionGroup(menu);
        const char* names[] = {"PopupItemPositive", "PopupItemNegative", "PopupItemAny"};
        for (int i = 0; i < 3; ++i) {
            const QString name = QString::fromLatin1(names[i]) + QLatin1String(suffix);
            QAction* action = menu->addAction(name);
            action->setObjectName(name);
            action->setCheckable(true);
            group->addAction(action);
            const int kind = i + 1;
            connect(action, &QAction::triggered, this, [this, kind] { PopupItemChoicesClick(kind); });
            items[static_cast<std::size_t>(i)] = action;
        }
        items[0]->setChecked(true);
        menu->addSeparator();
    };
    addKinds(m_nodeMenu, m_nodeKinds, "1");
    addKinds(m_panelMenu, m_panelKinds, "2");
    auto addStatusItem = [this](QMenu* menu, const char* name) {
        QAction* action = menu->addAction(QString::fromLatin1(name));
        action->setObjectName(QString::fromLatin1(name));
        action->setCheckable(true);
        connect(action, &QAction::triggered, this, &TGraphForm::PopupItemStatusColorsClick);
        menu->addSeparator();
        // A disabled item says why in its tool tip.
        menu->setToolTipsVisible(true);
        return action;
    };
    m_statusItems[0] = addStatusItem(m_nodeMenu, "PopupItemStatusColors1");
    m_statusItems[1] = addStatusItem(m_panelMenu, "PopupItemStatusColors2");

    // Automatic arrangements and which arrows are shown.
    auto* arrange = m_panelMenu->addMenu(QStringLiteral("MenuArrange2"));
    arrange->setObjectName(QStringLiteral("MenuArrange2"));
    const std::pair<const char*, TLayoutKind> layouts[] = {{"ItemArrangeGrid2", TLayoutKind::Grid},
                                                           {"ItemArrangeTarget2", TLayoutKind::Target},
                                                           {"ItemArrangeForce2", TLayoutKind::Force},
                                                           {"ItemArrangeCircle2", TLayoutKind::Circle}};
    for (const auto& [name, layoutKind] : layouts) {
        QAction* action = arrange->addAction(QString::fromLatin1(name));
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, [this, layoutKind] { ArrangeBy(layoutKind); });
    }
    arrange->addSeparator();
    // The switches below are the user's settings: a click stores them for the next window.
    TGraphRegs& settings = Regs().Graph;
    auto addSwitch = [this](QMenu* menu, const char* name, void (TGraphForm::*set)(bool), bool TGraphRegs::*stored) {
        QAction* item = menu->addAction(QString::fromLatin1(name));
        item->setObjectName(QString::fromLatin1(name));
        item->setCheckable(true);
        connect(item, &QAction::triggered, this, [this, set, stored](bool on) {
            (this->*set)(on);
            Regs().Graph.*stored = on;
        });
        return item;
    };
    m_halvesItem = addSwitch(arrange, "ItemArrangeHalves2", &TGraphForm::SetSexHalves, &TGraphRegs::SexHalves);
    auto* arrows = m_panelMenu->addMenu(QStringLiteral("MenuArrows2"));
    arrows->setObjectName(QStringLiteral("MenuArrows2"));
    auto* arrowGroup = new QActionGroup(arrows);
    const char* arrowItems[] = {"ItemArrowsAll2", "ItemArrowsOneWay2", "ItemArrowsMutual2"};
    for (int i = 0; i < 3; ++i) {
        QAction* action = arrows->addAction(QString::fromLatin1(arrowItems[i]));
        action->setObjectName(QString::fromLatin1(arrowItems[i]));
        action->setCheckable(true);
        arrowGroup->addAction(action);
        m_arrowItems[static_cast<std::size_t>(i)] = action;
        connect(action, &QAction::triggered, this, [this, i] {
            ArrowFilterClick(i);
            Regs().Graph.ArrowFilter = i;
        });
    }
    m_printBackgroundItem = addSwitch(m_panelMenu, "ItemPrintBackground2", &TGraphForm::SetPrintsBackground,
                                      &TGraphRegs::PrintBackground);
    m_titleItem = addSwitch(m_panelMenu, "ItemTitleLine2", &TGraphForm::SetTitleLineShown, &TGraphRegs::TitleLine);
    SetSexHalves(settings.SexHalves);
    ArrowFilterClick(std::clamp(settings.ArrowFilter, 0, 2));
    SetPrintsBackground(settings.PrintBackground);
    SetTitleLineShown(settings.TitleLine);
    m_panelMenu->addSeparator();
    m_statusColors = Regs().Graph.StatusColors;
    auto addPictureItems = [this](QMenu* menu, const char* copyName, const char* saveName) {
        QAction* copy = menu->addAction(QString::fromLatin1(copyName));
        copy->setObjectName(QString::fromLatin1(copyName));
        connect(copy, &QAction::triggered, this, &TGraphForm::ItemCopyClick);
        QAction* save = menu->addAction(QString::fromLatin1(saveName));
        save->setObjectName(QString::fromLatin1(saveName));
        connect(save, &QAction::triggered, this, &TGraphForm::ItemSaveasClick);
    };
    addPictureItems(m_nodeMenu, "ItemCopy1", "ItemSaveAs1");
    addPictureItems(m_panelMenu, "ItemCopy2", "ItemSaveas2");
    QAction* exportNetwork = m_panelMenu->addAction(QStringLiteral("ItemExportNetwork2"));
    exportNetwork->setObjectName(QStringLiteral("ItemExportNetwork2"));
    connect(exportNetwork, &QAction::triggered, this, &TGraphForm::ItemExportNetworkClick);

    m_surface->SetPopupMenu(m_panelMenu);
    connect(m_scroll, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { m_panelMenu->popup(m_scroll->mapToGlobal(pos)); });

    m_scroll->viewport()->installEventFilter(this);
    m_surface->installEventFilter(this);

    SetHelpTopic(kHelpTopic);
    Start("GRAPH_FORM_CAPTION");
}

TGraphForm::~TGraphForm()
{
    if (!StateSaved())
        WriteBack(true);
}

const std::vector<TNodePlace>& TGraphForm::Places(int placeKind) const
{
    return m_places[PlaceIndex(static_cast<TChoiceKind>(placeKind))];
}

std::vector<TNodePlace>& TGraphForm::CurrentPlaces()
{
    return m_places[PlaceIndex(Kind())];
}

void TGraphForm::Initialize()
{
    m_nodes.reserve(static_cast<std::size_t>(Model().ClientCount()));
    m_status = ComputeStatusGroups(Model(), CurrentStatusThresholds());
    Build();
    LoadState();
    ApplyStatusColors();
}

void TGraphForm::Build()
{
    const TGraphRegs& graph = Regs().Graph;
    const QColor panelColor = ToQColor(graph.PanelBackColor);
    m_surface->SetBackColor(panelColor);
    QFont captionFont;
    QColor captionColor;
    ApplyFont(graph.CaptionFont, captionFont, captionColor);
    m_figureColor = ToQColor(graph.CompBackColor);
    for (int32_t i = 0; i < Model().ClientCount(); ++i) {
        auto* node = new TSocioGraphicControl(m_surface);
        node->setObjectName(QStringLiteral("SocioGraphicControl%1").arg(i + 1));
        node->SetCaption(QString::fromStdString(Model().Client(i).Name));
        node->SetIsInfo(false);
        node->SetPopupMenu(m_nodeMenu);
        node->SetLineWidth(graph.CompLineWidt);
        node->SetLineColor(ToQColor(graph.CompLineColor));
        node->SetBColor(panelColor);
        node->SetFigureBackColor(ToQColor(graph.CompBackColor));
        // Sized for its caption in the sociogram's own font, so names are not cut.
        node->SetCaptionFont(captionFont, captionColor);
        node->show();
        // The legend follows the nodes as they are moved and resized.
        node->installEventFilter(this);
        m_nodes.push_back(node);
    }
    MakeArrows();
}

void TGraphForm::MakeArrows()
{
    const TGraphRegs& graph = Regs().Graph;
    const TChoiceKind kind = Kind();
    const TInvestigationObject& model = Model();
    auto arrows = [&](bool positive, const QColor& color, int width) {
        const int sign = positive ? 1 : -1;
        const int32_t count = positive ? model.ForCount() : model.AgainstCount();
        for (int32_t c = 0; c < count; ++c) {
            const TChoice choice = positive ? model.ForChoice(c) : model.AgainstChoice(c);
            const int32_t from = model.FindClient(choice.FromId);
            const int32_t to = model.FindClient(choice.ToId);
            // A choice naming a non-member or the chooser itself has no arrow.
            if (from < 0 || to < 0 || from == to)
                continue;
            m_nodes[static_cast<std::size_t>(from)]->AddRelation(m_nodes[static_cast<std::size_t>(to)],
                                                                  Qt::SolidLine, color, width, sign);
        }
        for (int32_t i = 0; i < model.ClientCount(); ++i) {
            const TInvestClient member = model.Client(i);
            const int given = positive ? member.ForOut : member.AgainstOut;
            const int received = positive ? member.ForIn : member.AgainstIn;
            m_nodes[static_cast<std::size_t>(i)]->SetInfo(QString::number(given) + QLatin1Char('/') +
                                                          QString::number(received));
        }
    };
    if (kind == TChoiceKind::Positive || kind == TChoiceKind::Any) {
        if (kind == TChoiceKind::Positive)
            arrows(true, ToQColor(graph.ArrowColor), graph.ArrowWidth);
        else
            arrows(true, ToQColor(graph.ArrowColorPositive), graph.ArrowWidthPositive);
    }
    if (kind == TChoiceKind::Negative || kind == TChoiceKind::Any) {
        if (kind == TChoiceKind::Negative)
            arrows(false, ToQColor(graph.ArrowColor), graph.ArrowWidth);
        else
            arrows(false, ToQColor(graph.ArrowColorNegative), graph.ArrowWidthNegative);
    }
}

void TGraphForm::LoadState()
{
    const std::size_t count = m_nodes.size();
    for (auto& list : m_places)
        list.assign(count, TNodePlace{});
    m_surface->Arrange();

    // The investigation's stored rows by (client group, client, placement kind); the first row wins.
    std::map<std::tuple<int32_t, int32_t, int>, TGraphPlace> stored;
    const TGraphPlaceTable& rows = Store().Placements();
    for (int32_t r = 0; r < rows.Count(); ++r) {
        const TGraphPlace& row = rows.At(r);
        if (row.InvestId == InvestId())
            stored.emplace(std::make_tuple(row.ClientGroupId, row.ClientId, row.SelType), row);
    }
    for (std::size_t i = 0; i < count; ++i) {
        const TInvestClient member = Model().Client(static_cast<int32_t>(i));
        for (std::size_t k = 0; k < kPlaceKinds.size(); ++k) {
            TNodePlace& place = m_places[k][i];
            const auto found = stored.find({member.GroupId, member.Id, ChoiceKindCode(kPlaceKinds[k])});
            if (found != stored.end()) {
                const TGraphPlace& row = found->second;
                place = {row.Left, row.Top, row.Width, row.Height, row.FigType};
            } else {
                place.FigType = kPlaceKinds[k] == TChoiceKind::Placement
                                    ? kAnyViewFigure
                                    : Model().StatusLevel(static_cast<int32_t>(i), kPlaceKinds[k]);
            }
        }
    }
    for (const TChoiceKind kind : kPlaceKinds)
        m_rings[PlaceIndex(kind)] = Model().StoredRings(kind);
    ApplyPlaces();
    m_seen = ScreenPlaces();
}

void TGraphForm::ApplyPlaces()
{
    const TInvestigationObject::TRings& rings = m_rings[PlaceIndex(Kind())];
    m_surface->SetRings(QPoint(rings.CentreX, rings.CentreY), std::vector<int>(rings.Radii.begin(), rings.Radii.end()));
    const std::vector<TNodePlace>& places = CurrentPlaces();
    for (std::size_t i = 0; i < m_nodes.size() && i < places.size(); ++i) {
        const TNodePlace& place = places[i];
        TSocioGraphicControl* node = m_nodes[i];
        if (Sane(place))
            node->setGeometry(place.Left, place.Top, place.Width, place.Height);
        node->SetComponentStyle(FigureOfType(place.FigType));
    }
    PlaceLegend();
    m_surface->FitToContents();
}

void TGraphForm::ApplyStatusColors()
{
    const bool shown = StatusColorsShown();
    for (std::size_t i = 0; i < m_nodes.size(); ++i) {
        const bool grouped = shown && i < m_status.Members.size();
        m_nodes[i]->SetFigureBackColor(grouped ? StatusGroupColor(m_status.Members[i].Group) : m_figureColor);
    }
    if (shown && !m_legend) {
        m_legend = new TStatusLegend(m_surface);
        m_legend->SetCounts(m_status);
        QFont font;
        QColor color;
        ApplyFont(Regs().Graph.CaptionFont, font, color);
        m_legend->SetTextFont(font, color);
        m_legend->SetLineColor(ToQColor(Regs().Graph.CompLineColor));
        m_legend->show();
    } else if (!shown && m_legend) {
        delete m_legend;
        m_legend = nullptr;
    }
    PlaceLegend();
    m_surface->FitToContents();
    m_surface->update();

    QString reason;
    if (m_status.Unavailable == TStatusUnavailable::TooFewMembers)
        reason = CatalogueText("STATUS_TOO_FEW_MEMBERS");
    else if (!m_status.Available())
        reason = CatalogueText("STATUS_NO_NEGATIVE_CHOICES");
    for (QAction* item : m_statusItems) {
        item->setEnabled(m_status.Available());
        item->setChecked(shown);
        item->setToolTip(reason);
    }
}

void TGraphForm::PlaceLegend()
{
    if (!m_legend)
        return;
    int right = 0;
    for (const TSocioGraphicControl* node : m_nodes)
        right = std::max(right, node->x() + node->width());
    const QPoint place(right + TSocioPanel::kMargin, TSocioPanel::kMargin);
    if (m_legend->pos() != place)
        m_legend->move(place);
}

void TGraphForm::PopupItemStatusColorsClick(bool on)
{
    m_statusColors = on;
    Regs().Graph.StatusColors = on;
    ApplyStatusColors();
}

void TGraphForm::CaptureState()
{
    m_rings[PlaceIndex(Kind())] = ShownRings();
    std::vector<TNodePlace>& places = CurrentPlaces();
    for (std::size_t i = 0; i < m_nodes.size() && i < places.size(); ++i) {
        const TSocioGraphicControl* node = m_nodes[i];
        places[i] = {node->x(), node->y(), node->width(), node->height(), FigureTypeOf(node->ComponentStyle())};
    }
}

void TGraphForm::SaveState()
{
    WriteBack(Closing());
}

void TGraphForm::WriteBack(bool closing)
{
    CaptureState();
    MarkStateSaved();
    // Nothing goes back into a project whose investigation or members changed meanwhile.
    if (!ProjectUnchanged())
        return;
    TInvestigationObject& model = Model();
    std::vector<TInvestigationObject::TPlaceRecord> records;
    records.reserve(3 * m_nodes.size());
    for (std::size_t i = 0; i < m_nodes.size(); ++i) {
        const int32_t id = model.Client(static_cast<int32_t>(i)).Id;
        for (std::size_t k = 0; k < kPlaceKinds.size(); ++k) {
            const TNodePlace& p = m_places[k][i];
            records.push_back({kPlaceKinds[k], id, p.Left, p.Top, p.Width, p.Height, static_cast<int16_t>(p.FigType)});
        }
    }
    TGraphPlaceTable& table = Store().Placements();
    const bool wasModified = table.Modified();
    model.StorePlaces(records);
    for (std::size_t k = 0; k < kPlaceKinds.size(); ++k)
        model.StoreRings(kPlaceKinds[k], m_rings[PlaceIndex(kPlaceKinds[k])]);
    // While the window is open its steps on the undo stack tell whether the project changed; once
    // it closes they count for nothing, and the places written now carry the user's edits instead.
    table.SetModified(wasModified || (closing && HoldsUnsavedEdits()));
}

bool TGraphForm::HoldsUnsavedEdits() const
{
    const QUndoStack* stack = ProjectUndoStack();
    return m_unrecordedEdits || (stack && WindowChangedSinceClean(*stack, *this));
}

void TGraphForm::Refresh()
{
    ApplyPlaces();
    m_seen = ScreenPlaces();
    m_surface->ClearAllRelations();
    MakeArrows();
    m_surface->update();
    const std::size_t index = static_cast<std::size_t>(ChoiceKind() - 1);
    m_panelKinds[index]->setChecked(true);
    m_nodeKinds[index]->setChecked(true);
    const bool figures = Kind() != TChoiceKind::Any;
    for (QAction* item : m_figureItems)
        item->setEnabled(figures);
}

void TGraphForm::ApplySettings()
{
    const QColor color = ToQColor(Regs().Graph.PanelBackColor);
    m_surface->SetBackColor(color);
    QPalette palette = m_scroll->palette();
    palette.setColor(QPalette::Window, color);
    m_scroll->setPalette(palette);
    m_scroll->setBackgroundRole(QPalette::Window);
    m_scroll->viewport()->setPalette(palette);
    m_scroll->viewport()->setAutoFillBackground(true);
    // The options dialog may have changed these switches.
    SetPrintsBackground(Regs().Graph.PrintBackground);
    SetTitleLineShown(Regs().Graph.TitleLine);
}

void TGraphForm::SetSexHalves(bool on)
{
    m_sexHalves = on;
    m_halvesItem->setChecked(on);
}

void TGraphForm::SetPrintsBackground(bool on)
{
    m_printBackground = on;
    m_printBackgroundItem->setChecked(on);
}

void TGraphForm::SetTitleLineShown(bool on)
{
    m_titleLine = on;
    if (m_titleItem->isChecked() != on)
        m_titleItem->setChecked(on);
}

QString TGraphForm::TitleLine() const
{
    const TInvestigationObject& model = Model();
    QStringList parts{QString::fromStdString(model.Name())};
    if (!model.CriterionName().empty())
        parts << QString::fromStdString(model.CriterionName());
    parts << CatalogueText(ChoiceKindTitleKey(Kind()));
    int year = 0;
    int month = 0;
    int day = 0;
    if (DecodeDate(model.Header().Date, year, month, day))
        parts << QDate(year, month, day).toString(Qt::ISODate);
    return parts.join(QStringLiteral(" \u2014 "));
}

QFont TGraphForm::TitleFont() const
{
    QFont font;
    QColor color;
    ApplyFont(Regs().Graph.CaptionFont, font, color);
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.2);
    return font;
}

int TGraphForm::TitleHeight() const
{
    return m_titleLine ? QFontMetrics(TitleFont()).height() + TSocioPanel::kMargin / 2 : 0;
}

QSize TGraphForm::PictureSize() const
{
    const QSize contents = m_surface->ContentsSize();
    if (!m_titleLine)
        return contents;
    const int titleWidth = QFontMetrics(TitleFont()).horizontalAdvance(TitleLine()) + 2 * TSocioPanel::kMargin;
    return {std::max(contents.width(), titleWidth), contents.height() + TitleHeight()};
}

void TGraphForm::PaintPicture(QPainter& painter)
{
    if (m_titleLine) {
        const QSize whole = PictureSize();
        painter.fillRect(QRect(0, 0, whole.width(), whole.height()),
                         QBrush(m_surface->BackColor(), m_surface->BackStyle()));
        painter.setFont(TitleFont());
        painter.setPen(Qt::black);
        painter.drawText(QRect(TSocioPanel::kMargin, TSocioPanel::kMargin / 2, whole.width(), TitleHeight()),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, TitleLine());
        painter.translate(0, TitleHeight());
    }
    m_surface->PaintTo(painter);
    if (m_legend) {
        painter.save();
        painter.translate(m_legend->pos());
        m_legend->PaintTo(painter);
        painter.restore();
    }
}

void TGraphForm::SetBackgroundColour(const QColor& colour)
{
    m_surface->SetBackColor(colour);
    for (TSocioGraphicControl* node : m_nodes)
        node->SetBColor(colour);
}

void TGraphForm::Print(QPrinter& printer, TPrintType type, int copies)
{
    const QColor screen = m_surface->BackColor();
    if (!m_printBackground)
        SetBackgroundColour(Qt::white);
    try {
        TVisualChildForm::Print(printer, type, copies);
    } catch (...) {
        SetBackgroundColour(screen);
        throw;
    }
    SetBackgroundColour(screen);
}

bool TGraphForm::eventFilter(QObject* watched, QEvent* event)
{
    // A move or resize of figures ends when the button is released; the node handles the release
    // after this filter, so the change is looked at once the event is done.
    if (event->type() == QEvent::MouseButtonRelease && (watched == m_surface || watched->parent() == m_surface))
        QTimer::singleShot(0, this, [this] { NoteFigureChanges(); });
    // The surface covers the whole view, so a frame can start anywhere in it.
    if (watched == m_scroll->viewport() && event->type() == QEvent::Resize)
        m_surface->SetMinimumArea(m_scroll->viewport()->size());
    else if (m_legend && (event->type() == QEvent::Move || event->type() == QEvent::Resize) &&
             watched->parent() == m_surface && watched != m_legend)
        PlaceLegend();
    return TVisualChildForm::eventFilter(watched, event);
}

void TGraphForm::FigureTypeMenuItemClick(TComponentStyle style)
{
    // The node the menu was opened on, else the focused one; a node of the selection takes the
    // whole selection with it.
    TSocioGraphicControl* clicked = m_surface->MenuNode();
    if (!clicked || std::find(m_nodes.begin(), m_nodes.end(), clicked) == m_nodes.end()) {
        const auto focused = std::find_if(m_nodes.begin(), m_nodes.end(),
                                          [](const TSocioGraphicControl* node) { return node->IsFocused(); });
        clicked = focused == m_nodes.end() ? nullptr : *focused;
    }
    if (!clicked)
        return;
    if (!clicked->IsSelected()) {
        clicked->SetComponentStyle(style);
    } else {
        for (TSocioGraphicControl* node : m_nodes) {
            if (node->IsSelected())
                node->SetComponentStyle(style);
        }
    }
    NoteFigureChanges();
}

void TGraphForm::ArrowFilterClick(int filter)
{
    m_surface->SetArrowFilter(static_cast<TArrowFilter>(filter));
    m_arrowItems[static_cast<std::size_t>(filter)]->setChecked(true);
}

TLayoutGraph TGraphForm::LayoutGraph()
{
    TLayoutGraph graph = m_surface->LayoutGraph();
    const TInvestigationObject& model = Model();
    for (std::size_t i = 0; i < m_nodes.size() && i < graph.Nodes.size(); ++i) {
        TLayoutNode& node = graph.Nodes[i];
        node.Width = ArrangedWidth(*m_nodes[i]);
        if (i < static_cast<std::size_t>(model.ClientCount())) {
            const TInvestClient member = model.Client(static_cast<int32_t>(i));
            if (const TAClient* record = FindMemberRecord(Store(), member.Id, member.GroupId))
                node.Sex = record->IsMale ? TLayoutSex::Male : TLayoutSex::Female;
        }
    }
    return graph;
}

void TGraphForm::ArrangeBy(TLayoutKind kind)
{
    const TLayoutGraph graph = LayoutGraph();
    const TLayoutResult layout =
        MakeLayout(kind, graph, {.Margin = TSocioPanel::kMargin, .SexHalves = m_sexHalves});
    TArrangement arrangement;
    for (std::size_t i = 0; i < m_nodes.size() && i < layout.Places.size(); ++i)
        arrangement.Geometries.emplace_back(layout.Places[i].X, layout.Places[i].Y, ArrangedWidth(*m_nodes[i]),
                                            m_nodes[i]->height());
    arrangement.RingCentre = QPoint(layout.Centre.X, layout.Centre.Y);
    for (const TLayoutRing& ring : layout.Rings)
        arrangement.RingRadii.push_back(ring.Radius);
    ApplyArrangement(arrangement);
}

TInvestigationObject::TRings TGraphForm::ShownRings() const
{
    const QPoint centre = m_surface->RingCentre();
    const std::vector<int>& radii = m_surface->RingRadii();
    return {centre.x(), centre.y(), std::vector<int32_t>(radii.begin(), radii.end())};
}

void TGraphForm::ApplyArrangement(const TArrangement& arrangement)
{
    const TInvestigationObject::TRings ringsBefore = ShownRings();
    for (std::size_t i = 0; i < m_nodes.size() && i < arrangement.Geometries.size(); ++i)
        m_nodes[i]->setGeometry(arrangement.Geometries[i]);
    m_surface->SetRings(arrangement.RingCentre, arrangement.RingRadii);
    PlaceLegend();
    m_surface->NodesPlaced();
    NoteFigureChanges("UNDO_ARRANGE", &ringsBefore);
}

std::vector<TNodePlace> TGraphForm::ScreenPlaces() const
{
    std::vector<TNodePlace> places;
    places.reserve(m_nodes.size());
    for (const TSocioGraphicControl* node : m_nodes)
        places.push_back({node->x(), node->y(), node->width(), node->height(), FigureTypeOf(node->ComponentStyle())});
    return places;
}

void TGraphForm::NoteFigureChanges(const char* stepKey, const TInvestigationObject::TRings* ringsBefore)
{
    std::vector<TNodePlace> now = ScreenPlaces();
    std::vector<TFigureChange> changes;
    for (std::size_t i = 0; i < now.size() && i < m_seen.size(); ++i) {
        if (!(now[i] == m_seen[i]))
            changes.push_back({PlaceIndex(Kind()), i, m_seen[i], now[i], false, {}, {}});
    }
    if (ringsBefore) {
        TInvestigationObject::TRings ringsNow = ShownRings();
        if (!(*ringsBefore == ringsNow)) {
            // A change past the last member moves no figure and carries the rings.
            TFigureChange rings{PlaceIndex(Kind()), m_nodes.size(), {}, {}, false, {}, {}};
            rings.Rings = true;
            rings.RingsBefore = *ringsBefore;
            rings.RingsAfter = std::move(ringsNow);
            changes.push_back(std::move(rings));
        }
    }
    m_seen = std::move(now);
    QUndoStack* stack = ProjectUndoStack();
    if (changes.empty())
        return;
    if (!stack) {
        m_unrecordedEdits = true;
        return;
    }
    QString text;
    if (stepKey) {
        text = UndoText(stepKey);
    } else if (changes.size() > 1) {
        text = UndoText("UNDO_MOVE_FIGURES", {QString::number(changes.size())});
    } else {
        const TFigureChange& change = changes.front();
        const QString name = m_nodes[change.Member]->Caption();
        const bool resized = change.Before.Width != change.After.Width || change.Before.Height != change.After.Height;
        const char* key = change.Before.FigType != change.After.FigType ? "UNDO_FIGURE_KIND"
                          : resized                                     ? "UNDO_RESIZE_FIGURE"
                                                                        : "UNDO_MOVE_FIGURE";
        text = UndoText(key, {name});
    }
    stack->push(new TFigureCommand(*this, std::move(changes), text));
}

void TGraphForm::PutBack(const std::vector<TFigureChange>& changes, bool after)
{
    bool shown = false;
    for (const TFigureChange& change : changes) {
        if (change.Rings) {
            const TInvestigationObject::TRings& rings = after ? change.RingsAfter : change.RingsBefore;
            m_rings[change.PlaceIndex] = rings;
            if (change.PlaceIndex == PlaceIndex(Kind())) {
                m_surface->SetRings(QPoint(rings.CentreX, rings.CentreY),
                                    std::vector<int>(rings.Radii.begin(), rings.Radii.end()));
                shown = true;
            }
            continue;
        }
        const TNodePlace& place = after ? change.After : change.Before;
        std::vector<TNodePlace>& places = m_places[change.PlaceIndex];
        if (change.Member < places.size())
            places[change.Member] = place;
        if (change.PlaceIndex != PlaceIndex(Kind()) || change.Member >= m_nodes.size())
            continue;
        shown = true;
        TSocioGraphicControl* node = m_nodes[change.Member];
        node->setGeometry(place.Left, place.Top, place.Width, place.Height);
        node->SetComponentStyle(FigureOfType(place.FigType));
    }
    if (!shown)
        return;
    m_seen = ScreenPlaces();
    PlaceLegend();
    m_surface->FitToContents();
    m_surface->update();
}

void TGraphForm::PopupItemChoicesClick(int kind)
{
    // The item just toggled; the menus show the kind on screen until the main window switches.
    const std::size_t index = static_cast<std::size_t>(ChoiceKind() - 1);
    m_panelKinds[index]->setChecked(true);
    m_nodeKinds[index]->setChecked(true);
    RequestChoiceKind(kind);
}

void TGraphForm::ItemCopyClick()
{
    CopyPicture();
}

void TGraphForm::ItemSaveasClick()
{
    SavePicture();
}
