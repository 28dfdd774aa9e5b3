#pragma once

#include <cstdint>

class QString;
class QWidget;
class TFileAccess;
class TObjectsTree;

// The main window's client group exchange: export writes a client group of the open project to a
// new client group file (".sgr"), import reads such a file and adds the group with its clients
// to the project through the objects tree, so the tree shows them at once. Each asks for the file
// with the file dialog; cancelling ends the command quietly, every refusal is told.
class TMobileData final {
public:
    explicit TMobileData(QWidget* parent) : m_parent(parent) {}

    // True when the file was written.
    bool Export(TFileAccess& store, int32_t groupId);
    // True when a group was added (the whole file, or nothing of it).
    bool Import(TObjectsTree& tree);
    // The same for a file already chosen (one opened from the desktop).
    bool ImportFile(TObjectsTree& tree, const QString& path);

private:
    QWidget* m_parent;
};
