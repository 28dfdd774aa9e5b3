#pragma once

// Kinds of the objects tree's nodes; each kind has its icon and its commands.
enum class TNodeKind : int {
    None = 0,
    Project = 1,
    ClientGroups = 2,
    ClientGroup = 3,
    Client = 4,
    Criteria = 5,
    CriteriaGroup = 6,
    Criterion = 7,
    Investigations = 8,
    Investigation = 9,
};
