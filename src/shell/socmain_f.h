#pragma once

#include <array>
#include <functional>
#include <map>
#include <vector>
#include <memory>

#include <QMainWindow>
#include <QPointer>
#include <QString>

#include "analysis/choicekind.h"
#include "shell/allusersform.h"
#include "shell/entityflows.h"
#include "shell/projectsession.h"
#include "views/notify.h"
#include "views/viewkind.h"

class QAction;
class QActionGroup;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QSplitter;
class QToolBar;
class QToolButton;
class QUndoStack;
class TFileAccess;
class TVisualChildForm;
enum class TShellIcon : int;
class TObjectsTree;
class TVisualChildForm;

// The main window's commands that its code reaches by name (menu items and their tool buttons).
enum class TMainCommand : int {
    ProjectCreate, ProjectOpen, ProjectSave, ProjectSaveAs, ProjectClose,
    ImportClientGroup, ExportClientGroup, ImportClassList, Print, Exit,
    Undo, Redo, Users, Find, FindNext, ToolbarsTuning, Parameters,
    SaveChoices, ClearAllChoices, Positive, Negative, AnyChoices,
    CreateObject, ChangeObject, DeleteObject, Choices, Indexes, Graph, Target, Status, Compare, CollectAnswers,
    ReportNode, ReportClientGroup, ReportClient, ReportCriteriaGroup, ReportCriterion, ReportInvestigation,
    Blanks, BlankCard, BlankMatrix,
    Count
};

// The application's main window: the objects tree of the open project on the left, the views of
// investigations in an MDI area, the menus, six tool bars and a status bar. The open project and
// its life cycle belong to its session; the window runs every command of the menus and tool bars.
class TSocMainForm final : public QMainWindow, public TNotifyReceiver {
    Q_OBJECT

public:
    explicit TSocMainForm(QWidget* parent = nullptr);
    ~TSocMainForm() override;
    TSocMainForm(const TSocMainForm&) = delete;
    TSocMainForm& operator=(const TSocMainForm&) = delete;

    TObjectsTree& Tree() { return *m_tree; }
    QMdiArea& MdiArea() { return *m_mdi; }
    // The open project, nullptr while none is open.
    TFileAccess* Store() const { return m_session->Store(); }
    bool HasProject() const { return m_session->HasProject(); }
    TProjectSession& Session() { return *m_session; }
    QAction* Command(TMainCommand command) const { return m_commands[static_cast<std::size_t>(command)]; }

    // The first command-line argument; the start-up action opens it when the file exists.
    void SetCommandLineProject(const QString& path) { m_commandLineProject = path; }
    // Runs once, at the first showing of the window: the command-line project or the start-up choice.
    void RunStartupAction();
    bool IsStarting() const { return m_starting; }

    // Project life cycle. The Close variant answers false when the user kept the project open.
    void MenuItemProjectCreateClick();
    void MenuItemProjectOpenClick();
    void MenuItemProjectSaveClick();
    void MenuItemProjectSaveAsClick();
    bool MenuItemProjectCloseClick();
    void MenuItemProjectClick(QAction* entry);
    // Opens a project file; throws TAppError ("PROJECT_NO_FILE") when it does not exist.
    void OpenProjectFile(const QString& path);

    // Leaving: the exit question, closing the project, storing the window state. False keeps the window.
    bool FormClose();

    void RefreshRecentMenu();
    void UpdateCommands();
    void UpdateStatusBar();
    QString StatusText() const;
    TViewKind ActiveViewKind() const;

    // Edit > Users: the users manager over a copy of the project's users, written back when it closes.
    void UsersOperations();
    // File > Import / Export client group.
    void ImportClientGroupMenuItemClick();
    void ExportClientGroupMenuItemClick();

    // Commands that later parts of the program connect.
    void Find();
    void FindNext();
    // Shows the active investigation view with positive, negative or any choices.
    void ChoiceType(TChoiceKind kind);
    void OpenView(TViewKind viewKind);
    // The report commands: 0 current object, 1 to 5 an object picked by kind, 6 and 7 the blanks.
    void Reports(int command);
    const TFindRequest& FindState() const { return m_find; }

    void HandleNotify(TNotifyCode code, QWidget* sender) override;

    // The six tool bars in the order Project, File, Edit, View, Object, Report.
    std::array<QToolBar*, 6> ToolBars() const { return m_toolBars; }

Q_SIGNALS:
    // The window accepted to close: the program ends.
    void FormClosed();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool CopiesItself(const QWidget* widget) const;
    void BuildMenus();
    void BuildToolBars();
    QAction* AddAction(QMenu* menu, const char* name, const QString& caption, const QKeySequence& shortcut = {});
    QAction* AddCommand(QMenu* menu, TMainCommand command, const char* name, const QString& caption,
                        const QKeySequence& shortcut = {});
    void AddUndoCommands(QMenu* edit);
    QToolButton* AddButton(QToolBar* bar, const char* name, QAction* command, int iconId);
    void Connect(QAction* action, std::function<void()> handler);
    void RunCommand(const std::function<void()>& command);
    // The start-up choice window (open the last project, open another, create one), when shown.
    void RunStartingChoice();
    void ShowError(const QString& text);
    void NotAvailable();

    // The views' part of the project's life: their questions, their choices, their closing.
    bool ConfirmChildWindows();
    bool CommitChildWindows();
    bool CloseChildWindows();
    // After a project was opened, created or closed: the tree, the find state, the commands.
    void ProjectChanged();
    // The investigation views (graph, indexes, target, status) open now.
    std::vector<TVisualChildForm*> InvestigationViews() const;
    void ClearFindState();
    void ApplyTreeAppearance();
    void OptionsCommand();
    void ApplyWindowState();
    void StoreWindowState();
    void SyncToolbarMenu();
    void ToolbarsVisibilityChange(int index, bool visible);
    void ToolbarsTuning();
    void AddWindowMenuEntry(QMdiSubWindow* child, const char* captionKey, const QString& name);
    void RemoveWindowMenuEntry(QWidget* child);
    void CheckWindowMenuEntry(QMdiSubWindow* child);
    QMdiSubWindow* SubWindowOf(QWidget* widget) const;
    // The id of the investigation selected in the tree; throws when none is.
    int SelectedInvestigationId() const;
    // Throws when the choices window of the investigation is open: it would write its copy back.
    void RefuseWhileChoicesOpen(int investId, const QString& name) const;
    QWidget* ActiveView() const;
    void SaveChoices();
    // Object > Collect answers in class: the collection window of the selected investigation.
    void CollectAnswers();
    // Makes an indexes, graph or target window for the investigation and shows it.
    void OpenInvestigationView(TViewKind viewKind, int id, const QString& name);
    // Puts an investigation view into the MDI area with its icon and its Window-menu entry.
    void ShowInvestigationView(TVisualChildForm* form, TShellIcon icon, const char* menuKey, const QString& name);
    // "Compare with...": picks the later investigations and opens the comparison window.
    void CompareWith();
    // The print window, then the active view's picture printed.
    void PrintActiveView();
    void ClearAllChoices();
    void ExitCommand();
    void OpenAddress(const char* key);
    // File -> Import -> Class list: a preview of the client group a CSV class list creates.
    void ImportClassList();

    std::unique_ptr<TProjectSession> m_session;
    TObjectsTree* m_tree = nullptr;
    QMdiArea* m_mdi = nullptr;
    QSplitter* m_splitter = nullptr;
    QWidget* m_treePanel = nullptr;
    QLabel* m_statusPanel = nullptr;
    TNotifyReceiver* m_previousReceiver = nullptr;
    // The stack the edits went on before this window gave them the session's.
    QUndoStack* m_previousUndo = nullptr;

    std::array<QAction*, static_cast<std::size_t>(TMainCommand::Count)> m_commands{};
    QMenu* m_objectMenu = nullptr;
    QMenu* m_windowMenu = nullptr;
    QMenu* m_recentMenu = nullptr;
    std::array<QAction*, 10> m_recentItems{};
    QActionGroup* m_choiceKinds = nullptr;
    QActionGroup* m_childEntries = nullptr;
    std::array<QToolBar*, 6> m_toolBars{};
    std::array<QAction*, 6> m_toolbarItems{};
    std::map<QToolButton*, QAction*> m_buttons;
    std::map<QAction*, QPointer<QMdiSubWindow>> m_childMenu;

    bool m_starting = true;
    bool m_startupScheduled = false;
    QString m_commandLineProject;
    TFindRequest m_find;
    int m_childMenuCounter = 0;
    TUsers m_users;
};
