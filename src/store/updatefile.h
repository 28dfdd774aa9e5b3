#pragma once

#include <functional>
#include <string>
#include <vector>

#include "store/lineeditor.h"

// What a project file is, as far as converting it goes.
enum class TProjectLayout {
    Current,    // nothing to convert
    Older,      // a whole project in an older layout: it can be converted
    NotProject, // unreadable, not a project or truncated: left to the load, which reports it
};

// Converts project files written by earlier versions to the current layout before they are
// loaded: the client's name from three columns (surname, given name, patronymic) into one, and
// the login flag that older files lack (added switched off). Works on the file's lines through
// a line editor; no records are read. One object serves one open command.
class TUpdateFile final {
public:
    // Reads the file into the line image (an unreadable file gives an empty image).
    explicit TUpdateFile(std::string fileName);
    TUpdateFile(const TUpdateFile&) = delete;
    TUpdateFile& operator=(const TUpdateFile&) = delete;

    TProjectLayout Layout() const { return m_layout; }
    bool NeedsNameMerge() const { return m_mergeNames; }
    bool NeedsLoginFlag() const { return m_addLoginFlag; }
    int NeededConversions() const { return (m_mergeNames ? 1 : 0) + (m_addLoginFlag ? 1 : 0); }

    // Decides, asks and converts; true when the caller may load the project. An older file is
    // converted only when askPermission answers yes; a refusal or a failed conversion shows the
    // caller's notChangedText through the message sink and leaves the file as it was.
    bool Check(const std::function<bool()>& askPermission, const std::string& notChangedText);

    // Converts an older file without asking: keeps the original as "NAME.bak" (or, where that
    // exists, the first free "NAME.N.bak"; BackupName() tells which), converts the
    // image and replaces the file through the crash-safe writer. False with errorText when the
    // file is not an older project or cannot be written; the file is then unchanged.
    // Progress: one step per conversion of 100 / conversions + 1.
    bool Convert(std::string& errorText);

    // What Convert changed, one plain sentence per conversion.
    const std::vector<std::string>& Changes() const { return m_changes; }

    const TLineEditor& Image() const { return m_image; }
    // The file Convert kept the original in.
    const std::string& BackupName() const { return m_backupName; }

private:
    void Classify();

    TLineEditor m_image;
    TProjectLayout m_layout = TProjectLayout::NotProject;
    bool m_mergeNames = false;
    bool m_addLoginFlag = false;
    std::string m_clientsSection = "CLIENTS";
    std::string m_additionalSection = "ADDITIONAL";
    std::vector<std::string> m_changes;
    std::string m_backupName;
};
