// Order and selection of the investigation report's parts.
#include <gtest/gtest.h>

#include "reports/reportorder.h"
#include "reports/reportpictures.h"
#include "settings/regs.h"

namespace {

std::vector<std::string> Titles()
{
    std::vector<std::string> titles;
    for (const TReportPartInfo& part : kReportParts)
        titles.push_back(std::string(1, part.Letter));
    return titles;
}

std::string Letters(const TReportOrderInRegistry& order, bool onlyOn = false)
{
    std::string letters;
    for (std::size_t pos = 0; pos < order.Count(); ++pos) {
        if (!onlyOn || order.IsOn(pos))
            letters += order.TitleAt(pos);
    }
    return letters;
}

TEST(ReportOrder, EmptySettingsGiveEveryPartInIndexOrder)
{
    // An empty stored order meant every part there was before the pictures: it still does.
    TReportRegs regs;
    regs.PartsOrder.clear();
    const TReportOrderInRegistry order(regs, Titles());
    EXPECT_EQ(Letters(order), "ABCDEFGHIJKLMNOPQRSTUVW");
    EXPECT_EQ(Letters(order, true), "ABCDEFGHIJKLMNOPQRS");
    // New settings hold every letter, the pictures' too, so they have every part on.
    const TReportRegs fresh;
    TReportRegs copy = fresh;
    EXPECT_EQ(Letters(TReportOrderInRegistry(copy, Titles()), true), "ABCDEFGHIJKLMNOPQRSTUVW");
}

TEST(ReportOrder, AnOrderSavedBeforeTheStatusGroupsPartStillLoadsWithThePartAppended)
{
    // Settings written while the report had eighteen parts (A..R): the user's order and the parts
    // switched off stay as they were, the status groups part (S) follows, switched on.
    TReportRegs regs;
    regs.PartsOrder = "RQPONMLKJIHGFEDCBA";
    regs.OffParts = "BD";
    TReportOrderInRegistry order(regs, Titles());
    // The pictures (T..W), which those settings never asked for, follow it switched off.
    EXPECT_EQ(Letters(order), "RQPONMLKJIHGFEDCBASTUVW");
    EXPECT_EQ(Letters(order, true), "RQPONMLKJIHGFECAS");
    order.SaveOrder();
    order.SaveSelection();
    EXPECT_EQ(regs.PartsOrder, "RQPONMLKJIHGFEDCBASTUVW");
    EXPECT_EQ(regs.OffParts, "DBTUVW");
    // Switched off, it stays off; a picture switched on now stays on.
    order.SetOn(18, false);
    order.SetOn(19, true);
    order.SaveSelection();
    EXPECT_EQ(Letters(TReportOrderInRegistry(regs, Titles()), true), "RQPONMLKJIHGFECAT");
}

TEST(ReportOrder, StoredLettersComeFirstAndOffPartsAreLeftOut)
{
    TReportRegs regs;
    regs.PartsOrder = "RA";
    regs.OffParts = "A";
    const TReportOrderInRegistry order(regs, Titles());
    EXPECT_EQ(Letters(order), "RABCDEFGHIJKLMNOPQSTUVW");
    EXPECT_EQ(Letters(order, true), "RBCDEFGHIJKLMNOPQS");
}

TEST(ReportOrder, UnknownAndRepeatedLettersAreIgnored)
{
    TReportRegs regs;
    regs.PartsOrder = "CZc?CCB\x01";
    regs.OffParts = "zT[B";
    const TReportOrderInRegistry order(regs, Titles());
    EXPECT_EQ(Letters(order), "CBADEFGHIJKLMNOPQRSTUVW");
    EXPECT_EQ(Letters(order, true), "CADEFGHIJKLMNOPQRS");
}

TEST(ReportOrder, MovingKeepsEachPartsFlagAndSavesBack)
{
    TReportRegs regs;
    regs.OffParts = "B";
    TReportOrderInRegistry order(regs, Titles());
    order.SetCurrentPosition(1); // B, switched off
    order.MoveUp();
    EXPECT_EQ(order.CurrentPosition(), 0);
    order.MoveUp(); // nothing at the top
    EXPECT_EQ(Letters(order).substr(0, 3), "BAC");
    EXPECT_FALSE(order.IsOn(0));
    EXPECT_TRUE(order.IsOn(1));

    order.SetCurrentPosition(22);
    order.MoveDown(); // nothing at the bottom
    order.MoveUp();
    EXPECT_EQ(order.CurrentPosition(), 21);
    order.SetOn(2, false);
    order.SaveOrder();
    order.SaveSelection();
    EXPECT_EQ(regs.PartsOrder, "BACDEFGHIJKLMNOPQRSTUWV");
    EXPECT_EQ(regs.OffParts, "BC");

    TReportOrderInRegistry reloaded(regs, Titles());
    EXPECT_EQ(Letters(reloaded, true), "ADEFGHIJKLMNOPQRSTUWV");
    reloaded.UncheckAll();
    EXPECT_EQ(Letters(reloaded, true), "");
    reloaded.CheckAll();
    EXPECT_EQ(Letters(reloaded, true), Letters(reloaded));
}

// The members' chart of 2 000 members on a landscape page (twips, 15 to a screen pixel): bands near
// screen size, two to a page, of one width, covering the chart once. A class's chart goes whole.
TEST(ReportPictureBands, FarWiderPicturesRunInEqualBandsThatFillThePages)
{
    constexpr double kWidth = 15136;
    constexpr double kHeight = 9800;
    constexpr double kGap = 400;
    EXPECT_EQ(PictureBandScale({1806, 350}, kWidth, kHeight, 15, kGap), 0);
    const double scale = PictureBandScale({92350, 350}, kWidth, kHeight, 15, kGap);
    ASSERT_GT(scale, 0);
    EXPECT_LE(scale, 15);
    EXPECT_GE(scale, 12);
    EXPECT_LE(2 * 350 * scale + kGap, kHeight + 1e-6);
    const std::vector<TPictureBand> bands = PictureBands({92350, 350}, kWidth / scale);
    int next = 0;
    for (const TPictureBand& band : bands) {
        EXPECT_EQ(band.Left, next);
        EXPECT_LE(band.Width * scale, kWidth);
        EXPECT_GE(band.Width, bands.front().Width - 1);
        next = band.Left + band.Width;
    }
    EXPECT_EQ(next, 92350);
}

} // namespace
