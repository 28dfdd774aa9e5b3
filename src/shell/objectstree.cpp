#include "shell/objectstree.h"

#include <string>
#include <vector>

#include <QAction>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>
#include <QMouseEvent>
#include <QTreeWidgetItemIterator>

#include "platform/helpviewer.h"
#include "platform/langcontroller.h"
#include "platform/messagedialog.h"
#include "platform/modalseam.h"
#include "platform/shellicons.h"
#include "settings/langconv.h"
#include "shell/entityflows.h"
#include "platform/notify.h"
#include "store/dbinfo.h"
#include "store/fileacc.h"
#include "util/error.h"
#include "util/text.h"

namespace {

constexpr int kIdRole = Qt::UserRole;
constexpr int kKindRole = Qt::UserRole + 1;
constexpr int kMissingId = -99999;
constexpr int kHelpTopic = 51;

QString FromStd(const std::string& text)
{
    return QString::fromStdString(text);
}

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
    return FromStd(CutChars(text, 255));
}

void ShowInformation(QWidget* parent, const QString& text)
{
    Modal().Information(parent, CatalogueText("APPLICATION_NAME"), text);
}

} // namespace

TObjectCaptionKeys ObjectCaptionKeys(int kind)
{
    switch (kind) {
    case nkClientGroups:
        return {"CLNGRP_CREATE", "COMMON_CHANGE", "COMMON_REMOVE"};
    case nkClientGroup:
        return {"CLIENT_CREATE", "CLNGRP_CHANGE", "CLNGRP_REMOVE"};
    case nkClient:
        return {"COMMON_CREATE", "CLIENT_CHANGE", "CLIENT_REMOVE"};
    case nkCriteria:
        return {"CRTGRP_CREATE", "COMMON_CHANGE", "COMMON_REMOVE"};
    case nkCriteriaGroup:
        return {"CRITER_CREATE", "CRTGRP_CHANGE", "CRTGRP_REMOVE"};
    case nkCriterion:
        return {"COMMON_CREATE", "CRITER_CHANGE", "CRITER_REMOVE"};
    case nkInvestigations:
        return {"INVEST_CREATE", "COMMON_CHANGE", "COMMON_REMOVE"};
    case nkInvestigation:
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
    m_popupStatus = item("PopupItemStatus", TShellIcon::Indexes);

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

QTreeWidgetItem* TObjectsTree::AddNode(QTreeWidgetItem* parent, int id, const QString& name, int kind)
{
    auto* node = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(this);
    SetNodeName(node, name);
    node->setData(0, kIdRole, id);
    node->setData(0, kKindRole, kind);
    node->setIcon(0, NodeKindIcon(kind));
    node->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return node;
}

void TObjectsTree::Rebuild()
{
    clear();
    if (!m_store)
        return;
    try {
        TFileAccess& store = *m_store;
        QTreeWidgetItem* project = AddNode(nullptr, -1, CatalogueText("MAIN_NODE_TITLE"), nkProject);

        QTreeWidgetItem* clients = AddNode(project, -2, CatalogueText("CLIENTS_MAIN_NODE_TITLE"), nkClientGroups);
        const TClientGroupTable& groups = store.ClientGroups();
        for (int32_t i = 0; i < groups.Count(); ++i)
            AddNode(clients, groups.At(i).Id, FromStd(groups.At(i).Name), nkClientGroup);
        const TClientTable& clientTable = store.Clients();
        for (int g = 0; g < clients->childCount(); ++g) {
            QTreeWidgetItem* groupNode = clients->child(g);
            const int groupId = NodeId(groupNode);
            for (int32_t i = 0; i < clientTable.Count(); ++i) {
                const TAClient& client = clientTable.At(i);
                if (client.GroupId == groupId)
                    AddNode(groupNode, client.Id, FromStd(client.FullName), nkClient);
            }
        }

        QTreeWidgetItem* criteria = AddNode(project, -3, CatalogueText("CRITERIES_MAIN_NODE_TITLE"), nkCriteria);
        const TCriteryGroupTable& criteriaGroups = store.CriteriaGroups();
        for (int32_t i = 0; i < criteriaGroups.Count(); ++i)
            AddNode(criteria, criteriaGroups.At(i).Id, FromStd(criteriaGroups.At(i).Name), nkCriteriaGroup);
        const TCriteryTable& criteriaTable = store.Criteria();
        for (int g = 0; g < criteria->childCount(); ++g) {
            QTreeWidgetItem* groupNode = criteria->child(g);
            const int groupId = NodeId(groupNode);
            for (int32_t i = 0; i < criteriaTable.Count(); ++i) {
                const TACritery& criterion = criteriaTable.At(i);
                if (criterion.GroupId == groupId)
                    AddNode(groupNode, criterion.Id, FromStd(criterion.Name), nkCriterion);
            }
        }

        QTreeWidgetItem* invests = AddNode(project, -4, CatalogueText("SOCIUM_MAIN_NODE_TITLE"), nkInvestigations);
        const TInvestTable& investTable = store.Investigations();
        for (int32_t i = 0; i < investTable.Count(); ++i)
            AddNode(invests, investTable.At(i).Id, FromStd(investTable.At(i).Name), nkInvestigation);

        project->setExpanded(true);
    } catch (const std::exception& error) {
        ShowInformation(this, QString::fromStdString(error.what()));
    }
}

bool TObjectsTree::HasSelection() const
{
    return currentItem() != nullptr;
}

int TObjectsTree::CurrentKind() const
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

int TObjectsTree::NodeKind(const QTreeWidgetItem* node)
{
    if (!node)
        return nkNone;
    const int kind = node->data(0, kKindRole).toInt();
    return kind >= nkProject && kind <= nkInvestigation ? kind : nkNone;
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
    const QString name = FromStd(CutChars(text.toStdString(), 255));
    node->setText(0, name);
    node->setToolTip(0, name);
}

void TObjectsTree::CreateObject()
{
    QTreeWidgetItem* node = currentItem();
    if (!node || !m_store)
        return;
    const int kind = NodeKind(node);
    const int newId = NewId(node);
    TEntityResult result;
    int newKind = nkNone;
    QWidget* owner = window();
    switch (kind) {
    case nkClientGroups:
        result = CreateClientGroup(owner, *m_store, newId);
        newKind = nkClientGroup;
        break;
    case nkClientGroup:
        result = CreateClient(owner, *m_store, NodeId(node), newId);
        newKind = nkClient;
        break;
    case nkCriteria:
        result = CreateCriteriaGroup(owner, *m_store, newId);
        newKind = nkCriteriaGroup;
        break;
    case nkCriteriaGroup:
        result = CreateCriterion(owner, *m_store, NodeId(node), newId);
        newKind = nkCriterion;
        break;
    case nkInvestigations:
        result = CreateInvestigation(owner, *m_store, newId);
        newKind = nkInvestigation;
        break;
    default:
        break;
    }
    if (result.Done) {
        AddNode(node, result.Id, result.Name, newKind);
        node->setExpanded(true);
    }
    SendNotify(TNotifyCode::ObjectCreated, this);
}

void TObjectsTree::ChangeObject()
{
    QTreeWidgetItem* node = currentItem();
    if (!node)
        return;
    const int kind = NodeKind(node);
    const TNodeIds ids = NodeIds(node);
    TEntityResult result;
    QWidget* owner = window();
    if (m_store) {
        switch (kind) {
        case nkClientGroup:
            result = ChangeClientGroup(owner, *m_store, ids.Id);
            break;
        case nkClient:
            result = ChangeClient(owner, *m_store, ids.Id, ids.ParentId);
            break;
        case nkCriteriaGroup:
            result = ChangeCriteriaGroup(owner, *m_store, ids.Id);
            break;
        case nkCriterion:
            result = ChangeCriterion(owner, *m_store, ids.Id, ids.ParentId);
            break;
        case nkInvestigation:
            if (!RefusedWhileOpen(ids.Id))
                result = ChangeInvestigation(owner, *m_store, ids.Id);
            break;
        default:
            break;
        }
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
        switch (NodeKind(node)) {
        case nkClientGroup:
            RemoveClientGroup(node);
            break;
        case nkClient:
            RemoveClient(node);
            break;
        case nkCriteriaGroup:
            RemoveCriteriaGroup(node);
            break;
        case nkCriterion:
            RemoveCriterion(node);
            break;
        case nkInvestigation:
            RemoveInvestigation(node);
            break;
        default:
            break;
        }
    }
    SendNotify(TNotifyCode::ObjectRemoved, this);
}

bool TObjectsTree::AskRemove(const char* questionKey, int helpTopic, const QString& name)
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
        if (!AskRemove("CAN_REMOVE_CLIENTS_GROUP_MSG", 71, node->text(0)))
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
        if (!AskRemove("CAN_REMOVE_CLIENT_MSG", 72, node->text(0)))
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
        if (!AskRemove("CAN_REMOVE_CRITERIES_GROUP_MSG", 73, node->text(0)))
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
        if (!AskRemove("CAN_REMOVE_CRITERY_MSG", 74, node->text(0)))
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
    if (RefusedWhileOpen(NodeId(node)) || !AskRemove("CAN_REMOVE_INVEST_MSG", 75, node->text(0)))
        return;
    try {
        if (!m_store->DeleteInvestigation(NodeId(node)))
            throw TAppError(LangConv().GetText("ERROR_REMOVING_INVEST_MSG"));
        DeleteNode(node);
    } catch (const std::exception& error) {
        ShowInformation(this, QString::fromStdString(error.what()));
    }
}

QTreeWidgetItem* TObjectsTree::FindObject(QTreeWidgetItem* start, const QString& text, int type, int flags)
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
    const bool caseSensitive = (flags & 1) != 0;
    const bool wholeString = (flags & 2) != 0;
    const QString wanted = caseSensitive ? text : text.toUpper();
    for (; *it; ++it) {
        QTreeWidgetItem* node = *it;
        const int kind = NodeKind(node);
        bool takesPart = false;
        switch (type) {
        case 0:
            takesPart = kind == nkClientGroup || kind == nkClient || kind == nkCriteriaGroup ||
                        kind == nkCriterion || kind == nkInvestigation;
            break;
        case 1:
            takesPart = kind == nkClientGroup;
            break;
        case 2:
            takesPart = kind == nkClient;
            break;
        case 3:
            takesPart = kind == nkCriteriaGroup;
            break;
        case 4:
            takesPart = kind == nkCriterion;
            break;
        case 5:
            takesPart = kind == nkInvestigation;
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

QTreeWidgetItem* TObjectsTree::FirstNodeOfKind(int kind, int id, bool anyId) const
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
    QTreeWidgetItem* parent = FirstNodeOfKind(nkClientGroups, 0, true);
    const int id = NewId(parent);
    TClientGroupTable& groups = m_store->ClientGroups();
    groups.Add(id, name.toStdString());
    if (groups.FindById(id))
        groups.SetDescription(description.toStdString());
    if (parent) {
        AddNode(parent, id, name, nkClientGroup);
        parent->setExpanded(true);
    }
    return id;
}

int TObjectsTree::AddClient(int groupId, const QString& fullName, bool isMale, double birthDate,
                            const QString& description)
{
    if (!m_store)
        throw TAppError(LangConv().GetText("NO_SELECTED_NODE"));
    QTreeWidgetItem* parent = FirstNodeOfKind(nkClientGroup, groupId, false);
    const int id = NewId(parent);
    TClientTable& clients = m_store->Clients();
    clients.Add(id, groupId, fullName.toStdString(), isMale, birthDate);
    if (clients.Find(id, groupId))
        clients.SetDescription(description.toStdString());
    if (parent) {
        AddNode(parent, id, fullName, nkClient);
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
    const int kind = CurrentKind();
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
    }
    const bool create = kind == nkClientGroups || kind == nkClientGroup || kind == nkCriteria ||
                        kind == nkCriteriaGroup || kind == nkInvestigations;
    const bool change = kind == nkClientGroup || kind == nkClient || kind == nkCriteriaGroup ||
                        kind == nkCriterion || kind == nkInvestigation;
    const bool views = kind == nkInvestigation;
    m_popupCreate->setEnabled(create);
    m_popupChange->setEnabled(change);
    m_popupRemove->setEnabled(change);
    m_popupChoices->setEnabled(views);
    m_popupIndexes->setEnabled(views);
    m_popupGraph->setEnabled(views);
    m_popupTarget->setEnabled(views);
    m_popupStatus->setEnabled(views);
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
