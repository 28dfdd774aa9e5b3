// The main window's menus, tool bars, Window menu, recent-projects list, stored window state and the
// status bar's summary of the selected object.
#include <string>

#include <QAction>
#include <QActionGroup>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QSplitter>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUndoStack>

#include "i18n/langconv.h"
#include "platform/helpviewer.h"
#include "platform/langcontroller.h"
#include "platform/literaltext.h"
#include "platform/modalseam.h"
#include "settings/regs.h"
#include "shell/formabout.h"
#include "shell/objectstree.h"
#include "shell/shellicons.h"
#include "shell/socmain_f.h"
#include "store/dbinfo.h"
#include "store/fileacc.h"
#include "shell/toolbarform.h"
#include "views/undostack.h"

namespace {

// Names of the tool bars and of their Toolbars-menu items, in the order Project, File, Edit,
// View, Object, Report.
const char* const kToolBarNames[6] = {"ToolBarProject", "ToolBarFile", "ToolBarEdit",
                                      "ToolBarView", "ToolBarObject", "ToolBarReport"};
const char* const kToolbarItemNames[6] = {"ToolbarsProjectMenuItem", "ToolbarsFileMenuItem",
                                          "ToolbarsEditMenuItem", "ToolbarsViewMenuItem",
                                          "ToolbarsObjectMenuItem", "ToolbarsReportMenuItem"};

// The tool buttons, bar by bar in the order of kToolBarNames: each runs a menu command.
struct TToolButtonEntry {
    int Bar;
    const char* Name;
    TMainCommand Command;
    TShellIcon Icon;
};

const TToolButtonEntry kToolButtons[] = {
    {0, "SpeedButtonProjectCreate", TMainCommand::ProjectCreate, TShellIcon::ProjectCreate},
    {0, "SpeedButtonProjectOpen", TMainCommand::ProjectOpen, TShellIcon::ProjectOpen},
    {0, "SpeedButtonProjectSave", TMainCommand::ProjectSave, TShellIcon::ProjectSave},
    {0, "SpeedButtonProjectSaveAs", TMainCommand::ProjectSaveAs, TShellIcon::ProjectSaveAs},
    {0, "SpeedButtonProjectClose", TMainCommand::ProjectClose, TShellIcon::ProjectClose},
    {1, "SpeedButtonImportClientGroup", TMainCommand::ImportClientGroup, TShellIcon::Import},
    {1, "SpeedButtonExportClientGroup", TMainCommand::ExportClientGroup, TShellIcon::Export},
    {1, "SpeedButtonPrint", TMainCommand::Print, TShellIcon::Print},
    {1, "SpeedButtonExit", TMainCommand::Exit, TShellIcon::Exit},
    {2, "SpeedButtonUndo", TMainCommand::Undo, TShellIcon::Undo},
    {2, "SpeedButtonRedo", TMainCommand::Redo, TShellIcon::Redo},
    {2, "SpeedButtonUsers", TMainCommand::Users, TShellIcon::Users},
    {2, "SpeedButtonFind", TMainCommand::Find, TShellIcon::Find},
    {2, "SpeedButtonFindNext", TMainCommand::FindNext, TShellIcon::FindNext},
    {2, "SpeedButtonToolbarsTuning", TMainCommand::ToolbarsTuning, TShellIcon::ToolbarsTuning},
    {2, "SpeedButtonParameters", TMainCommand::Parameters, TShellIcon::Parameters},
    {3, "SpeedButtonSaveChoices", TMainCommand::SaveChoices, TShellIcon::SaveChoices},
    {3, "SpeedButtonClearAllChoices", TMainCommand::ClearAllChoices, TShellIcon::ClearChoices},
    {3, "SpeedButtonPositiveChoices", TMainCommand::Positive, TShellIcon::Positive},
    {3, "SpeedButtonNegativeChoices", TMainCommand::Negative, TShellIcon::Negative},
    {3, "SpeedButtonAnyChoices", TMainCommand::AnyChoices, TShellIcon::AnyChoices},
    {4, "SpeedButtonCreateNode", TMainCommand::CreateObject, TShellIcon::CreateNode},
    {4, "SpeedButtonChangeNode", TMainCommand::ChangeObject, TShellIcon::ChangeNode},
    {4, "SpeedButtonDeleteNode", TMainCommand::DeleteObject, TShellIcon::DeleteNode},
    {4, "SpeedButtonChoices", TMainCommand::Choices, TShellIcon::Choices},
    {4, "SpeedButtonIndexes", TMainCommand::Indexes, TShellIcon::Indexes},
    {4, "SpeedButtonGraph", TMainCommand::Graph, TShellIcon::Graph},
    {4, "SpeedButtonTarget", TMainCommand::Target, TShellIcon::Target},
    {5, "SpeedButtonReportCurrentNode", TMainCommand::ReportNode, TShellIcon::ReportNode},
    {5, "SpeedButtonReportClientGroup", TMainCommand::ReportClientGroup, TShellIcon::ReportClientGroup},
    {5, "SpeedButtonReportClient", TMainCommand::ReportClient, TShellIcon::ReportClient},
    {5, "SpeedButtonReportCriterionGroup", TMainCommand::ReportCriteriaGroup, TShellIcon::ReportCriteriaGroup},
    {5, "SpeedButtonReportCriterion", TMainCommand::ReportCriterion, TShellIcon::ReportCriterion},
    {5, "SpeedButtonReportInvestigation", TMainCommand::ReportInvestigation, TShellIcon::ReportInvestigation},
};

// The Report menu items that report on one object of a kind, in the order of their report commands.
struct TReportItem {
    TMainCommand Command;
    const char* Name;
};
const TReportItem kReportByKindItems[5] = {{TMainCommand::ReportClientGroup, "ReportClientGroupMenuItem"},
                                           {TMainCommand::ReportClient, "ReportClientMenuItem"},
                                           {TMainCommand::ReportCriteriaGroup, "ReportCriteryGroupMenuItem"},
                                           {TMainCommand::ReportCriterion, "ReportCriteryMenuItem"},
                                           {TMainCommand::ReportInvestigation, "ReportInvestigationMenuItem"}};

bool* ToolbarSetting(int index)
{
    TSocMainRegs& regs = Regs().SocMain;
    bool* const flags[6] = {&regs.IsToolbarProject, &regs.IsToolbarFile, &regs.IsToolbarEdit,
                            &regs.IsToolbarView, &regs.IsToolbarObject, &regs.IsToolbarReport};
    return flags[index];
}

} // namespace

QAction* TSocMainForm::AddAction(QMenu* menu, const char* name, const QString& caption,
                                 const QKeySequence& shortcut)
{
    auto* action = new QAction(caption, menu);
    action->setObjectName(name);
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    menu->addAction(action);
    return action;
}

QAction* TSocMainForm::AddCommand(QMenu* menu, TMainCommand command, const char* name, const QString& caption,
                                  const QKeySequence& shortcut)
{
    QAction* action = AddAction(menu, name, caption, shortcut);
    m_commands[static_cast<std::size_t>(command)] = action;
    return action;
}

void TSocMainForm::AddUndoCommands(QMenu* edit)
{
    // The texts name the step ("Undo: remove client Ben Carter"); without one, just the command.
    QUndoStack* stack = m_session->UndoStack();
    const auto add = [&](TMainCommand command, QAction* action, const char* name, const char* textKey,
                         const char* emptyKey, const QString& emptyText) {
        action->setObjectName(name);
        action->setParent(edit);
        edit->addAction(action);
        m_commands[static_cast<std::size_t>(command)] = action;
        const auto caption = [textKey, emptyKey, emptyText](const QString& step) {
            // The step names what it changed, as the user wrote it.
            if (!HasLangConv())
                return step.isEmpty() ? emptyText : emptyText + ": " + LiteralCaption(step);
            return step.isEmpty() ? CatalogueText(emptyKey)
                                  : CatalogueText(textKey).arg(LiteralCaption(step));
        };
        action->setText(caption(QString()));
        return caption;
    };
    // Undo and redo go through the session, which passes over the steps of windows closed since.
    auto* undo = new QAction(edit);
    undo->setEnabled(stack->canUndo());
    // Connected through this window, so that its destructor cuts them with the stack's others.
    connect(stack, &QUndoStack::canUndoChanged, this, [undo](bool on) { undo->setEnabled(on); });
    connect(undo, &QAction::triggered, this, [this] { m_session->Undo(); });
    const auto undoCaption = add(TMainCommand::Undo, undo, "UndoMenuItem", "EDIT_UNDO", "EDIT_UNDO_NOTHING", "Undo");
    undo->setShortcut(QKeySequence::Undo);
    connect(stack, &QUndoStack::undoTextChanged, undo, [undo, undoCaption](const QString& step) {
        undo->setText(undoCaption(step));
    });
    auto* redo = new QAction(edit);
    redo->setEnabled(stack->canRedo());
    connect(stack, &QUndoStack::canRedoChanged, this, [redo](bool on) { redo->setEnabled(on); });
    connect(redo, &QAction::triggered, this, [this] { m_session->Redo(); });
    const auto redoCaption = add(TMainCommand::Redo, redo, "RedoMenuItem", "EDIT_REDO", "EDIT_REDO_NOTHING", "Redo");
    redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    connect(stack, &QUndoStack::redoTextChanged, redo, [redo, redoCaption](const QString& step) {
        redo->setText(redoCaption(step));
    });
    // The stack's own actions run undo and redo; the commands and the buttons then follow.
    connect(stack, &QUndoStack::indexChanged, this, [this] { UpdateCommands(); });
    for (QAction* action : {undo, redo})
        connect(action, &QAction::enabledChanged, this, [this] { UpdateCommands(); });
}

void TSocMainForm::Connect(QAction* action, std::function<void()> handler)
{
    connect(action, &QAction::triggered, this, [this, handler = std::move(handler)] { RunCommand(handler); });
}

void TSocMainForm::BuildMenus()
{
    QMenuBar* bar = menuBar();
    auto topMenu = [this, bar](const char* name, const char* caption) {
        auto* menu = new QMenu(caption, bar);
        menu->setObjectName(name);
        bar->addMenu(menu);
        return menu;
    };

    QMenu* file = topMenu("FileMenuItem", "&File");
    Connect(AddCommand(file, TMainCommand::ProjectCreate, "MenuItemProjectCreate", "Create"), [this] { MenuItemProjectCreateClick(); });
    Connect(AddCommand(file, TMainCommand::ProjectOpen, "MenuItemProjectOpen", "Open...", QKeySequence(QKeySequence::Open)),
            [this] { MenuItemProjectOpenClick(); });
    Connect(AddCommand(file, TMainCommand::ProjectSave, "MenuItemProjectSave", "Save", QKeySequence(QKeySequence::Save)),
            [this] { MenuItemProjectSaveClick(); });
    Connect(AddCommand(file, TMainCommand::ProjectSaveAs, "MenuItemProjectSaveAs", "Save as..."), [this] { MenuItemProjectSaveAsClick(); });
    Connect(AddCommand(file, TMainCommand::ProjectClose, "MenuItemProjectClose", "Close"), [this] { MenuItemProjectCloseClick(); });
    file->addSeparator();
    m_recentMenu = new QMenu("&Open again", file);
    m_recentMenu->setObjectName("MenuItemOpenAgain");
    file->addMenu(m_recentMenu);
    for (int k = 0; k < 10; ++k) {
        const std::string name = "MenuItemProject" + std::to_string(k + 1);
        QAction* entry = AddAction(m_recentMenu, name.c_str(), QString());
        m_recentItems[static_cast<std::size_t>(k)] = entry;
        Connect(entry, [this, entry] { MenuItemProjectClick(entry); });
    }
    file->addSeparator();
    Connect(AddCommand(file, TMainCommand::ImportClientGroup, "ImportClientGroupMenuItem", "&Import client group..."), [this] { ImportClientGroupMenuItemClick(); });
    Connect(AddCommand(file, TMainCommand::ExportClientGroup, "ExportClientGroupMenuItem", "&Export client group..."),
            [this] { ExportClientGroupMenuItemClick(); });
    auto* importMenu = new QMenu("I&mport", file);
    importMenu->setObjectName("ImportMenuItem");
    file->addMenu(importMenu);
    Connect(AddCommand(importMenu, TMainCommand::ImportClassList, "ImportClassListMenuItem", "&Class list..."), [this] { ImportClassList(); });
    file->addSeparator();
    Connect(AddCommand(file, TMainCommand::Print, "PrintMenuItem", "&Print"), [this] { PrintActiveView(); });
    file->addSeparator();
    Connect(AddCommand(file, TMainCommand::Exit, "ExitMenuItem", "&Exit", QKeySequence("Ctrl+E")), [this] { ExitCommand(); });

    QMenu* edit = topMenu("EditMenuItem", "&Edit");
    AddUndoCommands(edit);
    edit->addSeparator();
    Connect(AddCommand(edit, TMainCommand::Users, "UsersMenuItem", "&Users..."), [this] { UsersOperations(); });
    edit->addSeparator();
    Connect(AddCommand(edit, TMainCommand::Find, "FindMenuItem", "&Find...", QKeySequence("Ctrl+F")), [this] { Find(); });
    Connect(AddCommand(edit, TMainCommand::FindNext, "FindNextItem", "Find &next", QKeySequence(Qt::Key_F3)), [this] { FindNext(); });
    edit->addSeparator();
    auto* toolbars = new QMenu("&Toolbars", edit);
    toolbars->setObjectName("ToolbarsMenuItem");
    edit->addMenu(toolbars);
    for (int i = 0; i < 6; ++i) {
        QAction* item = AddAction(toolbars, kToolbarItemNames[i], QString());
        item->setCheckable(true);
        m_toolbarItems[static_cast<std::size_t>(i)] = item;
        connect(item, &QAction::triggered, this, [this, i](bool checked) {
            RunCommand([this, i, checked] { ToolbarsVisibilityChange(i, checked); });
        });
    }
    Connect(AddCommand(edit, TMainCommand::ToolbarsTuning, "ToolbarsTuningMenuItem", "&Toolbars tuning..."), [this] { ToolbarsTuning(); });
    edit->addSeparator();
    Connect(AddCommand(edit, TMainCommand::Parameters, "ParametersMenuItem", "&Options..."), [this] { OptionsCommand(); });

    QMenu* view = topMenu("ViewMenuItem", "&View");
    Connect(AddCommand(view, TMainCommand::SaveChoices, "SaveChoicesMenuItem", "&Save choices"), [this] { SaveChoices(); });
    Connect(AddCommand(view, TMainCommand::ClearAllChoices, "ClearAllChoicesMenuItem", "&Clear all choices"), [this] { ClearAllChoices(); });
    view->addSeparator();
    m_choiceKinds = new QActionGroup(this);
    m_choiceKinds->setExclusive(true);
    const char* const kindCaptions[3] = {"&Positive choices", "&Negative choices", "&Any choices"};
    const TChoiceKind kinds[3] = {TChoiceKind::Positive, TChoiceKind::Negative, TChoiceKind::Any};
    const TMainCommand kindCommands[3] = {TMainCommand::Positive, TMainCommand::Negative, TMainCommand::AnyChoices};
    const char* const kindNames[3] = {"PositiveMenuItem", "NegativeMenuItem", "AnyChoicesMenuItem"};
    for (int k = 0; k < 3; ++k) {
        QAction* item = AddCommand(view, kindCommands[k], kindNames[k], kindCaptions[k]);
        item->setCheckable(true);
        m_choiceKinds->addAction(item);
        Connect(item, [this, kind = kinds[k]] { ChoiceType(kind); });
    }
    Command(TMainCommand::Positive)->setChecked(true);

    m_objectMenu = topMenu("ObjectMenuItem", "&Object");
    Connect(AddCommand(m_objectMenu, TMainCommand::CreateObject, "CreateObjectMenuItem", "&Create...", QKeySequence(Qt::Key_Insert)), [this] {
        m_tree->CreateObject();
        m_tree->setFocus();
    });
    QAction* change = AddCommand(m_objectMenu, TMainCommand::ChangeObject, "ChangeObjectMenuItem", "&Change...");
    change->setShortcuts({QKeySequence(Qt::Key_Enter), QKeySequence(Qt::Key_Return)});
    Connect(change, [this] {
        m_tree->ChangeObject();
        m_tree->setFocus();
    });
    Connect(AddCommand(m_objectMenu, TMainCommand::DeleteObject, "DeleteObjectMenuItem", "&Remove", QKeySequence(Qt::Key_Delete)), [this] {
        m_tree->RemoveObject();
        m_tree->setFocus();
    });
    // Insert, Enter and Delete act on the tree only while it has the focus, so that they keep
    // their usual meaning inside the views and their edit boxes.
    for (TMainCommand command : {TMainCommand::CreateObject, TMainCommand::ChangeObject, TMainCommand::DeleteObject}) {
        Command(command)->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        m_tree->addAction(Command(command));
    }
    m_objectMenu->addSeparator();
    Connect(AddCommand(m_objectMenu, TMainCommand::Choices, "ChoicesMenuItem", "C&hoices...", QKeySequence("Ctrl+C")),
            [this] { OpenView(TViewKind::Choices); });
    Connect(AddCommand(m_objectMenu, TMainCommand::Indexes, "IndexMenuItem", "&Indexes", QKeySequence("Ctrl+I")),
            [this] { OpenView(TViewKind::Indexes); });
    Connect(AddCommand(m_objectMenu, TMainCommand::Graph, "GraphMenuItem", "&Graph", QKeySequence("Ctrl+G")),
            [this] { OpenView(TViewKind::Graph); });
    Connect(AddCommand(m_objectMenu, TMainCommand::Target, "TargetMenuItem", "&Target", QKeySequence("Ctrl+T")),
            [this] { OpenView(TViewKind::Target); });
    Connect(AddCommand(m_objectMenu, TMainCommand::Status, "StatusMenuItem", "Stat&us groups", QKeySequence()),
            [this] { OpenView(TViewKind::Status); });
    Connect(AddCommand(m_objectMenu, TMainCommand::Compare, "CompareMenuItem", "Co&mpare with...", QKeySequence()),
            [this] { CompareWith(); });
    m_objectMenu->addSeparator();
    QAction* collect = AddCommand(m_objectMenu, TMainCommand::CollectAnswers, "CollectAnswersMenuItem",
                                  "Collect &answers in class...", QKeySequence());
    Connect(collect, [this] { CollectAnswers(); });
    m_tree->PopupMenu().addSeparator();
    m_tree->PopupMenu().addAction(collect);

    QMenu* report = topMenu("ReportMenuItem", "&Report");
    Connect(AddCommand(report, TMainCommand::ReportNode, "ReportNodeMenuItem", "Current &object", QKeySequence("Ctrl+N")),
            [this] { Reports(0); });
    report->addSeparator();
    for (int i = 0; i < 5; ++i)
        Connect(AddCommand(report, kReportByKindItems[i].Command, kReportByKindItems[i].Name, QString()),
                [this, i] { Reports(i + 1); });
    report->addSeparator();
    auto* blanks = new QMenu("&Blanks", report);
    blanks->setObjectName("MenuItemBlank");
    report->addMenu(blanks);
    m_commands[static_cast<std::size_t>(TMainCommand::Blanks)] = blanks->menuAction();
    Connect(AddCommand(blanks, TMainCommand::BlankCard, "MenuItemCard", "&Sociocard"), [this] { Reports(6); });
    Connect(AddCommand(blanks, TMainCommand::BlankMatrix, "MenuItemMatrix", "Socio&matrix"), [this] { Reports(7); });

    m_windowMenu = topMenu("WindowMenuItem", "&Window");
    Connect(AddAction(m_windowMenu, "CascadeMenuItem", "&Cascade"), [this] { m_mdi->cascadeSubWindows(); });
    Connect(AddAction(m_windowMenu, "TileMenuItem", "&Tile"), [this] { m_mdi->tileSubWindows(); });
    m_windowMenu->addSeparator();
    m_childEntries = new QActionGroup(this);
    m_childEntries->setExclusive(true);

    QMenu* help = topMenu("HelpMenuItem", "&Help");
    Connect(AddAction(help, "HelpContextMenuItem", "&Context..."),
            [] { ShowHelpTopic(THelpTopic::Contents); });
    help->addSeparator();
    Connect(AddAction(help, "MenuItemHomepage", "Home &page"), [this] { OpenAddress("HOME_PAGE_URL"); });
    Connect(AddAction(help, "MenuItemSupportPage", "&Support"), [this] { OpenAddress("SUPPORT_URL"); });
    help->addSeparator();
    Connect(AddAction(help, "AboutMenuItem", "&About..."), [this] {
        TFormAbout about(this);
        Modal().Exec(about);
    });
}

QToolButton* TSocMainForm::AddButton(QToolBar* bar, const char* name, QAction* command, int iconId)
{
    auto* button = new QToolButton(bar);
    button->setObjectName(name);
    button->setIcon(ShellIcon(static_cast<TShellIcon>(iconId)));
    button->setAutoRaise(true);
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    button->setFocusPolicy(Qt::NoFocus);
    if (command->isCheckable())
        button->setCheckable(true);
    bar->addWidget(button);
    m_buttons[button] = command;
    // ToolsSpeedButtonClick: a button runs its menu command.
    connect(button, &QToolButton::clicked, this, [this, button, command] {
        command->trigger();
        button->setChecked(command->isChecked());
    });
    return button;
}

void TSocMainForm::BuildToolBars()
{
    const char* const captions[6] = {"Project", "File", "Edit", "View", "Object", "Report"};
    for (int i = 0; i < 6; ++i) {
        auto* bar = new QToolBar(captions[i], this);
        bar->setObjectName(kToolBarNames[i]);
        bar->setIconSize(QSize(20, 20));
        addToolBar(Qt::TopToolBarArea, bar);
        m_toolBars[static_cast<std::size_t>(i)] = bar;
        connect(bar, &QToolBar::visibilityChanged, this, [this] { SyncToolbarMenu(); });
    }
    for (const TToolButtonEntry& entry : kToolButtons)
        AddButton(m_toolBars[static_cast<std::size_t>(entry.Bar)], entry.Name, Command(entry.Command),
                  static_cast<int>(entry.Icon));

    // Menu items show the pictures of their buttons.
    for (const auto& [button, command] : m_buttons)
        command->setIcon(button->icon());
}


void TSocMainForm::ApplyWindowState()
{
    for (int i = 0; i < 6; ++i)
        m_toolBars[static_cast<std::size_t>(i)]->setVisible(*ToolbarSetting(i));
    SyncToolbarMenu();
    const TSocMainRegs& regs = Regs().SocMain;
    if (regs.IsMaxim) {
        setWindowState(windowState() | Qt::WindowMaximized);
    } else {
        QRect bounds = geometry();
        // Without stored bounds the window takes most of the screen, centred.
        if (regs.Width <= 0 && regs.Height <= 0 && screen()) {
            const QRect available = screen()->availableGeometry();
            bounds.setSize(QSize(std::min(1180, available.width() * 9 / 10),
                                 std::min(780, available.height() * 9 / 10)));
            bounds.moveCenter(available.center());
        }
        if (regs.Left > 0)
            bounds.moveLeft(regs.Left);
        if (regs.Top > 0)
            bounds.moveTop(regs.Top);
        if (regs.Width > 0)
            bounds.setWidth(regs.Width);
        if (regs.Height > 0)
            bounds.setHeight(regs.Height);
        setGeometry(bounds);
        setWindowState(windowState() & ~Qt::WindowMaximized);
    }
    const int treeWidth = regs.ObjectsTreeWidth > 0 ? regs.ObjectsTreeWidth : 300;
    m_splitter->setSizes({treeWidth, std::max(100, geometry().width() - treeWidth)});
}

void TSocMainForm::StoreWindowState()
{
    for (int i = 0; i < 6; ++i)
        *ToolbarSetting(i) = !m_toolBars[static_cast<std::size_t>(i)]->isHidden();
    TSocMainRegs& regs = Regs().SocMain;
    regs.IsMaxim = isMaximized();
    // A maximised window keeps the bounds it returns to.
    const QRect bounds = isMaximized() ? normalGeometry() : geometry();
    if (bounds.isValid()) {
        regs.Left = bounds.left();
        regs.Top = bounds.top();
        regs.Width = bounds.width();
        regs.Height = bounds.height();
    }
    const QList<int> sizes = m_splitter->sizes();
    if (!sizes.isEmpty() && sizes.front() > 0)
        regs.ObjectsTreeWidth = sizes.front();
}


// ---------------------------------------------------------------------------------------------
// Recent projects, commands and status bar

void TSocMainForm::RefreshRecentMenu()
{
    const int limit = Regs().Root.NumOfLastOpenedProjects;
    QAction* openAgain = m_recentMenu->menuAction();
    openAgain->setVisible(false);
    if (limit <= 0)
        return;
    int count = 0;
    std::array<bool, 10> hasCaption{};
    for (int k = 0; k < 10; ++k) {
        QAction* entry = m_recentItems[static_cast<std::size_t>(k)];
        entry->setVisible(false);
        const QString path = QString::fromStdString(Regs().GetRecentProject(k + 1)).trimmed();
        entry->setData(path);
        entry->setText(LiteralCaption(path));
        if (!path.isEmpty()) {
            hasCaption[static_cast<std::size_t>(k)] = true;
            ++count;
        }
    }
    const int shown = std::min(count, limit);
    for (int k = 0; k < shown; ++k) {
        if (hasCaption[static_cast<std::size_t>(k)]) {
            m_recentItems[static_cast<std::size_t>(k)]->setVisible(true);
            openAgain->setVisible(true);
        }
    }
    UpdateCommands();
}

void TSocMainForm::SyncToolbarMenu()
{
    for (int i = 0; i < 6; ++i) {
        const auto index = static_cast<std::size_t>(i);
        if (m_toolbarItems[index] && m_toolBars[index]) {
            m_toolbarItems[index]->setChecked(!m_toolBars[index]->isHidden());
            m_toolbarItems[index]->setText(m_toolBars[index]->windowTitle());
        }
    }
}

void TSocMainForm::ToolbarsVisibilityChange(int index, bool visible)
{
    m_toolBars[static_cast<std::size_t>(index)]->setVisible(visible);
    SyncToolbarMenu();
}

void TSocMainForm::ToolbarsTuning()
{
    QStringList captions;
    std::array<bool, TToolbarForm::kCount> flags{};
    for (int i = 0; i < 6; ++i) {
        captions << m_toolBars[static_cast<std::size_t>(i)]->windowTitle();
        flags[static_cast<std::size_t>(i)] = !m_toolBars[static_cast<std::size_t>(i)]->isHidden();
    }
    TToolbarForm form(this, captions, flags);
    Modal().Exec(form);
    SyncToolbarMenu();
}


void TSocMainForm::AddWindowMenuEntry(QMdiSubWindow* child, const char* captionKey, const QString& name)
{
    ++m_childMenuCounter;
    auto* entry = new QAction(CatalogueText(captionKey) + " (" + LiteralCaption(name) + ")", m_windowMenu);
    entry->setObjectName("ChildWindowMenu" + QString::number(m_childMenuCounter));
    entry->setCheckable(true);
    m_childEntries->addAction(entry);
    m_windowMenu->addAction(entry);
    entry->setChecked(true);
    m_childMenu[entry] = child;
    QPointer<QMdiSubWindow> guarded(child);
    connect(entry, &QAction::triggered, this, [this, guarded] {
        if (guarded)
            m_mdi->setActiveSubWindow(guarded);
    });
    QPointer<QAction> guardedEntry(entry);
    connect(child, &QObject::destroyed, this, [this, guardedEntry] {
        if (guardedEntry) {
            m_childMenu.erase(guardedEntry.data());
            delete guardedEntry.data();
        }
        // The MDI area lets go of the window only after this signal; look at it afterwards.
        QTimer::singleShot(0, this, [this] { UpdateCommands(); });
    });
}

void TSocMainForm::RemoveWindowMenuEntry(QWidget* child)
{
    for (auto it = m_childMenu.begin(); it != m_childMenu.end();) {
        if (!it->second || it->second == child) {
            QAction* entry = it->first;
            it = m_childMenu.erase(it);
            delete entry;
        } else {
            ++it;
        }
    }
}

void TSocMainForm::CheckWindowMenuEntry(QMdiSubWindow* child)
{
    for (const auto& [entry, window] : m_childMenu) {
        if (window == child)
            entry->setChecked(true);
    }
}

// ---------------------------------------------------------------------------------------------
// Status bar

namespace {

QString Pair(const QString& label, const QString& value)
{
    return label + ": " + value;
}

} // namespace

QString TSocMainForm::StatusText() const
{
    if (!HasProject() || !HasLangConv())
        return {};
    TFileAccess& store = *Store();
    const TNodeIds ids = m_tree->CurrentIds();
    const QString gap = "   ";
    std::string description;
    std::vector<std::string> invests;
    switch (m_tree->CurrentKind()) {
    case TNodeKind::Project:
        return CatalogueText("MAIN_NODE_TITLE");
    case TNodeKind::ClientGroups:
        return CatalogueText("CLIENTS_MAIN_NODE_TITLE");
    case TNodeKind::ClientGroup: {
        TClientGroupInfo info;
        ReadClientGroup(store, ids.Id, description, info);
        InvestigationsOfClientGroup(store, ids.Id, invests);
        return Pair(CatalogueText("CLIENTGROUP_NAME"), QString::fromStdString(info.Name)) + gap +
               Pair(CatalogueText("NUM_CLIENTS_IN_GROUP"), QString::number(store.CountClientsInGroup(ids.Id))) + gap +
               Pair(CatalogueText("NUM_INVESTIGATIONS"), QString::number(invests.size()));
    }
    case TNodeKind::Client: {
        TClientInfo info;
        ReadClient(store, ids.Id, ids.ParentId, description, info);
        InvestigationsOfClientGroup(store, ids.ParentId, invests);
        return Pair(CatalogueText("CLIENT_NAME"), QString::fromStdString(info.FullName)) + gap +
               Pair(CatalogueText("NUM_INVESTIGATIONS"), QString::number(invests.size()));
    }
    case TNodeKind::Criteria:
        return CatalogueText("CRITERIES_MAIN_NODE_TITLE");
    case TNodeKind::CriteriaGroup: {
        TCriteriaGroupInfo info;
        ReadCriteriaGroup(store, ids.Id, description, info);
        return Pair(CatalogueText("CRITERYGROUP_NAME"), QString::fromStdString(info.Name)) + gap +
               Pair(CatalogueText("NUM_CRITERIONS_IN_GROUP"), QString::number(store.CountCriteriaInGroup(ids.Id)));
    }
    case TNodeKind::Criterion: {
        TCriterionInfo info;
        ReadCriterion(store, ids.Id, ids.ParentId, description, info);
        InvestigationsOfCriterion(store, ids.Id, ids.ParentId, invests);
        return Pair(CatalogueText("CRITERY_NAME"), QString::fromStdString(info.Name)) + gap +
               Pair(CatalogueText("NUM_INVESTIGATIONS"), QString::number(invests.size()));
    }
    case TNodeKind::Investigations:
        return CatalogueText("SOCIUM_MAIN_NODE_TITLE");
    case TNodeKind::Investigation: {
        TInvestInfo info;
        ReadInvestigation(store, ids.Id, description, info);
        return Pair(CatalogueText("INVESTIGATION_NAME"), QString::fromStdString(info.Name)) + gap +
               Pair(CatalogueText("INVEST_MAX_CHOICES"), QString::number(info.MaxChoices)) + gap +
               Pair(CatalogueText("INVEST_ENABLE_AGAINST"), info.AllowAgainst ? CatalogueText("POS_CONFIRM") : CatalogueText("NEG_CONFIRM"));
    }
    default:
        return {};
    }
}

void TSocMainForm::UpdateStatusBar()
{
    QString text;
    try {
        text = StatusText();
    } catch (const std::exception& error) {
        text = QString::fromStdString(error.what());
    }
    m_statusPanel->setText(text);
}
