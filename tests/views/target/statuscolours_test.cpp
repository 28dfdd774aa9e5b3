// Status group colours in the target diagram: the members listed for a ring carry their group's
// colour and a key to the colours stands below the rings, only while the option is on; pictures
// show both; investigations without status groups are never marked.
#include <gtest/gtest.h>

#include <memory>

#include <QAction>
#include <QFontMetrics>
#include <QImage>
#include <QMenu>
#include <QPainter>
#include <QTest>

#include "analysis/projectbuilder.h"
#include "i18n/langconv.h"
#include "settings/regs.h"
#include "support/ui/pictures.h"
#include "views/statuslegend.h"
#include "views/target/stringslist.h"
#include "views/target/target.h"
#include "views/target/targetform.h"

namespace {

// Anna, Boris, Clara, Denis and Elena received 0, 1, 1, 3 and 5 positive and 3, 0, 1, 0, 0
// negative choices (from outside the group, so the counts stay these). Worked by hand: Anna is
// rejected (zSP -1.64), Boris neglected (zSI -1.54), Clara average (zSP -0.40, zSI -0.48), Denis
// unclassified (zSP 0.68) and Elena popular (zSP 1.29).
class TargetStatusColours : public ::testing::Test {
protected:
    void SetUp() override
    {
        Regs().Load();
        Regs().Target.Background = 0xFFFFFF;
        p.Group(4, "Class 7b");
        p.Client(4, 1, "Anna").Client(4, 2, "Boris").Client(4, 3, "Clara").Client(4, 4, "Denis").Client(4, 5, "Elena");
        p.Invest(1, 4, "Week 1");
        const int positive[] = {0, 1, 1, 3, 5};
        const int negative[] = {3, 0, 1, 0, 0};
        for (int member = 1; member <= 5; ++member) {
            for (int k = 0; k < positive[member - 1]; ++k)
                p.For(1, 90 + k, member);
            for (int k = 0; k < negative[member - 1]; ++k)
                p.Against(1, 90 + k, member);
        }
    }

    std::unique_ptr<TTargetForm> Open(TFileAccess& store)
    {
        auto form = std::make_unique<TTargetForm>(store, 1, QStringLiteral("Week 1"));
        form->resize(700, 600);
        form->show();
        return form;
    }

    static QAction* Item(TTargetForm& form) { return form.Menu().findChild<QAction*>("PopupItemStatusColors"); }

    static QPoint RingPoint(const TTarget& target, int32_t value)
    {
        const TTargetGeometry g = target.Geometry();
        const int r = (g.Rings + g.MinNumber - value) * g.Width - g.Width / 2;
        return g.Centre() + QPoint(r, 0);
    }

    TProjectBuilder p;
};

} // namespace

TEST_F(TargetStatusColours, MembersAreMarkedAndTheKeyShownOnlyWhileOn)
{
    auto form = Open(p.store);
    TStringsList& legend = form->Legend();
    ASSERT_NE(Item(*form), nullptr);
    EXPECT_TRUE(Item(*form)->isEnabled());
    EXPECT_FALSE(Item(*form)->isChecked());
    EXPECT_TRUE(legend.LineMarks().isEmpty());
    EXPECT_EQ(form->StatusLegend(), nullptr);
    const QSize plainSize = form->PictureSize();
    const QSize plainLegend = legend.size();
    EXPECT_EQ(PixelsOf(Picture(*form), StatusGroupColor(TStatusGroup::Rejected)), 0);

    Item(*form)->trigger();
    EXPECT_TRUE(Regs().Target.StatusColors);
    EXPECT_TRUE(Item(*form)->isChecked());
    // The outermost ring (Anna) at once, then the ring of Boris and Clara.
    EXPECT_EQ(legend.LineMarks(), QList<QColor>{StatusGroupColor(TStatusGroup::Rejected)});
    // Room for the mark beside the name (the heading may already be wider than both).
    EXPECT_GE(legend.width(), plainLegend.width());
    EXPECT_GE(legend.width(), legend.MarkRect(0).right() + 6 + QFontMetrics(legend.TextFont()).horizontalAdvance("Anna"));
    QTest::mouseClick(&form->Target(), Qt::LeftButton, {}, RingPoint(form->Target(), 1));
    EXPECT_EQ(legend.LineMarks(), (QList<QColor>{StatusGroupColor(TStatusGroup::Neglected),
                                                 StatusGroupColor(TStatusGroup::Average)}));

    // The key below the rings, clear of the rings and of the list, inside the picture.
    const TStatusLegend* key = form->StatusLegend();
    ASSERT_NE(key, nullptr);
    EXPECT_TRUE(key->isVisible());
    EXPECT_GE(key->y(), form->Target().height());
    EXPECT_FALSE(key->geometry().intersects(legend.geometry()));
    EXPECT_EQ(key->Lines()[5], StatusGroupName(TStatusGroup::Average) + ": 1");
    const QSize size = form->PictureSize();
    EXPECT_GE(size.height(), key->y() + key->height());
    EXPECT_GE(size.width(), key->x() + key->width());
    const QImage picture = Picture(*form);
    EXPECT_EQ(PixelsOf(picture, Qt::magenta), 0);
    EXPECT_EQ(picture.pixelColor(key->pos() + key->SwatchRect(TStatusGroup::Popular).center()),
              StatusGroupColor(TStatusGroup::Popular));
    EXPECT_EQ(picture.pixelColor(legend.pos() + legend.MarkRect(1).center()), StatusGroupColor(TStatusGroup::Average));

    // Another kind lists other members, still marked.
    form->SetChoiceKind(2);
    EXPECT_EQ(legend.Lines().size(), legend.LineMarks().size());
    EXPECT_FALSE(legend.LineMarks().isEmpty());

    Item(*form)->trigger();
    EXPECT_FALSE(Regs().Target.StatusColors);
    EXPECT_TRUE(legend.LineMarks().isEmpty());
    EXPECT_EQ(form->StatusLegend(), nullptr);
    form->SetChoiceKind(1);
    EXPECT_EQ(form->PictureSize(), plainSize);
}

TEST_F(TargetStatusColours, WithoutStatusGroupsNothingIsMarked)
{
    Regs().Target.StatusColors = true;
    TProjectBuilder positive;
    positive.Group(4, "G");
    positive.Client(4, 1, "Anna").Client(4, 2, "Boris").Client(4, 3, "Clara");
    positive.Invest(1, 4, "Week 1");
    positive.For(1, 1, 2).For(1, 2, 3);
    TProjectBuilder pair;
    pair.Group(4, "G");
    pair.Client(4, 1, "Anna").Client(4, 2, "Boris");
    pair.Invest(1, 4, "Week 1");
    pair.Against(1, 1, 2).Against(1, 2, 1);
    for (auto [store, reason] : {std::pair{&positive.store, "STATUS_NO_NEGATIVE_CHOICES"},
                                 std::pair{&pair.store, "STATUS_TOO_FEW_MEMBERS"}}) {
        auto form = Open(*store);
        EXPECT_FALSE(form->StatusColorsShown()) << reason;
        EXPECT_FALSE(Item(*form)->isEnabled()) << reason;
        EXPECT_EQ(Item(*form)->toolTip().toStdString(), LangConv().GetText(reason));
        EXPECT_TRUE(form->Legend().LineMarks().isEmpty()) << reason;
        EXPECT_EQ(form->StatusLegend(), nullptr) << reason;
        EXPECT_EQ(PixelsOf(Picture(*form), Qt::magenta), 0) << reason;
    }
}
