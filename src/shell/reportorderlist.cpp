#include "shell/reportorderlist.h"

#include <algorithm>

#include <QListWidget>

#include "reports/reportorder.h"

void ShowReportOrder(const TReportOrderInRegistry& order, QListWidget& list)
{
    list.clear();
    for (std::size_t pos = 0; pos < order.Count(); ++pos) {
        auto* item = new QListWidgetItem(QString::fromStdString(order.TitleAt(pos)), &list);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(order.IsOn(pos) ? Qt::Checked : Qt::Unchecked);
    }
    list.setCurrentRow(order.CurrentPosition());
}

void ReadReportOrder(const QListWidget& list, TReportOrderInRegistry& order)
{
    const int rows = std::min(list.count(), static_cast<int>(order.Count()));
    for (int row = 0; row < rows; ++row)
        order.SetOn(static_cast<std::size_t>(row), list.item(row)->checkState() == Qt::Checked);
    if (list.currentRow() >= 0)
        order.SetCurrentPosition(list.currentRow());
}
