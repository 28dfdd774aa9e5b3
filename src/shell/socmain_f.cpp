#include "shell/socmain_f.h"

#include <algorithm>
#include <string>
#include <vector>

#include <QAbstractItemView>
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
#include <QPainter>
#include <QPlainTextEdit>
#include <QScreen>
#include <QShowEvent>
#include <QSplitter>
#include <QStatusBar>
#include <QTextEdit>
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
#include "store/storeedit.h"
#include "store/updatefile.h"
#include "util/error.h"
#include "util/messagesink.h"
#include "views/choices/selectionform.h"
#include "views/undostack.h"
#include "views/viewform.h"
#include "views/viewregistry.h"

namespace {

// Moves a child window back inside the area where the cascade put it partly outside.
void KeepInside(QMdiSubWindow& child, QSize area)
{
    child.move(std::max(0, std::min(child.x(), area.width() - child.width())),
               std::max(0, std::min(child.y(), area.height() - child.height())));
}

// The View menu item of a choice kind.
TMainCommand ChoiceKindCommand(TChoiceKind kind)
{
    return kind == TChoiceKind::Negative ? TMainCommand::Negative
           : kind == TChoiceKind::Any    ? TMainCommand::AnyChoices
                                         : TMainCommand::Positive;
}

bool IsKindIn(TNodeKind kind, std::initializer_list<TNodeKind> kinds)
{
    return std::find(kinds.begin(), kinds.end(), kind) != kinds.end();
}

} // namespace

TSocMainForm::TSocMainForm(QWidget* parent) : QMainWindow(parent), m_session(std::make_unique<TProjectSession>(this))
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
    m_statusPanel->setTextFormat(Qt::PlainText);
    statusBar()->addWidget(m_statusPanel, 1);

    m_session->SetViews({.Confirm = [this] { return ConfirmChildWindows(); },
                         .Commit = [this] { return CommitChildWindows(); },
                         .Close = [this] { return CloseChildWindows(); }});
    connect(m_session.get(), &TProjectSession::ProjectChanged, this, [this] { ProjectChanged(); });
    connect(m_session.get(), &TProjectSession::RecentChanged, this, [this] { RefreshRecentMenu(); });
    connect(m_session.get(), &TProjectSession::ModifiedChanged, this, [this] { UpdateCommands(); });

    BuildMenus();
    BuildToolBars();
    TLanguageController::Translate(*this);

    ClearFindState();
    m_starting = true;
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
    // The tree, the dialogs and the views put their edits on the session's stack.
    m_previousUndo = SetProjectUndoStack(m_session->UndoStack());
}

TSocMainForm::~TSocMainForm()
{
    if (NotifyReceiver() == this)
        SetNotifyReceiver(m_previousReceiver);
    if (ProjectUndoStack() == m_session->UndoStack())
        SetProjectUndoStack(m_previousUndo);
    // Child windows work on the project; they go before it. Windows already closed whose
    // deletion is still pending go too: their Window-menu bookkeeping needs this window whole.
    QList<QPointer<QMdiSubWindow>> children;
    for (QMdiSubWindow* child : m_mdi->findChildren<QMdiSubWindow*>())
        children.append(child);
    for (const QPointer<QMdiSubWindow>& child : children)
        delete child.data();
    // The project goes last, telling this window nothing on its way out.
    disconnect(m_mdi, nullptr, this, nullptr);
    m_session->UndoStack()->disconnect(this);
    m_session->disconnect(this);
    m_tree->SetStore(nullptr);
    m_session.reset();
}

// ---------------------------------------------------------------------------------------------
// Building the window

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
    // The report's sociogram shows the figures where the open windows have them now.
    for (TVisualChildForm* view : InvestigationViews())
        view->SaveState();
    RunCommand([&] { RunReportCommand(this, *Store(), static_cast<TReportCommand>(command), kind, ids); });
}

void TSocMainForm::OptionsCommand()
{
    TParamsForm form(this, Store());
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

bool TSocMainForm::event(QEvent* event)
{
    // Ctrl+C opens the choices, but not at the cost of copying: a focused text or list that
    // copies by itself gets the key, which reaches it as a key press instead of the shortcut.
    if (event->type() == QEvent::ShortcutOverride &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy) && CopiesItself(QApplication::focusWidget())) {
        event->accept();
        return true;
    }
    return QMainWindow::event(event);
}

// Editable fields claim the key themselves; read-only text, lists and tables copy on it but leave
// it to shortcuts. The objects tree keeps Ctrl+C for the choices of its investigation.
bool TSocMainForm::CopiesItself(const QWidget* widget) const
{
    if (!widget || widget == m_tree)
        return false;
    if (qobject_cast<const QAbstractItemView*>(widget) || qobject_cast<const QTextEdit*>(widget) ||
        qobject_cast<const QPlainTextEdit*>(widget))
        return true;
    const auto* label = qobject_cast<const QLabel*>(widget);
    const Qt::TextInteractionFlags selectable = Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard;
    return label && (label->textInteractionFlags() & selectable);
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
        if (HasProject())
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
// Project life cycle: the session runs it, the window shows it

void TSocMainForm::ClearFindState()
{
    m_find = TFindRequest{};
}

void TSocMainForm::ProjectChanged()
{
    ClearFindState();
    m_tree->SetStore(Store());
    m_tree->Rebuild();
    UpdateCommands();
}

void TSocMainForm::MenuItemProjectCreateClick()
{
    m_session->Create();
    UpdateCommands();
}

void TSocMainForm::MenuItemProjectOpenClick()
{
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
    m_session->Open(path);
    UpdateCommands();
}

void TSocMainForm::MenuItemProjectClick(QAction* entry)
{
    OpenProjectFile(entry->data().toString());
}

void TSocMainForm::MenuItemProjectSaveClick()
{
    m_session->Save();
    UpdateCommands();
}

void TSocMainForm::MenuItemProjectSaveAsClick()
{
    m_session->SaveAs();
    UpdateCommands();
}

bool TSocMainForm::MenuItemProjectCloseClick()
{
    const bool closed = m_session->Close();
    UpdateCommands();
    return closed;
}

std::vector<TVisualChildForm*> TSocMainForm::InvestigationViews() const
{
    std::vector<TVisualChildForm*> views;
    for (QMdiSubWindow* child : m_mdi->subWindowList(QMdiArea::CreationOrder)) {
        if (auto* view = qobject_cast<TVisualChildForm*>(child->widget()))
            views.push_back(view);
    }
    return views;
}

bool TSocMainForm::ConfirmChildWindows()
{
    QList<QMdiSubWindow*> children = m_mdi->subWindowList(QMdiArea::CreationOrder);
    // Every choices window answers its save question before any window closes, so keeping one
    // open keeps all the views open as well.
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        if (auto* choices = qobject_cast<TSelectionForm*>((*it)->widget()); choices && !choices->CanClose())
            return false;
    }
    // Figures moved in a graph window belong to what the project question is about.
    for (TVisualChildForm* view : InvestigationViews())
        view->SaveState();
    return true;
}

bool TSocMainForm::CommitChildWindows()
{
    // Choices entered in an open choices window belong to what the user saves.
    for (QMdiSubWindow* child : m_mdi->subWindowList()) {
        auto* choices = qobject_cast<TSelectionForm*>(child->widget());
        if (choices && choices->IsModified() && !choices->Save())
            return false;
    }
    // So do the places of the figures on show, so that closing their window later changes nothing.
    for (TVisualChildForm* view : InvestigationViews())
        view->SaveState();
    return true;
}

bool TSocMainForm::CloseChildWindows()
{
    QList<QMdiSubWindow*> children = m_mdi->subWindowList(QMdiArea::CreationOrder);
    // The questions were answered; what the windows still hold is let go.
    for (QMdiSubWindow* child : children) {
        if (auto* choices = qobject_cast<TSelectionForm*>(child->widget()))
            choices->SetModified(false);
    }
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        QPointer<QMdiSubWindow> child(*it);
        child->close();
        if (child && child->isVisible())
            return false;
        delete child.data();
    }
    return true;
}

void TSocMainForm::UsersOperations()
{
    TFileAccess* store = Store();
    if (!store)
        return;
    m_users.Clear();
    m_users.List().LoadFrom(store->Users());
    m_users.SetLoginRequired(store->LoginRequired());
    m_users.Execute(this);
    // The list is written back however the manager was left; only a list that differs counts.
    TStoreEdit edit(*store);
    m_users.List().StoreTo(store->Users());
    store->SetLoginRequired(m_users.LoginRequired());
    edit.Finish(*store);
    UpdateCommands();
}

void TSocMainForm::ImportClientGroupMenuItemClick()
{
    if (!HasProject())
        return;
    TMobileData(this).Import(*m_tree);
    UpdateCommands();
}

void TSocMainForm::ExportClientGroupMenuItemClick()
{
    if (!HasProject() || m_tree->CurrentKind() != TNodeKind::ClientGroup)
        return;
    TMobileData(this).Export(*Store(), m_tree->CurrentIds().Id);
    UpdateCommands();
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
    if (name.startsWith("CompareForm"))
        return TViewKind::Compare;
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
    m_session->Sync();
    const TNodeKind kind = project ? m_tree->CurrentKind() : TNodeKind::None;
    const TViewKind view = project ? ActiveViewKind() : TViewKind::None;
    auto set = [this](TMainCommand command, bool enabled) { Command(command)->setEnabled(enabled); };
    using C = TMainCommand;

    // Object commands by the current node.
    if (HasLangConv()) {
        const TObjectCaptionKeys keys = ObjectCaptionKeys(kind);
        Command(C::CreateObject)->setText(CatalogueText(keys.Create));
        Command(C::ChangeObject)->setText(CatalogueText(keys.Change));
        Command(C::DeleteObject)->setText(CatalogueText(keys.Remove));
        for (const auto& [button, command] : m_buttons) {
            if (command == Command(C::CreateObject) || command == Command(C::ChangeObject) ||
                command == Command(C::DeleteObject))
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
    set(C::ImportClientGroup, project);
    set(C::ImportClassList, project);
    set(C::ExportClientGroup, project && kind == TNodeKind::ClientGroup);
    set(C::CreateObject, create);
    set(C::ChangeObject, change);
    set(C::DeleteObject, change);
    set(C::ReportNode, change);
    for (C command : {C::Choices, C::Indexes, C::Graph, C::Target, C::Status, C::Compare, C::Blanks, C::BlankCard, C::BlankMatrix,
                      C::CollectAnswers})
        set(command, views);

    // View commands by the active child window.
    const bool chart = view == TViewKind::Indexes || view == TViewKind::Graph || view == TViewKind::Target;
    set(C::Positive, chart);
    set(C::Negative, chart);
    set(C::AnyChoices, view == TViewKind::Graph);
    set(C::SaveChoices, view == TViewKind::Choices);
    set(C::ClearAllChoices, view == TViewKind::Choices);
    set(C::Print, view != TViewKind::None);

    // Project commands.
    set(C::ProjectCreate, true);
    set(C::ProjectOpen, true);
    // Marks a choices window holds are steps on the undo stack, so they count as changes too.
    set(C::ProjectSave, project && m_session->IsModified());
    set(C::ProjectSaveAs, project);
    set(C::ProjectClose, project);
    set(C::Users, project);
    set(C::Find, project);
    set(C::FindNext, project && !m_find.Text.trimmed().isEmpty());
    for (C command : {C::ReportClientGroup, C::ReportClient, C::ReportCriteriaGroup, C::ReportCriterion,
                      C::ReportInvestigation})
        set(command, project);
    if (HasLangConv()) {
        // "[*]" shows the unsaved-changes mark where the desktop puts it.
        QString caption = CatalogueText("MAIN_WINDOW_CAPTION");
        if (project && !Store()->FileName().empty())
            caption += " (" + QString::fromStdString(Store()->FileName()) + ")";
        setWindowTitle(project ? caption + "[*]" : caption);
    }
    setWindowModified(m_session->IsModified());

    for (const auto& [button, command] : m_buttons) {
        button->setEnabled(command->isEnabled());
        if (button->isCheckable())
            button->setChecked(command->isChecked());
    }
    UpdateStatusBar();
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

int TSocMainForm::SelectedInvestigationId() const
{
    if (!HasProject() || !m_tree->HasSelection() || m_tree->CurrentKind() != TNodeKind::Investigation)
        throw TAppError(LangConv().GetText("NO_SELECTED_NODE"));
    return m_tree->CurrentIds().Id;
}

void TSocMainForm::RefuseWhileChoicesOpen(int investId, const QString& name) const
{
    for (QMdiSubWindow* child : m_mdi->subWindowList()) {
        auto* choices = qobject_cast<TSelectionForm*>(child->widget());
        if (choices && choices->InvestId() == investId)
            throw TAppError(LangConv().GetText("INVESTIGATION_NAME") + " \"" + name.toStdString() + "\". " +
                            LangConv().GetText("IS_EXIST_SELECT_FORM"));
    }
}

void TSocMainForm::OpenView(TViewKind viewKind)
{
    const int id = SelectedInvestigationId();
    const QString name = m_tree->CurrentName();
    if (viewKind != TViewKind::Choices) {
        OpenInvestigationView(viewKind, id, name);
        return;
    }
    RefuseWhileChoicesOpen(id, name);
    auto* form = new TSelectionForm(*Store(), id, name);
    QMdiSubWindow* child = m_mdi->addSubWindow(form);
    child->setAttribute(Qt::WA_DeleteOnClose);
    child->setWindowIcon(ShellIcon(TShellIcon::Choices));
    child->show();
    // Large enough for the whole grid where the area allows it, else as large as the area.
    const QSize frame = child->size() - form->size();
    const QSize area = m_mdi->viewport()->size();
    const QSize wanted = (form->GridFitSize() + frame).boundedTo(area).expandedTo(QSize(240, 160));
    child->resize(wanted);
    KeepInside(*child, area);
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
    const TShellIcon icon = viewKind == TViewKind::Indexes  ? TShellIcon::Indexes
                            : viewKind == TViewKind::Target ? TShellIcon::Target
                                                            : TShellIcon::Graph;
    ShowInvestigationView(entry->Create(*Store(), id, name), icon, entry->MenuKey, name);
}

void TSocMainForm::ShowInvestigationView(TVisualChildForm* form, TShellIcon icon, const char* menuKey,
                                         const QString& name)
{
    QMdiSubWindow* child = m_mdi->addSubWindow(form);
    child->setAttribute(Qt::WA_DeleteOnClose);
    child->setWindowIcon(ShellIcon(icon));
    child->resize(std::min(m_mdi->width() - 20, 720), std::min(m_mdi->height() - 20, 520));
    child->show();
    const QSize content = form->ContentSize();
    if (content.isValid()) {
        const QSize frame = child->size() - form->size();
        child->resize(child->size().expandedTo(content + frame).boundedTo(m_mdi->viewport()->size()));
    }
    KeepInside(*child, m_mdi->viewport()->size());
    m_mdi->setActiveSubWindow(child);
    if (!SubWindowOf(form))
        throw TAppError(LangConv().GetText("NO_CHILD_HANDLE"));
    AddWindowMenuEntry(child, menuKey, name);
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
    Command(ChoiceKindCommand(kind))->setChecked(true);
    UpdateCommands();
    auto* target = qobject_cast<TVisualChildForm*>(ActiveView());
    if (target && target->Kind() != kind)
        target->SetChoiceKind(kind);
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

void TSocMainForm::HandleNotify(TNotifyCode code, QWidget* sender)
{
    switch (code) {
    case TNotifyCode::ViewActivated: {
        CheckWindowMenuEntry(SubWindowOf(sender));
        if (const auto* view = qobject_cast<TVisualChildForm*>(sender))
            Command(ChoiceKindCommand(view->Kind()))->setChecked(true);
        UpdateCommands();
        break;
    }
    case TNotifyCode::ViewCreated:
        // Windows made offscreen for a report's pictures are no windows of the main window.
        if (SubWindowOf(sender) == nullptr)
            break;
        Command(TMainCommand::Positive)->setChecked(true);
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
    case TNotifyCode::OpenCompare:
        RunCommand([this] { CompareWith(); });
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

