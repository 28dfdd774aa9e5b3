#pragma once

#include "shell/entityform.h"

class QDateEdit;
class QRadioButton;
class QSpinBox;

// The dialog that creates or changes a client: full name, sex, birthday with the age kept in
// step, and description.
class TAddClientForm final : public TEntityFormBase {
    Q_OBJECT

public:
    explicit TAddClientForm(QWidget* parent = nullptr);

    bool IsMale() const;
    void SetMale(bool male);
    // The birthday as a project date value; setting it recomputes the age.
    double BirthDate() const;
    void SetBirthDate(double date);
    int Age() const;

private:
    void BirthDateChanged(const QDate& date);
    void AgeChanged(int age);

    QWidget* m_sexBox = nullptr;
    QRadioButton* m_man = nullptr;
    QRadioButton* m_woman = nullptr;
    QDateEdit* m_birthday = nullptr;
    QSpinBox* m_age = nullptr;
    bool m_syncing = false;
};
