#include "shellfixture.h"

#include <filesystem>

#include <QAction>
#include <QMenu>
#include <QTreeWidgetItemIterator>

#include "shell/objectstree.h"
#include "support/core/tempdir.h"

TShellSettings::TShellSettings() : m_root(Regs().Root), m_socMain(Regs().SocMain)
{
    Regs().Root.ShowTutorial = false;
    Regs().Root.IsStartingForm = false;
    Regs().Root.ShowExitConfirmation = false;
    Regs().Root.NumOfLastOpenedProjects = 4;
    TSocMainRegs& main = Regs().SocMain;
    main.Left = main.Top = main.Width = main.Height = -1;
    main.IsMaxim = false;
    main.ObjectsTreeWidth = 200;
    main.IsToolbarFile = main.IsToolbarEdit = main.IsToolbarView = true;
    main.IsToolbarObject = main.IsToolbarReport = main.IsToolbarProject = true;
    ClearRecent();
}

TShellSettings::~TShellSettings()
{
    ClearRecent();
    Regs().Root = m_root;
    Regs().SocMain = m_socMain;
}

void TShellSettings::ClearRecent()
{
    for (std::string path = Regs().GetRecentProject(1); !path.empty(); path = Regs().GetRecentProject(1))
        Regs().RemoveRecentProject(path);
}

std::vector<std::string> TShellSettings::Recent()
{
    std::vector<std::string> paths;
    for (int n = 1; n <= 10; ++n) {
        const std::string path = Regs().GetRecentProject(n);
        if (!path.empty())
            paths.push_back(path);
    }
    return paths;
}

std::string SampleProjectPath()
{
    // A copy of this test process's own: an open project is locked against other programs, and
    // test processes run side by side.
    static const TTempDir folder;
    static const std::string copy = [] {
        const std::string path = folder.File("school-class.soi");
        std::filesystem::copy_file(std::string(TREMLOW_SOURCE_DATA_DIR) + "/examples/school-class.soi", path);
        return path;
    }();
    return copy;
}

QTreeWidgetItem* NodeOf(TObjectsTree& tree, TNodeKind kind, const QString& name)
{
    for (QTreeWidgetItemIterator it(&tree); *it; ++it) {
        if (TObjectsTree::NodeKind(*it) == kind && (name.isEmpty() || (*it)->text(0) == name))
            return *it;
    }
    return nullptr;
}

std::string MenusWithDuplicateMnemonics(const QWidget& root)
{
    std::string found;
    for (const QMenu* menu : root.findChildren<QMenu*>()) {
        QStringList texts;
        for (const QAction* action : menu->actions()) {
            if (action->isVisible() && !action->isSeparator())
                texts << action->text();
        }
        if (const QString keys = DuplicateMnemonics(texts); !keys.isEmpty())
            found += menu->objectName().toStdString() + ": " + keys.toStdString() + "\n";
    }
    return found;
}

QString DuplicateMnemonics(const QStringList& texts)
{
    QString seen;
    QString duplicates;
    for (const QString& text : texts) {
        for (int i = 0; i + 1 < text.size(); ++i) {
            if (text[i] != '&')
                continue;
            const QChar key = text[i + 1].toUpper();
            ++i; // "&&" is a plain ampersand
            if (key == '&')
                continue;
            if (seen.contains(key) && !duplicates.contains(key))
                duplicates += key;
            seen += key;
            break;
        }
    }
    return duplicates;
}
