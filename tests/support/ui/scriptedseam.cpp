#include "support/ui/scriptedseam.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDialog>

TScriptedModalSeam::TScriptedModalSeam() = default;

TScriptedModalSeam::~TScriptedModalSeam()
{
    EXPECT_TRUE(AllConsumed()) << "scripted answers left unused: " << m_dialogs.size() << " dialogs, "
                               << m_openFiles.size() << " open files, " << m_saveFiles.size()
                               << " save files";
}

void TScriptedModalSeam::ExpectDialog(const QString& objectName, THandler handler)
{
    m_dialogs.push_back({objectName, std::move(handler)});
}

void TScriptedModalSeam::ExpectDialogButton(const QString& objectName, const QString& button)
{
    ExpectDialog(objectName, [button](QDialog& dialog) {
        QAbstractButton* b = FindButton(dialog, button);
        ASSERT_NE(b, nullptr) << "no button " << button.toStdString();
        b->click();
    });
}

void TScriptedModalSeam::ExpectOpenFile(const QString& path)
{
    m_openFiles.push_back(path);
}

void TScriptedModalSeam::ExpectSaveFile(const QString& path)
{
    m_saveFiles.push_back(path);
    m_saveFilters.push_back({});
}

void TScriptedModalSeam::ExpectSaveFile(const QString& path, const QString& filterPart)
{
    m_saveFiles.push_back(path);
    m_saveFilters.push_back(filterPart);
}

int TScriptedModalSeam::Exec(QDialog& dialog)
{
    dialogsShown << dialog.objectName();
    if (m_dialogs.empty()) {
        ADD_FAILURE() << "unexpected dialog " << dialog.objectName().toStdString();
        return QDialog::Rejected;
    }
    TExpectation next = std::move(m_dialogs.front());
    m_dialogs.pop_front();
    if (!next.name.isEmpty() && !dialog.objectName().startsWith(next.name)) {
        ADD_FAILURE() << "expected dialog " << next.name.toStdString() << ", got "
                      << dialog.objectName().toStdString();
        return QDialog::Rejected;
    }
    dialog.setResult(QDialog::Rejected);
    dialog.show();
    next.handler(dialog);
    if (dialog.isVisible())
        dialog.reject();
    return dialog.result();
}

void TScriptedModalSeam::Information(QWidget*, const QString&, const QString& text)
{
    informations << text;
}

QString TScriptedModalSeam::OpenFileName(QWidget*, const QString&, const QString& dir, const QString&)
{
    openFolders << dir;
    if (m_openFiles.empty()) {
        ADD_FAILURE() << "unexpected open-file dialog";
        return {};
    }
    QString path = m_openFiles.front();
    m_openFiles.pop_front();
    return path;
}

QString TScriptedModalSeam::SaveFileName(QWidget*, const QString&, const QString& dir, const QString&)
{
    saveFolders << dir;
    if (m_saveFiles.empty()) {
        ADD_FAILURE() << "unexpected save-file dialog";
        return {};
    }
    QString path = m_saveFiles.front();
    m_saveFiles.pop_front();
    m_saveFilters.pop_front();
    return path;
}

QString TScriptedModalSeam::SaveFileNameWithFilter(QWidget* parent, const QString& caption, const QString& dir,
                                                   const QString& filter, QString& selectedFilter)
{
    const QString part = m_saveFilters.empty() ? QString() : m_saveFilters.front();
    if (!part.isEmpty()) {
        bool found = false;
        for (const QString& entry : filter.split(QStringLiteral(";;"))) {
            if (entry.contains(part)) {
                selectedFilter = entry;
                found = true;
                break;
            }
        }
        if (!found)
            ADD_FAILURE() << "no filter entry with " << part.toStdString() << " in " << filter.toStdString();
    }
    return SaveFileName(parent, caption, dir, filter);
}

bool TScriptedModalSeam::OpenUrl(const QString& url)
{
    openedUrls << url;
    return urlOpens;
}

bool TScriptedModalSeam::AllConsumed() const
{
    return m_dialogs.empty() && m_openFiles.empty() && m_saveFiles.empty();
}

QAbstractButton* FindButton(QWidget& parent, const QString& nameOrText)
{
    const auto buttons = parent.findChildren<QAbstractButton*>();
    for (QAbstractButton* b : buttons) {
        if (b->objectName() == nameOrText)
            return b;
    }
    for (QAbstractButton* b : buttons) {
        if (b->text().remove('&') == nameOrText)
            return b;
    }
    return nullptr;
}
