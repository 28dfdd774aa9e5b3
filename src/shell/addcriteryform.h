#pragma once

#include "shell/entityform.h"

// The dialog that creates or changes a criterion (a sociometric question): its name and description.
class TAddCriteryForm final : public TEntityFormBase {
    Q_OBJECT

public:
    explicit TAddCriteryForm(QWidget* parent = nullptr);
};
