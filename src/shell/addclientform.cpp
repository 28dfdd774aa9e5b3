#include "shell/addclientform.h"

#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>

#include "platform/langcontroller.h"
#include "store/dbinfo.h"

TAddClientForm::TAddClientForm(QWidget* parent)
    : TEntityFormBase(parent, QStringLiteral("AddClientForm"), QStringLiteral("FullNameEdit"), 255,
                      QStringLiteral("ExpandedMemo"), THelpTopic::Client)
{
    m_sexBox = new QWidget(this);
    m_man = new QRadioButton(m_sexBox);
    m_man->setObjectName(QStringLiteral("ManRadioButton"));
    m_woman = new QRadioButton(m_sexBox);
    m_woman->setObjectName(QStringLiteral("WomanRadioButton"));
    auto* sexRow = new QHBoxLayout(m_sexBox);
    sexRow->setContentsMargins(0, 0, 0, 0);
    sexRow->addWidget(m_man);
    sexRow->addWidget(m_woman);
    sexRow->addStretch(1);
    m_man->setChecked(true);

    m_birthday = new QDateEdit(this);
    m_birthday->setObjectName(QStringLiteral("BornDatePicker"));
    m_birthday->setCalendarPopup(true);
    m_birthday->setDateRange(QDate(1753, 1, 1), QDate(9999, 12, 31));
    m_birthday->setDate(QDate::currentDate());

    m_age = new QSpinBox(this);
    m_age->setObjectName(QStringLiteral("AgeSpinEdit"));
    m_age->setRange(0, 150);
    m_age->setKeyboardTracking(false);
    m_age->setValue(0);

    FieldsLayout()->addRow(MakeLabel(QStringLiteral("SexLabel"), m_man), m_sexBox);
    auto* dateRow = new QHBoxLayout;
    dateRow->addWidget(m_birthday);
    dateRow->addSpacing(16);
    dateRow->addWidget(MakeLabel(QStringLiteral("AgeLabel"), m_age));
    dateRow->addWidget(m_age);
    dateRow->addStretch(1);
    FieldsLayout()->addRow(MakeLabel(QStringLiteral("BornLabel"), m_birthday), dateRow);
    FinishLayout();

    setTabOrder(NameEdit(), m_man);
    setTabOrder(m_man, m_woman);
    setTabOrder(m_woman, m_birthday);
    setTabOrder(m_birthday, m_age);
    setTabOrder(m_age, DescriptionMemo());

    connect(m_birthday, &QDateEdit::dateChanged, this, &TAddClientForm::BirthDateChanged);
    connect(m_age, &QSpinBox::valueChanged, this, &TAddClientForm::AgeChanged);
    TLanguageController::Translate(*this);
}

bool TAddClientForm::IsMale() const
{
    return m_man->isChecked();
}

void TAddClientForm::SetMale(bool male)
{
    (male ? m_man : m_woman)->setChecked(true);
}

double TAddClientForm::BirthDate() const
{
    return DaysFromDate(m_birthday->date());
}

void TAddClientForm::SetBirthDate(double date)
{
    const QDate day = DateFromDays(date);
    if (day == m_birthday->date())
        BirthDateChanged(day);
    else
        m_birthday->setDate(day);
}

int TAddClientForm::Age() const
{
    return m_age->value();
}

void TAddClientForm::BirthDateChanged(const QDate& date)
{
    if (m_syncing)
        return;
    // The age follows the birthday without moving the birthday back in turn.
    m_syncing = true;
    m_age->setValue(AgeFromBirthDate(DaysFromDate(date)));
    m_syncing = false;
}

void TAddClientForm::AgeChanged(int age)
{
    if (m_syncing)
        return;
    m_syncing = true;
    const QDate date = DateFromDays(BirthDateFromAge(static_cast<int16_t>(age), BirthDate()));
    if (date.isValid())
        m_birthday->setDate(date);
    m_syncing = false;
}
