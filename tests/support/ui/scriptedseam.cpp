#include "support/ui/scriptedseam.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDialog>

TScriptedModalSeam::TScriptedModalSeam() : m_previous(SetModalSeam(this)) {}

TScriptedModalSeam::~TScriptedModalSeam()
{
    SetModalSeam(m_previous);
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

QString TScriptedModalSeam::OpenFileName(QWidget*, const QString&, const QString&, const QString&)
{
    if (m_openFiles.empty()) {
        ADD_FAILURE() << "unexpected open-file dialog";
        return {};
    }
    QString path = m_openFiles.front();
    m_openFiles.pop_front();
    return path;
}

QString TScriptedModalSeam::SaveFileName(QWidget*, const QString&, const QString&, const QString&)
{
    if (m_saveFiles.empty()) {
        ADD_FAILURE() << "unexpected save-file dialog";
        return {};
    }
    QString path = m_saveFiles.front();
    m_saveFiles.pop_front();
    return path;
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
