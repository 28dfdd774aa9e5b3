#include "shell/socmain_f.h"

#include <algorithm>
#include <string>
#include <vector>

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMetaObject>
#include <QPainter>
#include <QScreen>
#include <QShowEvent>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUndoStack>

#include "platform/fontcolor.h"
#include "platform/helpviewer.h"
#include "platform/langcontroller.h"
#include "platform/messagedialog.h"
#include "platform/modalseam.h"
#include "shell/shellicons.h"
#include "i18n/langconv.h"
#include "settings/regs.h"
#include "i18n/storemessages.h"
#include "shell/entityform.h"
#include "shell/formabout.h"
#include "shell/formstarting.h"
#include "shell/inputform.h"
#include "shell/mobiledata.h"
#include "shell/objectstree.h"
#include "shell/paramsform.h"
#include "shell/reportcommand.h"
#include "shell/toolbarform.h"
#include "store/dbinfo.h"
#include "store/fileacc.h"
#include "store/groupfile.h"
#include "store/updatefile.h"
#include "util/error.h"
#include "util/messagesink.h"
#include "views/choices/selectionform.h"
#include "views/undostack.h"
#include "views/viewform.h"
#include "views/viewregistry.h"

namespace {

// The page that explains converting a project from an older version.
constexpr THelpTopic kUpgradeHelpTopic = THelpTopic::Upgrade;

// An 8-bit project whose code page could not hold all of its text was saved as UTF-8.
void TellSavedAsUtf8(const TFileAccess& store)
{
    if (store.SavedAsUtf8())
        MessageSink().ShowText(SavedAsUtf8Text());
}

QString Pair(const QString& label, const QString& value)
{
    return label + ": " + value;
}

// Menu captions show "&" as a mnemonic marker; a path keeps its own ampersands doubled.
QString MenuCaption(const QString& path)
{
    QString caption = path;
    return caption.replace('&', "&&");
}

bool IsKindIn(TNodeKind kind, std::initializer_list<TNodeKind> kinds)
{
    return std::find(kinds.begin(), kinds.end(), kind) != kinds.end();
}

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
    const char* Command;
    TShellIcon Icon;
};

const TToolButtonEntry kToolButtons[] = {
    {0, "SpeedButtonProjectCreate", "MenuItemProjectCreate", TShellIcon::ProjectCreate},
    {0, "SpeedButtonProjectOpen", "MenuItemProjectOpen", TShellIcon::ProjectOpen},
    {0, "SpeedButtonProjectSave", "MenuItemProjectSave", TShellIcon::ProjectSave},
    {0, "SpeedButtonProjectSaveAs", "MenuItemProjectSaveAs", TShellIcon::ProjectSaveAs},
    {0, "SpeedButtonProjectClose", "MenuItemProjectClose", TShellIcon::ProjectClose},
    {1, "SpeedButtonImportClientGroup", "ImportClientGroupMenuItem", TShellIcon::Import},
    {1, "SpeedButtonExportClientGroup", "ExportClientGroupMenuItem", TShellIcon::Export},
    {1, "SpeedButtonPrint", "PrintMenuItem", TShellIcon::Print},
    {1, "SpeedButtonExit", "ExitMenuItem", TShellIcon::Exit},
    {2, "SpeedButtonUsers", "UsersMenuItem", TShellIcon::Users},
    {2, "SpeedButtonFind", "FindMenuItem", TShellIcon::Find},
    {2, "SpeedButtonFindNext", "FindNextItem", TShellIcon::FindNext},
    {2, "SpeedButtonToolbarsTuning", "ToolbarsTuningMenuItem", TShellIcon::ToolbarsTuning},
    {2, "SpeedButtonParameters", "ParametersMenuItem", TShellIcon::Parameters},
    {3, "SpeedButtonSaveChoices", "SaveChoicesMenuItem", TShellIcon::SaveChoices},
    {3, "SpeedButtonClearAllChoices", "ClearAllChoicesMenuItem", TShellIcon::ClearChoices},
    {3, "SpeedButtonPositiveChoices", "PositiveMenuItem", TShellIcon::Positive},
    {3, "SpeedButtonNegativeChoices", "NegativeMenuItem", TShellIcon::Negative},
    {3, "SpeedButtonAnyChoices", "AnyChoicesMenuItem", TShellIcon::AnyChoices},
    {4, "SpeedButtonCreateNode", "CreateObjectMenuItem", TShellIcon::CreateNode},
    {4, "SpeedButtonChangeNode", "ChangeObjectMenuItem", TShellIcon::ChangeNode},
    {4, "SpeedButtonDeleteNode", "DeleteObjectMenuItem", TShellIcon::DeleteNode},
    {4, "SpeedButtonChoices", "ChoicesMenuItem", TShellIcon::Choices},
    {4, "SpeedButtonIndexes", "IndexMenuItem", TShellIcon::Indexes},
    {4, "SpeedButtonGraph", "GraphMenuItem", TShellIcon::Graph},
    {4, "SpeedButtonTarget", "TargetMenuItem", TShellIcon::Target},
    {5, "SpeedButtonReportCurrentNode", "ReportNodeMenuItem", TShellIcon::ReportNode},
    {5, "SpeedButtonReportClientGroup", "ReportClientGroupMenuItem", TShellIcon::ReportClientGroup},
    {5, "SpeedButtonReportClient", "ReportClientMenuItem", TShellIcon::ReportClient},
    {5, "SpeedButtonReportCriterionGroup", "ReportCriteryGroupMenuItem", TShellIcon::ReportCriteriaGroup},
    {5, "SpeedButtonReportCriterion", "ReportCriteryMenuItem", TShellIcon::ReportCriterion},
    {5, "SpeedButtonReportInvestigation", "ReportInvestigationMenuItem", TShellIcon::ReportInvestigation},
};

// The Report menu items that report on one object of a kind.
const char* const kReportByKindItems[5] = {"ReportClientGroupMenuItem", "ReportClientMenuItem",
                                           "ReportCriteryGroupMenuItem", "ReportCriteryMenuItem",
                                           "ReportInvestigationMenuItem"};

// The View menu items of choice kinds 1 (positive), 2 (negative) and 3 (any).
const char* const kChoiceKindItems[3] = {"PositiveMenuItem", "NegativeMenuItem", "AnyChoicesMenuItem"};

bool* ToolbarSetting(int index)
{
    TSocMainRegs& regs = Regs().SocMain;
    bool* const flags[6] = {&regs.IsToolbarProject, &regs.IsToolbarFile, &regs.IsToolbarEdit,
                            &regs.IsToolbarView, &regs.IsToolbarObject, &regs.IsToolbarReport};
    return flags[index];
}

// Views of investigations offer "int ChoiceKind()" and "void SetChoiceKind(int)" as invokable
// members; the numbers are those of TChoiceKind.
bool HasInvokable(const QObject* target, const char* signature)
{
    return target && target->metaObject()->indexOfMethod(signature) >= 0;
}

int ViewChoiceKind(QObject* view)
{
    int kind = 0;
    if (HasInvokable(view, "ChoiceKind()"))
        QMetaObject::invokeMethod(view, "ChoiceKind", Qt::DirectConnection, Q_RETURN_ARG(int, kind));
    return kind;
}

} // namespace

TSocMainForm::TSocMainForm(QWidget* parent) : QMainWindow(parent)
{
    setObjectName("SocMainForm");
    setWindowIcon(ShellIcon(TShellIcon::Tremlow));
    resize(1040, 700);

    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_splitter->setObjectName("SocTreeSplitter");
    m_splitter->setChildrenCollapsible(false);
    m_treePanel = new QWidget(m_splitter);
    m_treePanel->setObjectName("SocTreePanel");
    m_treePanel->setMinimumWidth(80);
    auto* panelLayout = new QHBoxLayout(m_treePanel);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    m_tree = new TObjectsTree(m_treePanel);
    m_tree->SetOpenWindowQuery([this](int investId) {
        for (QMdiSubWindow* child : m_mdi->subWindowList()) {
            const auto* choices = qobject_cast<TSelectionForm*>(child->widget());
            if (choices && choices->InvestId() == investId)
                return choices->Caption();
        }
        return QString();
    });
    panelLayout->addWidget(m_tree);
    m_mdi = new QMdiArea(m_splitter);
    m_mdi->setObjectName("MdiArea");
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_splitter->addWidget(m_treePanel);
    m_splitter->addWidget(m_mdi);
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    setCentralWidget(m_splitter);

    statusBar()->setObjectName("StatusBar");
    m_statusPanel = new QLabel(statusBar());
    m_statusPanel->setObjectName("StatusPanel");
    statusBar()->addWidget(m_statusPanel, 1);

    BuildMenus();
    BuildToolBars();
    TLanguageController::Translate(*this);

    ClearFindState();
    m_starting = true;
    for (int i = 0; i < 6; ++i)
        m_toolBars[static_cast<std::size_t>(i)]->setVisible(*ToolbarSetting(i));
    SyncToolbarMenu();
    ApplyTreeAppearance();

    UpdateCommands();
    setWindowTitle(CatalogueText("MAIN_WINDOW_CAPTION"));
    ApplyWindowState();
    RefreshRecentMenu();
    UpdateCommands();

    connect(m_mdi, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* child) {
        if (child)
            CheckWindowMenuEntry(child);
        UpdateCommands();
    });
    m_previousReceiver = SetNotifyReceiver(this);
    m_undo = new QUndoStack(this);
    m_previousUndo = SetProjectUndoStack(m_undo);
}

TSocMainForm::~TSocMainForm()
{
    if (NotifyReceiver() == this)
        SetNotifyReceiver(m_previousReceiver);
    if (ProjectUndoStack() == m_undo)
        SetProjectUndoStack(m_previousUndo);
    // Child windows work on the project; they go before it. Windows already closed whose
    // deletion is still pending go too: their Window-menu bookkeeping needs this window whole.
    QList<QPointer<QMdiSubWindow>> children;
    for (QMdiSubWindow* child : m_mdi->findChildren<QMdiSubWindow*>())
        children.append(child);
    for (const QPointer<QMdiSubWindow>& child : children)
        delete child.data();
    FreeProject();
}

// ---------------------------------------------------------------------------------------------
// Building the window

QAction* TSocMainForm::AddAction(QMenu* menu, const char* name, const QString& caption,
                                 const QKeySequence& shortcut)
{
    auto* action = new QAction(caption, menu);
    action->setObjectName(name);
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    menu->addAction(action);
    m_actions[name] = action;
    return action;
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
    Connect(AddAction(file, "MenuItemProjectCreate", "Create"), [this] { MenuItemProjectCreateClick(); });
    Connect(AddAction(file, "MenuItemProjectOpen", "Open...", QKeySequence(QKeySequence::Open)),
            [this] { MenuItemProjectOpenClick(); });
    Connect(AddAction(file, "MenuItemProjectSave", "Save", QKeySequence(QKeySequence::Save)),
            [this] { MenuItemProjectSaveClick(); });
    Connect(AddAction(file, "MenuItemProjectSaveAs", "Save as..."), [this] { MenuItemProjectSaveAsClick(); });
    Connect(AddAction(file, "MenuItemProjectClose", "Close"), [this] { MenuItemProjectCloseClick(); });
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
    Connect(AddAction(file, "ImportClientGroupMenuItem", "&Import client group..."), [this] { ImportClientGroupMenuItemClick(); });
    Connect(AddAction(file, "ExportClientGroupMenuItem", "&Export client group..."),
            [this] { ExportClientGroupMenuItemClick(); });
    auto* importMenu = new QMenu("I&mport", file);
    importMenu->setObjectName("ImportMenuItem");
    file->addMenu(importMenu);
    Connect(AddAction(importMenu, "ImportClassListMenuItem", "&Class list..."), [this] { ImportClassList(); });
    file->addSeparator();
    Connect(AddAction(file, "PrintMenuItem", "&Print"), [this] { PrintActiveView(); });
    file->addSeparator();
    Connect(AddAction(file, "ExitMenuItem", "&Exit", QKeySequence("Ctrl+E")), [this] { ExitCommand(); });

    QMenu* edit = topMenu("EditMenuItem", "&Edit");
    Connect(AddAction(edit, "UsersMenuItem", "&Users..."), [this] { UsersOperations(); });
    edit->addSeparator();
    Connect(AddAction(edit, "FindMenuItem", "&Find...", QKeySequence("Ctrl+F")), [this] { Find(); });
    Connect(AddAction(edit, "FindNextItem", "Find &next", QKeySequence(Qt::Key_F3)), [this] { FindNext(); });
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
    Connect(AddAction(edit, "ToolbarsTuningMenuItem", "&Toolbars tuning..."), [this] { ToolbarsTuning(); });
    edit->addSeparator();
    Connect(AddAction(edit, "ParametersMenuItem", "&Options..."), [this] { OptionsCommand(); });

    QMenu* view = topMenu("ViewMenuItem", "&View");
    Connect(AddAction(view, "SaveChoicesMenuItem", "&Save choices"), [this] { SaveChoices(); });
    Connect(AddAction(view, "ClearAllChoicesMenuItem", "&Clear all choices"), [this] { ClearAllChoices(); });
    view->addSeparator();
    m_choiceKinds = new QActionGroup(this);
    m_choiceKinds->setExclusive(true);
    const char* const kindCaptions[3] = {"&Positive choices", "&Negative choices", "&Any choices"};
    const TChoiceKind kinds[3] = {TChoiceKind::Positive, TChoiceKind::Negative, TChoiceKind::Any};
    for (int k = 0; k < 3; ++k) {
        QAction* item = AddAction(view, kChoiceKindItems[k], kindCaptions[k]);
        item->setCheckable(true);
        m_choiceKinds->addAction(item);
        Connect(item, [this, kind = kinds[k]] { ChoiceType(kind); });
    }
    m_actions["PositiveMenuItem"]->setChecked(true);

    m_objectMenu = topMenu("ObjectMenuItem", "&Object");
    Connect(AddAction(m_objectMenu, "CreateObjectMenuItem", "&Create...", QKeySequence(Qt::Key_Insert)), [this] {
        m_tree->CreateObject();
        m_tree->setFocus();
    });
    QAction* change = AddAction(m_objectMenu, "ChangeObjectMenuItem", "&Change...");
    change->setShortcuts({QKeySequence(Qt::Key_Enter), QKeySequence(Qt::Key_Return)});
    Connect(change, [this] {
        m_tree->ChangeObject();
        m_tree->setFocus();
    });
    Connect(AddAction(m_objectMenu, "DeleteObjectMenuItem", "&Remove", QKeySequence(Qt::Key_Delete)), [this] {
        m_tree->RemoveObject();
        m_tree->setFocus();
    });
    // Insert, Enter and Delete act on the tree only while it has the focus, so that they keep
    // their usual meaning inside the views and their edit boxes.
    for (const char* name : {"CreateObjectMenuItem", "ChangeObjectMenuItem", "DeleteObjectMenuItem"}) {
        m_actions.at(name)->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        m_tree->addAction(m_actions.at(name));
    }
    m_objectMenu->addSeparator();
    Connect(AddAction(m_objectMenu, "ChoicesMenuItem", "C&hoices...", QKeySequence("Ctrl+C")),
            [this] { OpenView(TViewKind::Choices); });
    Connect(AddAction(m_objectMenu, "IndexMenuItem", "&Indexes", QKeySequence("Ctrl+I")),
            [this] { OpenView(TViewKind::Indexes); });
    Connect(AddAction(m_objectMenu, "GraphMenuItem", "&Graph", QKeySequence("Ctrl+G")),
            [this] { OpenView(TViewKind::Graph); });
    Connect(AddAction(m_objectMenu, "TargetMenuItem", "&Target", QKeySequence("Ctrl+T")),
            [this] { OpenView(TViewKind::Target); });
    Connect(AddAction(m_objectMenu, "StatusMenuItem", "Stat&us groups", QKeySequence()),
            [this] { OpenView(TViewKind::Status); });

    QMenu* report = topMenu("ReportMenuItem", "&Report");
    Connect(AddAction(report, "ReportNodeMenuItem", "Current &object", QKeySequence("Ctrl+N")),
            [this] { Reports(0); });
    report->addSeparator();
    for (int i = 0; i < 5; ++i)
        Connect(AddAction(report, kReportByKindItems[i], QString()), [this, i] { Reports(i + 1); });
    report->addSeparator();
    auto* blanks = new QMenu("&Blanks", report);
    blanks->setObjectName("MenuItemBlank");
    report->addMenu(blanks);
    m_actions["MenuItemBlank"] = blanks->menuAction();
    Connect(AddAction(blanks, "MenuItemCard", "&Sociocard"), [this] { Reports(6); });
    Connect(AddAction(blanks, "MenuItemMatrix", "Socio&matrix"), [this] { Reports(7); });

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
        AddButton(m_toolBars[static_cast<std::size_t>(entry.Bar)], entry.Name, m_actions.at(entry.Command),
                  static_cast<int>(entry.Icon));

    // Menu items show the pictures of their buttons.
    for (const auto& [button, command] : m_buttons)
        command->setIcon(button->icon());
}

// ---------------------------------------------------------------------------------------------
// Commands in general

void TSocMainForm::RunCommand(const std::function<void()>& command)
{
    try {
        command();
    } catch (const std::exception& error) {
        ShowError(QString::fromStdString(error.what()));
    }
    UpdateCommands();
}

void TSocMainForm::ShowError(const QString& text)
{
    Modal().Information(this, HasLangConv() ? CatalogueText("APPLICATION_NAME") : QStringLiteral("Tremlow"), text);
}

void TSocMainForm::Reports(int command)
{
    if (!HasProject())
        return;
    const TNodeKind kind = m_tree->HasSelection() ? m_tree->CurrentKind() : TNodeKind::None;
    const TNodeIds ids = m_tree->CurrentIds();
    RunCommand([&] { RunReportCommand(this, *m_store, static_cast<TReportCommand>(command), kind, ids); });
}

void TSocMainForm::OptionsCommand()
{
    TParamsForm form(this, m_store.get());
    if (Modal().Exec(form) != QDialog::Accepted)
        return;
    ApplyTreeAppearance();
    RefreshRecentMenu();
    // The open views take the new appearance at once.
    for (QMdiSubWindow* window : m_mdi->subWindowList()) {
        if (auto* view = qobject_cast<TVisualChildForm*>(window->widget()))
            view->ApplySettings();
        else if (auto* choices = qobject_cast<TSelectionForm*>(window->widget()))
            choices->ApplySettings();
    }
    UpdateCommands();
}

void TSocMainForm::NotAvailable()
{
    ShowError(CatalogueText("NOT_AVAILABLE_YET"));
}

void TSocMainForm::ExitCommand()
{
    close();
}

void TSocMainForm::OpenAddress(const char* key)
{
    // The address is given with the message, since the user is asked to open it by hand.
    if (!Modal().OpenUrl(CatalogueText(key)))
        throw TAppError(LangConv().GetText("NO_IEXPLORER_MSG") + "\n" + CatalogueText(key).toStdString());
}

// ---------------------------------------------------------------------------------------------
// Start-up

void TSocMainForm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (m_starting && !m_startupScheduled) {
        m_startupScheduled = true;
        // After the window is up, so that the start-up choice window appears over it.
        QTimer::singleShot(0, this, [this] { RunStartupAction(); });
    }
}

void TSocMainForm::keyPressEvent(QKeyEvent* event)
{
    // F1 that no part of the window took for a help page of its own opens the main window's page.
    if (event->matches(QKeySequence::HelpContents)) {
        event->accept();
        ShowHelpTopic(THelpTopic::MainWindow);
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void TSocMainForm::RunStartupAction()
{
    if (!m_starting)
        return;
    m_starting = false;
    RunCommand([this] {
        const QString argument = m_commandLineProject.trimmed();
        // A client group file opened from the desktop goes into the project the user opens or
        // creates at the start-up choice.
        const bool groupFile = !argument.isEmpty() && IsGroupFilePath(argument.toStdString());
        if (!argument.isEmpty() && !groupFile) {
            // A file that is not there is said so, with its path.
            OpenProjectFile(argument);
            return;
        }
        RunStartingChoice();
        if (!groupFile)
            return;
        if (m_store)
            TMobileData(this).ImportFile(*m_tree, argument);
        else
            ShowMessageText(this, CatalogueText("CLN_GROUP_FILE_NEEDS_PROJECT") + "\n" +
                                      QDir::toNativeSeparators(argument));
        UpdateCommands();
    });
    // The tutorial is offered once, at the first start, after the start-up choice and over the
    // main window; afterwards help opens when it is asked for.
    if (Regs().Root.ShowTutorial) {
        Regs().Root.ShowTutorial = false;
        ShowHelpTopic(THelpTopic::MainWindow);
    }
}

void TSocMainForm::RunStartingChoice()
{
    if (!Regs().Root.IsStartingForm)
        return;
    const QString last = QString::fromStdString(Regs().GetRecentProject(1)).trimmed();
    TFormStarting form(this, !last.isEmpty());
    if (Modal().Exec(form) != QDialog::Accepted)
        return;
    Regs().Root.IsStartingForm = form.ShowAtStartUp();
    switch (form.Action()) {
    case TFormStarting::ActionOpenLast:
        OpenProjectFile(last);
        break;
    case TFormStarting::ActionCreateNew:
        MenuItemProjectCreateClick();
        break;
    case TFormStarting::ActionOpenExisting:
        OpenProjectFile(form.Path());
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------------------------------------
// Project life cycle

void TSocMainForm::ClearFindState()
{
    m_find = TFindRequest{};
}

void TSocMainForm::FreeProject()
{
    // The steps of the stack refer to the project's tables and windows.
    m_undo->clear();
    m_tree->SetStore(nullptr);
    if (CurrentProject() == m_store.get())
        SetCurrentProject(nullptr);
    m_store.reset();
}

void TSocMainForm::MenuItemProjectCreateClick()
{
    if (HasProject() && !MenuItemProjectCloseClick())
        return;
    m_store = std::make_unique<TFileAccess>();
    SetCurrentProject(m_store.get());
    m_store->Users().Add(1, "admin", "");
    ClearFindState();
    m_tree->SetStore(m_store.get());
    m_tree->Rebuild();
    UpdateCommands();
}

void TSocMainForm::MenuItemProjectOpenClick()
{
    if (HasProject() && !MenuItemProjectCloseClick())
        return;
    const QString last = QString::fromStdString(Regs().GetRecentProject(1)).trimmed();
    const QString path = Modal().OpenFileName(this, CatalogueText("PROJECT_OPENDIALOG_TITLE"),
                                              last.isEmpty() ? QString() : QFileInfo(last).absolutePath(),
                                              CatalogueText("PROJECT_FILTER_HEAD") + " (*.soi *.SOI)");
    if (!path.isEmpty())
        OpenProjectFile(path);
    UpdateCommands();
}

void TSocMainForm::OpenProjectFile(const QString& path)
{
    const QFileInfo info(path);
    if (info.isDir())
        throw TAppError(LangConv().GetText("PROJECT_IS_FOLDER") + "\n" + QDir::toNativeSeparators(path).toStdString());
    if (!info.isFile()) {
        // Only a path that was in the recent list has been taken out of it.
        bool recent = false;
        for (int k = 1; k <= 10; ++k)
            recent = recent || QString::fromStdString(Regs().GetRecentProject(k)).trimmed() == path.trimmed();
        if (recent) {
            Regs().RemoveRecentProject(path.toStdString());
            RefreshRecentMenu();
        }
        throw TAppError(LangConv().GetText(recent ? "PROJECT_NO_FILE" : "PROJECT_FILE_NOT_FOUND") + "\n" +
                        QDir::toNativeSeparators(path).toStdString());
    }
    if (HasProject() && !MenuItemProjectCloseClick())
        return;
    const QString fullPath = info.absoluteFilePath();
    // An older file is converted first, when the user allows it; otherwise it is not opened.
    TUpdateFile update(fullPath.toStdString());
    if (!update.Check([this] { return AskConvertOldFile(); }, NotChangedText())) {
        UpdateCommands();
        return;
    }
    auto store = std::make_unique<TFileAccess>(fullPath.toStdString());
    if (!store->Load()) {
        ReportStoreError(store->LastError());
        // A wrong pick in the open dialog costs the project, not the application.
        TMessageDialog box(this);
        box.DialogType = mdOk;
        box.Caption = CatalogueText("NO_OPEN_PROJECT");
        box.Title = CatalogueText("MESSAGE_DLG_TITLE");
        box.Execute();
        m_tree->Rebuild();
        UpdateCommands();
        return;
    }
    if (store->LoginRequired()) {
        TInputForm login(store->Users(), QStringLiteral("UserName"), this);
        if (Modal().Exec(login) != QDialog::Accepted || !login.Succeeded()) {
            UpdateCommands();
            return;
        }
    }
    m_store = std::move(store);
    SetCurrentProject(m_store.get());
    ClearFindState();
    m_tree->SetStore(m_store.get());
    m_tree->Rebuild();
    Regs().AddRecentProject(fullPath.toStdString());
    RefreshRecentMenu();
    UpdateCommands();
}

bool TSocMainForm::AskConvertOldFile()
{
    TMessageDialog box(this);
    box.DialogType = mdYesNoHelp;
    box.Title = CatalogueText("APPLICATION_NAME");
    box.Caption = CatalogueText("MUST_NEW_FILE");
    box.HelpContext = kUpgradeHelpTopic;
    return box.Execute() == TMessageDialog::kYes;
}

void TSocMainForm::UsersOperations()
{
    if (!m_store)
        return;
    m_users.Clear();
    m_users.List().LoadFrom(m_store->Users());
    m_users.SetLoginRequired(m_store->LoginRequired());
    m_users.Execute(this);
    m_users.List().StoreTo(m_store->Users());
    m_store->SetLoginRequired(m_users.LoginRequired());
    UpdateCommands();
}

void TSocMainForm::ImportClientGroupMenuItemClick()
{
    if (!m_store)
        return;
    TMobileData(this).Import(*m_tree);
    UpdateCommands();
}

void TSocMainForm::ExportClientGroupMenuItemClick()
{
    if (!m_store || m_tree->CurrentKind() != TNodeKind::ClientGroup)
        return;
    TMobileData(this).Export(*m_store, m_tree->CurrentIds().Id);
    UpdateCommands();
}

void TSocMainForm::MenuItemProjectClick(QAction* entry)
{
    const QString path = entry->data().toString();
    if (HasProject() && !MenuItemProjectCloseClick())
        return;
    OpenProjectFile(path);
}

bool TSocMainForm::SaveProject()
{
    if (!m_store)
        return false;
    // Choices entered in an open choices window belong to what the user saves.
    for (QMdiSubWindow* child : m_mdi->subWindowList()) {
        auto* choices = qobject_cast<TSelectionForm*>(child->widget());
        if (choices && choices->IsModified() && !choices->Save())
            return false;
    }
    if (QString::fromStdString(m_store->FileName()).trimmed().isEmpty())
        return SaveProjectAs();
    if (!m_store->Save())
        return ReportStoreError(m_store->LastError());
    TellSavedAsUtf8(*m_store);
    return true;
}

bool TSocMainForm::SaveProjectAs()
{
    if (!m_store)
        return false;
    QString name = Modal().SaveFileName(this, CatalogueText("PROJECT_SAVEDIALOG_TITLE"),
                                        QString::fromStdString(m_store->FileName()),
                                        CatalogueText("PROJECT_FILTER_HEAD") + " (*.soi)");
    if (name.isEmpty())
        return false;
    if (!name.endsWith(".soi")) {
        name += ".soi";
        // The dialog asked about the name as typed; the file now named is another one.
        if (QFileInfo::exists(name)) {
            TMessageDialog box(this);
            box.DialogType = mdYesNo;
            box.Caption = QFileInfo(name).fileName() + ": " + CatalogueText("PROJECT_FILE_EXISTS_MSG");
            box.Title = CatalogueText("PROJECT_SAVEDIALOG_TITLE");
            if (box.Execute() != TMessageDialog::kYes)
                return false;
        }
    }
    const std::string previous = m_store->FileName();
    m_store->SetFileName(name.toStdString());
    if (!m_store->Save()) {
        ReportStoreError(m_store->LastError());
        // The project keeps the name under which it is known to be stored.
        m_store->SetFileName(previous);
        return false;
    }
    TellSavedAsUtf8(*m_store);
    Regs().AddRecentProject(name.toStdString());
    RefreshRecentMenu();
    return true;
}

void TSocMainForm::MenuItemProjectSaveClick()
{
    SaveProject();
    UpdateCommands();
}

void TSocMainForm::MenuItemProjectSaveAsClick()
{
    SaveProjectAs();
    UpdateCommands();
}

bool TSocMainForm::ConfirmSave()
{
    if (!m_store || !m_store->IsModified())
        return true;
    TMessageDialog box(this);
    box.Caption = CatalogueText("PROJECT_CONFIRMSAVEDIALOG_CAPTION");
    box.Title = CatalogueText("PROJECT_CONFIRMSAVEDIALOG_TITLE");
    box.HelpContext = THelpTopic::SaveQuestion;
    box.DialogType = mdYesNoHelp;
    const int answer = box.Execute();
    if (answer == TMessageDialog::kNo)
        return true;
    // Closing the box answers nothing: the project stays open. A project the user wants saved
    // is not closed until it is.
    return answer == TMessageDialog::kYes && SaveProject();
}

bool TSocMainForm::CloseChildWindows()
{
    QList<QMdiSubWindow*> children = m_mdi->subWindowList(QMdiArea::CreationOrder);
    // Every choices window answers its save question before any window closes, so keeping one
    // open keeps all the views open as well.
    std::vector<TSelectionForm*> asked;
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        if (auto* choices = qobject_cast<TSelectionForm*>((*it)->widget())) {
            if (!choices->CanClose())
                return false;
            asked.push_back(choices);
        }
    }
    for (TSelectionForm* choices : asked)
        choices->SetModified(false);
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        QPointer<QMdiSubWindow> child(*it);
        child->close();
        if (child && child->isVisible())
            return false;
        delete child.data();
    }
    return true;
}

bool TSocMainForm::MenuItemProjectCloseClick()
{
    if (HasProject()) {
        if (!CloseChildWindows())
            return false;
        if (!ConfirmSave())
            return false;
        FreeProject();
    }
    m_tree->Rebuild();
    UpdateCommands();
    return true;
}

// ---------------------------------------------------------------------------------------------
// Leaving the application

bool TSocMainForm::FormClose()
{
    try {
        if (Regs().Root.ShowExitConfirmation) {
            TMessageDialog box(this);
            box.Caption = CatalogueText("APPLICATION_EXIT_MSG");
            box.Title = CatalogueText("MESSAGE_DLG_TITLE");
            box.HelpContext = THelpTopic::ExitQuestion;
            box.DialogType = mdYesNoHelp;
            if (box.Execute() != TMessageDialog::kYes)
                return false;
        }
        if (HasProject() && !MenuItemProjectCloseClick())
            return false;
        StoreWindowState();
    } catch (const std::exception& error) {
        ShowError(QString::fromStdString(error.what()));
        return false;
    }
    return true;
}

void TSocMainForm::closeEvent(QCloseEvent* event)
{
    if (FormClose()) {
        event->accept();
        Q_EMIT FormClosed();
    } else
        event->ignore();
}

void TSocMainForm::ApplyWindowState()
{
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

void TSocMainForm::ApplyTreeAppearance()
{
    const TTreeRegs& regs = Regs().Tree;
    // Settings that were never loaded hold no font; the tree then keeps the desktop's look.
    if (regs.NodeFont.Name.empty() || regs.NodeFont.Size <= 0)
        return;
    QFont font = m_tree->font();
    QColor color;
    ApplyFont(regs.NodeFont, font, color);
    m_tree->setFont(font);
    QPalette pal = m_tree->palette();
    pal.setColor(QPalette::Text, color);
    pal.setColor(QPalette::Base, ToQColor(regs.BackColor));
    m_tree->setPalette(pal);
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
        entry->setText(MenuCaption(path));
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

TViewKind TSocMainForm::ActiveViewKind() const
{
    QWidget* view = ActiveView();
    if (!view)
        return TViewKind::None;
    const QString name = view->objectName();
    if (name.startsWith("SelectionForm"))
        return TViewKind::Choices;
    if (name.startsWith("IndexesForm"))
        return TViewKind::Indexes;
    if (name.startsWith("GraphForm"))
        return TViewKind::Graph;
    if (name.startsWith("TargetForm"))
        return TViewKind::Target;
    if (name.startsWith("StatusForm"))
        return TViewKind::Status;
    return TViewKind::None;
}

QWidget* TSocMainForm::ActiveView() const
{
    QMdiSubWindow* child = m_mdi->currentSubWindow();
    return child ? child->widget() : nullptr;
}

void TSocMainForm::UpdateCommands()
{
    const bool project = HasProject();
    const TNodeKind kind = project ? m_tree->CurrentKind() : TNodeKind::None;
    const TViewKind view = project ? ActiveViewKind() : TViewKind::None;
    auto set = [this](const char* name, bool enabled) { m_actions.at(name)->setEnabled(enabled); };

    // Object commands by the current node.
    if (HasLangConv()) {
        const TObjectCaptionKeys keys = ObjectCaptionKeys(kind);
        m_actions.at("CreateObjectMenuItem")->setText(CatalogueText(keys.Create));
        m_actions.at("ChangeObjectMenuItem")->setText(CatalogueText(keys.Change));
        m_actions.at("DeleteObjectMenuItem")->setText(CatalogueText(keys.Remove));
        for (const auto& [button, command] : m_buttons) {
            if (command == m_actions.at("CreateObjectMenuItem") || command == m_actions.at("ChangeObjectMenuItem") ||
                command == m_actions.at("DeleteObjectMenuItem"))
                button->setToolTip(command->text().remove('&'));
        }
    }
    const bool create =
        project && IsKindIn(kind, {TNodeKind::ClientGroups, TNodeKind::ClientGroup, TNodeKind::Criteria,
                                   TNodeKind::CriteriaGroup, TNodeKind::Investigations});
    const bool change =
        project && IsKindIn(kind, {TNodeKind::ClientGroup, TNodeKind::Client, TNodeKind::CriteriaGroup,
                                   TNodeKind::Criterion, TNodeKind::Investigation});
    const bool views = project && kind == TNodeKind::Investigation;
    set("ImportClientGroupMenuItem", project);
    set("ImportClassListMenuItem", project);
    set("ExportClientGroupMenuItem", project && kind == TNodeKind::ClientGroup);
    set("CreateObjectMenuItem", create);
    set("ChangeObjectMenuItem", change);
    set("DeleteObjectMenuItem", change);
    set("ReportNodeMenuItem", change);
    for (const char* name : {"ChoicesMenuItem", "IndexMenuItem", "GraphMenuItem", "TargetMenuItem", "StatusMenuItem", "MenuItemBlank",
                             "MenuItemCard", "MenuItemMatrix"})
        set(name, views);

    // View commands by the active child window.
    const bool chart = view == TViewKind::Indexes || view == TViewKind::Graph || view == TViewKind::Target;
    set("PositiveMenuItem", chart);
    set("NegativeMenuItem", chart);
    set("AnyChoicesMenuItem", view == TViewKind::Graph);
    set("SaveChoicesMenuItem", view == TViewKind::Choices);
    set("ClearAllChoicesMenuItem", view == TViewKind::Choices);
    set("PrintMenuItem", view != TViewKind::None);

    // Project commands.
    set("MenuItemProjectCreate", true);
    set("MenuItemProjectOpen", true);
    // An open choices window may hold choices not yet in the project; Save writes them too.
    bool choicesOpen = false;
    for (QMdiSubWindow* child : m_mdi->subWindowList())
        choicesOpen = choicesOpen || qobject_cast<TSelectionForm*>(child->widget()) != nullptr;
    set("MenuItemProjectSave", project && (m_store->IsModified() || choicesOpen));
    set("MenuItemProjectSaveAs", project);
    set("MenuItemProjectClose", project);
    set("UsersMenuItem", project);
    set("FindMenuItem", project);
    set("FindNextItem", project && !m_find.Text.trimmed().isEmpty());
    for (const char* name : kReportByKindItems)
        set(name, project);
    if (HasLangConv()) {
        QString caption = CatalogueText("MAIN_WINDOW_CAPTION");
        if (project && !m_store->FileName().empty())
            caption += " (" + QString::fromStdString(m_store->FileName()) + ")";
        setWindowTitle(caption);
    }

    for (const auto& [button, command] : m_buttons) {
        button->setEnabled(command->isEnabled());
        if (button->isCheckable())
            button->setChecked(command->isChecked());
    }
    UpdateStatusBar();
}

QString TSocMainForm::StatusText() const
{
    if (!m_store || !HasLangConv())
        return {};
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
        ReadClientGroup(*m_store, ids.Id, description, info);
        InvestigationsOfClientGroup(*m_store, ids.Id, invests);
        return Pair(CatalogueText("CLIENTGROUP_NAME"), QString::fromStdString(info.Name)) + gap +
               Pair(CatalogueText("NUM_CLIENTS_IN_GROUP"), QString::number(m_store->CountClientsInGroup(ids.Id))) + gap +
               Pair(CatalogueText("NUM_INVESTIGATIONS"), QString::number(invests.size()));
    }
    case TNodeKind::Client: {
        TClientInfo info;
        ReadClient(*m_store, ids.Id, ids.ParentId, description, info);
        InvestigationsOfClientGroup(*m_store, ids.ParentId, invests);
        return Pair(CatalogueText("CLIENT_NAME"), QString::fromStdString(info.FullName)) + gap +
               Pair(CatalogueText("NUM_INVESTIGATIONS"), QString::number(invests.size()));
    }
    case TNodeKind::Criteria:
        return CatalogueText("CRITERIES_MAIN_NODE_TITLE");
    case TNodeKind::CriteriaGroup: {
        TCriteriaGroupInfo info;
        ReadCriteriaGroup(*m_store, ids.Id, description, info);
        return Pair(CatalogueText("CRITERYGROUP_NAME"), QString::fromStdString(info.Name)) + gap +
               Pair(CatalogueText("NUM_CRITERIONS_IN_GROUP"), QString::number(m_store->CountCriteriaInGroup(ids.Id)));
    }
    case TNodeKind::Criterion: {
        TCriterionInfo info;
        ReadCriterion(*m_store, ids.Id, ids.ParentId, description, info);
        InvestigationsOfCriterion(*m_store, ids.Id, ids.ParentId, invests);
        return Pair(CatalogueText("CRITERY_NAME"), QString::fromStdString(info.Name)) + gap +
               Pair(CatalogueText("NUM_INVESTIGATIONS"), QString::number(invests.size()));
    }
    case TNodeKind::Investigations:
        return CatalogueText("SOCIUM_MAIN_NODE_TITLE");
    case TNodeKind::Investigation: {
        TInvestInfo info;
        ReadInvestigation(*m_store, ids.Id, description, info);
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

// ---------------------------------------------------------------------------------------------
// Views of investigations

QMdiSubWindow* TSocMainForm::SubWindowOf(QWidget* widget) const
{
    if (!widget)
        return nullptr;
    for (QMdiSubWindow* child : m_mdi->subWindowList()) {
        if (child == widget || child->widget() == widget)
            return child;
    }
    return nullptr;
}

void TSocMainForm::OpenView(TViewKind viewKind)
{
    if (!HasProject() || !m_tree->HasSelection() || m_tree->CurrentKind() != TNodeKind::Investigation)
        throw TAppError(LangConv().GetText("NO_SELECTED_NODE"));
    const int id = m_tree->CurrentIds().Id;
    const QString name = m_tree->CurrentName();
    if (viewKind != TViewKind::Choices) {
        OpenInvestigationView(viewKind, id, name);
        return;
    }
    for (QMdiSubWindow* child : m_mdi->subWindowList()) {
        auto* choices = qobject_cast<TSelectionForm*>(child->widget());
        if (choices && choices->InvestId() == id)
            throw TAppError(LangConv().GetText("INVESTIGATION_NAME") + " \"" + name.toStdString() + "\". " +
                            LangConv().GetText("IS_EXIST_SELECT_FORM"));
    }
    auto* form = new TSelectionForm(*m_store, id, name);
    QMdiSubWindow* child = m_mdi->addSubWindow(form);
    child->setAttribute(Qt::WA_DeleteOnClose);
    child->setWindowIcon(ShellIcon(TShellIcon::Choices));
    child->show();
    // Large enough for the whole grid where the area allows it, else as large as the area.
    const QSize frame = child->size() - form->size();
    const QSize area = m_mdi->viewport()->size();
    const QSize wanted = (form->GridFitSize() + frame).boundedTo(area).expandedTo(QSize(240, 160));
    child->resize(wanted);
    child->move(std::max(0, std::min(child->x(), area.width() - wanted.width())),
                std::max(0, std::min(child->y(), area.height() - wanted.height())));
    m_mdi->setActiveSubWindow(child);
    form->setFocus(Qt::OtherFocusReason);
    if (!SubWindowOf(form))
        throw TAppError(LangConv().GetText("NO_CHILD_HANDLE"));
    AddWindowMenuEntry(child, "SELECTS_MENU_ADD", name);
}

void TSocMainForm::OpenInvestigationView(TViewKind viewKind, int id, const QString& name)
{
    const TViewEntry* entry = FindViewByKind(viewKind);
    if (!entry) {
        NotAvailable();
        return;
    }
    TVisualChildForm* form = entry->Create(*m_store, id, name);
    QMdiSubWindow* child = m_mdi->addSubWindow(form);
    child->setAttribute(Qt::WA_DeleteOnClose);
    const TShellIcon icon = viewKind == TViewKind::Indexes  ? TShellIcon::Indexes
                            : viewKind == TViewKind::Target ? TShellIcon::Target
                                                            : TShellIcon::Graph;
    child->setWindowIcon(ShellIcon(icon));
    child->resize(std::min(m_mdi->width() - 20, 720), std::min(m_mdi->height() - 20, 520));
    child->show();
    m_mdi->setActiveSubWindow(child);
    if (!SubWindowOf(form))
        throw TAppError(LangConv().GetText("NO_CHILD_HANDLE"));
    AddWindowMenuEntry(child, entry->MenuKey, name);
}

void TSocMainForm::PrintActiveView()
{
    QWidget* active = ActiveView();
    if (auto* view = qobject_cast<TVisualChildForm*>(active)) {
        TFormPrintTuning form(this);
        Modal().Exec(form);
        if (!form.Confirmed())
            return;
        view->Print(form.Printer(), form.Type(), form.Copies());
    } else if (auto* choices = qobject_cast<TSelectionForm*>(active)) {
        PrintPicture(this, choices->PictureSize(), [choices](QPainter& painter) { choices->PaintTo(painter); });
    }
}

void TSocMainForm::AddWindowMenuEntry(QMdiSubWindow* child, const char* captionKey, const QString& name)
{
    ++m_childMenuCounter;
    auto* entry = new QAction(CatalogueText(captionKey) + " (" + MenuCaption(name) + ")", m_windowMenu);
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

void TSocMainForm::SaveChoices()
{
    if (auto* choices = qobject_cast<TSelectionForm*>(ActiveView()))
        choices->Save();
}

void TSocMainForm::ClearAllChoices()
{
    if (auto* choices = qobject_cast<TSelectionForm*>(ActiveView()))
        choices->ClearAll();
}

void TSocMainForm::ChoiceType(TChoiceKind kind)
{
    const TViewKind view = ActiveViewKind();
    if (view != TViewKind::Indexes && view != TViewKind::Graph && view != TViewKind::Target)
        return;
    if (kind != TChoiceKind::Negative && kind != TChoiceKind::Any)
        kind = TChoiceKind::Positive;
    const int wanted = ChoiceKindCode(kind);
    m_actions.at(kChoiceKindItems[wanted - 1])->setChecked(true);
    UpdateCommands();
    // Views offer ChoiceKind() and SetChoiceKind(int) as invokable members.
    QWidget* target = ActiveView();
    if (ViewChoiceKind(target) != wanted && HasInvokable(target, "SetChoiceKind(int)"))
        QMetaObject::invokeMethod(target, "SetChoiceKind", Qt::DirectConnection, Q_ARG(int, wanted));
}

// ---------------------------------------------------------------------------------------------
// Find, tool bars, notifications

void TSocMainForm::Find()
{
    const TFindRequest answer = RunFindForm(this, m_find);
    if (!answer.Find)
        return;
    m_find = answer;
    m_find.Text = answer.Text.trimmed();
    m_tree->FindObject(nullptr, m_find.Text, m_find.Type, m_find.Flags);
}

void TSocMainForm::FindNext()
{
    if (m_find.Text.trimmed().isEmpty())
        return;
    m_tree->FindObject(m_tree->CurrentNode(), m_find.Text, m_find.Type, m_find.Flags);
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

void TSocMainForm::HandleNotify(TNotifyCode code, QWidget* sender)
{
    switch (code) {
    case TNotifyCode::ViewActivated: {
        CheckWindowMenuEntry(SubWindowOf(sender));
        const int kind = ViewChoiceKind(sender);
        if (kind >= ChoiceKindCode(TChoiceKind::Positive) && kind <= ChoiceKindCode(TChoiceKind::Any))
            m_actions.at(kChoiceKindItems[kind - 1])->setChecked(true);
        UpdateCommands();
        break;
    }
    case TNotifyCode::ViewCreated:
        m_actions.at("PositiveMenuItem")->setChecked(true);
        UpdateCommands();
        break;
    case TNotifyCode::ChildClosing: {
        if (QMdiSubWindow* child = SubWindowOf(sender)) {
            RemoveWindowMenuEntry(child);
            child->deleteLater();
        }
        RemoveWindowMenuEntry(nullptr);
        UpdateCommands();
        break;
    }
    case TNotifyCode::ChoicesActivated:
        CheckWindowMenuEntry(SubWindowOf(sender));
        UpdateCommands();
        break;
    case TNotifyCode::ToolbarsChanged:
        if (auto* form = qobject_cast<TToolbarForm*>(sender)) {
            for (int i = 0; i < 6; ++i)
                m_toolBars[static_cast<std::size_t>(i)]->setVisible(form->Flags()[static_cast<std::size_t>(i)]);
            SyncToolbarMenu();
        }
        break;
    case TNotifyCode::WantPositive:
    case TNotifyCode::WantNegative:
    case TNotifyCode::WantAny: {
        const TChoiceKind kind = code == TNotifyCode::WantPositive   ? TChoiceKind::Positive
                                 : code == TNotifyCode::WantNegative ? TChoiceKind::Negative
                                                                     : TChoiceKind::Any;
        RunCommand([this, kind] { ChoiceType(kind); });
        break;
    }
    case TNotifyCode::OpenChoices:
        RunCommand([this] { OpenView(TViewKind::Choices); });
        break;
    case TNotifyCode::OpenIndexes:
        RunCommand([this] { OpenView(TViewKind::Indexes); });
        break;
    case TNotifyCode::OpenGraph:
        RunCommand([this] { OpenView(TViewKind::Graph); });
        break;
    case TNotifyCode::OpenTarget:
        RunCommand([this] { OpenView(TViewKind::Target); });
        break;
    case TNotifyCode::OpenStatus:
        RunCommand([this] { OpenView(TViewKind::Status); });
        break;
    case TNotifyCode::TablesRestored:
        m_tree->Refresh();
        [[fallthrough]];
    case TNotifyCode::ObjectChanged:
        // A renamed client shows its new name in the open choices windows at once.
        for (QMdiSubWindow* child : m_mdi->subWindowList()) {
            if (auto* choices = qobject_cast<TSelectionForm*>(child->widget()))
                choices->RefreshMemberNames();
        }
        UpdateCommands();
        break;
    case TNotifyCode::TreeSelectionChanged:
    case TNotifyCode::ObjectCreated:
    case TNotifyCode::ObjectRemoved:
        UpdateCommands();
        break;
    }
}
