#include "views/target/targetform.h"

#include <algorithm>
#include <limits>

#include <QAction>
#include <QEvent>
#include <QActionGroup>
#include <QMenu>
#include <QPainter>
#include <QScrollArea>
#include <QVBoxLayout>

#include "analysis/investigationobj.h"
#include "platform/fontcolor.h"
#include "i18n/langconv.h"
#include "settings/regs.h"
#include "views/statuslegend.h"
#include "views/target/stringslist.h"
#include "views/target/target.h"
#include "views/target/targetrings.h"
#include "views/target/targetsettings.h"

namespace {

constexpr THelpTopic kHelpTopic = THelpTopic::Target;
// The legend flows into columns when it would be higher than the diagram and than this.
const int kLegendMinHeight = 600;

QString CatalogueText(const char* key)
{
    return HasLangConv() ? QString::fromStdString(LangConv().GetText(key)) : QString::fromLatin1(key);
}

void PaintBackground(QWidget& widget, const QColor& color)
{
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, color);
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

}  // namespace

TTargetForm::TTargetForm(TFileAccess& store, int investId, const QString& title, QWidget* parent)
    : TVisualChildForm("TargetForm", store, investId, title, parent)
{
    m_status = ComputeStatusGroups(Model(), CurrentStatusThresholds());
    m_statusColors = Regs().Target.StatusColors;
    CreateComponents();
    SetHelpTopic(kHelpTopic);
    resize(368, 279);
    Start("TARGET_FORM_CAPTION");
}

TTargetForm::~TTargetForm() = default;

void TTargetForm::CreateComponents()
{
    setWindowTitle(QStringLiteral("Target"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);

    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("TargetScrollBox"));
    m_scroll->setWidgetResizable(false);
    layout->addWidget(m_scroll);
    m_contents = new QWidget;
    m_contents->setObjectName(QStringLiteral("TargetScrollBoxContents"));
    m_scroll->setWidget(m_contents);

    m_legend = new TStringsList(m_contents);
    m_legend->setObjectName(QStringLiteral("TargetLegend"));
    m_target = new TTarget(m_contents);
    m_target->setObjectName(QStringLiteral("Target"));
    m_target->move(0, 0);
    m_target->SetIsBorder(false);

    m_popup = new QMenu(this);
    m_popup->setObjectName(QStringLiteral("PopupMenuTarget"));
    auto* kinds = new QActionGroup(m_popup);
    kinds->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    auto addItem = [this](const char* name, const QString& caption) {
        auto* action = m_popup->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    m_itemPositive = addItem("PopupItemPositive", QStringLiteral("Positive choices"));
    m_itemNegative = addItem("PopupItemNegative", QStringLiteral("Negative choices"));
    for (QAction* item : {m_itemPositive, m_itemNegative}) {
        item->setCheckable(true);
        kinds->addAction(item);
    }
    m_itemPositive->setChecked(true);
    m_popup->addSeparator();
    m_itemStatusColors = addItem("PopupItemStatusColors", QStringLiteral("Colour by status group"));
    m_itemStatusColors->setCheckable(true);
    m_popup->setToolTipsVisible(true);
    m_popup->addSeparator();
    QAction* copy = addItem("ItemCopy", QStringLiteral("Copy"));
    QAction* saveAs = addItem("ItemSaveAs", QStringLiteral("Save as..."));

    connect(m_itemPositive, &QAction::triggered, this,
            [this] { PopupItemClick(ChoiceKindCode(TChoiceKind::Positive)); });
    connect(m_itemNegative, &QAction::triggered, this,
            [this] { PopupItemClick(ChoiceKindCode(TChoiceKind::Negative)); });
    connect(m_itemStatusColors, &QAction::triggered, this, &TTargetForm::PopupItemStatusColorsClick);
    connect(copy, &QAction::triggered, this, &TTargetForm::ItemCopyClick);
    connect(saveAs, &QAction::triggered, this, &TTargetForm::ItemSaveAsClick);

    // The same menu on the rings and on the empty space around them and the legend.
    m_target->SetPopupMenu(m_popup);
    for (QWidget* area : {static_cast<QWidget*>(m_contents), m_scroll->viewport()}) {
        area->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(area, &QWidget::customContextMenuRequested, this,
                [this, area](const QPoint& pos) { m_popup->popup(area->mapToGlobal(pos)); });
    }

    m_scroll->viewport()->installEventFilter(this);
    connect(m_target, &TTarget::OnMouseMove, this, &TTargetForm::TargetMouseMove);
    connect(m_target, &TTarget::OnMouseOutMove, this, &TTargetForm::TargetMouseOutMove);
    connect(m_target, &TTarget::OnLButtonDown, this, &TTargetForm::TargetLButtonDown);
}

void TTargetForm::Build()
{
    const auto kind = static_cast<TChoiceKind>(ChoiceKind());
    m_counts = ReceivedCounts(Model(), kind);
    const TTargetRings rings = RingsForCounts(m_counts, KindHasRings(Model(), kind));
    m_target->SetRingMinNumber(rings.MinNumber);
    m_target->SetRingNumber(rings.RingNumber);
    m_target->SetActiveRingNumber(rings.MinNumber);
    // Where the counts span more rings than fit, the picture says which are left out.
    const int omitted = m_target->OmittedRings();
    m_target->SetNote(omitted <= 0 ? QString()
                                   : CatalogueText("TARGET_RINGS_NOT_DRAWN")
                                         .arg(rings.MinNumber)
                                         .arg(static_cast<int64_t>(rings.MinNumber) + omitted - 1)
                                         .arg(rings.RingNumber));
    m_legendRing = kNoRing;
    ApplyStatusColors();
    ShowLegend(m_target->ActiveRingNumber());
    FitRingsToWindow();
    PlaceContents();
}

void TTargetForm::ApplyStatusColors()
{
    const bool shown = StatusColorsShown();
    if (shown && !m_statusLegend) {
        m_statusLegend = new TStatusLegend(m_contents);
        m_statusLegend->SetCounts(m_status);
        StyleStatusLegend();
        m_statusLegend->show();
    } else if (!shown && m_statusLegend) {
        delete m_statusLegend;
        m_statusLegend = nullptr;
    }
    QString reason;
    if (m_status.Unavailable == TStatusUnavailable::TooFewMembers)
        reason = CatalogueText("STATUS_TOO_FEW_MEMBERS");
    else if (!m_status.Available())
        reason = CatalogueText("STATUS_NO_NEGATIVE_CHOICES");
    m_itemStatusColors->setEnabled(m_status.Available());
    m_itemStatusColors->setChecked(shown);
    m_itemStatusColors->setToolTip(reason);
}

void TTargetForm::StyleStatusLegend()
{
    if (!m_statusLegend)
        return;
    // The key looks like the list of members beside it.
    const TTargetRegs& r = Regs().Target;
    QFont font;
    QColor color;
    ApplyFont(r.LegendFont, font, color);
    m_statusLegend->SetTextFont(font, color);
    m_statusLegend->SetBackColor(ToQColor(r.LegendBackground));
    m_statusLegend->SetLineColor(ToQColor(r.LegendLineColor));
}

void TTargetForm::PopupItemStatusColorsClick(bool on)
{
    m_statusColors = on;
    Regs().Target.StatusColors = on;
    ApplyStatusColors();
    // The members' marks follow at once.
    const int32_t ring = m_legendRing;
    m_legendRing = kNoRing;
    ShowLegend(ring);
    PlaceContents();
}

QPoint TTargetForm::StatusLegendPos() const
{
    return QPoint(m_target->LeftOffset(), m_target->height());
}

void TTargetForm::Refresh()
{
    Build();
    m_itemPositive->setChecked(ChoiceKind() == ChoiceKindCode(TChoiceKind::Positive));
    m_itemNegative->setChecked(ChoiceKind() == ChoiceKindCode(TChoiceKind::Negative));
}

void TTargetForm::ApplySettings()
{
    const TTargetRegs& r = Regs().Target;
    ApplyTargetSettings(*m_target, *m_legend, r);
    const QColor background = ToQColor(r.Background);
    PaintBackground(*m_contents, background);
    PaintBackground(*m_scroll->viewport(), background);
    StyleStatusLegend();
    FitRingsToWindow();
    PlaceContents();
}

void TTargetForm::FitRingsToWindow()
{
    const QSize area = m_scroll->viewport()->size();
    const int beside = m_legend->IsShown() ? m_legend->width() : 0;
    const int width = RingWidthToFill(area.width() - beside, area.height(), m_target->RingNumber(),
                                      Regs().Target.ActiveRingWidth, m_target->LeftOffset(), m_target->TopOffset());
    if (width != m_target->RingWidth()) {
        m_target->SetRingWidth(width);
        PlaceContents();
    }
}

bool TTargetForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_scroll->viewport() && event->type() == QEvent::Resize)
        FitRingsToWindow();
    return TVisualChildForm::eventFilter(watched, event);
}

QSize TTargetForm::PictureSize() const
{
    const QSize target = m_target->size();
    const QSize legend = m_legend->IsShown() ? m_legend->size() : QSize(0, 0);
    QSize whole(MembersLegendLeft() + legend.width(), std::max(target.height(), legend.height()));
    if (m_statusLegend) {
        // The key below the rings, with the rings' margin below it too.
        const QRect key(StatusLegendPos(), m_statusLegend->size());
        whole = whole.expandedTo(QSize(key.right() + 1, key.bottom() + 1 + m_target->TopOffset()));
    }
    return whole;
}

int TTargetForm::MembersLegendLeft() const
{
    // Directly right of the rings; a key wider than narrow rings pushes the list right of it.
    int left = m_target->x() + m_target->width() - m_target->x();
    if (m_statusLegend)
        left = std::max(left, StatusLegendPos().x() + m_statusLegend->width() + m_target->LeftOffset());
    return left;
}

void TTargetForm::PaintPicture(QPainter& painter)
{
    const QSize whole = PictureSize();
    painter.fillRect(QRect(QPoint(0, 0), whole), m_target->BackColor());
    painter.save();
    m_target->PaintTo(painter);
    painter.restore();
    if (m_legend->IsShown()) {
        painter.save();
        painter.translate(MembersLegendLeft(), 0);
        m_legend->PaintTo(painter);
        painter.restore();
    }
    if (m_statusLegend) {
        painter.save();
        painter.translate(StatusLegendPos());
        m_statusLegend->PaintTo(painter);
        painter.restore();
    }
}

void TTargetForm::PlaceContents()
{
    const int legendHeight = std::max(m_target->height(), kLegendMinHeight);
    if (m_legend->MaxHeight() != legendHeight)
        m_legend->SetMaxHeight(legendHeight);
    // The legend sits right of the rings, level with their top.
    m_legend->move(MembersLegendLeft(), m_target->y());
    if (m_statusLegend)
        m_statusLegend->move(StatusLegendPos());
    m_contents->resize(PictureSize());
}

void TTargetForm::ShowMembers(const QString& heading, const std::vector<int>& members, bool withCounts)
{
    QStringList lines;
    QList<QColor> marks;
    const bool marked = StatusColorsShown();
    for (int member : members) {
        const QString name = QString::fromStdString(Model().Client(member).Name);
        lines << (withCounts ? QStringLiteral("%1 \u2014 %2").arg(m_counts[static_cast<std::size_t>(member)]).arg(name)
                             : name);
        if (marked && static_cast<std::size_t>(member) < m_status.Members.size())
            marks << StatusGroupColor(m_status.Members[static_cast<std::size_t>(member)].Group);
    }
    m_legend->SetContents(heading, lines, marks.size() == lines.size() ? marks : QList<QColor>());
}

void TTargetForm::ShowLegend(int32_t ring)
{
    if (ring == m_legendRing)
        return;
    ShowMembers(CatalogueText("TARGET_LEGEND_HEADING").arg(ring).arg(CatalogueText(ChoiceKindTitleKey(Kind()))),
                MembersOnRing(m_counts, ring), false);
    m_legendRing = ring;
    PlaceContents();
}

void TTargetForm::ShowEveryRing()
{
    // The most chosen first; equal counts in the order of the group.
    std::vector<int> members;
    members.reserve(m_counts.size());
    for (std::size_t i = 0; i < m_counts.size(); ++i) {
        if (m_counts[i] >= 0)
            members.push_back(static_cast<int>(i));
    }
    std::stable_sort(members.begin(), members.end(), [this](int a, int b) {
        return m_counts[static_cast<std::size_t>(a)] > m_counts[static_cast<std::size_t>(b)];
    });
    ShowMembers(CatalogueText("TARGET_LEGEND_EVERY_RING").arg(CatalogueText(ChoiceKindTitleKey(Kind()))), members,
                true);
    m_legendRing = kNoRing;
    // No ring stands out when the key lists them all.
    m_target->SetActiveRingNumber(std::numeric_limits<int32_t>::min());
    PlaceContents();
}

void TTargetForm::TargetMouseMove(int ring)
{
    ShowLegend(ring);
}

void TTargetForm::TargetMouseOutMove()
{
    ShowLegend(m_target->ActiveRingNumber());
}

void TTargetForm::TargetLButtonDown(int ring)
{
    ShowLegend(ring);
}

void TTargetForm::PopupItemClick(int kind)
{
    RequestChoiceKind(kind);
    // The items follow the kind shown; the main window switches it (Refresh checks the new one).
    m_itemPositive->setChecked(ChoiceKind() == ChoiceKindCode(TChoiceKind::Positive));
    m_itemNegative->setChecked(ChoiceKind() == ChoiceKindCode(TChoiceKind::Negative));
}

void TTargetForm::ItemCopyClick()
{
    CopyPicture();
}

void TTargetForm::ItemSaveAsClick()
{
    SavePicture();
}
