#include "shell/objectstree.h"

#include <set>
#include <string>
#include <tuple>
#include <vector>

#include <QAction>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QTreeWidgetItemIterator>

#include "platform/helpviewer.h"
#include "platform/langcontroller.h"
#include "platform/literaltext.h"
#include "platform/messagedialog.h"
#include "platform/modalseam.h"
#include "shell/shellicons.h"
#include "i18n/langconv.h"
#include "shell/entityflows.h"
#include "views/notify.h"
#include "views/undostack.h"
#include "store/dbinfo.h"
#include "store/fileacc.h"
#include "util/error.h"
#include "util/text.h"

namespace {

constexpr int kIdRole = Qt::UserRole;
constexpr int kKindRole = Qt::UserRole + 1;
constexpr int kMissingId = -99999;
constexpr THelpTopic kHelpTopic = THelpTopic::MainWindow;

// "<key text>: "name1", "name2"." cut to the length of a short text.
QString InUseText(const std::string& prefix, const std::vector<std::string>& names)
{
    std::string text = prefix + ": ";
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0)
            text += ", ";
        text += "\"" + names[i] + "\"";
    }
    text += ".";
    return QString::fromStdString(CutChars(text, 255));
}

void ShowInformation(QWidget* parent, const QString& text)
{
    Modal().Information(parent, CatalogueText("APPLICATION_NAME"), text);
}

// The undo step's text for an object of the kind: "create client Ben Carter".
QString UndoObjectText(const char* verbKey, TNodeKind kind, const QString& name)
{
    const char* objectKey = "UNDO_OBJECT_INVESTIGATION";
    switch (kind) {
    case TNodeKind::ClientGroup:
        objectKey = "UNDO_OBJECT_CLIENT_GROUP";
        break;
    case TNodeKind::Client:
        objectKey = "UNDO_OBJECT_CLIENT";
        break;
    case TNodeKind::CriteriaGroup:
        objectKey = "UNDO_OBJECT_CRITERIA_GROUP";
        break;
    case TNodeKind::Criterion:
        objectKey = "UNDO_OBJECT_CRITERION";
        break;
    default:
        break;
    }
    return UndoText(verbKey, {UndoText(objectKey, {name})});
}

} // namespace

TObjectCaptionKeys ObjectCaptionKeys(TNodeKind kind)
{
    switch (kind) {
    case TNodeKind::ClientGroups:
        return {"CLNGRP_CREATE", "COMMON_CHANGE", "COMMON_REMOVE"};
    case TNodeKind::ClientGroup:
        return {"CLIENT_CREATE", "CLNGRP_CHANGE", "CLNGRP_REMOVE"};
    case TNodeKind::Client:
        return {"COMMON_CREATE", "CLIENT_CHANGE", "CLIENT_REMOVE"};
    case TNodeKind::Criteria:
        return {"CRTGRP_CREATE", "COMMON_CHANGE", "COMMON_REMOVE"};
    case TNodeKind::CriteriaGroup:
        return {"CRITER_CREATE", "CRTGRP_CHANGE", "CRTGRP_REMOVE"};
    case TNodeKind::Criterion:
        return {"COMMON_CREATE", "CRITER_CHANGE", "CRITER_REMOVE"};
    case TNodeKind::Investigations:
        return {"INVEST_CREATE", "COMMON_CHANGE", "COMMON_REMOVE"};
    case TNodeKind::Investigation:
        return {"COMMON_CREATE", "INVEST_CHANGE", "INVEST_REMOVE"};
    default:
        return {"COMMON_CREATE", "COMMON_CHANGE", "COMMON_REMOVE"};
    }
}

TObjectsTree::TObjectsTree(QWidget* owner) : QTreeWidget(owner)
{
    setObjectName("ObjectsTree");
    setHeaderHidden(true);
    setColumnCount(1);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setExpandsOnDoubleClick(false);
    setUniformRowHeights(true);
    setIconSize(QSize(16, 16));
    // Long names scroll sideways instead of being cut.
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    // The selection stays visible while another window has the focus.
    QPalette pal = palette();
    pal.setColor(QPalette::Inactive, QPalette::Highlight, pal.color(QPalette::Active, QPalette::Highlight));
    pal.setColor(QPalette::Inactive, QPalette::HighlightedText,
                 pal.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(pal);

    m_popup = new QMenu(this);
    m_popup->setObjectName("ObjectsTreePopupMenu");
    auto item = [this](const char* name, TShellIcon icon) {
        auto* action = new QAction(ShellIcon(icon), QString(), m_popup);
        action->setObjectName(name);
        m_popup->addAction(action);
        return action;
    };
    m_popupCreate = item("PopupItemCreate", TShellIcon::CreateNode);
    m_popupChange = item("PopupItemChange", TShellIcon::ChangeNode);
    m_popupRemove = item("PopupItemRemove", TShellIcon::DeleteNode);
    m_popup->addSeparator();
    m_popupChoices = item("PopupItemChoices", TShellIcon::Choices);
    m_popup->addSeparator();
    m_popupIndexes = item("PopupItemIndexes", TShellIcon::Indexes);
    m_popupGraph = item("PopupItemGraph", TShellIcon::Graph);
    m_popupTarget = item("PopupItemTarget", TShellIcon::Target);
    m_popupStatus = item("PopupItemStatus", TShellIcon::Status);
    m_popupCompare = item("PopupItemCompare", TShellIcon::Indexes);

    connect(m_popupCreate, &QAction::triggered, this, [this] { CreateObject(); });
    connect(m_popupChange, &QAction::triggered, this, [this] { ChangeObject(); });
    connect(m_popupRemove, &QAction::triggered, this, [this] { RemoveObject(); });
    connect(m_popupChoices, &QAction::triggered, this,
            [this] { SendNotify(TNotifyCode::OpenChoices, this); });
    connect(m_popupIndexes, &QAction::triggered, this,
            [this] { SendNotify(TNotifyCode::OpenIndexes, this); });
    connect(m_popupGraph, &QAction::triggered, this,
            [this] { SendNotify(TNotifyCode::OpenGraph, this); });
    connect(m_popupTarget, &QAction::triggered, this,
            [this] { SendNotify(TNotifyCode::OpenTarget, this); });
    connect(m_popupStatus, &QAction::triggered, this,
            [this] { SendNotify(TNotifyCode::OpenStatus, this); });
    connect(m_popupCompare, &QAction::triggered, this,
            [this] { SendNotify(TNotifyCode::OpenCompare, this); });
    connect(this, &QTreeWidget::currentItemChanged, this, [this] { SelectionChanged(); });

    // F1 in the tree opens the help page of the main window, which the tree belongs to.
    auto* help = new QAction(this);
    help->setShortcut(QKeySequence::HelpContents);
    help->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(help);
    connect(help, &QAction::triggered, this, [] { ShowHelpTopic(kHelpTopic); });

    UpdatePopupMenu();
}

TObjectsTree::~TObjectsTree() = default;

QTreeWidgetItem* TObjectsTree::AddNode(QTreeWidgetItem* parent, int id, const QString& name, TNodeKind kind)
{
    auto* node = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(this);
    SetNodeName(node, name);
    node->setData(0, kIdRole, id);
    node->setData(0, kKindRole, static_cast<int>(kind));
    node->setIcon(0, NodeKindIcon(kind));
    node->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return node;
}

std::set<std::tuple<int, int, int>> TObjectsTree::ExpandedNodes() const
{
    std::set<std::tuple<int, int, int>> expanded;
    for (QTreeWidgetItemIterator it(const_cast<TObjectsTree*>(this)); *it; ++it) {
        const QTreeWidgetItem* node = *it;
        if (node->isExpanded())
            expanded.emplace(node->data(0, kKindRole).toInt(), NodeId(node),
                             node->parent() ? NodeId(node->parent()) : 0);
    }
    return expanded;
}

void TObjectsTree::Rebuild()
{
    const bool sameProject = m_store != nullptr && m_store == m_builtFor;
    const std::set<std::tuple<int, int, int>> expanded = ExpandedNodes();
    clear();
    m_builtFor = m_store;
    if (!m_store)
        return;
    try {
        TFileAccess& store = *m_store;
        QTreeWidgetItem* project = AddNode(nullptr, -1, CatalogueText("MAIN_NODE_TITLE"), TNodeKind::Project);

        QTreeWidgetItem* clients =
            AddNode(project, -2, CatalogueText("CLIENTS_MAIN_NODE_TITLE"), TNodeKind::ClientGroups);
        const TClientGroupTable& groups = store.ClientGroups();
        for (int32_t i = 0; i < groups.Count(); ++i)
            AddNode(clients, groups.At(i).Id, QString::fromStdString(groups.At(i).Name),
                    TNodeKind::ClientGroup);
        const TClientTable& clientTable = store.Clients();
        for (int g = 0; g < clients->childCount(); ++g) {
            QTreeWidgetItem* groupNode = clients->child(g);
            const int groupId = NodeId(groupNode);
            for (int32_t i = 0; i < clientTable.Count(); ++i) {
                const TAClient& client = clientTable.At(i);
                if (client.GroupId == groupId)
                    AddNode(groupNode, client.Id, QString::fromStdString(client.FullName), TNodeKind::Client);
            }
        }

        QTreeWidgetItem* criteria =
            AddNode(project, -3, CatalogueText("CRITERIES_MAIN_NODE_TITLE"), TNodeKind::Criteria);
        const TCriteryGroupTable& criteriaGroups = store.CriteriaGroups();
        for (int32_t i = 0; i < criteriaGroups.Count(); ++i)
            AddNode(criteria, criteriaGroups.At(i).Id, QString::fromStdString(criteriaGroups.At(i).Name),
                    TNodeKind::CriteriaGroup);
        const TCriteryTable& criteriaTable = store.Criteria();
        for (int g = 0; g < criteria->childCount(); ++g) {
            QTreeWidgetItem* groupNode = criteria->child(g);
            const int groupId = NodeId(groupNode);
            for (int32_t i = 0; i < criteriaTable.Count(); ++i) {
                const TACritery& criterion = criteriaTable.At(i);
                if (criterion.GroupId == groupId)
                    AddNode(groupNode, criterion.Id, QString::fromStdString(criterion.Name),
                            TNodeKind::Criterion);
            }
        }

        QTreeWidgetItem* invests =
            AddNode(project, -4, CatalogueText("SOCIUM_MAIN_NODE_TITLE"), TNodeKind::Investigations);
        const TInvestTable& investTable = store.Investigations();
        for (int32_t i = 0; i < investTable.Count(); ++i)
            AddNode(invests, investTable.At(i).Id, QString::fromStdString(investTable.At(i).Name),
                    TNodeKind::Investigation);

        project->setExpanded(true);
        if (!sameProject) {
            // A project opens with its groups and investigations in view.
            clients->setExpanded(true);
            invests->setExpanded(true);
        } else {
            for (QTreeWidgetItemIterator it(this); *it; ++it) {
                QTreeWidgetItem* node = *it;
                if (expanded.contains({node->data(0, kKindRole).toInt(), NodeId(node),
                                       node->parent() ? NodeId(node->parent()) : 0}))
                    node->setExpanded(true);
            }
        }
    } catch (const std::exception& error) {
        ShowInformation(this, QString::fromStdString(error.what()));
    }
}

void TObjectsTree::Refresh()
{
    // Rebuild keeps what was expanded; the selection goes back to the same object if it is there.
    const TNodeKind kind = CurrentKind();
    const TNodeIds ids = CurrentIds();
    const QSignalBlocker quiet(this);
    Rebuild();
    for (QTreeWidgetItemIterator it(this); *it && kind != TNodeKind::None; ++it) {
        const TNodeIds node = NodeIds(*it);
        if (NodeKind(*it) == kind && node.Id == ids.Id && node.ParentId == ids.ParentId) {
            setCurrentItem(*it);
            break;
        }
    }
}

bool TObjectsTree::HasSelection() const
{
    return currentItem() != nullptr;
}

TNodeKind TObjectsTree::CurrentKind() const
{
    return NodeKind(currentItem());
}

QTreeWidgetItem* TObjectsTree::CurrentNode() const
{
    return currentItem();
}

TNodeIds TObjectsTree::CurrentIds() const
{
    return NodeIds(currentItem());
}

QString TObjectsTree::CurrentName() const
{
    QTreeWidgetItem* node = currentItem();
    return node ? node->text(0) : QString();
}

TNodeIds TObjectsTree::NodeIds(const QTreeWidgetItem* node)
{
    if (!node)
        return {kMissingId, kMissingId};
    return {NodeId(node), node->parent() ? NodeId(node->parent()) : -1};
}

TNodeKind TObjectsTree::NodeKind(const QTreeWidgetItem* node)
{
    if (!node)
        return TNodeKind::None;
    const int kind = node->data(0, kKindRole).toInt();
    if (kind < static_cast<int>(TNodeKind::Project) || kind > static_cast<int>(TNodeKind::Investigation))
        return TNodeKind::None;
    return static_cast<TNodeKind>(kind);
}

int TObjectsTree::NodeId(const QTreeWidgetItem* node)
{
    return node ? node->data(0, kIdRole).toInt() : kMissingId;
}

int TObjectsTree::NewId(const QTreeWidgetItem* parent)
{
    if (!parent)
        return 1;
    for (int candidate = 1;; ++candidate) {
        bool used = false;
        for (int i = 0; i < parent->childCount() && !used; ++i)
            used = NodeId(parent->child(i)) == candidate;
        if (!used)
            return candidate;
    }
}

void TObjectsTree::SetNodeName(QTreeWidgetItem* node, const QString& text)
{
    if (!node)
        return;
    const QString name = QString::fromStdString(CutChars(text.toStdString(), 255));
    node->setText(0, name);
    node->setToolTip(0, LiteralToolTip(name));
}

void TObjectsTree::CreateObject()
{
    QTreeWidgetItem* node = currentItem();
    if (!node || !m_store)
        return;
    const TNodeKind kind = NodeKind(node);
    const int newId = NewId(node);
    TStoreEdit edit(*m_store);
    TEntityResult result;
    TNodeKind newKind = TNodeKind::None;
    QWidget* owner = window();
    switch (kind) {
    case TNodeKind::ClientGroups:
        result = CreateClientGroup(owner, *m_store, newId);
        newKind = TNodeKind::ClientGroup;
        break;
    case TNodeKind::ClientGroup:
        result = CreateClient(owner, *m_store, NodeId(node), newId);
        newKind = TNodeKind::Client;
        break;
    case TNodeKind::Criteria:
        result = CreateCriteriaGroup(owner, *m_store, newId);
        newKind = TNodeKind::CriteriaGroup;
        break;
    case TNodeKind::CriteriaGroup:
        result = CreateCriterion(owner, *m_store, NodeId(node), newId);
        newKind = TNodeKind::Criterion;
        break;
    case TNodeKind::Investigations:
        result = CreateInvestigation(owner, *m_store, newId);
        newKind = TNodeKind::Investigation;
        break;
    default:
        break;
    }
    if (result.Done) {
        AddNode(node, result.Id, result.Name, newKind);
        node->setExpanded(true);
        PushStoreEdit(*m_store, std::move(edit), UndoObjectText("UNDO_CREATE", newKind, result.Name));
    }
    SendNotify(TNotifyCode::ObjectCreated, this);
}

void TObjectsTree::ChangeObject()
{
    QTreeWidgetItem* node = currentItem();
    if (!node)
        return;
    const TNodeKind kind = NodeKind(node);
    const TNodeIds ids = NodeIds(node);
    TEntityResult result;
    QWidget* owner = window();
    if (m_store) {
        TStoreEdit edit(*m_store);
        switch (kind) {
        case TNodeKind::ClientGroup:
            result = ChangeClientGroup(owner, *m_store, ids.Id);
            break;
        case TNodeKind::Client:
            result = ChangeClient(owner, *m_store, ids.Id, ids.ParentId);
            break;
        case TNodeKind::CriteriaGroup:
            result = ChangeCriteriaGroup(owner, *m_store, ids.Id);
            break;
        case TNodeKind::Criterion:
            result = ChangeCriterion(owner, *m_store, ids.Id, ids.ParentId);
            break;
        case TNodeKind::Investigation:
            if (!RefusedWhileOpen(ids.Id))
                result = ChangeInvestigation(owner, *m_store, ids.Id);
            break;
        default:
            break;
        }
        if (result.Done)
            PushStoreEdit(*m_store, std::move(edit), UndoObjectText("UNDO_CHANGE", kind, result.Name));
    }
    if (result.Done)
        SetNodeName(node, result.Name);
    node->setExpanded(true);
    SendNotify(TNotifyCode::ObjectChanged, this);
}

void TObjectsTree::RemoveObject()
{
    QTreeWidgetItem* node = currentItem();
    if (node && m_store) {
        // What the removal takes with it (choices, placements) goes back with the object on undo.
        TStoreEdit edit(*m_store);
        const TNodeKind kind = NodeKind(node);
        const QString name = node->text(0);
        switch (kind) {
        case TNodeKind::ClientGroup:
            RemoveClientGroup(node);
            break;
        case TNodeKind::Client:
            RemoveClient(node);
            break;
        case TNodeKind::CriteriaGroup:
            RemoveCriteriaGroup(node);
            break;
        case TNodeKind::Criterion:
            RemoveCriterion(node);
            break;
        case TNodeKind::Investigation:
            RemoveInvestigation(node);
            break;
        default:
            break;
        }
        PushStoreEdit(*m_store, std::move(edit), UndoObjectText("UNDO_REMOVE", kind, name));
    }
    SendNotify(TNotifyCode::ObjectRemoved, this);
}

bool TObjectsTree::AskRemove(const char* questionKey, THelpTopic helpTopic, const QString& name)
{
    // A fresh box for each question, so an answer given to an earlier one cannot carry over.
    TMessageDialog box(this);
    box.Title = CatalogueText("APPLICATION_NAME");
    QString question = CatalogueText(questionKey);
    if (question.contains(QStringLiteral("%1")))
        question.replace(QStringLiteral("%1"), name);
    else
        question += QStringLiteral(" \"") + name + QStringLiteral("\"");
    box.Caption = question;
    box.DialogType = mdYesNoHelp;
    box.HelpContext = helpTopic;
    return box.Execute() == TMessageDialog::kYes;
}

void TObjectsTree::DeleteNode(QTreeWidgetItem* node)
{
    delete node;
}

void TObjectsTree::RemoveClientGroup(QTreeWidgetItem* node)
{
    const int groupId = NodeId(node);
    try {
        // An object in use is refused before the user is asked to confirm its removal.
        std::vector<std::string> invests;
        InvestigationsOfClientGroup(*m_store, groupId, invests);
        if (!invests.empty()) {
            ShowInformation(this, InUseText(LangConv().GetText("CLIENTGROUP_IS_IN_INVESTS"), invests));
            return;
        }
        if (!AskRemove("CAN_REMOVE_CLIENTS_GROUP_MSG", THelpTopic::ClientGroup, node->text(0)))
            return;
        if (!m_store->DeleteClientsOfGroup(groupId))
            throw TAppError(LangConv().GetText("ERROR_REMOVING_CLIENTS_FROM_GROUP_MSG"));
        if (m_store->CountClientsInGroup(groupId) > 0)
            throw TAppError(LangConv().GetText("ERROR_REMOVING_CLIENTS_FROM_GROUP_MSG"));
        if (!m_store->DeleteClientGroup(groupId))
            throw TAppError(LangConv().GetText("ERROR_REMOVING_CLIENTS_GROUP_MSG"));
        DeleteNode(node);
    } catch (const std::exception& error) {
        ShowInformation(this, QString::fromStdString(error.what()));
    }
}

void TObjectsTree::RemoveClient(QTreeWidgetItem* node)
{
    const TNodeIds ids = NodeIds(node);
    try {
        std::vector<std::string> invests;
        InvestigationsOfClientGroup(*m_store, ids.ParentId, invests);
        if (!invests.empty()) {
            ShowInformation(this, InUseText(LangConv().GetText("CLIENT_IS_IN_INVESTS"), invests));
            return;
        }
        if (!AskRemove("CAN_REMOVE_CLIENT_MSG", THelpTopic::Client, node->text(0)))
            return;
        if (!m_store->DeleteClient(ids.Id, ids.ParentId))
            throw TAppError("");
        DeleteNode(node);
    } catch (const std::exception&) {
        ShowInformation(this, CatalogueText("ERROR_REMOVING_CLIENT_MSG"));
    }
}

void TObjectsTree::RemoveCriteriaGroup(QTreeWidgetItem* node)
{
    const int groupId = NodeId(node);
    try {
        bool inUse = false;
        const TCriteryTable& criteria = m_store->Criteria();
        for (int32_t i = 0; i < criteria.Count(); ++i) {
            const TACritery& criterion = criteria.At(i);
            if (criterion.GroupId != groupId)
                continue;
            std::vector<std::string> invests;
            InvestigationsOfCriterion(*m_store, criterion.Id, groupId, invests);
            if (invests.empty())
                continue;
            inUse = true;
            ShowInformation(this, InUseText("[" + criterion.Name + "] " +
                                                LangConv().GetText("CRITERION_IS_IN_INVESTS"),
                                            invests));
        }
        if (inUse)
            throw TAppError(LangConv().GetText("CANT_REMOVE_CRITGRP_FROM_CRITERIES"));
        if (!AskRemove("CAN_REMOVE_CRITERIES_GROUP_MSG", THelpTopic::CriteriaGroup, node->text(0)))
            return;
        if (!m_store->DeleteCriteriaOfGroup(groupId))
            throw TAppError(LangConv().GetText("ERROR_REMOVING_CRITERIES_FROM_GROUP_MSG"));
        if (m_store->CountCriteriaInGroup(groupId) > 0)
            throw TAppError(LangConv().GetText("CANT_REMOVE_CRITGRP_FROM_CRITERIES"));
        if (!m_store->DeleteCriteriaGroup(groupId))
            throw TAppError(LangConv().GetText("ERROR_REMOVING_CRITERIES_GROUP_MSG"));
        DeleteNode(node);
    } catch (const std::exception& error) {
        ShowInformation(this, QString::fromStdString(error.what()));
    }
}

void TObjectsTree::RemoveCriterion(QTreeWidgetItem* node)
{
    const TNodeIds ids = NodeIds(node);
    try {
        std::vector<std::string> invests;
        InvestigationsOfCriterion(*m_store, ids.Id, ids.ParentId, invests);
        if (!invests.empty()) {
            ShowInformation(this, InUseText(LangConv().GetText("CRITERION_IS_IN_INVESTS"), invests));
            return;
        }
        if (!AskRemove("CAN_REMOVE_CRITERY_MSG", THelpTopic::Criterion, node->text(0)))
            return;
        if (!m_store->DeleteCriterion(ids.Id, ids.ParentId))
            throw TAppError("");
        DeleteNode(node);
    } catch (const std::exception&) {
        ShowInformation(this, CatalogueText("ERROR_REMOVING_CRITERY_MSG"));
    }
}

bool TObjectsTree::RefusedWhileOpen(int investId)
{
    const QString window = m_openWindow ? m_openWindow(investId) : QString();
    if (window.isEmpty())
        return false;
    ShowInformation(this, CatalogueText("INVEST_WINDOW_OPEN_MSG") + " \"" + window + "\"");
    return true;
}

void TObjectsTree::RemoveInvestigation(QTreeWidgetItem* node)
{
    if (RefusedWhileOpen(NodeId(node)) ||
        !AskRemove("CAN_REMOVE_INVEST_MSG", THelpTopic::Investigation, node->text(0)))
        return;
    try {
        if (!m_store->DeleteInvestigation(NodeId(node)))
            throw TAppError(LangConv().GetText("ERROR_REMOVING_INVEST_MSG"));
        DeleteNode(node);
    } catch (const std::exception& error) {
        ShowInformation(this, QString::fromStdString(error.what()));
    }
}

QTreeWidgetItem* TObjectsTree::FindObject(QTreeWidgetItem* start, const QString& text, TFindType type,
                                          TFindFlags flags)
{
    if (topLevelItemCount() == 0)
        return nullptr;
    QTreeWidgetItemIterator it(this);
    if (start) {
        while (*it && *it != start)
            ++it;
        if (*it)
            ++it;
    }
    const bool caseSensitive = HasFindFlag(flags, TFindFlags::CaseSensitive);
    const bool wholeString = HasFindFlag(flags, TFindFlags::WholeString);
    const QString wanted = caseSensitive ? text : text.toUpper();
    for (; *it; ++it) {
        QTreeWidgetItem* node = *it;
        const TNodeKind kind = NodeKind(node);
        bool takesPart = false;
        switch (type) {
        case TFindType::AnyObject:
            takesPart = kind == TNodeKind::ClientGroup || kind == TNodeKind::Client ||
                        kind == TNodeKind::CriteriaGroup || kind == TNodeKind::Criterion ||
                        kind == TNodeKind::Investigation;
            break;
        case TFindType::ClientGroups:
            takesPart = kind == TNodeKind::ClientGroup;
            break;
        case TFindType::Clients:
            takesPart = kind == TNodeKind::Client;
            break;
        case TFindType::CriteriaGroups:
            takesPart = kind == TNodeKind::CriteriaGroup;
            break;
        case TFindType::Criteria:
            takesPart = kind == TNodeKind::Criterion;
            break;
        case TFindType::Investigations:
            takesPart = kind == TNodeKind::Investigation;
            break;
        default:
            break;
        }
        if (!takesPart)
            continue;
        const QString name = caseSensitive ? node->text(0) : node->text(0).toUpper();
        if (wholeString ? name == wanted : name.contains(wanted)) {
            setFocus();
            setCurrentItem(node);
            scrollToItem(node);
            return node;
        }
    }
    ShowInformation(this, CatalogueText("FIND_NO_OBJECT"));
    return nullptr;
}

QTreeWidgetItem* TObjectsTree::FirstNodeOfKind(TNodeKind kind, int id, bool anyId) const
{
    for (QTreeWidgetItemIterator it(const_cast<TObjectsTree*>(this)); *it; ++it) {
        if (NodeKind(*it) == kind && (anyId || NodeId(*it) == id))
            return *it;
    }
    return nullptr;
}

int TObjectsTree::AddClientGroup(const QString& name, const QString& description)
{
    if (!m_store)
        throw TAppError(LangConv().GetText("NO_SELECTED_NODE"));
    QTreeWidgetItem* parent = FirstNodeOfKind(TNodeKind::ClientGroups, 0, true);
    const int id = NewId(parent);
    TClientGroupTable& groups = m_store->ClientGroups();
    groups.Add(id, name.toStdString());
    if (groups.FindById(id))
        groups.SetDescription(description.toStdString());
    if (parent) {
        AddNode(parent, id, name, TNodeKind::ClientGroup);
        parent->setExpanded(true);
    }
    return id;
}

int TObjectsTree::AddClient(int groupId, const QString& fullName, bool isMale, double birthDate,
                            const QString& description)
{
    if (!m_store)
        throw TAppError(LangConv().GetText("NO_SELECTED_NODE"));
    QTreeWidgetItem* parent = FirstNodeOfKind(TNodeKind::ClientGroup, groupId, false);
    const int id = NewId(parent);
    TClientTable& clients = m_store->Clients();
    clients.Add(id, groupId, fullName.toStdString(), isMale, birthDate);
    if (clients.Find(id, groupId))
        clients.SetDescription(description.toStdString());
    if (parent) {
        AddNode(parent, id, fullName, TNodeKind::Client);
        parent->setExpanded(true);
    }
    return id;
}

void TObjectsTree::SelectionChanged()
{
    UpdatePopupMenu();
    if (currentItem())
        SendNotify(TNotifyCode::TreeSelectionChanged, this);
}

void TObjectsTree::UpdatePopupMenu()
{
    const TNodeKind kind = CurrentKind();
    if (HasLangConv()) {
        const TObjectCaptionKeys keys = ObjectCaptionKeys(kind);
        m_popupCreate->setText(CatalogueText(keys.Create));
        m_popupChange->setText(CatalogueText(keys.Change));
        m_popupRemove->setText(CatalogueText(keys.Remove));
        m_popupChoices->setText(CatalogueText("TREE_POPUP_MENU_CHOICES"));
        m_popupIndexes->setText(CatalogueText("TREE_POPUP_MENU_INDEXES"));
        m_popupGraph->setText(CatalogueText("TREE_POPUP_MENU_GRAPH"));
        m_popupTarget->setText(CatalogueText("TREE_POPUP_MENU_TARGET"));
        m_popupStatus->setText(CatalogueText("TREE_POPUP_MENU_STATUS"));
        m_popupCompare->setText(CatalogueText("COMPARE_MENU"));
    }
    const bool create = kind == TNodeKind::ClientGroups || kind == TNodeKind::ClientGroup ||
                        kind == TNodeKind::Criteria || kind == TNodeKind::CriteriaGroup ||
                        kind == TNodeKind::Investigations;
    const bool change = kind == TNodeKind::ClientGroup || kind == TNodeKind::Client ||
                        kind == TNodeKind::CriteriaGroup || kind == TNodeKind::Criterion ||
                        kind == TNodeKind::Investigation;
    const bool views = kind == TNodeKind::Investigation;
    m_popupCreate->setEnabled(create);
    m_popupChange->setEnabled(change);
    m_popupRemove->setEnabled(change);
    m_popupChoices->setEnabled(views);
    m_popupIndexes->setEnabled(views);
    m_popupGraph->setEnabled(views);
    m_popupTarget->setEnabled(views);
    m_popupStatus->setEnabled(views);
    m_popupCompare->setEnabled(views);
}

void TObjectsTree::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        setFocus(Qt::MouseFocusReason);
        if (QTreeWidgetItem* node = itemAt(event->position().toPoint()))
            setCurrentItem(node);
        event->accept();
        return;
    }
    QTreeWidget::mousePressEvent(event);
}

void TObjectsTree::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTreeWidgetItem* node = itemAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && node) {
        event->accept();
        setCurrentItem(node);
        ChangeObject();
        return;
    }
    QTreeWidget::mouseDoubleClickEvent(event);
}

void TObjectsTree::contextMenuEvent(QContextMenuEvent* event)
{
    UpdatePopupMenu();
    m_popup->popup(event->globalPos());
    event->accept();
}
