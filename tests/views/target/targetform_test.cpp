#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QFileInfo>
#include <QImage>
#include <QMenu>
#include <QPrinter>
#include <QScrollArea>
#include <QTextBrowser>
#include <QTest>

#include "analysis/projectbuilder.h"
#include "i18n/langconv.h"
#include "platform/helpviewer.h"
#include "views/notify.h"
#include "settings/regs.h"
#include "support/core/tempdir.h"
#include "support/ui/notifyrecorder.h"
#include "support/ui/scriptedseam.h"
#include "util/error.h"
#include "views/target/stringslist.h"
#include "views/target/target.h"
#include "views/target/targetform.h"

namespace {

// Investigation 1: Anna, Boris, Clara, Denis and Elena received 0, 1, 1, 3 and 5 positive
// choices. The choosers are outside the group (ids 90 ...), so that the counts stay exactly these.
class TargetFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Regs().Target = TTargetRegs{};
        Regs().Target.RingWidth = 20;
        Regs().Target.ActiveRingWidth = 20;
        Regs().Target.ActiveRingLineWidth = 1;
        Regs().Target.Background = 0xFFFFFF;
        Regs().Target.LegendBackground = 0x00FFFF;  // yellow
        p.Group(4, "Class 7b");
        p.Client(4, 1, "Anna").Client(4, 2, "Boris").Client(4, 3, "Clara").Client(4, 4, "Denis").Client(4, 5, "Elena");
        p.Invest(1, 4, "Week 1");
        const int received[] = {0, 1, 1, 3, 5};
        for (int member = 1; member <= 5; ++member)
            for (int k = 0; k < received[member - 1]; ++k)
                p.For(1, 90 + k, member);
    }

    std::unique_ptr<TTargetForm> Open(int investId = 1)
    {
        auto form = std::make_unique<TTargetForm>(p.store, investId, QStringLiteral("Week 1"));
        form->resize(600, 400);
        form->show();
        return form;
    }

    // The middle of the band of a ring value, right of the centre.
    static QPoint RingPoint(const TTarget& target, int32_t value)
    {
        const TTargetGeometry g = target.Geometry();
        const int r = (g.Rings + g.MinNumber - value) * g.Width - g.Width / 2;
        return g.Centre() + QPoint(r, 0);
    }

    TProjectBuilder p;
    TNotifyRecorder log;
};

}  // namespace

TEST_F(TargetFormTest, RingsFromTheCountsAndTheLegendOfEachRing)
{
    auto form = Open();
    TTarget& target = form->Target();
    TStringsList& legend = form->Legend();
    EXPECT_EQ(target.RingMinNumber(), 0);
    EXPECT_EQ(target.RingNumber(), 6);
    EXPECT_EQ(target.ActiveRingNumber(), 0);
    EXPECT_FALSE(target.IsBorder());
    // At first the outermost ring: the member chosen by nobody.
    EXPECT_EQ(legend.Lines(), QStringList{QStringLiteral("Anna")});
    EXPECT_EQ(legend.pos(), QPoint(target.width(), 0));

    QTest::mouseClick(&target, Qt::LeftButton, {}, RingPoint(target, 1));
    EXPECT_EQ(target.ActiveRingNumber(), 1);
    EXPECT_EQ(legend.Lines(), (QStringList{QStringLiteral("Boris"), QStringLiteral("Clara")}));
    EXPECT_TRUE(legend.isVisible());

    // Nobody received two choices: the ring is there, the legend hides.
    QTest::mouseClick(&target, Qt::LeftButton, {}, RingPoint(target, 2));
    EXPECT_EQ(form->LegendRing(), 2);
    EXPECT_TRUE(legend.Lines().isEmpty());
    EXPECT_FALSE(legend.isVisible());

    QTest::mouseClick(&target, Qt::LeftButton, {}, RingPoint(target, 5));
    EXPECT_EQ(legend.Lines(), QStringList{QStringLiteral("Elena")});
}

TEST_F(TargetFormTest, TheMouseShowsItsRingAndLeavingBringsBackTheActiveOne)
{
    auto form = Open();
    TTarget& target = form->Target();
    QTest::mouseClick(&target, Qt::LeftButton, {}, RingPoint(target, 3));
    QTest::mouseMove(&target, RingPoint(target, 5));
    EXPECT_EQ(form->Legend().Lines(), QStringList{QStringLiteral("Elena")});
    QTest::mouseMove(&target, QPoint(2, target.height() - 2));  // a corner, off the rings
    EXPECT_EQ(form->Legend().Lines(), QStringList{QStringLiteral("Denis")});

    QTest::mouseMove(&target, RingPoint(target, 1));
    EXPECT_EQ(form->Legend().Lines().size(), 2);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&target, &leave);
    EXPECT_EQ(form->Legend().Lines(), QStringList{QStringLiteral("Denis")});
}

TEST_F(TargetFormTest, KindsWithoutRingsListTheSmallestCount)
{
    // Negative choices: Boris and Denis are rejected once each.
    p.Against(1, 1, 2).Against(1, 3, 4);
    auto form = Open();
    form->SetChoiceKind(2);
    EXPECT_EQ(form->Target().RingNumber(), 2);
    EXPECT_EQ(form->Legend().Lines(), (QStringList{"Anna", "Clara", "Elena"}));

    // Any choices: no rings; the smallest summed count is Anna's 0.
    form->SetChoiceKind(3);
    EXPECT_EQ(form->Target().RingNumber(), 0);
    EXPECT_EQ(form->Legend().Lines(), QStringList{QStringLiteral("Anna")});
    EXPECT_EQ(form->Target().size(), QSize(20, 20));

    // Back to positive: the outermost ring is active again.
    form->SetChoiceKind(1);
    EXPECT_EQ(form->Target().RingNumber(), 6);
    EXPECT_EQ(form->Target().ActiveRingNumber(), 0);
}

TEST_F(TargetFormTest, AKindWithoutChoicesHasNoRingsAndListsEveryone)
{
    auto form = Open();
    form->SetChoiceKind(2);
    EXPECT_EQ(form->Target().RingNumber(), 0);
    EXPECT_EQ(form->Legend().Lines().size(), 5);
}

TEST_F(TargetFormTest, PictureIsTheDiagramWithTheLegendBesideIt)
{
    auto form = Open();
    const QSize target = form->Target().size();
    const QSize legend = form->Legend().size();
    ASSERT_LT(legend.height(), target.height());
    EXPECT_EQ(form->PictureSize(), QSize(target.width() + legend.width(), target.height()));

    QApplication::clipboard()->clear();
    QAction* copy = form->findChild<QAction*>(QStringLiteral("ItemCopy"));
    ASSERT_NE(copy, nullptr);
    copy->trigger();
    const QImage picture = QApplication::clipboard()->image();
    ASSERT_EQ(picture.size(), form->PictureSize());
    // The legend's yellow inside its frame, right of the diagram; the diagram's white below it.
    EXPECT_EQ(picture.pixelColor(target.width() + 5, 5), QColor(Qt::yellow));
    EXPECT_EQ(picture.pixelColor(target.width() + 5, legend.height() + 5), QColor(Qt::white));

    // A legend taller than the diagram sets the height.
    QStringList many;
    for (int i = 0; i < 40; ++i)
        many << QStringLiteral("Member %1").arg(i);
    form->Legend().SetLines(many);
    EXPECT_EQ(form->PictureSize().height(), form->Legend().height());

    // A hidden legend is not part of the picture.
    form->Legend().SetLines({});
    EXPECT_EQ(form->PictureSize(), target);
}

TEST_F(TargetFormTest, SaveAndPrintWriteThePicture)
{
    auto form = Open();
    TTempDir dir;
    for (const char* ext : {"png", "bmp", "jpg", "svg", "pdf"}) {
        const QString file = QString::fromStdString(dir.File(std::string("target.") + ext));
        {
            TScriptedModalSeam seam;
            seam.ExpectSaveFile(file, QStringLiteral("*.") + ext);
            form->findChild<QAction*>(QStringLiteral("ItemSaveAs"))->trigger();
            EXPECT_TRUE(seam.informations.isEmpty()) << ext;
        }
        EXPECT_GT(QFileInfo(file).size(), 100) << ext;
        const QImage saved(file);
        if (std::string(ext) != "svg" && std::string(ext) != "pdf") {
            EXPECT_EQ(saved.size(), form->PictureSize()) << ext;
        }
    }

    const QString pdf = QString::fromStdString(dir.File("target.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    form->Print(printer, TPrintType::Proportional, 1);
    EXPECT_GT(QFileInfo(pdf).size(), 1000);
}

TEST_F(TargetFormTest, KindItemsAskTheMainWindowOnlyForAnotherKind)
{
    auto form = Open();
    QCoreApplication::processEvents();
    log.codes.clear();
    auto* positive = form->findChild<QAction*>(QStringLiteral("PopupItemPositive"));
    auto* negative = form->findChild<QAction*>(QStringLiteral("PopupItemNegative"));
    ASSERT_TRUE(positive && negative);
    positive->trigger();
    negative->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(log.codes, std::vector<TNotifyCode>{TNotifyCode::WantNegative});
    // The items keep showing the kind shown until the main window switches it.
    EXPECT_TRUE(positive->isChecked());
    EXPECT_FALSE(negative->isChecked());
    form->SetChoiceKind(2);
    EXPECT_TRUE(negative->isChecked());
    form->SetChoiceKind(3);
    EXPECT_FALSE(positive->isChecked() || negative->isChecked());
}

TEST_F(TargetFormTest, SettingsPutTheActiveRingWidthsInForce)
{
    Regs().Target.RingWidth = 12;
    Regs().Target.ActiveRingWidth = 26;
    Regs().Target.RingLineWidth = 1;
    Regs().Target.ActiveRingLineWidth = 3;
    auto form = Open();
    // In a window too small to widen them, the rings keep the active width.
    form->resize(200, 150);
    QApplication::processEvents();
    EXPECT_EQ(form->Target().RingWidth(), 26);
    EXPECT_EQ(form->Target().RingLineWidth(), 3);
    EXPECT_EQ(form->Target().size(), QSize(2 * (26 * 6 + 10), 2 * (26 * 6 + 10)));
    EXPECT_EQ(form->Legend().BackColor(), QColor(Qt::yellow));
}

TEST_F(TargetFormTest, RingsGrowToFillALargeWindowBesideTheLegend)
{
    auto form = Open();
    form->resize(1000, 700);
    QApplication::processEvents();
    const QSize view = form->findChild<QScrollArea*>(QStringLiteral("TargetScrollBox"))->viewport()->size();
    TTarget& target = form->Target();
    EXPECT_GT(target.RingWidth(), 40);
    EXPECT_LE(target.height(), view.height());
    EXPECT_GE(target.height(), view.height() - 2 * 6);
    EXPECT_LE(target.width() + form->Legend().width(), view.width());
    // The centre point lies in the innermost ring.
    EXPECT_EQ(target.RingAt(target.Geometry().Centre()), 5);

    // The legend says which ring and kind it lists, above the names.
    QTest::mouseClick(&target, Qt::LeftButton, {}, RingPoint(target, 3));
    const QString heading = form->Legend().Heading();
    EXPECT_EQ(heading.toStdString(), QString::fromStdString(LangConv().GetText("TARGET_LEGEND_HEADING"))
                                         .arg(3)
                                         .arg(QString::fromStdString(LangConv().GetText("GRAPH_TITLE_POSITIVE")))
                                         .toStdString());
    EXPECT_EQ(form->Legend().Lines(), QStringList{QStringLiteral("Denis")});
    EXPECT_GT(form->Legend().LinePos(0).y(), form->Legend().UpOrder() + 10);
}

TEST_F(TargetFormTest, F1OpensTheTargetPage)
{
    auto form = Open();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    auto* scroll = form->findChild<QScrollArea*>(QStringLiteral("TargetScrollBox"));
    ASSERT_NE(scroll, nullptr);
    scroll->setFocus();
    QTest::keyClick(scroll, Qt::Key_F1);
    ASSERT_NE(HelpWindow(), nullptr);
    auto* browser = HelpWindow()->findChild<QTextBrowser*>("HelpBrowser");
    ASSERT_NE(browser, nullptr);
    EXPECT_TRUE(browser->source().toLocalFile().endsWith("/help/93.html"));
    HelpWindow()->close();
}

TEST_F(TargetFormTest, FewerThanTwoMembersOpenNoWindow)
{
    TProjectBuilder small;
    small.Members(3, 8, {1});
    EXPECT_THROW(TTargetForm(small.store, 3, QStringLiteral("Alone")), TAppError);
}

TEST(TargetFormLargeGroup, TwoThousandMembersOpenAndKeepTheirRings)
{
    // Everyone chooses the first member and the next one: counts from 0 to 2 000 - 1 apart.
    TProjectBuilder p;
    std::vector<int32_t> ids;
    for (int32_t id = 1; id <= 2000; ++id)
        ids.push_back(id);
    p.Members(1, 1, ids);
    for (int32_t id = 2; id <= 2000; ++id)
        p.For(1, id, 1);
    for (int32_t id = 3; id <= 2000; id += 2)
        p.For(1, id, 2);
    TTargetForm form(p.store, 1, QStringLiteral("Big"));
    const TTarget& target = form.Target();
    EXPECT_EQ(target.RingNumber(), 2000);
    EXPECT_EQ(target.OmittedRings(), 0);
    EXPECT_GE(target.Geometry().Width, 1);
    EXPECT_TRUE(target.Note().isEmpty());
    EXPECT_EQ(form.Legend().Lines().size(), 1998);  // the outermost ring: nobody chose them
    // Their names flow into columns no higher than the diagram.
    EXPECT_LE(form.Legend().height(), target.height());
    EXPECT_GT(form.Legend().RowsPerColumn(), 10);

    // Still more rings than fit at one pixel each: the outermost are left out, and said so.
    for (int32_t id = 2001; id <= 2100; ++id)
        p.Client(1, id, "M" + std::to_string(id)).For(1, id, 1);
    TTargetForm bigger(p.store, 1, QStringLiteral("Bigger"));
    EXPECT_EQ(bigger.Target().RingNumber(), 2100);
    EXPECT_EQ(bigger.Target().OmittedRings(), 100);
    EXPECT_TRUE(bigger.Target().Note().contains(QStringLiteral("99")));
    EXPECT_FALSE(bigger.Target().Note().isEmpty());
    const QSize picture = bigger.PictureSize();
    EXPECT_LE(picture.width(), 2 * kMaxTargetRadius + 2 * 10 + bigger.Legend().width() + 1);
}
