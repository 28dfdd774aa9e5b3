#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFocusEvent>
#include <QImage>
#include <QScrollArea>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include "i18n/langconv.h"
#include "support/ui/pictures.h"
#include "util/error.h"
#include "views/choices/selections.h"

namespace {

// A grid of `members` members with plain, predictable geometry.
class ChoicesGridTest : public ::testing::Test {
protected:
    void Make(int members, int limit, bool against = true)
    {
        QStringList names;
        for (int i = 1; i <= members; ++i)
            names << QStringLiteral("Member %1").arg(i);
        grid.SetCaptions(names);
        grid.SetCellCount(members + 1);
        grid.SetNumSelLimit(limit);
        grid.SetIsAgainst(against);
        grid.SetIsLegend(false);
        grid.show();
    }

    void Key(int key, const QString& text = {})
    {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QCoreApplication::sendEvent(&grid, &press);
    }

    // Left click in the middle of matrix cell (c, r).
    void Click(int c, int r)
    {
        QTest::mouseClick(&grid, Qt::LeftButton, {}, grid.Geometry().Cell(c, r).center());
    }

    TSelections grid;
};

std::string ErrorText(const std::function<void()>& action)
{
    try {
        action();
    } catch (const TAppError& e) {
        return e.what();
    }
    return {};
}

}  // namespace

TEST_F(ChoicesGridTest, ClickCyclesWithinTheChooserLimits)
{
    Make(6, 2);
    // Member 1 (row 1) chooses members 2 and 3 positively.
    Click(2, 1);
    Click(3, 1);
    EXPECT_EQ(grid.Cell(1, 0), stFor);
    EXPECT_EQ(grid.Cell(2, 0), stFor);
    // No room for a third positive choice: the next clicks give negative ones.
    Click(4, 1);
    EXPECT_EQ(grid.Cell(3, 0), stAgainst);
    Click(5, 1);
    EXPECT_EQ(grid.Cell(4, 0), stAgainst);
    // At both limits an empty cell stays empty.
    Click(6, 1);
    EXPECT_EQ(grid.Cell(5, 0), stNone);
    // Other choosers are not affected by member 1's marks.
    Click(1, 2);
    EXPECT_EQ(grid.Cell(0, 1), stFor);

    // - goes to empty; + steps to - only while there is room for one.
    Click(5, 1);
    EXPECT_EQ(grid.Cell(4, 0), stNone);
    Click(2, 1);
    EXPECT_EQ(grid.Cell(1, 0), stAgainst) << "one negative choice was left";
    Click(3, 1);
    EXPECT_EQ(grid.Cell(2, 0), stNone) << "negative limit reached, so + goes straight to empty";
    // With room for a positive choice again, an empty cell takes + first.
    Click(6, 1);
    EXPECT_EQ(grid.Cell(5, 0), stFor);
}

TEST_F(ChoicesGridTest, WithoutNegativeChoicesClicksToggleOnlyPositive)
{
    Make(4, 3, false);
    Click(2, 1);
    EXPECT_EQ(grid.Cell(1, 0), stFor);
    Click(2, 1);
    EXPECT_EQ(grid.Cell(1, 0), stNone);
    EXPECT_FALSE(grid.NegativeAllowed());
    EXPECT_THROW(grid.SetCell(1, 0, stAgainst), TAppError);
}

TEST_F(ChoicesGridTest, LimitZeroAdmitsNothing)
{
    Make(3, 0);
    for (int c = 1; c <= 3; ++c)
        for (int r = 1; r <= 3; ++r)
            Click(c, r);
    for (int c = 0; c < 3; ++c)
        for (int r = 0; r < 3; ++r)
            EXPECT_EQ(grid.Cell(c, r), stNone);
    EXPECT_FALSE(grid.PositiveAllowed());
    EXPECT_EQ(ErrorText([&] { grid.SetCell(1, 0, stFor); }), grid.RefusalText(2, 1, stFor).toStdString());
}

TEST_F(ChoicesGridTest, SetCellRefusesWithoutChangingTheCell)
{
    Make(4, 1);
    grid.SetCell(1, 0, stFor);
    // At the limit a mark of the same kind cannot be replaced in place, only cleared.
    EXPECT_THROW(grid.SetCell(1, 0, stFor), TAppError);
    EXPECT_THROW(grid.SetCell(2, 0, stFor), TAppError);
    EXPECT_EQ(grid.Cell(2, 0), stNone);
    // Diagonal and outside cells never hold a choice; clearing is always allowed.
    EXPECT_THROW(grid.SetCell(2, 2, stAgainst), TAppError);
    EXPECT_THROW(grid.SetCell(7, 0, stAgainst), TAppError);
    EXPECT_NO_THROW(grid.SetCell(7, 0, stNone));
    EXPECT_NO_THROW(grid.SetCell(1, 0, stNone));
    EXPECT_EQ(grid.Cell(1, 0), stNone);

    EXPECT_EQ(ErrorText([&] { grid.SetSelDirArrPerCent(101); }), LangConv().GetText("CHOICES_PERCENT_RANGE"));
    EXPECT_THROW(grid.SetSelDirArrPerCent(-1), TAppError);
    EXPECT_EQ(grid.SelDirArrPerCent(), 20);
    grid.SetSelDirArrPerCent(100);
    EXPECT_EQ(grid.SelDirArrPerCent(), 100);
}

TEST_F(ChoicesGridTest, ClickReportsPlaceCodes)
{
    Make(3, 2);
    grid.SetIsLegend(true);
    QSignalSpy spy(&grid, &TSelections::Click);
    const TSelGeometry g = grid.Geometry();
    struct {
        QPoint point;
        TPlace place;
    } cases[] = {
        {g.Cell(0, 0).center(), TPlace::Corner},        {g.Cell(0, 2).center(), TPlace::CaptionColumn},
        {g.Cell(2, 0).center(), TPlace::CaptionRow},    {grid.LegendRect().center(), TPlace::Legend},
        {g.Cell(1, 2).center(), TPlace::MemberCell},    {g.Cell(2, 2).center(), TPlace::Diagonal},
        {g.Cell(4, 2).center(), TPlace::Elsewhere},     // totals column
        {g.Cell(2, 5).center(), TPlace::Elsewhere},     // totals row
        {g.Cell(0, 5).center(), TPlace::CaptionColumn}, // caption column runs through the totals rows
    };
    for (const auto& c : cases) {
        spy.clear();
        QTest::mouseClick(&grid, Qt::LeftButton, {}, c.point);
        ASSERT_EQ(spy.count(), 1);
        EXPECT_EQ(spy.at(0).at(2).value<TPlace>(), c.place) << "at " << c.point.x() << "," << c.point.y();
    }
    // Only the member cell was cycled.
    EXPECT_EQ(grid.Cell(0, 1), stFor);
    EXPECT_EQ(grid.Cell(1, 1), stNone);
}

TEST_F(ChoicesGridTest, DirectionChangeKeepsChooserAndChosen)
{
    Make(4, 2);
    // Row chooses: member 1 chose 2 (+) and 3 (-); member 4 chose 1 (+).
    grid.SetCell(1, 0, stFor);
    grid.SetCell(2, 0, stAgainst);
    grid.SetCell(0, 3, stFor);
    grid.SetCell(1, 3, stFor);
    grid.SetSelDirection(sldUp);
    // Column chooses now: the same choices read column-wise.
    EXPECT_EQ(grid.Cell(0, 1), stFor);
    EXPECT_EQ(grid.Cell(0, 2), stAgainst);
    EXPECT_EQ(grid.Cell(3, 0), stFor);
    EXPECT_EQ(grid.Cell(3, 1), stFor);
    EXPECT_EQ(grid.Cell(1, 0), stNone);
    // The limit follows the chooser's new axis: member 4 (column 4) is at two positives.
    EXPECT_FALSE(grid.IsAllowed(4, 3, stFor));
    EXPECT_TRUE(grid.IsAllowed(3, 4, stFor));
    grid.SetSelDirection(sldLeft);
    EXPECT_EQ(grid.Cell(1, 0), stFor);
    EXPECT_EQ(grid.Cell(2, 0), stAgainst);
    EXPECT_EQ(grid.Cell(0, 3), stFor);
}

TEST_F(ChoicesGridTest, GeometryAndExtents)
{
    Make(3, 2);
    grid.SetColumnWidth(40);
    grid.SetRowHeight(20);
    const TSelGeometry g = grid.Geometry();
    ASSERT_GT(g.First, 25);
    EXPECT_EQ(g.Cell(0, 0), QRect(0, 0, g.First, g.First));
    EXPECT_EQ(g.Cell(2, 3), QRect(g.First + 40, g.First + 40, 40, 20));
    EXPECT_EQ(g.HitColumn(g.First - 1), 0);
    EXPECT_EQ(g.HitColumn(g.First), 1);
    EXPECT_EQ(g.HitColumn(g.First + 3 * 40 - 1), 3);
    EXPECT_EQ(g.HitColumn(g.First + 3 * 40), -1);
    EXPECT_EQ(g.HitRow(g.First + 2 * 20 + 5), 3);
    EXPECT_EQ(g.HorzExtent(), g.First + 7 * 40);
    EXPECT_EQ(g.VertExtent(), g.First + 7 * 20);
    EXPECT_EQ(grid.size(), QSize(g.HorzExtent() + 35, g.VertExtent() + 25));

    // A wider caption widens the caption column and row alike.
    grid.SetCaptions({QStringLiteral("A"), QStringLiteral("A much longer member name"), QStringLiteral("C")});
    EXPECT_GT(grid.Geometry().First, g.First);

    grid.SetCellCount(1);
    EXPECT_EQ(grid.CellCount(), 0);
    EXPECT_EQ(grid.Geometry().HorzExtent(), 0);
    EXPECT_EQ(grid.Geometry().VertExtent(), 0);
    EXPECT_EQ(grid.Geometry().HitColumn(5), -1);
    EXPECT_EQ(grid.Cell(0, 0), stNone);

    EXPECT_EQ(CenteredTextRect(QRect(10, 10, 40, 20), QSize(10, 8)), QRect(25, 16, 10, 8));
    EXPECT_EQ(CenteredTextRect(QRect(10, 10, 40, 20), QSize(50, 8)), QRect(11, 10, 40, 20));
}

TEST_F(ChoicesGridTest, CaptionsLowerTheLimitToTheGroupSize)
{
    grid.SetNumSelLimit(10);
    grid.SetCaptions({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    EXPECT_EQ(grid.NumSelLimit(), 3);
    grid.SetNumSelLimit(1);
    grid.SetCaptions({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    EXPECT_EQ(grid.NumSelLimit(), 1);
}

TEST_F(ChoicesGridTest, ActiveCellFollowsTheMouseAndTakesValues)
{
    Make(3, 1);
    EXPECT_EQ(grid.ActiveCellSelType(), stNone);
    grid.SetActiveCellSelType(stFor);  // no active cell yet: nothing happens
    QTest::mouseMove(&grid, grid.Geometry().Cell(2, 2).center());
    EXPECT_EQ(grid.ActiveColumn(), -1) << "the diagonal never becomes active";
    QTest::mouseMove(&grid, grid.Geometry().Cell(3, 1).center());
    EXPECT_EQ(grid.ActiveColumn(), 3);
    EXPECT_EQ(grid.ActiveRow(), 1);
    EXPECT_TRUE(grid.PositiveAllowed());
    grid.SetActiveCellSelType(stFor);
    EXPECT_EQ(grid.Cell(2, 0), stFor);
    EXPECT_EQ(grid.ActiveCellSelType(), stFor);
    QTest::mouseMove(&grid, grid.Geometry().Cell(2, 1).center());
    EXPECT_FALSE(grid.PositiveAllowed()) << "member 1 has used its one positive choice";
    EXPECT_THROW(grid.SetActiveCellSelType(stFor), TAppError);
    grid.ClearAll();
    EXPECT_EQ(grid.Cell(2, 0), stNone);
}

TEST_F(ChoicesGridTest, ActiveCellIsFramedInTheFocusColours)
{
    Make(3, 2);
    grid.SetFocusCellSelColor(QColor(255, 0, 0));
    grid.SetNotFocusCellSelColor(QColor(0, 0, 255));
    grid.SetLineColor(Qt::black);
    const TSelGeometry g = grid.Geometry();
    QTest::mouseMove(&grid, g.Cell(3, 1).center());
    auto edge = [&](int c, int r) {
        const QRect cell = g.Cell(c, r);
        return grid.grab().toImage().pixel(cell.left() + 1, cell.center().y());
    };
    QFocusEvent out(QEvent::FocusOut);
    QCoreApplication::sendEvent(&grid, &out);
    EXPECT_EQ(edge(3, 1), qRgb(0, 0, 255));
    EXPECT_EQ(edge(0, 1), qRgb(0, 0, 255)) << "the row caption of the active cell";
    QFocusEvent in(QEvent::FocusIn);
    QCoreApplication::sendEvent(&grid, &in);
    EXPECT_EQ(edge(3, 1), qRgb(255, 0, 0));
    EXPECT_NE(edge(2, 1), qRgb(255, 0, 0)) << "a cell that is not active";
    // Moving on leaves no frame behind.
    QTest::mouseMove(&grid, g.Cell(1, 3).center());
    EXPECT_NE(edge(3, 1), qRgb(255, 0, 0));
    EXPECT_EQ(edge(1, 3), qRgb(255, 0, 0));
}

TEST_F(ChoicesGridTest, PictureShowsMarksInTheirCells)
{
    Make(3, 2);
    grid.SetSymbolFor(QStringLiteral("+"));
    grid.SetSymbolAgainst(QStringLiteral("-"));
    QFont big(QStringLiteral("Arial"));
    big.setPixelSize(24);
    big.setBold(true);
    grid.SetSymbolForFont(big, QColor(255, 0, 0));
    grid.SetSymbolAgainstFont(big, QColor(0, 0, 255));
    grid.SetCommonColor(Qt::white);
    grid.SetMiddleCellColor(QColor(0, 128, 0));
    grid.SetCell(1, 0, stFor);
    grid.SetCell(0, 2, stAgainst);

    QImage image(grid.size(), QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    grid.PaintTo(painter);
    painter.end();

    auto count = [&](int c, int r, QRgb colour) {
        return PixelsOf(image, QColor(colour), grid.Geometry().Cell(c, r).adjusted(2, 2, -2, -2));
    };
    const QRgb red = qRgb(255, 0, 0);
    const QRgb blue = qRgb(0, 0, 255);
    EXPECT_GT(count(2, 1, red), 20) << "positive mark of member 1 for member 2";
    EXPECT_EQ(count(2, 1, blue), 0);
    EXPECT_GT(count(1, 3, blue), 10) << "negative mark of member 3 for member 1";
    EXPECT_EQ(count(1, 3, red), 0);
    for (auto [c, r] : {std::pair{3, 1}, std::pair{1, 2}, std::pair{2, 3}}) {
        EXPECT_EQ(count(c, r, red) + count(c, r, blue), 0) << "empty cell " << c << "," << r;
        EXPECT_GT(count(c, r, qRgb(255, 255, 255)), 100);
    }
    EXPECT_GT(count(2, 2, qRgb(0, 128, 0)), 100) << "diagonal cell colour";
    // Nothing is drawn beyond the fitted size but background.
    EXPECT_EQ(image.pixel(image.width() - 2, image.height() - 2), grid.BackColor().rgb());
}

TEST(ChoicesGridLarge, ThreeHundredMembersTakeClicksAndRepaints)
{
    QScrollArea area;
    area.resize(800, 600);
    auto* grid = new TSelections;
    QStringList names;
    for (int i = 1; i <= 300; ++i)
        names << QStringLiteral("Member %1").arg(i);
    grid->SetCaptions(names);
    grid->SetCellCount(301);
    grid->SetNumSelLimit(300);
    area.setWidget(grid);
    area.show();
    for (int i = 0; i < 300; ++i)
        grid->SetCell((i + 1) % 300, i, stFor);
    // How fast this is goes to bench/bench_choicesgrid; here only that it works.
    for (int i = 0; i < 50; ++i) {
        QTest::mouseClick(grid, Qt::LeftButton, {}, grid->Geometry().Cell(5 + i % 3, 2).center());
        QTest::mouseMove(grid, grid->Geometry().Cell(2 + i % 7, 3).center());
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(grid->CountInRow(300, stFor), 1);
}

TEST_F(ChoicesGridTest, RefusalsSayWhyInTheCataloguesWords)
{
    Make(4, 1, false);
    grid.SetCell(1, 0, stFor);
    const std::string limit = ErrorText([&] { grid.SetCell(2, 0, stFor); });
    EXPECT_EQ(limit, QString::fromStdString(LangConv().GetText("CHOICE_REFUSED_POSITIVE_LIMIT"))
                         .replace("%1", "1")
                         .toStdString());
    EXPECT_EQ(ErrorText([&] { grid.SetCell(2, 0, stAgainst); }), LangConv().GetText("CHOICE_REFUSED_NO_NEGATIVE"));
    EXPECT_EQ(ErrorText([&] { grid.SetCell(1, 1, stFor); }), LangConv().GetText("CHOICE_REFUSED_OWN_CELL"));
    grid.SetIsAgainst(true);
    grid.SetCell(2, 0, stAgainst);
    EXPECT_EQ(ErrorText([&] { grid.SetCell(3, 0, stAgainst); }),
              QString::fromStdString(LangConv().GetText("CHOICE_REFUSED_NEGATIVE_LIMIT")).replace("%1", "1").toStdString());
    // No Cyrillic text is left in the English catalogue's refusals.
    for (const std::string& text : {limit, LangConv().GetText("CHOICE_REFUSED_OWN_CELL")})
        EXPECT_EQ(QString::fromStdString(text).toLatin1(), QString::fromStdString(text).toUtf8());
}

TEST_F(ChoicesGridTest, KeyboardMovesTheActiveCellAndSetsChoices)
{
    Make(4, 2);
    QSignalSpy keyed(&grid, &TSelections::CellKeyed);
    QSignalSpy refused(&grid, &TSelections::Refused);
    QSignalSpy moved(&grid, &TSelections::ActiveCellMoved);
    EXPECT_FALSE(grid.HasActiveCell());
    // The first key picks the first chooser's first choice; nothing is set yet.
    Key(Qt::Key_Plus, "+");
    EXPECT_EQ(grid.ActiveColumn(), 2);
    EXPECT_EQ(grid.ActiveRow(), 1);
    EXPECT_EQ(keyed.count(), 0);
    Key(Qt::Key_Plus, "+");
    EXPECT_EQ(grid.Cell(1, 0), stFor);
    Key(Qt::Key_Right);
    Key(Qt::Key_Plus, "+");
    Key(Qt::Key_Right);
    Key(Qt::Key_Plus, "+");
    EXPECT_EQ(grid.Cell(3, 0), stNone) << "the limit of two positive choices holds for keys too";
    ASSERT_EQ(refused.count(), 1);
    EXPECT_EQ(refused.at(0).at(0).toString(), grid.RefusalText(4, 1, stFor));
    Key(Qt::Key_Minus, "-");
    EXPECT_EQ(grid.Cell(3, 0), stAgainst);
    Key(Qt::Key_Delete);
    EXPECT_EQ(grid.Cell(3, 0), stNone);
    Key(Qt::Key_Right);
    EXPECT_EQ(grid.ActiveColumn(), 4) << "no move past the last member";

    // Enter: the next chooser's first cell; arrows step over the diagonal.
    Key(Qt::Key_Return);
    EXPECT_EQ(grid.ActiveColumn(), 1);
    EXPECT_EQ(grid.ActiveRow(), 2);
    Key(Qt::Key_Right);
    EXPECT_EQ(grid.ActiveColumn(), 3);
    Key(Qt::Key_Up);
    Key(Qt::Key_Up);
    EXPECT_EQ(grid.ActiveRow(), 1);
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);
    EXPECT_EQ(grid.ActiveRow(), 4) << "row 3 is the diagonal in column 3";
    // Space cycles like a click: empty, +, -, empty.
    Key(Qt::Key_Space, " ");
    EXPECT_EQ(grid.Cell(2, 3), stFor);
    Key(Qt::Key_Space, " ");
    EXPECT_EQ(grid.Cell(2, 3), stAgainst);
    Key(Qt::Key_Space, " ");
    EXPECT_EQ(grid.Cell(2, 3), stNone);
    // Enter on the last chooser goes back to the first.
    Key(Qt::Key_Enter);
    EXPECT_EQ(grid.ActiveRow(), 1);
    EXPECT_EQ(grid.ActiveColumn(), 2);
    EXPECT_EQ(keyed.count(), 7);
    EXPECT_GT(moved.count(), 0);
}

TEST_F(ChoicesGridTest, KeyboardFollowsTheChooserAxisOfTheColumnDirection)
{
    Make(3, 1);
    grid.SetSelDirection(sldUp);
    Key(Qt::Key_Return);
    EXPECT_EQ(grid.ActiveColumn(), 1);
    EXPECT_EQ(grid.ActiveRow(), 2);
    Key(Qt::Key_Plus, "+");
    Key(Qt::Key_Return);
    EXPECT_EQ(grid.ActiveColumn(), 2) << "the next chooser is the next column";
    EXPECT_EQ(grid.ActiveRow(), 1);
    Key(Qt::Key_Plus, "+");
    EXPECT_EQ(grid.Cell(0, 1), stFor);
    EXPECT_EQ(grid.Cell(1, 0), stFor);
    EXPECT_EQ(grid.CountInColumn(1, stFor), 1);
}

TEST_F(ChoicesGridTest, RightClickMakesTheCellUnderThePointerActiveOrNone)
{
    Make(3, 2);
    QTest::mouseMove(&grid, grid.Geometry().Cell(3, 1).center());
    EXPECT_TRUE(grid.HasActiveCell());
    // A right click on the diagonal leaves no cell for the pop-up's commands to act on.
    QTest::mousePress(&grid, Qt::RightButton, {}, grid.Geometry().Cell(2, 2).center());
    QTest::mouseRelease(&grid, Qt::RightButton, {}, grid.Geometry().Cell(2, 2).center());
    EXPECT_FALSE(grid.HasActiveCell());
    EXPECT_FALSE(grid.PositiveAllowed());
    EXPECT_FALSE(grid.NegativeAllowed());
    grid.SetActiveCellSelType(stAgainst);
    EXPECT_EQ(grid.Cell(2, 0), stNone);
    // A right click on a member cell makes it the active one.
    QTest::mousePress(&grid, Qt::RightButton, {}, grid.Geometry().Cell(1, 3).center());
    QTest::mouseRelease(&grid, Qt::RightButton, {}, grid.Geometry().Cell(1, 3).center());
    EXPECT_EQ(grid.ActiveColumn(), 1);
    EXPECT_EQ(grid.ActiveRow(), 3);
    EXPECT_TRUE(grid.PositiveAllowed());
}

TEST_F(ChoicesGridTest, CaptionsStayInSightWhileScrolledAndTakeTheClicks)
{
    Make(30, 3);
    const TSelGeometry g = grid.Geometry();
    const int matrixWidth = g.HorzExtent() - g.First;
    const int matrixHeight = g.VertExtent() - g.First;
    const QImage captionRow = grid.grab(QRect(g.First, 0, matrixWidth, g.First)).toImage();
    const QImage captionColumn = grid.grab(QRect(0, g.First, g.First, matrixHeight)).toImage();
    const QImage corner = grid.grab(QRect(0, 0, g.First, g.First)).toImage();

    // Scrolled down and right: the captions are drawn at the top and left of the view as they
    // are at the top and left of the grid.
    const QPoint origin(7 * g.ColumnWidth, 11 * g.RowHeight);
    grid.SetFrozenOrigin(origin);
    EXPECT_EQ(grid.grab(QRect(g.First, origin.y(), origin.x() - g.First, g.First)).toImage(),
              captionRow.copy(0, 0, origin.x() - g.First, g.First));
    EXPECT_EQ(grid.grab(QRect(origin.x(), g.First, g.First, origin.y() - g.First)).toImage(),
              captionColumn.copy(0, 0, g.First, origin.y() - g.First));
    EXPECT_EQ(grid.grab(QRect(origin, QSize(g.First, g.First))).toImage(), corner);
    // Pictures show the grid as it is, not as it is scrolled.
    QImage picture(grid.size(), QImage::Format_RGB32);
    QPainter painter(&picture);
    grid.PaintTo(painter);
    painter.end();
    EXPECT_EQ(picture.copy(g.First, 0, matrixWidth, g.First), captionRow);

    // A click on a frozen caption is a click on that caption, not on the cell beneath it.
    QSignalSpy clicks(&grid, &TSelections::Click);
    const int column = 15;
    const QPoint onRow(g.Cell(column, 0).center().x(), origin.y() + g.First / 2);
    const int rowBeneath = g.HitRow(onRow.y());
    QTest::mouseClick(&grid, Qt::LeftButton, {}, onRow);
    ASSERT_EQ(clicks.size(), 1);
    EXPECT_EQ(clicks[0][0].toInt(), column);
    EXPECT_EQ(clicks[0][1].toInt(), 0);
    EXPECT_EQ(clicks[0][2].value<TPlace>(), TPlace::CaptionRow);
    EXPECT_EQ(grid.Cell(column - 1, rowBeneath - 1), stNone);
    const int row = 20;
    QTest::mouseClick(&grid, Qt::LeftButton, {}, QPoint(origin.x() + 5, g.Cell(0, row).center().y()));
    EXPECT_EQ(clicks[1][0].toInt(), 0);
    EXPECT_EQ(clicks[1][1].toInt(), row);
    EXPECT_EQ(clicks[1][2].value<TPlace>(), TPlace::CaptionColumn);
    QTest::mouseClick(&grid, Qt::LeftButton, {}, origin + QPoint(5, 5));
    EXPECT_EQ(clicks[2][2].value<TPlace>(), TPlace::Corner);
    // Past the strips the cells take clicks as before.
    Click(column, row);
    EXPECT_EQ(grid.Cell(column - 1, row - 1), stFor);

    // Back at the top-left nothing is frozen.
    grid.SetFrozenOrigin(QPoint(0, 0));
    EXPECT_EQ(grid.GridPoint(onRow), onRow);
}

TEST_F(ChoicesGridTest, LongNamesAreCutInTheCaptionsOnly)
{
    const QString longName = QStringLiteral("Maximilian Alexander Konstantin von Hohenberg-Ost");
    grid.SetIsLegend(false);
    grid.SetCaptions({QStringLiteral("Ann"), QStringLiteral("Bo")});
    grid.SetCellCount(3);
    const int shortFirst = grid.Geometry().First;
    grid.SetCaptions({QStringLiteral("Ann"), longName});
    grid.SetCellCount(3);
    const QString shown = grid.ShownCaption(2);
    EXPECT_TRUE(shown.endsWith(QChar(0x2026))) << shown.toStdString();
    EXPECT_LT(shown.size(), longName.size());
    EXPECT_EQ(grid.ShownCaption(1), QStringLiteral("Ann"));
    EXPECT_EQ(grid.Captions().at(1), longName) << "the grid keeps the whole name";
    const QFontMetrics fm(grid.CaptionFont());
    EXPECT_EQ(grid.Geometry().First, fm.horizontalAdvance(shown) + 25);
    EXPECT_LT(grid.Geometry().First, fm.horizontalAdvance(longName) + 25);
    EXPECT_GT(grid.Geometry().First, shortFirst);
}
