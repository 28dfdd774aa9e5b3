#include <gtest/gtest.h>

#include <cmath>

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>

#include "platform/helpviewer.h"
#include "platform/messagedialog.h"
#include "support/ui/scriptedseam.h"

namespace {

QPushButton* Button(QDialog& box, const char* name)
{
    return box.findChild<QPushButton*>(name);
}

TEST(PlatformMessageDialog, LongYesNoQuestionWidensTheBoxAndCentresTheButtons)
{
    TMessageDialog dialog;
    dialog.Title = "Remove";
    dialog.DialogType = mdYesNo;
    dialog.Caption = "Remove this client group together with all its clients and choices?";
    TScriptedModalSeam seam;
    seam.ExpectDialog("DialogForm", [](QDialog& box) {
        QPushButton* yes = Button(box, "Button0");
        QPushButton* no = Button(box, "Button1");
        ASSERT_TRUE(yes && no);
        EXPECT_EQ(Button(box, "Button2"), nullptr);
        EXPECT_EQ(yes->text(), "Yes");
        EXPECT_EQ(no->text(), "No");
        EXPECT_EQ(box.windowTitle(), "Remove");

        auto* label = box.findChild<QLabel*>("cap");
        ASSERT_NE(label, nullptr);
        const int textWidth = box.fontMetrics().horizontalAdvance(label->text());
        EXPECT_EQ(box.width(), textWidth + 40);
        EXPECT_EQ(box.height(), 120);
        EXPECT_GT(box.width(), yes->width() + no->width() + 60);

        // Buttons 20 apart in one row, 10 above the bottom, the row centred.
        EXPECT_EQ(no->x(), yes->x() + yes->width() + 20);
        EXPECT_EQ(no->y(), yes->y());
        EXPECT_EQ(yes->y() + yes->height(), box.height() - 10);
        const int leftGap = yes->x();
        const int rightGap = box.width() - (no->x() + no->width());
        EXPECT_LE(std::abs(leftGap - rightGap), 1);
        EXPECT_EQ(label->x(), static_cast<int>(std::nearbyint((box.width() - textWidth) / 2.0)));
        EXPECT_LT(label->y() + label->height(), yes->y());
        no->click();
    });
    EXPECT_EQ(dialog.Execute(), 4);
    EXPECT_EQ(seam.dialogsShown, QStringList{"DialogForm"});
}

TEST(PlatformMessageDialog, ACaptionTooLongForOneLineWrapsAndTheBoxGrowsDown)
{
    TMessageDialog dialog;
    dialog.DialogType = mdYesNoHelp;
    dialog.Caption = "This project was made by an earlier version of Tremlow and must be converted to the "
                     "current format before it can be opened. The file will be rewritten; the original is "
                     "kept beside it with \".bak\" added to its name. Convert it now?";
    TScriptedModalSeam seam;
    seam.ExpectDialog("DialogForm", [](QDialog& box) {
        auto* label = box.findChild<QLabel*>("cap");
        QPushButton* yes = Button(box, "Button0");
        ASSERT_TRUE(label && yes);
        const int oneLine = box.fontMetrics().horizontalAdvance(label->text());
        // Narrower than the one-line text and than the screen, whole text kept on several lines.
        EXPECT_LT(box.width(), oneLine);
        EXPECT_LE(box.width(), 640);
        EXPECT_TRUE(label->wordWrap());
        EXPECT_GE(label->height(), 2 * box.fontMetrics().height());
        EXPECT_GT(box.height(), 120);
        EXPECT_LE(label->x() + label->width(), box.width());
        // The buttons stay below the caption and 10 above the bottom.
        EXPECT_LT(label->y() + label->height(), yes->y());
        EXPECT_EQ(yes->y() + yes->height(), box.height() - 10);
        yes->click();
    });
    EXPECT_EQ(dialog.Execute(), 3);
}

TEST(PlatformMessageDialog, ShortQuestionTakesTheWidthOfItsButtons)
{
    TMessageDialog dialog;
    dialog.DialogType = mdOkCancelHelp;
    dialog.Caption = "Go?";
    TScriptedModalSeam seam;
    seam.ExpectDialog("DialogForm", [](QDialog& box) {
        QPushButton* ok = Button(box, "Button0");
        QPushButton* cancel = Button(box, "Button1");
        QPushButton* help = Button(box, "Button2");
        ASSERT_TRUE(ok && cancel && help);
        EXPECT_EQ(ok->text(), "OK");
        EXPECT_EQ(cancel->text(), "Cancel");
        EXPECT_EQ(help->text(), "Help");
        EXPECT_EQ(ok->x(), 20);
        EXPECT_EQ(cancel->x(), ok->x() + ok->width() + 20);
        EXPECT_EQ(help->x(), cancel->x() + cancel->width() + 20);
        EXPECT_EQ(box.width(), ok->width() + cancel->width() + help->width() + 80);
        cancel->click();
    });
    EXPECT_EQ(dialog.Execute(), 2);
}

TEST(PlatformMessageDialog, ButtonsCallTheirHandlersAndReturnTheirCodes)
{
    TMessageDialog dialog;
    QStringList calls;
    dialog.OKClickNotifyEvent = [&] { calls << "ok"; };
    dialog.YesClickNotifyEvent = [&] { calls << "yes"; };
    dialog.NoClickNotifyEvent = [&] { calls << "no"; };
    TScriptedModalSeam seam;
    EXPECT_EQ(dialog.LastCode(), 0);

    dialog.DialogType = mdOk;
    seam.ExpectDialogButton("DialogForm", "Button0");
    EXPECT_EQ(dialog.Execute(), 1);
    dialog.DialogType = mdYesNoHelp;
    seam.ExpectDialogButton("DialogForm", "Button0");
    EXPECT_EQ(dialog.Execute(), 3);
    seam.ExpectDialogButton("DialogForm", "Button1");
    EXPECT_EQ(dialog.Execute(), 4);
    EXPECT_EQ(calls, (QStringList{"ok", "yes", "no"}));
}

TEST(PlatformMessageDialog, HelpKeepsTheBoxOpenAndClosingReturnsTheLastCode)
{
    TMessageDialog dialog;
    dialog.DialogType = mdYesNoHelp;
    dialog.HelpContext = THelpTopic::MainWindow;
    dialog.Caption = "Save the changes?";
    int helpCalls = 0;
    dialog.HelpClickNotifyEvent = [&] { ++helpCalls; };
    TScriptedModalSeam seam;
    seam.ExpectDialog("DialogForm", [](QDialog& box) {
        Button(box, "Button2")->click();
        EXPECT_TRUE(box.isVisible());
        // the seam then closes the box as its own close control does
    });
    EXPECT_EQ(dialog.Execute(), 5);
    EXPECT_EQ(helpCalls, 1);
    ASSERT_NE(HelpWindow(), nullptr);
    EXPECT_TRUE(HelpWindow()->isVisible());
    auto* browser = HelpWindow()->findChild<QTextBrowser*>("HelpBrowser");
    ASSERT_NE(browser, nullptr);
    EXPECT_EQ(browser->source().toLocalFile(), HelpPagePath(THelpTopic::MainWindow));
    HelpWindow()->close();

    // A new box closed without any button keeps the code pressed last on this component.
    seam.ExpectDialog("DialogForm", [](QDialog&) {});
    EXPECT_EQ(dialog.Execute(), 5);
    TMessageDialog fresh;
    seam.ExpectDialog("DialogForm", [](QDialog&) {});
    EXPECT_EQ(fresh.Execute(), 0);

    // A box that offers Cancel answers Cancel to its close control, after Help as well.
    dialog.DialogType = mdYesNoCancelHelp;
    seam.ExpectDialog("DialogForm", [](QDialog& box) { Button(box, "Button3")->click(); });
    EXPECT_EQ(dialog.Execute(), TMessageDialog::kCancel);
    HelpWindow()->close();
}

TEST(PlatformMessageDialog, TitleAndCaptionAreShortTexts)
{
    TMessageDialog dialog;
    dialog.Title = QString(300, QChar(0x0436));
    dialog.Caption = QString(300, 'x');
    TScriptedModalSeam seam;
    seam.ExpectDialog("DialogForm", [](QDialog& box) {
        EXPECT_EQ(box.windowTitle().size(), 255);
        EXPECT_EQ(box.findChild<QLabel*>("cap")->text().size(), 255);
    });
    dialog.Execute();
}

} // namespace
