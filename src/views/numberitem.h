#pragma once

#include <QTableWidgetItem>

#include "platform/nameorder.h"

// A table cell that sorts by the number it stands for, not by its text.
class TNumberItem final : public QTableWidgetItem {
public:
    TNumberItem(const QString& text, double value) : QTableWidgetItem(text) { setData(Qt::UserRole, value); }
    bool operator<(const QTableWidgetItem& other) const override
    {
        return data(Qt::UserRole).toDouble() < other.data(Qt::UserRole).toDouble();
    }
};

// A table cell holding a name, sorted as a person lists names rather than by character codes.
class TNameItem final : public QTableWidgetItem {
public:
    explicit TNameItem(const QString& text) : QTableWidgetItem(text) {}
    bool operator<(const QTableWidgetItem& other) const override { return NameLess(text(), other.text()); }
};
