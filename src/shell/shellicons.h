#pragma once

#include <QIcon>

#include "shell/nodekind.h"

// The pictures of the main window: one per node kind of the objects tree and one per tool
// button. They are drawn in code at several sizes, so they stay sharp on dense screens.
enum class TShellIcon : int {
    None = 0,
    // Node kinds 1..9 of the objects tree, in kind order.
    NodeProject,
    NodeClientGroups,
    NodeClientGroup,
    NodeClient,
    NodeCriteria,
    NodeCriteriaGroup,
    NodeCriterion,
    NodeInvestigations,
    NodeInvestigation,
    // Tool buttons.
    ProjectCreate,
    ProjectOpen,
    ProjectSave,
    ProjectSaveAs,
    ProjectClose,
    Import,
    Export,
    Print,
    Exit,
    Users,
    Find,
    FindNext,
    ToolbarsTuning,
    Parameters,
    SaveChoices,
    ClearChoices,
    Positive,
    Negative,
    AnyChoices,
    CreateNode,
    ChangeNode,
    DeleteNode,
    Choices,
    Indexes,
    Graph,
    Target,
    Status,
    ReportNode,
    ReportClientGroup,
    ReportClient,
    ReportCriteriaGroup,
    ReportCriterion,
    ReportInvestigation,
    Undo,
    Redo,
    Help,
    Tremlow,
};

// The icon of a picture; cached after the first call.
QIcon ShellIcon(TShellIcon which);
// The icon of an objects-tree node kind (1..9); an empty icon for any other value.
QIcon NodeKindIcon(TNodeKind kind);
