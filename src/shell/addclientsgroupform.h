#pragma once

#include "shell/entityform.h"

// The dialog that creates or changes a client group: its name and description.
class TAddClientsGroupForm final : public TEntityFormBase {
    Q_OBJECT

public:
    explicit TAddClientsGroupForm(QWidget* parent = nullptr);
};
