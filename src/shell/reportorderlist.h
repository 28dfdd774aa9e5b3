#pragma once

class QListWidget;
class TReportOrderInRegistry;

// Shows the investigation report's parts in a check list: one item per part in the current
// order, checked when the part is on, the current position selected.
void ShowReportOrder(const TReportOrderInRegistry& order, QListWidget& list);
// Takes the check marks and the selected row of the list back into the order.
void ReadReportOrder(const QListWidget& list, TReportOrderInRegistry& order);
