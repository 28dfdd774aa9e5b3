#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <tuple>
#include <vector>

#include <QCoreApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDialog>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include "i18n/langconv.h"
#include "settings/regs.h"
#include "views/notify.h"
#include "store/fileacc.h"
#include "support/core/recorders.h"
#include "support/core/tempdir.h"
#include "support/ui/notifyrecorder.h"
#include "support/ui/scriptedseam.h"
#include "util/error.h"
#include "views/choices/selectionform.h"
#include "views/choices/selections.h"

namespace {

using TRows = std::vector<std::tuple<int, int, int>>;

const int kInvest = 3;
const int kGroup = 7;

std::string Key(const char* key)
{
    return HasLangConv() ? LangConv().GetText(key) : key;
}

TRows Rows(const TChoiceTable& table)
{
    TRows rows;
    for (int32_t i = 0; i < table.Count(); ++i)
        rows.emplace_back(table.At(i).InvestId, table.At(i).FromId, table.At(i).ToId);
    return rows;
}

// A project with one investigation (id 3) of client group 7, whose members have the ids
// 11, 12, ... in table order; a client of another group sits between them.
class ChoicesWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Regs().Load();
        Regs().Choices.ArrowDirection = true;
        Regs().Choices.IsGraphic = true;
    }

    void MakeProject(int members, int limit, bool against)
    {
        store.ClientGroups().Add(kGroup, "Class 5A");
        store.ClientGroups().Add(8, "Other");
        store.CriteriaGroups().Add(2, "Leisure");
        store.Criteria().Add(5, 2, "Who would you go hiking with?");
        for (int i = 0; i < members; ++i) {
            store.Clients().Add(11 + i, kGroup, "Member " + std::to_string(i + 1), true, 0);
            if (i == 0)
                store.Clients().Add(11, 8, "Stranger", false, 0);
        }
        store.Investigations().Add({.Id = kInvest,
                                    .ClientGroupId = kGroup,
                                    .CriterionId = 5,
                                    .CriteriaGroupId = 2,
                                    .Name = "Hiking",
                                    .Date = 0,
                                    .AllowAgainst = against,
                                    .MaxChoices = limit});
        store.ForChoices().Add(99, 11, 12);  // another investigation's choice stays untouched
    }

    std::unique_ptr<TSelectionForm> Open()
    {
        auto form = std::make_unique<TSelectionForm>(store, kInvest, QStringLiteral("Hiking"));
        form->show();
        return form;
    }

    TTempDir dir;
    TFileAccess store{dir.File("project.soi")};
    TRecordingMessages messages;
};

}  // namespace

TEST_F(ChoicesWindowTest, LoadsChoicesIntoTheGridAndSavesThemBack)
{
    MakeProject(3, 2, true);
    store.ForChoices().Add(kInvest, 11, 12);
    store.ForChoices().Add(kInvest, 13, 11);
    store.AgainstChoices().Add(kInvest, 11, 13);
    auto form = Open();
    EXPECT_TRUE(messages.texts.empty());
    EXPECT_EQ(form->windowTitle().endsWith(QStringLiteral(" (Hiking)")), true);
    TSelections& grid = form->Selects();
    ASSERT_EQ(grid.CellCount(), 4);
    EXPECT_EQ(grid.Captions(), QStringList({"Member 1", "Member 2", "Member 3"}));
    // Rows choose: (column = chosen, row = chooser).
    EXPECT_EQ(grid.Cell(1, 0), stFor);
    EXPECT_EQ(grid.Cell(0, 2), stFor);
    EXPECT_EQ(grid.Cell(2, 0), stAgainst);
    EXPECT_EQ(grid.NumSelLimit(), 2);
    EXPECT_FALSE(form->IsModified());

    grid.SetCell(1, 2, stAgainst);  // member 3 rejects member 2
    form->SetModified(true);
    ASSERT_TRUE(form->Save());
    EXPECT_FALSE(form->IsModified());
    // Grouped by chosen member (grid column), each group in member order.
    EXPECT_EQ(Rows(store.ForChoices()), (TRows{{99, 11, 12}, {kInvest, 13, 11}, {kInvest, 11, 12}}));
    EXPECT_EQ(Rows(store.AgainstChoices()), (TRows{{kInvest, 13, 12}, {kInvest, 11, 13}}));
    // Saving again writes the same rows again.
    ASSERT_TRUE(form->Save());
    EXPECT_EQ(Rows(store.ForChoices()), (TRows{{99, 11, 12}, {kInvest, 13, 11}, {kInvest, 11, 12}}));
}

TEST_F(ChoicesWindowTest, ColumnDirectionSavesGroupedByChooser)
{
    Regs().Choices.ArrowDirection = false;
    MakeProject(3, 2, true);
    store.ForChoices().Add(kInvest, 13, 11);
    store.ForChoices().Add(kInvest, 11, 12);
    store.ForChoices().Add(kInvest, 12, 11);
    auto form = Open();
    TSelections& grid = form->Selects();
    ASSERT_EQ(grid.SelDirection(), sldUp);
    // Columns choose: (column = chooser, row = chosen).
    EXPECT_EQ(grid.Cell(2, 0), stFor);
    EXPECT_EQ(grid.Cell(0, 1), stFor);
    ASSERT_TRUE(form->Save());
    EXPECT_EQ(Rows(store.ForChoices()), (TRows{{99, 11, 12}, {kInvest, 11, 12}, {kInvest, 12, 11}, {kInvest, 13, 11}}));
}

TEST_F(ChoicesWindowTest, LoadingStopsAtTheFirstChoiceOverTheLimit)
{
    MakeProject(4, 1, true);
    store.ForChoices().Add(kInvest, 11, 12);
    store.ForChoices().Add(kInvest, 11, 13);  // over the lowered limit
    store.ForChoices().Add(kInvest, 12, 11);  // not reached
    store.AgainstChoices().Add(kInvest, 13, 14); // not reached either
    auto form = Open();
    // The message says where loading stopped: the row's keys in the file.
    ASSERT_EQ(messages.texts.size(), 1u);
    EXPECT_TRUE(messages.texts[0].starts_with(
        QString::fromStdString(Key("CHOICE_REFUSED_POSITIVE_LIMIT")).replace("%1", "1").toStdString() + "\n"))
        << messages.texts[0];
    EXPECT_TRUE(messages.texts[0].ends_with(Key("CHOICES_LOAD_STOPPED_MSG") + " [FOR] FOR_FROM_3=11, FOR_TO_3=13"))
        << messages.texts[0];
    TSelections& grid = form->Selects();
    EXPECT_EQ(grid.Cell(1, 0), stFor);
    EXPECT_EQ(grid.Cell(2, 0), stNone);
    EXPECT_EQ(grid.Cell(0, 1), stNone);
    EXPECT_EQ(grid.Cell(3, 2), stNone);

    // Saving never deletes what the window did not load: the refused row and every row after
    // it stay, unless the user has now chosen for that pair.
    grid.SetCell(0, 1, stAgainst); // member 2 now rejects member 1 (a row that was not loaded)
    ASSERT_TRUE(form->Save());
    EXPECT_EQ(Rows(store.ForChoices()), (TRows{{99, 11, 12}, {kInvest, 11, 12}, {kInvest, 11, 13}}));
    EXPECT_EQ(Rows(store.AgainstChoices()), (TRows{{kInvest, 12, 11}, {kInvest, 13, 14}}));
}

TEST_F(ChoicesWindowTest, LimitZeroRefusesTheFirstStoredChoice)
{
    MakeProject(3, 0, true);
    store.ForChoices().Add(kInvest, 12, 13);
    auto form = Open();
    ASSERT_EQ(messages.texts.size(), 1u);
    EXPECT_TRUE(messages.texts[0].starts_with(
        QString::fromStdString(Key("CHOICE_REFUSED_POSITIVE_LIMIT")).replace("%1", "0").toStdString() + "\n"))
        << messages.texts[0];
    TSelections& grid = form->Selects();
    QTest::mouseClick(&grid, Qt::LeftButton, {}, grid.Geometry().Cell(2, 1).center());
    EXPECT_EQ(grid.Cell(1, 0), stNone);
    EXPECT_FALSE(form->IsModified()) << "a click that changes no mark changes nothing";
}

TEST_F(ChoicesWindowTest, OnlyAChangedMarkMarksTheWindowModified)
{
    MakeProject(3, 2, true);
    auto form = Open();
    TSelections& grid = form->Selects();
    const TSelGeometry g = grid.Geometry();
    // A caption, the corner and a diagonal cell.
    for (const QPoint& point : {g.Cell(0, 2).center(), g.Cell(2, 0).center(), g.Cell(0, 0).center(),
                                g.Cell(2, 2).center()}) {
        QTest::mouseClick(&grid, Qt::LeftButton, {}, point);
        EXPECT_FALSE(form->IsModified());
    }
    form->ClearAll();
    EXPECT_FALSE(form->IsModified()) << "nothing to clear";
    QTest::mouseClick(&grid, Qt::LeftButton, {}, g.Cell(2, 1).center());
    EXPECT_EQ(grid.Cell(1, 0), stFor);
    EXPECT_TRUE(form->IsModified());
    ASSERT_TRUE(form->Save());
    TScriptedModalSeam seam;
    seam.ExpectDialogButton("DialogForm", "Button0"); // Yes, clear them
    form->ClearAll();
    EXPECT_TRUE(form->IsModified());
}

TEST_F(ChoicesWindowTest, SaveRefusesAnInvestigationThatIsNoLongerTheOneLoaded)
{
    MakeProject(3, 2, true);
    store.ClientGroups().Add(9, "Another class");
    store.Clients().Add(11, 9, "Somebody else", true, 0);
    store.Clients().Add(12, 9, "Somebody more", true, 0);
    store.ForChoices().Add(kInvest, 12, 13);
    const TRows before = Rows(store.ForChoices());
    const auto openAndMark = [this] {
        auto form = Open();
        form->Selects().SetCell(1, 0, stFor);
        form->SetModified(true);
        return form;
    };

    // Another client group, a lower limit, negative choices switched off: refused, rows kept.
    struct Change {
        const char* what;
        int32_t group;
        int32_t limit;
        bool against;
    };
    for (const Change& c : {Change{"group", 9, 2, true}, Change{"limit", kGroup, 1, true},
                            Change{"negatives", kGroup, 2, false}}) {
        auto form = openAndMark();
        ASSERT_TRUE(store.Investigations().FindById(kInvest));
        store.Investigations().Change({.Id = kInvest,
                                       .ClientGroupId = c.group,
                                       .CriterionId = 5,
                                       .CriteriaGroupId = 2,
                                       .Name = "Hiking",
                                       .Date = 0,
                                       .AllowAgainst = c.against,
                                       .MaxChoices = c.limit});
        messages.texts.clear();
        EXPECT_FALSE(form->Save()) << c.what;
        EXPECT_EQ(messages.texts, std::vector<std::string>{Key("INVEST_CHANGED_MSG")}) << c.what;
        EXPECT_TRUE(form->IsModified()) << c.what;
        EXPECT_EQ(Rows(store.ForChoices()), before) << c.what;
        ASSERT_TRUE(store.Investigations().FindById(kInvest));
        store.Investigations().Change({.Id = kInvest,
                                       .ClientGroupId = kGroup,
                                       .CriterionId = 5,
                                       .CriteriaGroupId = 2,
                                       .Name = "Hiking",
                                       .Date = 0,
                                       .AllowAgainst = true,
                                       .MaxChoices = 2});
    }

    // Removed and replaced by a new investigation under the same identifier.
    auto form = openAndMark();
    store.DeleteInvestigation(kInvest);
    store.Investigations().Add({.Id = kInvest,
                                .ClientGroupId = kGroup,
                                .CriterionId = 5,
                                .CriteriaGroupId = 2,
                                .Name = "Another survey",
                                .Date = 0,
                                .AllowAgainst = true,
                                .MaxChoices = 2});
    messages.texts.clear();
    EXPECT_FALSE(form->Save());
    EXPECT_EQ(messages.texts, std::vector<std::string>{Key("INVEST_CHANGED_MSG")});
    EXPECT_EQ(store.CountForChoices(kInvest), 0);

    // A member added to the group changes the grid's meaning as well.
    auto again = Open();
    store.Clients().Add(14, kGroup, "Newcomer", true, 0);
    EXPECT_FALSE(again->Save());
}

TEST_F(ChoicesWindowTest, NegativeRowsStayWhenNegativeChoicesAreOff)
{
    MakeProject(3, 2, false);
    store.ForChoices().Add(kInvest, 11, 12);
    store.AgainstChoices().Add(kInvest, 11, 13);
    store.AgainstChoices().Add(42, 11, 13);
    auto form = Open();
    EXPECT_TRUE(messages.texts.empty());
    EXPECT_EQ(form->Selects().Cell(2, 0), stNone);
    EXPECT_FALSE(form->Selects().IsAgainst());
    ASSERT_TRUE(form->Save());
    EXPECT_EQ(Rows(store.AgainstChoices()), (TRows{{42, 11, 13}, {kInvest, 11, 13}}))
        << "rows the window did not load are kept";
    EXPECT_EQ(Rows(store.ForChoices()), (TRows{{99, 11, 12}, {kInvest, 11, 12}}));
}

TEST_F(ChoicesWindowTest, StoredChoiceOfANonMemberStopsLoading)
{
    MakeProject(3, 2, true);
    store.ForChoices().Add(kInvest, 11, 12);
    store.ForChoices().Add(kInvest, 11, 77);
    store.ForChoices().Add(kInvest, 12, 13);
    auto form = Open();
    ASSERT_EQ(messages.texts.size(), 1u);
    EXPECT_TRUE(messages.texts[0].starts_with(Key("NO_CLIENT_IN_LIST") + "\n")) << messages.texts[0];
    EXPECT_TRUE(messages.texts[0].ends_with("[FOR] FOR_FROM_3=11, FOR_TO_3=77")) << messages.texts[0];
    EXPECT_EQ(form->Selects().Cell(1, 0), stFor);
    EXPECT_EQ(form->Selects().Cell(2, 1), stNone);
    ASSERT_TRUE(form->Save());
    EXPECT_EQ(Rows(store.ForChoices()), (TRows{{99, 11, 12}, {kInvest, 11, 12}, {kInvest, 11, 77}, {kInvest, 12, 13}}));
}

TEST_F(ChoicesWindowTest, MissingLookupsRefuseTheWindow)
{
    MakeProject(3, 2, true);
    store.Investigations().Add({.Id = 4,
                                .ClientGroupId = 55,
                                .CriterionId = 5,
                                .CriteriaGroupId = 2,
                                .Name = "No group",
                                .Date = 0,
                                .AllowAgainst = true,
                                .MaxChoices = 2});
    store.Investigations().Add({.Id = 5,
                                .ClientGroupId = kGroup,
                                .CriterionId = 5,
                                .CriteriaGroupId = 9,
                                .Name = "No criteria group",
                                .Date = 0,
                                .AllowAgainst = true,
                                .MaxChoices = 2});
    store.Investigations().Add({.Id = 6,
                                .ClientGroupId = kGroup,
                                .CriterionId = 6,
                                .CriteriaGroupId = 2,
                                .Name = "No criterion",
                                .Date = 0,
                                .AllowAgainst = true,
                                .MaxChoices = 2});
    const std::pair<int, const char*> cases[] = {
        {4, "NO_CLIENT_GROUP_MSG"}, {5, "NO_CRITERY_GROUP_MSG"}, {6, "NO_CRITERY_MSG"}};
    for (const auto& [id, key] : cases) {
        try {
            TSelectionForm form(store, id, QStringLiteral("x"));
            ADD_FAILURE() << "window made for investigation " << id;
        } catch (const TAppError& e) {
            EXPECT_EQ(e.what(), Key(key));
        }
    }
}

TEST_F(ChoicesWindowTest, GroupOfOneOpensEmpty)
{
    MakeProject(1, 2, true);
    auto form = Open();
    ASSERT_EQ(messages.texts.size(), 1u);
    EXPECT_EQ(messages.texts[0], Key("LITTLE_CLIENTS_GROUP"));
    EXPECT_EQ(form->Selects().CellCount(), 0);
    EXPECT_TRUE(form->Save());
}

TEST_F(ChoicesWindowTest, TextModeMovesChoicesBetweenTheLists)
{
    MakeProject(4, 2, true);
    store.ForChoices().Add(kInvest, 12, 11);
    store.AgainstChoices().Add(kInvest, 11, 13);
    store.AgainstChoices().Add(kInvest, 11, 14);
    auto form = Open();
    form->SetGraphic(false);
    EXPECT_FALSE(Regs().Choices.IsGraphic);
    auto* combo = form->findChild<QComboBox*>("ComboBoxClients");
    auto* positive = form->findChild<QListWidget*>("CheckListBoxPositiveClients");
    auto* negative = form->findChild<QListWidget*>("CheckListBoxNegativeClients");
    ASSERT_TRUE(combo && positive && negative);
    ASSERT_EQ(combo->currentIndex(), 0);
    EXPECT_EQ(negative->item(2)->checkState(), Qt::Checked);
    EXPECT_EQ(negative->item(3)->checkState(), Qt::Checked);

    // Member 3 moves from the negative list to the positive one; member 4 stays negative.
    positive->item(2)->setCheckState(Qt::Checked);
    TSelections& grid = form->Selects();
    EXPECT_EQ(grid.Cell(2, 0), stFor);
    EXPECT_EQ(grid.Cell(3, 0), stAgainst);
    EXPECT_EQ(negative->item(2)->checkState(), Qt::Unchecked);
    EXPECT_TRUE(form->IsModified());

    // Checking oneself is undone; unchecking clears the choice.
    positive->item(0)->setCheckState(Qt::Checked);
    EXPECT_EQ(positive->item(0)->checkState(), Qt::Unchecked);
    negative->item(3)->setCheckState(Qt::Unchecked);
    EXPECT_EQ(grid.Cell(3, 0), stNone);

    // Another chooser shows its own choices.
    combo->setCurrentIndex(1);
    EXPECT_EQ(positive->item(0)->checkState(), Qt::Checked);
    EXPECT_EQ(positive->item(2)->checkState(), Qt::Unchecked);

    // A choice over the limit is refused with the grid's message and the lists show the grid again.
    positive->item(2)->setCheckState(Qt::Checked);
    positive->item(3)->setCheckState(Qt::Checked);
    ASSERT_EQ(messages.texts.size(), 1u);
    EXPECT_EQ(messages.texts[0], QString::fromStdString(Key("CHOICE_REFUSED_POSITIVE_LIMIT")).replace("%1", "2").toStdString());
    EXPECT_EQ(positive->item(3)->checkState(), Qt::Unchecked);
    EXPECT_EQ(grid.Cell(3, 1), stNone);

    // Back in graphics mode the grid shows what the lists entered.
    form->SetGraphic(true);
    EXPECT_TRUE(form->findChild<QScrollArea*>("SelectScrollBox")->isVisible());
    EXPECT_EQ(grid.Cell(2, 1), stFor);
}

TEST_F(ChoicesWindowTest, PopupEntriesFollowTheCellUnderTheMouse)
{
    MakeProject(3, 1, false);
    store.ForChoices().Add(kInvest, 11, 12);
    auto form = Open();
    TSelections& grid = form->Selects();
    QMenu& menu = form->ChoicesPopupMenu();
    auto item = [&](const char* name) { return menu.findChild<QAction*>(name); };
    QTest::mouseMove(&grid, grid.Geometry().Cell(3, 1).center());
    EXPECT_FALSE(item("SetPositivePopupItem")->isEnabled()) << "member 1 used its one choice";
    EXPECT_FALSE(item("SetNegativePopupItem")->isEnabled());
    EXPECT_TRUE(item("SetClearPopupItem")->isEnabled());
    QTest::mouseMove(&grid, grid.Geometry().Cell(3, 2).center());
    EXPECT_TRUE(item("SetPositivePopupItem")->isEnabled());
    item("SetPositivePopupItem")->trigger();
    EXPECT_EQ(grid.Cell(2, 1), stFor);
    EXPECT_TRUE(form->IsModified());
    item("PopupItemText")->trigger();
    EXPECT_FALSE(form->IsGraphic());
    EXPECT_FALSE(item("SetClearPopupItem")->isEnabled());
    TScriptedModalSeam seam;
    seam.ExpectDialogButton("DialogForm", "Button0");
    item("ClearAllChoicesPopupItem")->trigger();
    EXPECT_EQ(grid.Cell(1, 0), stNone);
}

TEST_F(ChoicesWindowTest, RightButtonOnTheGridOpensOneMenu)
{
    MakeProject(3, 1, true);
    auto form = Open();
    TSelections& grid = form->Selects();
    QMenu& menu = form->ChoicesPopupMenu();
    QSignalSpy shown(&menu, &QMenu::aboutToShow);
    const QPoint at = grid.Geometry().Cell(2, 1).center();
    QTest::mousePress(&grid, Qt::RightButton, {}, at);
    // The platform follows the press with a context-menu event that bubbles to the scroll box.
    QContextMenuEvent context(QContextMenuEvent::Mouse, at, grid.mapToGlobal(at));
    QCoreApplication::sendEvent(&grid, &context);
    EXPECT_EQ(shown.count(), 1);
    EXPECT_TRUE(menu.isVisible());
    menu.hide();
    QTest::mouseRelease(&grid, Qt::RightButton, {}, at);
    EXPECT_EQ(grid.Cell(1, 0), stNone) << "the right button does not cycle cells";
}

TEST_F(ChoicesWindowTest, CloseQuestionSavesDiscardsOrKeeps)
{
    MakeProject(3, 2, true);
    TNotifyRecorder notes;
    {
        // Unmodified: no question.
        auto form = Open();
        EXPECT_TRUE(form->close());
        QCoreApplication::processEvents();
        const auto closing = std::make_pair(TNotifyCode::ChildClosing, static_cast<QWidget*>(form.get()));
        EXPECT_EQ(std::count(notes.sent.begin(), notes.sent.end(), closing), 1);
    }
    {
        TScriptedModalSeam seam;
        auto form = Open();
        form->Selects().SetCell(1, 0, stFor);
        form->SetModified(true);
        // Closing the question without an answer keeps the window.
        seam.ExpectDialog("DialogForm", [](QDialog& d) { d.reject(); });
        EXPECT_FALSE(form->close());
        // No: closes without saving.
        seam.ExpectDialogButton("DialogForm", "Button1");
        EXPECT_TRUE(form->close());
        EXPECT_EQ(store.CountForChoices(kInvest), 0);
    }
    {
        TScriptedModalSeam seam;
        auto form = Open();
        form->Selects().SetCell(1, 0, stFor);
        form->SetModified(true);
        seam.ExpectDialogButton("DialogForm", "Button0");
        EXPECT_TRUE(form->close());
        EXPECT_EQ(Rows(store.ForChoices()), (TRows{{99, 11, 12}, {kInvest, 11, 12}}));
        EXPECT_EQ(seam.dialogsShown, QStringList({"DialogForm"}));
    }
}

TEST_F(ChoicesWindowTest, SubWindowNotifiesActivationAndAsksBeforeClosing)
{
    MakeProject(3, 2, true);
    TNotifyRecorder notes;
    TScriptedModalSeam seam;
    QMdiArea area;
    area.resize(800, 600);
    area.show();
    auto* form = new TSelectionForm(store, kInvest, QStringLiteral("Hiking"));
    QMdiSubWindow* sub = area.addSubWindow(form);
    sub->show();
    area.setActiveSubWindow(sub);
    QCoreApplication::processEvents();
    ASSERT_FALSE(notes.sent.empty());
    EXPECT_EQ(notes.sent.front(), std::make_pair(TNotifyCode::ChoicesActivated, static_cast<QWidget*>(form)));

    form->SetModified(true);
    seam.ExpectDialog("DialogForm", [](QDialog& d) { d.reject(); });
    EXPECT_FALSE(sub->close());
    EXPECT_EQ(area.subWindowList().size(), 1);
}

TEST_F(ChoicesWindowTest, ThirtyPupilsEnterTheirChoicesByKeyboardOnly)
{
    MakeProject(30, 3, false);
    auto form = Open();
    form->resize(400, 300);
    TSelections& grid = form->Selects();
    grid.setFocus();
    auto* scroll = form->findChild<QScrollArea*>("SelectScrollBox");
    ASSERT_NE(scroll, nullptr);
    auto key = [&](Qt::Key k) { QTest::keyClick(&grid, k); };
    // Each pupil chooses the next three pupils: Enter to the row, Right to the cell, "+".
    key(Qt::Key_Return); // first cell
    for (int pupil = 0; pupil < 30; ++pupil) {
        ASSERT_EQ(grid.ActiveRow(), pupil + 1);
        for (int step = 0; step < 3; ++step) {
            const int target = (pupil + 1 + step) % 30; // member index chosen
            while (grid.ActiveColumn() != target + 1) {
                const int before = grid.ActiveColumn();
                key(grid.ActiveColumn() < target + 1 ? Qt::Key_Right : Qt::Key_Left);
                ASSERT_NE(before, grid.ActiveColumn());
            }
            key(Qt::Key_Plus);
            // The active cell stays in view while the grid scrolls.
            const QRect cell = grid.Geometry().Cell(grid.ActiveColumn(), grid.ActiveRow());
            const QRect visible(grid.mapFrom(scroll->viewport(), QPoint(0, 0)), scroll->viewport()->size());
            ASSERT_TRUE(visible.contains(cell.center())) << pupil << " " << step;
            // ... and out from under the captions, which stay at the edges of the view.
            const QPoint origin = grid.FrozenOrigin();
            ASSERT_EQ(origin, visible.topLeft());
            const int first = grid.Geometry().First;
            if (origin.y() > 0) {
                ASSERT_GE(cell.top(), origin.y() + first) << pupil << " " << step;
            }
            if (origin.x() > 0) {
                ASSERT_GE(cell.left(), origin.x() + first) << pupil << " " << step;
            }
            const char* folder = std::getenv("TREMLOW_SHOT_DIR");
            if (folder && pupil == 20 && step == 2)
                form->grab().save(QString::fromLocal8Bit(folder) + QStringLiteral("/choices-scrolled.png"));
        }
        key(Qt::Key_Return);
    }
    EXPECT_TRUE(form->IsModified());
    EXPECT_TRUE(messages.texts.empty());
    ASSERT_TRUE(form->Save());
    int ours = 0;
    for (int32_t i = 0; i < store.ForChoices().Count(); ++i)
        ours += store.ForChoices().At(i).InvestId == kInvest ? 1 : 0;
    EXPECT_EQ(ours, 90);
    EXPECT_EQ(grid.CountInRow(30, stFor), 3);
}

TEST_F(ChoicesWindowTest, RefusedKeyShowsTheReasonAndPopupActsOnTheClickedCellOnly)
{
    MakeProject(3, 1, false);
    auto form = Open();
    TSelections& grid = form->Selects();
    QMenu& menu = form->ChoicesPopupMenu();
    auto item = [&](const char* name) { return menu.findChild<QAction*>(name); };
    grid.setFocus();
    QTest::keyClick(&grid, Qt::Key_Return);
    QTest::keyClick(&grid, Qt::Key_Minus);
    ASSERT_EQ(messages.texts.size(), 1U);
    EXPECT_EQ(messages.texts[0], Key("CHOICE_REFUSED_NO_NEGATIVE"));
    EXPECT_FALSE(form->IsModified());

    // Hover a member cell, then right-click the diagonal: the entries have no cell to act on.
    QTest::mouseMove(&grid, grid.Geometry().Cell(3, 1).center());
    QTest::mousePress(&grid, Qt::RightButton, {}, grid.Geometry().Cell(1, 1).center());
    EXPECT_TRUE(menu.isVisible());
    EXPECT_FALSE(item("SetPositivePopupItem")->isEnabled());
    EXPECT_FALSE(item("SetClearPopupItem")->isEnabled());
    item("SetPositivePopupItem")->trigger();
    menu.hide();
    EXPECT_EQ(grid.Cell(2, 0), stNone);
    EXPECT_FALSE(form->IsModified());
}

TEST_F(ChoicesWindowTest, BackFromTextTheGridIsWhereItWasAndTheWindowFitsTheGrid)
{
    MakeProject(30, 3, true);
    auto form = Open();
    form->resize(400, 300);
    QCoreApplication::processEvents();
    auto* scroll = form->findChild<QScrollArea*>("SelectScrollBox");
    ASSERT_NE(scroll, nullptr);
    scroll->horizontalScrollBar()->setValue(0);
    scroll->verticalScrollBar()->setValue(40);
    form->SetGraphic(false);
    QCoreApplication::processEvents();
    form->SetGraphic(true);
    QCoreApplication::processEvents();
    EXPECT_EQ(scroll->horizontalScrollBar()->value(), 0);
    EXPECT_EQ(scroll->verticalScrollBar()->value(), 40);

    // At the size it asks for, the whole grid shows without scrolling.
    form->resize(form->GridFitSize());
    QCoreApplication::processEvents();
    EXPECT_GE(scroll->viewport()->width(), form->Selects().width());
    EXPECT_GE(scroll->viewport()->height(), form->Selects().height());
}
