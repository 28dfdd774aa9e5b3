// The investigation report's parts in a check list, as the options dialog arranges them.
#include <gtest/gtest.h>

#include <QListWidget>

#include "shell/reportorderlist.h"
#include "reports/reportorder.h"
#include "settings/regs.h"

namespace {

TEST(ReportOrderList, ListFollowsTheOrderAndGivesItsChecksBack)
{
    TReportRegs regs;
    regs.PartsOrder = "QB";
    regs.OffParts = "B";
    TReportOrderInRegistry order(regs);
    QListWidget list;
    ShowReportOrder(order, list);
    ASSERT_EQ(list.count(), static_cast<int>(kReportPartCount));
    EXPECT_EQ(list.item(0)->text().toStdString(), order.Title(16));
    EXPECT_EQ(list.item(1)->checkState(), Qt::Unchecked);
    EXPECT_EQ(list.item(2)->checkState(), Qt::Checked);
    EXPECT_EQ(list.currentRow(), 0);

    list.item(1)->setCheckState(Qt::Checked);
    list.item(5)->setCheckState(Qt::Unchecked);
    list.setCurrentRow(5);
    ReadReportOrder(list, order);
    order.MoveUp();
    ShowReportOrder(order, list);
    EXPECT_EQ(list.currentRow(), 4);
    EXPECT_EQ(list.item(4)->checkState(), Qt::Unchecked);
    order.SaveOrder();
    order.SaveSelection();
    // The pictures, which the stored order did not name, were off and are saved off.
    EXPECT_EQ(regs.PartsOrder, "QBACEDFGHIJKLMNOPRSTUVW");
    EXPECT_EQ(regs.OffParts, "ETUVW");
}

} // namespace
