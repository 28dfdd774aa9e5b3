#pragma once

#include <functional>
#include <set>
#include <tuple>

#include <QString>
#include <QTreeWidget>

#include "platform/helptopics.h"
#include "shell/nodekind.h"
#include "shell/findkind.h"

class QAction;
class QMenu;
class QTreeWidgetItem;
class TFileAccess;
class TMessageDialog;

// Identifiers of a node: its own Id and its parent's Id (-1 for a top-level node).
struct TNodeIds {
    int Id = -99999;
    int ParentId = -99999;
};

// The tree of the open project's objects on the left of the main window: it shows client groups,
// criteria groups and investigations under three branches, creates, changes and removes objects,
// finds nodes by name, and tells the main window about every change.
class TObjectsTree final : public QTreeWidget {
    Q_OBJECT

public:
    explicit TObjectsTree(QWidget* owner);
    ~TObjectsTree() override;
    TObjectsTree(const TObjectsTree&) = delete;
    TObjectsTree& operator=(const TObjectsTree&) = delete;

    // The project the tree shows; nullptr while no project is open. Rebuild() to show it.
    void SetStore(TFileAccess* store) { m_store = store; }
    TFileAccess* Store() const { return m_store; }

    // Answers the caption of an open window that works on a copy of the investigation's data,
    // or an empty text; the main window sets it. While such a window is open the investigation
    // can be neither changed nor removed, so the window never writes into another one.
    void SetOpenWindowQuery(std::function<QString(int investId)> query) { m_openWindow = std::move(query); }

    void Rebuild();
    // Rebuilds from the tables after an undo or redo, keeping the selection where that object
    // still exists.
    void Refresh();
    bool HasSelection() const;
    TNodeKind CurrentKind() const;
    QTreeWidgetItem* CurrentNode() const;
    TNodeIds CurrentIds() const;
    QString CurrentName() const;
    static TNodeIds NodeIds(const QTreeWidgetItem* node);
    static TNodeKind NodeKind(const QTreeWidgetItem* node);
    static int NodeId(const QTreeWidgetItem* node);

    void CreateObject();
    void ChangeObject();
    void RemoveObject();

    // Searches node names after start (from the first node when start is null), without wrapping.
    QTreeWidgetItem* FindObject(QTreeWidgetItem* start, const QString& text, TFindType type,
                                TFindFlags flags);

    // Adds records and nodes for the client group import; return the new Ids.
    int AddClientGroup(const QString& name, const QString& description);
    int AddClient(int groupId, const QString& fullName, bool isMale, double birthDate,
                  const QString& description);

    // The smallest positive Id that no child of parent uses; 1 for no parent.
    static int NewId(const QTreeWidgetItem* parent);
    static void SetNodeName(QTreeWidgetItem* node, const QString& text);

    QMenu& PopupMenu() { return *m_popup; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    QTreeWidgetItem* AddNode(QTreeWidgetItem* parent, int id, const QString& name, TNodeKind kind);
    QTreeWidgetItem* FirstNodeOfKind(TNodeKind kind, int id, bool anyId) const;
    void SelectionChanged();
    void UpdatePopupMenu();
    // The removal question, naming the object ("%1" in the text stands for its name).
    bool AskRemove(const char* questionKey, THelpTopic helpTopic, const QString& name);
    // True (after saying why) when a window holding the investigation's data is open.
    bool RefusedWhileOpen(int investId);
    void RemoveClientGroup(QTreeWidgetItem* node);
    void RemoveClient(QTreeWidgetItem* node);
    void RemoveCriteriaGroup(QTreeWidgetItem* node);
    void RemoveCriterion(QTreeWidgetItem* node);
    void RemoveInvestigation(QTreeWidgetItem* node);
    void DeleteNode(QTreeWidgetItem* node);

    // The expanded nodes by kind, id and parent's id, so that a rebuild keeps them open.
    std::set<std::tuple<int, int, int>> ExpandedNodes() const;

    TFileAccess* m_store = nullptr;
    // The project the tree was last built for; a rebuild of another starts with its lists open.
    const TFileAccess* m_builtFor = nullptr;
    std::function<QString(int investId)> m_openWindow;
    TMessageDialog* m_messageDialog = nullptr;
    QMenu* m_popup = nullptr;
    QAction* m_popupCreate = nullptr;
    QAction* m_popupChange = nullptr;
    QAction* m_popupRemove = nullptr;
    QAction* m_popupChoices = nullptr;
    QAction* m_popupIndexes = nullptr;
    QAction* m_popupGraph = nullptr;
    QAction* m_popupTarget = nullptr;
    QAction* m_popupStatus = nullptr;
    QAction* m_popupCompare = nullptr;
};

// The catalogue keys of the create, change and remove captions for a node kind.
struct TObjectCaptionKeys {
    const char* Create;
    const char* Change;
    const char* Remove;
};
TObjectCaptionKeys ObjectCaptionKeys(TNodeKind kind);
