#pragma once

#include <QDialog>

#include "platform/helptopics.h"

// Asks whether the selected user is to be removed: Yes accepts, No (or closing) keeps the user.
class TConfirmForm final : public QDialog {
    Q_OBJECT

public:
    explicit TConfirmForm(THelpTopic helpTopic, QWidget* parent = nullptr);
};
