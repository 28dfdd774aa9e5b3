#pragma once

#include <string>
#include <vector>

#include <QString>
#include <QStringList>

class QWidget;

#include "shell/nodekind.h"
#include "i18n/langconv.h"
#include "settings/regs.h"
#include "support/ui/notifyrecorder.h"

class QTreeWidgetItem;
class TObjectsTree;

// Catalogue text of a key, for comparing what the windows show.
inline QString CatText(const char* key)
{
    return QString::fromStdString(LangConv().GetText(key));
}

// Settings of a quiet start: no tutorial, no start-up window, no exit question, four recent
// entries, every tool bar shown; the recent list is emptied. Restores the previous values.
class TShellSettings final {
public:
    TShellSettings();
    ~TShellSettings();
    TShellSettings(const TShellSettings&) = delete;
    TShellSettings& operator=(const TShellSettings&) = delete;

    static void ClearRecent();
    static std::vector<std::string> Recent();

private:
    TRootRegs m_root;
    TSocMainRegs m_socMain;
};

// The path of a copy of the bundled sample project, one per test process.
std::string SampleProjectPath();

// The first node of a kind in display order whose text is name (any text when name is empty).
QTreeWidgetItem* NodeOf(TObjectsTree& tree, TNodeKind kind, const QString& name = {});

// The access-key letters (after a single "&") that more than one of the texts uses, in capitals;
// empty when every key is unique. Such keys would cycle between entries instead of choosing one.
QString DuplicateMnemonics(const QStringList& texts);
// "menu: keys" for every menu below root in which an access key chooses more than one visible entry.
std::string MenusWithDuplicateMnemonics(const QWidget& root);
