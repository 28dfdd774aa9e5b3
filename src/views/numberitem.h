#pragma once

#include <QTableWidgetItem>

// A table cell that sorts by the number it stands for, not by its text.
class TNumberItem final : public QTableWidgetItem {
public:
    TNumberItem(const QString& text, double value) : QTableWidgetItem(text) { setData(Qt::UserRole, value); }
    bool operator<(const QTableWidgetItem& other) const override
    {
        return data(Qt::UserRole).toDouble() < other.data(Qt::UserRole).toDouble();
    }
};
