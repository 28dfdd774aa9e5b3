#include "views/choices/selectionform.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QUndoStack>
#include <QVBoxLayout>

#include "analysis/choicerules.h"
#include "views/activationnotifier.h"
#include "platform/fontcolor.h"
#include "platform/helpviewer.h"
#include "platform/langcontroller.h"
#include "platform/literaltext.h"
#include "platform/messagedialog.h"
#include "i18n/langconv.h"
#include "settings/regs.h"
#include "views/notify.h"
#include "store/fileacc.h"
#include "util/error.h"
#include "util/messagesink.h"
#include "util/text.h"
#include "views/choices/choicescommand.h"
#include "views/choices/selections.h"
#include "views/undostack.h"

namespace {

constexpr THelpTopic kHelpTopic = THelpTopic::Choices;

// A catalogue text for the errors the window raises; the key itself when there is no catalogue
// (tests without one, early start).
std::string MessageText(const char* key)
{
    if (!HasLangConv())
        return key;
    return LangConv().GetText(key);
}

void ShowMessage(const std::string& text)
{
    MessageSink().ShowText(text);
}

}  // namespace

TSelectionForm::TSelectionForm(TFileAccess& store, int investId, const QString& investName, QWidget* parent)
    : QWidget(parent), m_store(store), m_investId(investId), m_investName(investName)
{
    setObjectName(QStringLiteral("SelectionForm"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    new TActivationNotifier(this, TNotifyCode::ChoicesActivated);
    resize(587, 554);
    BuildComponents();
    TLanguageController::Translate(*this);
    setWindowTitle(windowTitle() + QStringLiteral("[*] (") + LiteralTitle(investName) + QStringLiteral(")"));

    LoadMembers();
    if (m_memberIds.size() > 1) {
        QStringList captions;
        for (const QString& name : m_memberNames)
            captions << name;
        m_selects->SetCaptions(captions);
        m_selects->SetCellCount(static_cast<int>(m_memberIds.size()) + 1);
        m_comboClients->addItems(captions);
        m_comboClients->setCurrentIndex(0);
    } else {
        m_selects->SetCaptions({});
        m_selects->SetCellCount(0);
        m_selects->hide();
        ShowMessage(MessageText("LITTLE_CLIENTS_GROUP"));
    }
    // The investigation's limits, set after the captions so that they are not lowered by them.
    if (m_store.Investigations().FindById(m_investId)) {
        m_selects->SetNumSelLimit(m_store.Investigations().GetMaxChoices());
        m_selects->SetIsAgainst(m_store.Investigations().GetAllowAgainst());
    }
    ApplySettings();
    SetGraphic(Regs().Choices.IsGraphic);
    LoadChoices();
    m_selects->move(0, 0);
    m_selects->FitToContents();
    UpdatePopupItems();
}

TSelectionForm::~TSelectionForm() = default;

void TSelectionForm::BuildComponents()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);

    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("SelectScrollBox"));
    m_scroll->setWidgetResizable(false);
    m_scroll->setContextMenuPolicy(Qt::CustomContextMenu);
    // The keys belong to the grid (it moves its active cell and scrolls it into view).
    m_scroll->setFocusPolicy(Qt::NoFocus);
    m_selects = new TSelections;
    m_selects->setObjectName(QStringLiteral("Selects"));
    m_scroll->setWidget(m_selects);
    m_scroll->viewport()->installEventFilter(this);
    layout->addWidget(m_scroll);

    m_textPanel = new QWidget(this);
    m_textPanel->setObjectName(QStringLiteral("PanelTextChoices"));
    m_textPanel->setContextMenuPolicy(Qt::CustomContextMenu);
    auto* grid = new QGridLayout(m_textPanel);
    auto* labelClients = new QLabel(m_textPanel);
    labelClients->setObjectName(QStringLiteral("LabelClients"));
    m_comboClients = new QComboBox(m_textPanel);
    m_comboClients->setObjectName(QStringLiteral("ComboBoxClients"));
    labelClients->setBuddy(m_comboClients);
    auto* labelPositive = new QLabel(m_textPanel);
    labelPositive->setObjectName(QStringLiteral("LabelPositiveClients"));
    auto* labelNegative = new QLabel(m_textPanel);
    labelNegative->setObjectName(QStringLiteral("LabelNegativeClients"));
    m_positiveList = new QListWidget(m_textPanel);
    m_positiveList->setObjectName(QStringLiteral("CheckListBoxPositiveClients"));
    m_negativeList = new QListWidget(m_textPanel);
    m_negativeList->setObjectName(QStringLiteral("CheckListBoxNegativeClients"));
    labelPositive->setBuddy(m_positiveList);
    labelNegative->setBuddy(m_negativeList);
    grid->addWidget(labelClients, 0, 0, 1, 2);
    grid->addWidget(m_comboClients, 1, 0, 1, 2);
    grid->addWidget(labelPositive, 2, 0);
    grid->addWidget(labelNegative, 2, 1);
    grid->addWidget(m_positiveList, 3, 0);
    grid->addWidget(m_negativeList, 3, 1);
    grid->setRowStretch(3, 1);
    layout->addWidget(m_textPanel);
    m_textPanel->hide();

    m_popup = new QMenu(this);
    m_popup->setObjectName(QStringLiteral("ChoicesPopupMenu"));
    auto addItem = [this](const char* name) {
        auto* action = new QAction(m_popup);
        action->setObjectName(QString::fromLatin1(name));
        m_popup->addAction(action);
        return action;
    };
    m_saveItem = addItem("SaveChoicesPopupItem");
    m_clearAllItem = addItem("ClearAllChoicesPopupItem");
    m_popup->addSeparator();
    m_graphicsItem = addItem("PopupItemGraphics");
    m_textItem = addItem("PopupItemText");
    auto* modes = new QActionGroup(m_popup);
    for (QAction* action : {m_graphicsItem, m_textItem}) {
        action->setCheckable(true);
        modes->addAction(action);
    }
    m_graphicsItem->setChecked(true);
    m_popup->addSeparator();
    m_positiveItem = addItem("SetPositivePopupItem");
    m_negativeItem = addItem("SetNegativePopupItem");
    m_clearItem = addItem("SetClearPopupItem");
    m_popup->addSeparator();
    m_importItem = addItem("ImportChoicesPopupItem");
    m_exportItem = addItem("ExportSociomatrixPopupItem");
    m_selects->SetPopupMenu(m_popup);

    auto* help = new QAction(this);
    help->setShortcut(QKeySequence::HelpContents);
    help->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(help);
    connect(help, &QAction::triggered, this, [] { ShowHelpTopic(kHelpTopic); });

    connect(m_saveItem, &QAction::triggered, this, [this] { Save(); });
    connect(m_clearAllItem, &QAction::triggered, this, [this] { ClearAll(); });
    connect(m_graphicsItem, &QAction::triggered, this, [this] { SetGraphic(true); });
    connect(m_textItem, &QAction::triggered, this, [this] { SetGraphic(false); });
    connect(m_positiveItem, &QAction::triggered, this, [this] { SetActiveCell(stFor); });
    connect(m_negativeItem, &QAction::triggered, this, [this] { SetActiveCell(stAgainst); });
    connect(m_clearItem, &QAction::triggered, this, [this] { SetActiveCell(stNone); });
    connect(m_importItem, &QAction::triggered, this, [this] { ImportChoicesFile(); });
    connect(m_exportItem, &QAction::triggered, this, [this] { ExportSociomatrix(); });
    connect(m_scroll, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { m_popup->popup(m_scroll->mapToGlobal(pos)); });
    connect(m_textPanel, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { m_popup->popup(m_textPanel->mapToGlobal(pos)); });
    connect(m_selects, &TSelections::Click, this, &TSelectionForm::SelectsClick);
    connect(m_selects, &TSelections::MouseMoved, this, [this](int, int) { SelectsMouseMove(); });
    connect(m_selects, &TSelections::CellKeyed, this, [this](int, int) {
        NoteGridChanges();
        UpdatePopupItems();
    });
    connect(m_selects, &TSelections::Refused, this, [](const QString& text) { ShowMessage(text.toStdString()); });
    connect(m_selects, &TSelections::ActiveCellMoved, this, [this](const QRect& cell) {
        m_scroll->ensureVisible(cell.center().x(), cell.center().y(), cell.width() / 2 + 8, cell.height() / 2 + 8);
        // Not under the frozen captions either: a member cell is scrolled out from behind them.
        const int first = m_selects->Geometry().First;
        QScrollBar* const bars[2] = {m_scroll->horizontalScrollBar(), m_scroll->verticalScrollBar()};
        const int starts[2] = {cell.left(), cell.top()};
        for (int axis = 0; axis < 2; ++axis) {
            if (starts[axis] >= first && starts[axis] < bars[axis]->value() + first)
                bars[axis]->setValue(starts[axis] - first);
        }
    });
    // The caption row and column stay in sight while the grid scrolls.
    for (QScrollBar* bar : {m_scroll->horizontalScrollBar(), m_scroll->verticalScrollBar()}) {
        connect(bar, &QScrollBar::valueChanged, this, [this] {
            m_selects->SetFrozenOrigin(
                QPoint(m_scroll->horizontalScrollBar()->value(), m_scroll->verticalScrollBar()->value()));
        });
    }
    connect(m_popup, &QMenu::aboutToShow, this, &TSelectionForm::UpdatePopupItems);
    connect(m_comboClients, &QComboBox::currentIndexChanged, this, &TSelectionForm::ComboBoxClientsChange);
    connect(m_positiveList, &QListWidget::itemChanged, this, &TSelectionForm::CheckListBoxClientsClickCheck);
    connect(m_negativeList, &QListWidget::itemChanged, this, &TSelectionForm::CheckListBoxClientsClickCheck);
}

void TSelectionForm::LoadMembers()
{
    TInvestTable& invests = m_store.Investigations();
    if (!invests.FindById(m_investId))
        return;
    const int32_t groupId = invests.GetClientGroupId();
    const int32_t criteriaGroupId = invests.GetCriteriaGroupId();
    const int32_t criterionId = invests.GetCriterionId();

    if (!m_store.ClientGroups().FindById(groupId))
        throw TAppError(MessageText("NO_CLIENT_GROUP_MSG"));
    m_clientGroupName = m_store.ClientGroups().GetName();
    if (!m_store.CriteriaGroups().FindById(criteriaGroupId))
        throw TAppError(MessageText("NO_CRITERY_GROUP_MSG"));
    m_criteriaGroupName = m_store.CriteriaGroups().GetName();
    if (!m_store.Criteria().Find(criterionId, criteriaGroupId))
        throw TAppError(MessageText("NO_CRITERY_MSG"));
    m_criterionName = m_store.Criteria().GetName();

    const int32_t count = m_store.CountClientsInGroup(groupId);
    const TClientTable& clients = m_store.Clients();
    m_memberIds.reserve(static_cast<size_t>(std::max(0, count)));
    for (int32_t i = 0; i < clients.Count(); ++i) {
        const TAClient& client = clients.At(i);
        if (client.GroupId != groupId)
            continue;
        if (static_cast<int32_t>(m_memberIds.size()) >= count)
            throw TAppError(MessageText("INDEX_ERROR_FILLCLIENTS_MSG"));
        m_memberIds.push_back(client.Id);
        m_memberNames.push_back(QString::fromStdString(CutChars(client.FullName, 255)));
    }
}

void TSelectionForm::ApplySettings()
{
    const TChoicesRegs& regs = Regs().Choices;
    TSelections& grid = *m_selects;
    ApplyChoicesSettings(grid, regs);
    grid.SetIsLegend(false);
    const QColor window = palette().color(QPalette::Window);
    grid.SetBackColor(window);
    grid.SetBorderColor(window);
    grid.SetBorderWidth(0);
    grid.SetSelDirection(regs.ArrowDirection ? sldLeft : sldUp);
}

void TSelectionForm::SetPairCell(int chooser, int chosen, int value)
{
    const auto v = static_cast<TSelectType>(value);
    if (m_selects->SelDirection() == sldLeft)
        m_selects->SetCell(chosen, chooser, v);
    else
        m_selects->SetCell(chooser, chosen, v);
}

int TSelectionForm::PairCell(int chooser, int chosen) const
{
    if (m_selects->SelDirection() == sldLeft)
        return m_selects->Cell(chosen, chooser);
    return m_selects->Cell(chooser, chosen);
}

void TSelectionForm::LoadChoices()
{
    m_stamp = StampInvestigation(m_store, m_investId);
    m_kept.clear();
    std::unordered_map<int32_t, int> position;
    for (size_t p = 0; p < m_memberIds.size(); ++p)
        position.emplace(m_memberIds[p], static_cast<int>(p));
    // The first row the grid refuses stops the loading; it and every later row stay in the
    // project as they are, and the message names it.
    QString stoppedAt;
    std::string reason;
    auto load = [&](const TChoiceTable& table, TSelectType kind, const char* section, bool take) {
        const std::string name = section;
        for (int32_t i = 0; i < table.Count(); ++i) {
            const TChoiceRow& row = table.At(i);
            if (row.InvestId != m_investId)
                continue;
            const TKeptChoice keep{{row.FromId, row.ToId}, kind == stFor ? TChoiceKind::Positive : TChoiceKind::Negative};
            if (!take || !stoppedAt.isEmpty()) {
                m_kept.push_back(keep);
                continue;
            }
            try {
                const auto from = position.find(row.FromId);
                const auto to = position.find(row.ToId);
                if (from == position.end() || to == position.end())
                    throw TAppError(MessageText("NO_CLIENT_IN_LIST"));
                SetPairCell(from->second, to->second, kind);
            } catch (const std::exception& e) {
                reason = e.what();
                const std::string r = std::to_string(i + 1);
                stoppedAt = QString::fromStdString("[" + name + "] " + name + "_FROM_" + r + "=" +
                                                   std::to_string(row.FromId) + ", " + name + "_TO_" + r + "=" +
                                                   std::to_string(row.ToId));
                m_kept.push_back(keep);
            }
        }
    };
    load(m_store.ForChoices(), stFor, "FOR", true);
    load(m_store.AgainstChoices(), stAgainst, "AGAINST", m_selects->IsAgainst());
    if (!stoppedAt.isEmpty())
        ShowMessage(reason + "\n" + MessageText("CHOICES_LOAD_STOPPED_MSG") + " " + stoppedAt.toStdString());
    m_seenRevision = m_selects->Revision();
    m_seen = Marks();
    m_saved = m_seen;
    RefreshText();
}

std::vector<TSelectType> TSelectionForm::Marks() const
{
    const int n = static_cast<int>(m_memberIds.size());
    std::vector<TSelectType> marks(static_cast<size_t>(n * n), stNone);
    if (m_selects->CellCount() != n + 1)
        return marks;
    for (int chooser = 0; chooser < n; ++chooser) {
        for (int chosen = 0; chosen < n; ++chosen) {
            if (chooser != chosen)
                marks[static_cast<size_t>(chooser * n + chosen)] = static_cast<TSelectType>(PairCell(chooser, chosen));
        }
    }
    return marks;
}

int TSelectionForm::CountMarks() const
{
    const std::vector<TSelectType> marks = Marks();
    return static_cast<int>(std::count_if(marks.begin(), marks.end(), [](TSelectType v) { return v != stNone; }));
}

void TSelectionForm::NoteGridChanges(const QString& text)
{
    if (m_selects->Revision() == m_seenRevision)
        return;
    m_seenRevision = m_selects->Revision();
    std::vector<TSelectType> now = Marks();
    const int n = static_cast<int>(m_memberIds.size());
    std::vector<TMarkChange> changes;
    for (size_t i = 0; i < now.size() && i < m_seen.size(); ++i) {
        if (now[i] != m_seen[i])
            changes.push_back({static_cast<int>(i) / n, static_cast<int>(i) % n, m_seen[i], now[i]});
    }
    m_seen = std::move(now);
    SetModified(m_seen != m_saved);
    QUndoStack* stack = ProjectUndoStack();
    if (changes.empty() || !stack)
        return;
    QString name = text;
    if (name.isEmpty() && changes.size() == 1) {
        const TMarkChange& change = changes.front();
        name = UndoText(change.After == stNone ? "UNDO_UNMARK" : "UNDO_MARK",
                        {m_memberNames[static_cast<size_t>(change.Chooser)],
                         m_memberNames[static_cast<size_t>(change.Chosen)]});
    } else if (name.isEmpty()) {
        name = UndoText("UNDO_MARKS", {QString::number(changes.size())});
    }
    stack->push(new TChoicesCommand(*this, std::move(changes), name));
}

void TSelectionForm::PutBack(const std::vector<TMarkChange>& changes, bool after)
{
    try {
        // Cleared first, so that no mark waits for room another one still takes.
        for (const TMarkChange& change : changes)
            SetPairCell(change.Chooser, change.Chosen, stNone);
        for (const TMarkChange& change : changes) {
            const TSelectType value = after ? change.After : change.Before;
            if (value != stNone)
                SetPairCell(change.Chooser, change.Chosen, value);
        }
    } catch (const std::exception& e) {
        ShowMessage(e.what());
    }
    m_seenRevision = m_selects->Revision();
    m_seen = Marks();
    SetModified(m_seen != m_saved);
    RefreshText();
    UpdatePopupItems();
    m_selects->update();
}

void TSelectionForm::SetModified(bool value)
{
    m_modified = value;
    setWindowModified(value);
}

QString TSelectionForm::Caption() const
{
    QString caption = windowTitle();
    caption.remove(QStringLiteral("[*]"));
    return caption;
}

void TSelectionForm::RefreshMemberNames()
{
    const TClientTable& clients = m_store.Clients();
    bool renamed = false;
    for (size_t p = 0; p < m_memberIds.size(); ++p) {
        for (int32_t i = 0; i < clients.Count(); ++i) {
            const TAClient& client = clients.At(i);
            if (client.Id != m_memberIds[p] || client.GroupId != m_stamp.ClientGroupId)
                continue;
            const QString name = QString::fromStdString(CutChars(client.FullName, 255));
            if (name != m_memberNames[p]) {
                m_memberNames[p] = name;
                renamed = true;
            }
            break;
        }
    }
    if (!renamed || m_memberIds.size() < 2)
        return;
    QStringList captions;
    for (size_t p = 0; p < m_memberNames.size(); ++p) {
        captions << m_memberNames[p];
        m_comboClients->setItemText(static_cast<int>(p), m_memberNames[p]);
    }
    // Setting the captions keeps the marks; the limit is set again in case they lowered it.
    const int limit = m_selects->NumSelLimit();
    m_selects->SetCaptions(captions);
    m_selects->SetNumSelLimit(limit);
    m_selects->FitToContents();
    m_selects->update();
    RefreshText();
}

bool TSelectionForm::Save()
{
    try {
        // The grid's rows and columns are the members the window loaded, under the limits it
        // loaded; written into a changed or another investigation they would be wrong.
        const TInvestigationStamp now = StampInvestigation(m_store, m_investId);
        if (!now.Exists)
            throw TAppError(MessageText("NOT_FOUND_CLIENT_GROUP"));
        if (!(now == m_stamp))
            throw TAppError(MessageText("INVEST_CHANGED_MSG"));
        const bool rowChooses = m_selects->SelDirection() == sldLeft;
        const int n = static_cast<int>(m_memberIds.size());
        std::vector<TChoice> positive;
        std::vector<TChoice> negative;
        for (int i = 0; i < n; ++i) {
            for (int j = 0; j < n; ++j) {
                if (i == j)
                    continue;
                const TSelectType v = m_selects->Cell(i, j);
                if (v == stNone)
                    continue;
                const int32_t chooser = m_memberIds[static_cast<size_t>(rowChooses ? j : i)];
                const int32_t chosen = m_memberIds[static_cast<size_t>(rowChooses ? i : j)];
                (v == stFor ? positive : negative).push_back({chooser, chosen});
            }
        }
        AddKeptChoices(m_kept, positive, negative);
        TStoreEdit edit(m_store);
        if (ReplaceInvestigationChoices(m_store, m_investId, positive, negative) != TReplaceChoicesResult::Done)
            throw TAppError(MessageText("NOT_FOUND_CLIENT_GROUP"));
        PushStoreEdit(m_store, std::move(edit), UndoText("UNDO_SAVE_CHOICES", {m_investName}));
    } catch (const std::exception& e) {
        ShowMessage(e.what());
        return false;
    }
    NoteGridChanges();
    m_saved = m_seen;
    SetModified(false);
    return true;
}

void TSelectionForm::ClearAll()
{
    const int count = CountMarks();
    if (count == 0)
        return;
    // One click would otherwise empty a whole class's answers.
    TMessageDialog question(this);
    question.DialogType = mdYesNo;
    question.Title = Caption();
    question.Caption = UndoText("CLEAR_ALL_CHOICES_QUESTION", {QString::number(count)});
    if (question.Execute() != TMessageDialog::kYes)
        return;
    m_selects->ClearAll();
    NoteGridChanges(UndoText("UNDO_CLEAR_ALL", {QString::number(count)}));
    RefreshText();
}

bool TSelectionForm::CanClose()
{
    if (!m_modified)
        return true;
    TMessageDialog dialog(this);
    dialog.DialogType = mdYesNoCancelHelp;
    dialog.HelpContext = kHelpTopic;
    dialog.Title = Caption();
    dialog.Caption = QString::fromStdString(MessageText("SELECTFORM_SAVE_CHANGES"));
    switch (dialog.Execute()) {
    case TMessageDialog::kYes:
        // A failed save has shown its message; the window stays so nothing is lost.
        return Save();
    case TMessageDialog::kNo:
        SetModified(false);
        return true;
    default:
        return false;
    }
}

void TSelectionForm::SetGraphic(bool graphic)
{
    // The grid comes back scrolled where it was left, names in view.
    QScrollBar* const bars[2] = {m_scroll->horizontalScrollBar(), m_scroll->verticalScrollBar()};
    if (m_graphic && !graphic)
        m_scrollPosition = QPoint(bars[0]->value(), bars[1]->value());
    const bool wasGraphic = m_graphic;
    m_graphic = graphic;
    if (!graphic)
        RefreshText();
    m_scroll->setVisible(graphic);
    m_textPanel->setVisible(!graphic);
    setFocusProxy(graphic ? static_cast<QWidget*>(m_selects) : m_comboClients);
    if (graphic)
        m_selects->show();
    if (graphic && !wasGraphic) {
        const QPoint position = m_scrollPosition;
        auto restore = [bars, position] {
            bars[0]->setValue(position.x());
            bars[1]->setValue(position.y());
        };
        restore();
        // The scroll area settles its ranges once it is laid out again.
        QTimer::singleShot(0, this, restore);
    }
    (graphic ? m_graphicsItem : m_textItem)->setChecked(true);
    Regs().Choices.IsGraphic = graphic;
    UpdatePopupItems();
}

void TSelectionForm::RefreshText()
{
    m_refreshing = true;
    const int chooser = m_comboClients->currentIndex();
    for (QListWidget* list : {m_positiveList, m_negativeList}) {
        const TSelectType kind = list == m_positiveList ? stFor : stAgainst;
        list->clear();
        for (size_t j = 0; j < m_memberNames.size(); ++j) {
            auto* item = new QListWidgetItem(m_memberNames[j], list);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
            const bool checked = chooser >= 0 && PairCell(chooser, static_cast<int>(j)) == kind;
            item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
        }
        if (list->count() > 0)
            list->setCurrentRow(0);
    }
    m_negativeList->setEnabled(m_selects->IsAgainst());
    m_refreshing = false;
}

void TSelectionForm::UpdatePopupItems()
{
    // The three cell commands act on the active cell; without one they have nothing to act on.
    const bool cell = m_graphic && m_selects->HasActiveCell();
    m_clearItem->setEnabled(cell);
    m_positiveItem->setEnabled(cell && m_selects->PositiveAllowed());
    m_negativeItem->setEnabled(cell && m_selects->NegativeAllowed());
}

void TSelectionForm::SelectsClick(int, int, TPlace)
{
    NoteGridChanges();
    UpdatePopupItems();
}

void TSelectionForm::SelectsMouseMove()
{
    UpdatePopupItems();
}

void TSelectionForm::ComboBoxClientsChange(int)
{
    RefreshText();
}

void TSelectionForm::CheckListBoxClientsClickCheck(QListWidgetItem* item)
{
    if (m_refreshing || !item)
        return;
    const int chooser = m_comboClients->currentIndex();
    if (chooser < 0)
        return;
    QListWidget* clicked = item->listWidget();
    QListWidget* other = clicked == m_positiveList ? m_negativeList : m_positiveList;
    const TSelectType kind = clicked == m_positiveList ? stFor : stAgainst;
    m_refreshing = true;
    bool failed = false;
    try {
        // Nobody chooses themselves.
        if (QListWidgetItem* own = m_positiveList->item(chooser))
            own->setCheckState(Qt::Unchecked);
        if (QListWidgetItem* own = m_negativeList->item(chooser))
            own->setCheckState(Qt::Unchecked);
        for (int j = 0; j < clicked->count(); ++j) {
            const bool checked = clicked->item(j)->checkState() == Qt::Checked;
            if (checked) {
                if (QListWidgetItem* twin = other->item(j))
                    twin->setCheckState(Qt::Unchecked);
                if (PairCell(chooser, j) != kind)
                    SetPairCell(chooser, j, kind);
            } else if (PairCell(chooser, j) == kind) {
                SetPairCell(chooser, j, stNone);
            }
        }
    } catch (const std::exception& e) {
        failed = true;
        m_refreshing = false;
        ShowMessage(e.what());
    }
    m_refreshing = false;
    NoteGridChanges();
    // After a refused choice the lists show again what the grid holds.
    if (failed)
        RefreshText();
}

void TSelectionForm::SetActiveCell(int value)
{
    if (!m_selects->HasActiveCell())
        return;
    try {
        m_selects->SetActiveCellSelType(static_cast<TSelectType>(value));
    } catch (const std::exception& e) {
        ShowMessage(e.what());
    }
    NoteGridChanges();
    UpdatePopupItems();
}

void TSelectionForm::PaintTo(QPainter& painter) const
{
    m_selects->PaintTo(painter);
}

QSize TSelectionForm::GridFitSize() const
{
    const int frame = 2 * m_scroll->frameWidth();
    return m_selects->size() + QSize(frame, frame);
}

QSize TSelectionForm::PictureSize() const
{
    return m_selects->size();
}

QImage TSelectionForm::Picture() const
{
    return m_selects->Picture();
}

void TSelectionForm::closeEvent(QCloseEvent* event)
{
    if (!CanClose()) {
        event->ignore();
        return;
    }
    event->accept();
    PostNotify(TNotifyCode::ChildClosing, this);
}

bool TSelectionForm::eventFilter(QObject* watched, QEvent* event)
{
    // A click on the scroll box outside the grid gives the grid the keyboard focus.
    if (watched == m_scroll->viewport() && event->type() == QEvent::MouseButtonPress) {
        m_scroll->setFocus(Qt::MouseFocusReason);
        m_selects->setFocus(Qt::MouseFocusReason);
    }
    return QWidget::eventFilter(watched, event);
}
