#include "platform/savefile.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

#include "platform/langcontroller.h"
#include "platform/messagedialog.h"
#include "platform/modalseam.h"

QString& LastSaveFolder()
{
    static QString folder;
    return folder;
}

QString& ProjectFolder()
{
    static QString folder;
    return folder;
}

void SetProjectFolder(const std::string& projectFile)
{
    ProjectFolder() = projectFile.empty() ? QString()
                                          : QFileInfo(QString::fromStdString(projectFile)).absolutePath();
}

QString StartSaveFolder()
{
    return LastSaveFolder().isEmpty() ? ProjectFolder() : LastSaveFolder();
}

QStringList FilterExtensions(const QString& filterEntry)
{
    static const QRegularExpression pattern(QStringLiteral("\\*\\.([A-Za-z0-9_]+)"));
    QStringList extensions;
    for (auto it = pattern.globalMatch(filterEntry); it.hasNext();)
        extensions << it.next().captured(1);
    return extensions;
}

QString CompleteFileName(const QString& typed, const QString& filter, const QString& chosenEntry)
{
    const QString suffix = QFileInfo(typed).suffix();
    const bool hidden = QFileInfo(typed).fileName().startsWith(QLatin1Char('.')) &&
                        QFileInfo(typed).completeBaseName().isEmpty();
    if (!suffix.isEmpty() && !hidden) {
        for (const QString& entry : filter.split(QStringLiteral(";;")))
            if (FilterExtensions(entry).contains(suffix, Qt::CaseInsensitive))
                return typed;
    }
    const QStringList chosen = FilterExtensions(chosenEntry.isEmpty() ? filter.section(QStringLiteral(";;"), 0, 0)
                                                                      : chosenEntry);
    if (chosen.isEmpty())
        return typed;
    return typed + QLatin1Char('.') + chosen.first();
}

QString AskSaveFileName(QWidget* parent, const QString& title, const QString& filter, QString* chosenEntry,
                        const QString& replaceQuestion)
{
    QString entry = chosenEntry && !chosenEntry->isEmpty() ? *chosenEntry : filter.section(QStringLiteral(";;"), 0, 0);
    const QString typed = Modal().SaveFileNameWithFilter(parent, title, StartSaveFolder(), filter, entry);
    if (typed.isEmpty())
        return {};
    if (chosenEntry)
        *chosenEntry = entry;
    const QString fileName = CompleteFileName(typed, filter, entry);
    LastSaveFolder() = QFileInfo(fileName).absolutePath();
    if (QFileInfo::exists(fileName)) {
        TMessageDialog box;
        box.Title = title;
        box.Caption = QDir::toNativeSeparators(fileName) + QStringLiteral(": ") +
                      (replaceQuestion.isEmpty()
                           ? CatalogueText("FILE_REPLACE")
                           : replaceQuestion);
        box.DialogType = mdYesNo;
        if (box.Execute() != TMessageDialog::kYes)
            return {};
    }
    return fileName;
}
