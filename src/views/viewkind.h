#pragma once

// Kinds of the investigation windows: the main window's active view and the views registry
// name them by these numbers, so they never change.
enum class TViewKind : int {
    None = 0,
    Choices = 1,
    Indexes = 2,
    Graph = 3,
    Target = 4,
    Status = 5,
    Compare = 6,
};
