#pragma once

#include "shell/objectstree.h"

class QWidget;
class TFileAccess;

// The report commands of the main window, by the number each stands for.
enum class TReportCommand : int {
    CurrentObject = 0,
    ClientGroup = 1,
    Client = 2,
    CriteriaGroup = 3,
    Criterion = 4,
    Investigation = 5,
    Sociocard = 6,
    Sociomatrix = 7,
};

// Runs one report command: picks the object (the tree's current node, or the object pick window),
// shows the report window filled from the report settings, writes the report or blank with the
// chosen builder and stores the choices back. Errors are raised as TAppError for the caller to show.
void RunReportCommand(QWidget* owner, TFileAccess& store, TReportCommand command, TNodeKind nodeKind,
                      const TNodeIds& nodeIds);
