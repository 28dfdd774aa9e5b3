#include "shell/entityform.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include "platform/dialogbuttons.h"
#include "platform/helpviewer.h"
#include "platform/modalseam.h"
#include "i18n/langconv.h"
#include "util/dates.h"
#include "util/error.h"
#include "util/text.h"

QDate DateFromDays(double days)
{
    int year = 0, month = 0, day = 0;
    if (!DecodeDate(days, year, month, day))
        return {};
    return QDate(year, month, day);
}

double DaysFromDate(const QDate& date)
{
    double days = 0;
    if (date.isValid())
        EncodeDate(date.year(), date.month(), date.day(), days);
    return days;
}

std::string DescriptionToStore(const QString& text)
{
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(QChar('\r'), QChar('\n'));
    lines.replace(QChar('\n'), QStringLiteral("\r\n"));
    return lines.toStdString();
}

QString DescriptionFromStore(const std::string& text)
{
    QString lines = QString::fromStdString(text);
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return lines;
}

std::string NameToStore(const QString& text)
{
    return CutChars(text.toStdString(), kShortTextMax);
}

void ShowMessageText(QWidget* parent, const QString& text)
{
    QString title = QStringLiteral("Tremlow");
    if (HasLangConv()) {
        try {
            title = CatalogueText("APPLICATION_NAME");
        } catch (const TAppError&) {
            // The box still shows with the built-in title.
        }
    }
    Modal().Information(parent, title, text);
}

void ShowCatalogueMessage(QWidget* parent, const char* key)
{
    ShowMessageText(parent, CatalogueText(key));
}

TEntityFormBase::TEntityFormBase(QWidget* parent, const QString& formName, const QString& nameEditName,
                                 int maxNameLength, const QString& memoName, THelpTopic helpTopic)
    : QDialog(parent), m_helpTopic(helpTopic)
{
    setObjectName(formName);
    setModal(true);
    setSizeGripEnabled(true);

    m_nameEdit = new QLineEdit(this);
    m_nameEdit->setObjectName(nameEditName);
    if (maxNameLength > 0)
        m_nameEdit->setMaxLength(maxNameLength);

    m_memo = new QPlainTextEdit(this);
    m_memo->setObjectName(memoName);
    m_memo->setTabChangesFocus(true);
    m_memoLabel = new QLabel(this);
    m_memoLabel->setObjectName(QStringLiteral("DescriptionLabel"));
    m_memoLabel->setBuddy(m_memo);

    const TDialogButtons row = MakeOkCancelHelpButtons(this);
    m_okButton = row.Ok;
    m_cancelButton = row.Cancel;
    m_helpButton = row.Help;
    m_buttons = row.Box;
    connect(m_okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_helpButton, &QPushButton::clicked, this, [this] { ShowHelpTopic(m_helpTopic); });
    auto* helpKey = new QShortcut(QKeySequence::HelpContents, this);
    connect(helpKey, &QShortcut::activated, m_helpButton, &QPushButton::click);

    m_fields = new QFormLayout;
    m_fields->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    m_fields->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_fields->addRow(MakeLabel(QStringLiteral("NameLabel"), m_nameEdit), m_nameEdit);

    connect(m_nameEdit, &QLineEdit::textChanged, this, &TEntityFormBase::UpdateOkButton);
    UpdateOkButton();
}

QLabel* TEntityFormBase::MakeLabel(const QString& name, QWidget* buddy)
{
    auto* label = new QLabel(this);
    label->setObjectName(name);
    label->setBuddy(buddy);
    return label;
}

void TEntityFormBase::FinishLayout()
{
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(m_fields);
    layout->addSpacing(4);
    layout->addWidget(m_memoLabel);
    layout->addWidget(m_memo, 1);
    layout->addSpacing(4);
    layout->addWidget(m_buttons);
    m_memo->setMinimumHeight(90);
    m_nameEdit->setMinimumWidth(320);
}

QString TEntityFormBase::NameText() const
{
    // Blanks around a name are typing slips; a name is stored without them.
    return m_nameEdit->text().trimmed();
}

void TEntityFormBase::SetNameText(const QString& text)
{
    m_nameEdit->setText(text);
}

QString TEntityFormBase::DescriptionText() const
{
    return m_memo->toPlainText();
}

void TEntityFormBase::SetDescriptionText(const QString& text)
{
    m_memo->setPlainText(text);
}

void TEntityFormBase::accept()
{
    if (IsReservedNull(NameText().toStdString())) {
        ShowCatalogueMessage(this, "NULL_NAME_REFUSED");
        m_nameEdit->setFocus();
        m_nameEdit->selectAll();
        return;
    }
    QDialog::accept();
}

void TEntityFormBase::UpdateOkButton()
{
    // A name of blanks only would be a nameless object.
    m_okButton->setEnabled(!NameText().isEmpty());
}
