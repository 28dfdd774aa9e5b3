#include "shell/mobiledata.h"

#include <string>

#include <QFileInfo>
#include <QString>

#include "i18n/storemessages.h"
#include "platform/modalseam.h"
#include "shell/entityform.h"
#include "shell/objectstree.h"
#include "store/fileacc.h"
#include "store/groupfile.h"
#include "util/progress.h"
#include "util/text.h"
#include "views/undostack.h"

namespace {

constexpr int kProgressHalf = 50;

QString StartFolder(const TFileAccess* store)
{
    if (!store || store->FileName().empty())
        return {};
    return QFileInfo(QString::fromStdString(store->FileName())).absolutePath();
}

// The file name proposed for a group: its name, without the characters file names cannot hold.
QString ProposedGroupFile(const TFileAccess& store, const std::string& groupName)
{
    QString name = QString::fromStdString(groupName).trimmed();
    for (const QChar bad : QStringLiteral("/\\:*?\"<>|"))
        name.replace(bad, QLatin1Char('_'));
    if (name.isEmpty())
        return StartFolder(&store);
    const QString folder = StartFolder(&store);
    return (folder.isEmpty() ? name : folder + QLatin1Char('/') + name) + QStringLiteral(".sgr");
}

} // namespace

bool TMobileData::Export(TFileAccess& store, int32_t groupId)
{
    TGroupFileData data;
    if (!GroupFromStore(store, groupId, data)) {
        ShowCatalogueMessage(m_parent, "NO_SELECTED_NODE");
        return false;
    }
    const QString chosen = Modal().SaveFileName(m_parent, CatalogueText("CLN_GROUP_DLG_SAVE"), ProposedGroupFile(store, data.Name),
                                                CatalogueText("CLN_GROUP_FILTER_HEAD") + " (*.sgr)");
    if (chosen.isEmpty())
        return false;
    const std::string path = GroupFileName(chosen.toStdString());
    if (QFileInfo::exists(QString::fromStdString(path))) {
        ShowCatalogueMessage(m_parent, "CLN_GROUP_FILE_EXIST");
        return false;
    }
    TGroupFileResult result = TGroupFileResult::Ok;
    std::string error;
    {
        TProgressScope progress;
        progress.Advance(kProgressHalf);
        result = WriteGroupFile(path, data, error);
        progress.Advance(kProgressHalf);
    }
    switch (result) {
    case TGroupFileResult::Ok:
        ShowCatalogueMessage(m_parent, "CLIENT_GROUP_EXPORT_OK");
        return true;
    case TGroupFileResult::FileExists:
        ShowCatalogueMessage(m_parent, "CLN_GROUP_FILE_EXIST");
        return false;
    default:
        ShowMessageText(m_parent, CatalogueText("CLN_GROUP_FILE_NOT_WRITTEN") + "\n" + QString::fromStdString(error));
        return false;
    }
}

bool TMobileData::Import(TObjectsTree& tree)
{
    const QString chosen = Modal().OpenFileName(m_parent, CatalogueText("CLN_GROUP_DLG_OPEN"), StartFolder(tree.Store()),
                                                CatalogueText("CLN_GROUP_FILTER_HEAD") + " (*.sgr *.SGR)");
    if (chosen.isEmpty())
        return false;
    return ImportFile(tree, chosen);
}

bool TMobileData::ImportFile(TObjectsTree& tree, const QString& path)
{
    TGroupFileData data;
    TGroupFileResult result = TGroupFileResult::Ok;
    std::vector<int32_t> refusedLines;
    {
        TProgressScope progress;
        result = ReadGroupFile(path.toStdString(), data);
        progress.Advance(kProgressHalf);
        // A group called "NULL" would come back nameless from the project file: nothing is taken.
        if (result == TGroupFileResult::Ok && IsReservedNull(data.Name)) {
            ShowCatalogueMessage(m_parent, "NULL_NAME_REFUSED");
            return false;
        }
        refusedLines = DropReservedNames(data);
        if (result == TGroupFileResult::Ok && tree.Store()) {
            TStoreEdit edit(*tree.Store());
            // Every line was checked before this point, so the group goes in whole.
            const int groupId = tree.AddClientGroup(QString::fromStdString(data.Name),
                                                    QString::fromStdString(data.Description));
            for (const TGroupFileClient& client : data.Clients)
                tree.AddClient(groupId, QString::fromStdString(client.FullName), client.IsMale, client.BirthDate,
                               QString::fromStdString(client.Description));
            PushStoreEdit(*tree.Store(), std::move(edit),
                          UndoText("UNDO_IMPORT_CLIENT_GROUP", {QString::fromStdString(data.Name)}));
        }
        progress.Advance(kProgressHalf);
    }
    switch (result) {
    case TGroupFileResult::Ok:
        if (!refusedLines.empty()) {
            QStringList lines;
            for (const int32_t line : refusedLines)
                lines << QString::number(line);
            ShowMessageText(m_parent, UndoText("GROUP_IMPORT_NULL_ROWS", {lines.join(QStringLiteral(", "))}));
        }
        if (data.Notes.empty()) {
            ShowCatalogueMessage(m_parent, "CLIENT_GROUP_IMPORT_OK");
        } else {
            // What had to change in the file's text is named, line by line.
            QString text = CatalogueText("CLIENT_GROUP_IMPORT_OK");
            for (const TGroupFileNote& note : data.Notes)
                text += "\n" + QString::fromStdString(GroupFileNoteText(note));
            ShowMessageText(m_parent, text);
        }
        return true;
    case TGroupFileResult::FileNotExist:
        ShowCatalogueMessage(m_parent, "CLN_GROUP_FILE_NOT_EXIST");
        return false;
    default:
        ShowCatalogueMessage(m_parent, "CLIENT_GROUP_FILE_BAD");
        return false;
    }
}
