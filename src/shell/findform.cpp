#include "shell/findform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include "platform/helpviewer.h"
#include "platform/langcontroller.h"
#include "shell/entityform.h"

namespace {

// Entries of the type list, in list position order.
const char* const kTypeKeys[] = {"ANY_NAME",          "CLIENTGROUP_NAME", "CLIENT_NAME",
                                 "CRITERYGROUP_NAME", "CRITERY_NAME",     "INVESTIGATION_NAME"};

QLabel* MakeFindLabel(QWidget* parent, const QString& name, QWidget* buddy)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setBuddy(buddy);
    return label;
}

} // namespace

TFindForm::TFindForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FindForm"));
    setModal(true);

    m_text = new QLineEdit(this);
    m_text->setObjectName(QStringLiteral("ObjectEdit"));
    m_text->setMinimumWidth(260);
    m_type = new QComboBox(this);
    m_type->setObjectName(QStringLiteral("ObjectTypeComboBox"));
    for (const char* key : kTypeKeys)
        m_type->addItem(CatalogueText(key));
    m_caseSensitive = new QCheckBox(this);
    m_caseSensitive->setObjectName(QStringLiteral("CaseSensCheckBox"));
    m_wholeString = new QCheckBox(this);
    m_wholeString->setObjectName(QStringLiteral("FullStringCheckBox"));

    m_find = new QPushButton(this);
    m_find->setObjectName(QStringLiteral("FindButton"));
    m_find->setDefault(true);
    m_close = new QPushButton(this);
    m_close->setObjectName(QStringLiteral("CloseButton"));
    m_close->setAutoDefault(false);
    m_help = new QPushButton(this);
    m_help->setObjectName(QStringLiteral("HelpButton"));
    m_help->setAutoDefault(false);

    auto* fields = new QFormLayout;
    fields->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    fields->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    fields->addRow(MakeFindLabel(this, QStringLiteral("ObjectLabel"), m_text), m_text);
    fields->addRow(MakeFindLabel(this, QStringLiteral("ObjectTypeLabel"), m_type), m_type);
    fields->addRow(QString(), m_caseSensitive);
    fields->addRow(QString(), m_wholeString);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_find);
    buttons->addWidget(m_close);
    buttons->addWidget(m_help);
    buttons->addStretch(1);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(fields, 1);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetMinimumSize);

    setTabOrder(m_text, m_type);
    setTabOrder(m_type, m_caseSensitive);
    setTabOrder(m_caseSensitive, m_wholeString);
    setTabOrder(m_wholeString, m_find);
    setTabOrder(m_find, m_close);
    setTabOrder(m_close, m_help);

    connect(m_text, &QLineEdit::textChanged, this, &TFindForm::UpdateFindButton);
    connect(m_find, &QPushButton::clicked, this, [this] {
        m_findPressed = true;
        accept();
    });
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_help, &QPushButton::clicked, this, [] { ShowHelpTopic(THelpTopic::Find); });
    auto* helpKey = new QShortcut(QKeySequence::HelpContents, this);
    connect(helpKey, &QShortcut::activated, m_help, &QPushButton::click);
    UpdateFindButton();
    TLanguageController::Translate(*this);
}

void TFindForm::Fill(const QString& text, TFindType type, TFindFlags flags)
{
    m_text->setText(text.trimmed());
    const int position = static_cast<int>(type);
    m_type->setCurrentIndex(position >= 0 && position < m_type->count() ? position : 0);
    m_caseSensitive->setChecked(HasFindFlag(flags, TFindFlags::CaseSensitive));
    m_wholeString->setChecked(HasFindFlag(flags, TFindFlags::WholeString));
    m_text->selectAll();
}

QString TFindForm::Text() const
{
    return m_text->text().trimmed();
}

TFindType TFindForm::Type() const
{
    return m_type->currentIndex() < 0 ? TFindType::AnyObject : static_cast<TFindType>(m_type->currentIndex());
}

TFindFlags TFindForm::Flags() const
{
    return (m_caseSensitive->isChecked() ? TFindFlags::CaseSensitive : TFindFlags::None) |
           (m_wholeString->isChecked() ? TFindFlags::WholeString : TFindFlags::None);
}

void TFindForm::UpdateFindButton()
{
    m_find->setEnabled(!m_text->text().trimmed().isEmpty());
}
