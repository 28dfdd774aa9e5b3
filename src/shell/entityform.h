#pragma once

#include <string>

#include <QDate>
#include <QDialog>
#include <QString>

#include "platform/langcontroller.h"
#include "platform/helptopics.h"

class QDialogButtonBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// Day counts from 30 December 1899 (the project's date values) to and from calendar dates.
QDate DateFromDays(double days);
double DaysFromDate(const QDate& date);

// Descriptions are held in the project with CR LF line breaks; the memo works with bare LF.
std::string DescriptionToStore(const QString& text);
QString DescriptionFromStore(const std::string& text);
// A name as the project stores it: cut to 255 characters.
std::string NameToStore(const QString& text);

// Plain information boxes through the modal seam, titled with the application's name.
void ShowMessageText(QWidget* parent, const QString& text);
void ShowCatalogueMessage(QWidget* parent, const char* key);

// The common frame of the object dialogs: a name edit that must not be blank for OK, a
// description memo, and the OK, Cancel and Help buttons. Subclasses add their own rows to
// FieldsLayout() and call TLanguageController::Translate at the end of their constructors.
class TEntityFormBase : public QDialog {
    Q_OBJECT

public:
    // The name without surrounding blanks.
    QString NameText() const;
    void SetNameText(const QString& text);
    // The whole description, line breaks included.
    QString DescriptionText() const;
    void SetDescriptionText(const QString& text);

    QLineEdit* NameEdit() const { return m_nameEdit; }
    QPlainTextEdit* DescriptionMemo() const { return m_memo; }
    QPushButton* OkButton() const { return m_okButton; }
    THelpTopic HelpTopic() const { return m_helpTopic; }

    // Refuses, with the reason, a name the project file would read back empty ("NULL").
    void accept() override;

protected:
    // formName is the window's objectName (its language section); the two edit names are the
    // objectNames of the name edit and the description memo.
    // maxNameLength 0 leaves the name edit without a limit of its own.
    TEntityFormBase(QWidget* parent, const QString& formName, const QString& nameEditName, int maxNameLength,
                    const QString& memoName, THelpTopic helpTopic);

    QFormLayout* FieldsLayout() const { return m_fields; }
    // A label with an objectName whose text the language file supplies, bound to its field.
    QLabel* MakeLabel(const QString& name, QWidget* buddy);
    // Places the description memo and the buttons below the fields; call after adding rows.
    void FinishLayout();

private:
    void UpdateOkButton();

    THelpTopic m_helpTopic;
    QFormLayout* m_fields = nullptr;
    QLineEdit* m_nameEdit = nullptr;
    QLabel* m_memoLabel = nullptr;
    QPlainTextEdit* m_memo = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QPushButton* m_helpButton = nullptr;
};
