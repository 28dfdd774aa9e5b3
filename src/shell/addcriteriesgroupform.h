#pragma once

#include "shell/entityform.h"

// The dialog that creates or changes a criteria group: its name and description.
class TAddCriteriesGroupForm final : public TEntityFormBase {
    Q_OBJECT

public:
    explicit TAddCriteriesGroupForm(QWidget* parent = nullptr);
};
